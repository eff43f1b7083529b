#pragma once

// Real GSettings for the GNOME backend's tests. The test executable runs with
// GSETTINGS_BACKEND=keyfile and XDG_CONFIG_HOME in its sandbox, so every write lands in a
// key file of its own; the schemas are the ones Debian's gsettings-desktop-schemas installs.
// The fixture plays the user: it writes the background keys the way GNOME's settings do,
// through its own GSettings objects, and resets every key before each case.

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/gnome/gnome_background_record.h"

namespace quillhaven::gnome::testing {

class GSettingsFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The user's own background: both pictures, picture-options and primary-color.
    void setUserBackground(const std::string& lightUri, const std::string& darkUri,
                           const std::string& pictureOptions = "zoom",
                           const std::string& primaryColor = "#023c88");
    void setColorScheme(const std::string& scheme);
    void setKey(const char* key, const std::string& value);
    std::string key(const char* key) const;
    BackgroundValues keys() const;

    // A file URI for a path.
    static std::string uriFor(const std::filesystem::path& path);
    // Writes a small one-colour PNG and answers its path.
    std::filesystem::path writePicture(const std::string& name, int red = 40, int green = 120,
                                       int blue = 200);

    std::filesystem::path temp;
    std::string recordPath;
    GSettings* background = nullptr;
    GSettings* interface = nullptr;
};

}  // namespace quillhaven::gnome::testing
