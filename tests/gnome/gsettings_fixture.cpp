#include "tests/gnome/gsettings_fixture.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <cstdlib>
#include <random>

namespace quillhaven::gnome::testing {
namespace {

GSettings* openSchema(const char* id) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (!source) {
        return nullptr;
    }
    GSettingsSchema* schema = g_settings_schema_source_lookup(source, id, TRUE);
    if (!schema) {
        return nullptr;
    }
    GSettings* settings = g_settings_new_full(schema, nullptr, nullptr);
    g_settings_schema_unref(schema);
    return settings;
}

void resetAll(GSettings* settings) {
    GSettingsSchema* schema = nullptr;
    g_object_get(settings, "settings-schema", &schema, nullptr);
    gchar** keys = g_settings_schema_list_keys(schema);
    for (gchar** key = keys; *key; ++key) {
        g_settings_reset(settings, *key);
    }
    g_strfreev(keys);
    g_settings_schema_unref(schema);
}

}  // namespace

void GSettingsFixture::SetUp() {
    std::random_device random;
    temp = std::filesystem::temp_directory_path() /
           ("quillhaven-gnome-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(temp);
    recordPath = (temp / "config" / "Quillhaven" / "gnome-background.conf").string();
    // Never let a test reach a real desktop's settings.
    const char* backend = std::getenv("GSETTINGS_BACKEND");
    ASSERT_TRUE(backend && std::string(backend) == "keyfile")
        << "the GNOME tests must run with GSETTINGS_BACKEND=keyfile";
    background = openSchema("org.gnome.desktop.background");
    interface = openSchema("org.gnome.desktop.interface");
    ASSERT_TRUE(background && interface) << "gsettings-desktop-schemas is not installed";
    resetAll(background);
    resetAll(interface);
}

void GSettingsFixture::TearDown() {
    if (background) {
        g_object_unref(background);
    }
    if (interface) {
        g_object_unref(interface);
    }
    if (!temp.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(temp, ignored);
    }
}

void GSettingsFixture::setUserBackground(const std::string& lightUri, const std::string& darkUri,
                                         const std::string& pictureOptions,
                                         const std::string& primaryColor) {
    // As GNOME's settings panel does: one delayed apply on an object of its own.
    GSettings* batch = openSchema("org.gnome.desktop.background");
    g_settings_delay(batch);
    EXPECT_TRUE(g_settings_set_string(batch, "picture-uri", lightUri.c_str()));
    EXPECT_TRUE(g_settings_set_string(batch, "picture-uri-dark", darkUri.c_str()));
    EXPECT_TRUE(g_settings_set_string(batch, "picture-options", pictureOptions.c_str()));
    EXPECT_TRUE(g_settings_set_string(batch, "primary-color", primaryColor.c_str()));
    g_settings_apply(batch);
    g_object_unref(batch);
}

void GSettingsFixture::setColorScheme(const std::string& scheme) {
    ASSERT_TRUE(g_settings_set_string(interface, "color-scheme", scheme.c_str()));
}

void GSettingsFixture::setKey(const char* key, const std::string& value) {
    ASSERT_TRUE(g_settings_set_string(background, key, value.c_str())) << key;
}

std::string GSettingsFixture::key(const char* key) const {
    gchar* value = g_settings_get_string(background, key);
    std::string text(value);
    g_free(value);
    return text;
}

BackgroundValues GSettingsFixture::keys() const {
    return {key("picture-uri"), key("picture-uri-dark"), key("picture-options"),
            key("primary-color")};
}

std::string GSettingsFixture::uriFor(const std::filesystem::path& path) {
    gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    std::string text(uri);
    g_free(uri);
    return text;
}

std::filesystem::path GSettingsFixture::writePicture(const std::string& name, int red, int green,
                                                     int blue) {
    const auto path = temp / "Pictures" / name;
    std::filesystem::create_directories(path.parent_path());
    QImage image(48, 30, QImage::Format_RGB32);
    image.fill(QColor(red, green, blue));
    EXPECT_TRUE(image.save(QString::fromStdString(path.string()), "PNG"));
    return path;
}

}  // namespace quillhaven::gnome::testing
