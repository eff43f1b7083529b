#pragma once

// The GNOME backend's own small record, kept beside the other preferences in
// $XDG_CONFIG_HOME/Quillhaven/gnome-background.conf.
//
// The controller remembers only the picture GNOME shows now, but GNOME keeps two (one for
// the light and one for the dark colour scheme), and a generated picture is written to both.
// So before the backend puts a picture over the user's settings it notes what the user had
// under each key ("saved") and what it wrote itself ("applied"). A later set that puts back
// one of the saved pictures restores both keys and drops the record. See GnomeWorkspace.

#include <optional>
#include <string>

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

// Writes the record atomically (temporary file, then rename), creating the folder.
bool saveBackgroundRecord(const std::string& path, const BackgroundRecord& record);

void removeBackgroundRecord(const std::string& path);

// The values to note as the user's own, given what the keys hold now: a key that still holds
// what the backend applied keeps the older saved value; any other key is taken as it is,
// since the user set it after the backend's last write.
BackgroundValues userValuesToSave(const BackgroundValues& current,
                                  const std::optional<BackgroundRecord>& record);

}  // namespace quillhaven::gnome
