#pragma once

// The four GNOME background values, and the small record that earlier versions kept in
// $XDG_CONFIG_HOME/Quillhaven/gnome-background.conf: the user's own values ("Saved") and
// what the backend wrote over them ("Applied"). The record now lives with the rest of the
// preferences as the desktop's native settings; an old file is folded in once, then removed.

#include <optional>
#include <string>

namespace quillhaven {
class PreferenceStore;
}

namespace quillhaven::gnome {

// The four background values the backend writes. Each is optional: none means "not known"
// (the key is missing from the schema, or it held the backend's own value with nothing
// older on record).
struct BackgroundValues {
    std::optional<std::string> pictureUri;
    std::optional<std::string> pictureUriDark;
    std::optional<std::string> pictureOptions;
    std::optional<std::string> primaryColor;
    friend bool operator==(const BackgroundValues&, const BackgroundValues&) = default;
};

struct BackgroundRecord {
    BackgroundValues saved;    // the user's own values
    BackgroundValues applied;  // what the backend last wrote over them
    friend bool operator==(const BackgroundRecord&, const BackgroundRecord&) = default;
};

// The record at `path`, or none when there is none or it cannot be read.
std::optional<BackgroundRecord> loadBackgroundRecord(const std::string& path);

// Folds an old record file into the preferences as native settings, unless they already
// hold some, then removes the file. The file stays when the preferences cannot take it.
void migrateBackgroundRecord(const std::string& path, PreferenceStore& defaults);

}  // namespace quillhaven::gnome
