#include "platform/gnome/gnome_background_record.h"

#include <gio/gio.h>
#include <glib/gstdio.h>

#include <cerrno>
#include <memory>
#include <utility>
#include <vector>

#include "controller/desktop_services.h"
#include "core/log_categories.h"

namespace quillhaven::gnome {
namespace {

constexpr const char* savedGroup = "Saved";
constexpr const char* appliedGroup = "Applied";

struct KeyFileFree {
    void operator()(GKeyFile* file) const { g_key_file_free(file); }
};
using KeyFilePtr = std::unique_ptr<GKeyFile, KeyFileFree>;

struct Field {
    const char* key;
    std::optional<std::string> BackgroundValues::*member;
};

const Field fields[] = {
    {"PictureUri", &BackgroundValues::pictureUri},
    {"PictureUriDark", &BackgroundValues::pictureUriDark},
    {"PictureOptions", &BackgroundValues::pictureOptions},
    {"PrimaryColor", &BackgroundValues::primaryColor},
};

BackgroundValues readGroup(GKeyFile* file, const char* group) {
    BackgroundValues values;
    for (const auto& field : fields) {
        if (gchar* text = g_key_file_get_string(file, group, field.key, nullptr)) {
            values.*field.member = std::string(text);
            g_free(text);
        }
    }
    return values;
}

}  // namespace

std::optional<BackgroundRecord> loadBackgroundRecord(const std::string& path) {
    KeyFilePtr file(g_key_file_new());
    if (!g_key_file_load_from_file(file.get(), path.c_str(), G_KEY_FILE_NONE, nullptr)) {
        return std::nullopt;
    }
    return BackgroundRecord{readGroup(file.get(), savedGroup), readGroup(file.get(), appliedGroup)};
}

namespace {

NativePictureSettings nativeSettingsOf(const BackgroundValues& values) {
    // A value the old record did not know is left out, so a restore leaves that key alone.
    NativePictureSettings settings;
    const std::pair<const char*, const std::optional<std::string>*> keys[] = {
        {"picture-uri", &values.pictureUri},
        {"picture-uri-dark", &values.pictureUriDark},
        {"picture-options", &values.pictureOptions},
        {"primary-color", &values.primaryColor},
    };
    for (const auto& [key, value] : keys) {
        if (*value) {
            settings[key] = **value;
        }
    }
    return settings;
}

}  // namespace

void migrateBackgroundRecord(const std::string& path, PreferenceStore& defaults) {
    const std::optional<BackgroundRecord> old = loadBackgroundRecord(path);
    if (!old) {
        return;
    }
    OriginalRecord record = defaults.originalRecord();
    if (!record.desktopSettings) {
        record.desktopSettings = nativeSettingsOf(old->saved);
        record.appliedSettings = nativeSettingsOf(old->applied);
        if (const Outcome saved = defaults.saveOriginalRecord(record); !saved.succeeded()) {
            // Kept, so the next start tries again; nothing of the user's is lost.
            qCWarning(logPlatform, "GNOME background record %s not moved into the preferences: %s",
                      path.c_str(), saved.errorDescription().c_str());
            return;
        }
    }
    if (g_remove(path.c_str()) != 0) {
        qCWarning(logPlatform, "GNOME background record %s not removed: %s", path.c_str(),
                  g_strerror(errno));
    }
}

}  // namespace quillhaven::gnome
