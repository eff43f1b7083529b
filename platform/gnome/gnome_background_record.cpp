#include "gnome_background_record.h"

#include <gio/gio.h>
#include <glib/gstdio.h>

#include <memory>

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

void writeGroup(GKeyFile* file, const char* group, const BackgroundValues& values) {
    for (const auto& field : fields) {
        if (const auto& value = values.*field.member) {
            g_key_file_set_string(file, group, field.key, value->c_str());
        }
    }
}

}  // namespace

std::optional<BackgroundRecord> loadBackgroundRecord(const std::string& path) {
    KeyFilePtr file(g_key_file_new());
    if (!g_key_file_load_from_file(file.get(), path.c_str(), G_KEY_FILE_NONE, nullptr)) {
        return std::nullopt;
    }
    return BackgroundRecord{readGroup(file.get(), savedGroup), readGroup(file.get(), appliedGroup)};
}

bool saveBackgroundRecord(const std::string& path, const BackgroundRecord& record) {
    gchar* folder = g_path_get_dirname(path.c_str());
    const bool haveFolder = g_mkdir_with_parents(folder, 0700) == 0;
    g_free(folder);
    if (!haveFolder) {
        return false;
    }
    KeyFilePtr file(g_key_file_new());
    writeGroup(file.get(), savedGroup, record.saved);
    writeGroup(file.get(), appliedGroup, record.applied);
    // g_key_file_save_to_file writes a temporary file and renames it over the old one.
    return g_key_file_save_to_file(file.get(), path.c_str(), nullptr);
}

void removeBackgroundRecord(const std::string& path) {
    g_remove(path.c_str());
}

BackgroundValues userValuesToSave(const BackgroundValues& current,
                                  const std::optional<BackgroundRecord>& record) {
    BackgroundValues values;
    for (const auto& field : fields) {
        const auto& now = current.*field.member;
        const bool stillOurs = record && now && record->applied.*field.member == now;
        if (stillOurs || !now) {
            values.*field.member = record ? record->saved.*field.member : std::nullopt;
        } else {
            values.*field.member = now;
        }
    }
    return values;
}

}  // namespace quillhaven::gnome
