#pragma once

// In-process access to GNOME's background settings through GIO's GSettings (no `gsettings`
// process per poll). The schemas are looked up before any GSettings object is made, because
// g_settings_new aborts the whole process when a schema is not installed; a key missing from
// an older schema (picture-uri-dark, color-scheme) is treated as absent for the same reason.

#include <gio/gio.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/gnome/gnome_background_record.h"

namespace quillhaven::gnome {

inline constexpr const char* backgroundSchemaId = "org.gnome.desktop.background";
inline constexpr const char* interfaceSchemaId = "org.gnome.desktop.interface";

struct GObjectUnref {
    void operator()(void* object) const { g_object_unref(object); }
};
struct SchemaUnref {
    void operator()(GSettingsSchema* schema) const { g_settings_schema_unref(schema); }
};
using SchemaPtr = std::unique_ptr<GSettingsSchema, SchemaUnref>;
using SettingsPtr = std::unique_ptr<GSettings, GObjectUnref>;

enum class SettingsWrite {
    taken,         // the settings service has the new values
    notConfirmed,  // the service did not answer in time; the values may land later or not
    unknownKey,    // nothing was written
};

class BackgroundSettings {
public:
    // How long a write waits for the settings service before it counts as not taken.
    static constexpr std::chrono::milliseconds syncLimit{2000};

    // None when the background schema is not installed.
    static std::unique_ptr<BackgroundSettings> open();
    ~BackgroundSettings();
    BackgroundSettings(const BackgroundSettings&) = delete;
    BackgroundSettings& operator=(const BackgroundSettings&) = delete;

    // The values the four keys hold now; a key the schema lacks reads as none.
    BackgroundValues read() const;
    // Whether GNOME shows the dark picture now (color-scheme is prefer-dark).
    bool prefersDark() const;
    // Whether every key that `values` would write may be written (none is locked down).
    bool canWrite(const BackgroundValues& values) const;
    // Writes the given keys (none: left as it is) in one delayed apply, so GNOME sees a
    // single change, then waits (at most syncLimit) until the backend has taken them.
    SettingsWrite write(const BackgroundValues& values) const;
    // The user's own value of each of the four keys, exactly as stored: none for a key the
    // user never set (it shows its default) or the schema lacks. Under an administrator's
    // lock this is still the user's value, not the locked one.
    std::map<std::string, std::optional<std::string>> readUserValues() const;
    // Writes each named key's text, and resets each unset one to its default, in one
    // delayed apply, then waits as write() does.
    SettingsWrite restoreUserValues(
        const std::map<std::string, std::optional<std::string>>& values) const;
    // Whether any of the four keys is locked down.
    bool isLocked() const;
    // Calls `changed` (on the main loop) whenever a background key or the colour scheme,
    // which picks the light or dark picture, changes. Replaces an earlier callback.
    void onChange(std::function<void()> changed);

private:
    BackgroundSettings(SchemaPtr background, SchemaPtr interface);
    bool has(const char* key) const;

    SchemaPtr backgroundSchema_;
    SettingsPtr background_;
    SettingsPtr interface_;  // null when the schema or its color-scheme key is missing
    std::function<void()> changed_;
};

}  // namespace quillhaven::gnome
