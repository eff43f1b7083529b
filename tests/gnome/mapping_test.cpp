// The pure parts of the GNOME backend: the picture-options table, colour text, the choice
// of desktop, the reading of picture-uri values and the folding-in of an earlier version's record.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "controller/color_archive.h"
#include "controller/stored_preferences.h"
#include "platform/gnome/gnome_background_record.h"
#include "platform/gnome/gnome_background_style.h"
#include "platform/gnome/gnome_color_text.h"
#include "platform/gnome/gnome_desktop.h"
#include "platform/gnome/gnome_workspace.h"
#include "tests/doubles/in_memory_key_value_store.h"
#include "tests/support/temp_folder.h"

namespace quillhaven::gnome {
namespace {

const char* const allPictureOptions[] = {"none",      "wallpaper", "centered", "scaled",
                                         "stretched", "zoom",      "spanned"};

TEST(GnomeBackgroundStyle, EveryPictureOptionsValueHasItsOwnPairAndComesBack) {
    std::vector<ScalingAndClipping> seen;
    for (const char* value : allPictureOptions) {
        const auto pair = scalingForPictureOptions(value);
        ASSERT_TRUE(pair) << value;
        EXPECT_EQ(std::count(seen.begin(), seen.end(), *pair), 0) << value << " shares a pair";
        seen.push_back(*pair);
        EXPECT_EQ(pictureOptionsForScaling(*pair), std::string(value));
        EXPECT_EQ(pictureOptionsForOptions({pair->scaling, pair->allowClipping, std::nullopt}),
                  std::string(value));
    }
    EXPECT_FALSE(scalingForPictureOptions("tiled"));
}

TEST(GnomeBackgroundStyle, ControllerOptionsBecomeStretchedAndOddOptionsLeaveTheSettingAlone) {
    EXPECT_EQ(pictureOptionsForOptions({ImageScaling::axesIndependently, false, Color::black()}),
              "stretched");
    // Clipping missing reads as false.
    EXPECT_EQ(pictureOptionsForOptions({ImageScaling::proportionallyUpOrDown, {}, {}}), "scaled");
    EXPECT_FALSE(pictureOptionsForOptions({}));
    EXPECT_FALSE(pictureOptionsForOptions({{}, true, {}}));
    EXPECT_FALSE(pictureOptionsForOptions({static_cast<ImageScaling>(9), {}, {}}));
    EXPECT_FALSE(pictureOptionsForOptions({ImageScaling::proportionallyDown, true, {}}));
}

TEST(GnomeColorText, ParsesEveryHexFormInEitherCase) {
    EXPECT_EQ(parseColorText("#023c88"), (Color{2 / 255.0, 60 / 255.0, 136 / 255.0, 1}));
    EXPECT_EQ(parseColorText("#023C88"), parseColorText("#023c88"));
    EXPECT_TRUE(sameColor(*parseColorText("#fa0"), *parseColorText("#ffaa00")));
    EXPECT_TRUE(sameColor(*parseColorText("#fffaaa000"), *parseColorText("#ffffaaaa0000")));
    EXPECT_EQ(parseColorText("#000000000000"), Color::black());
    for (const char* bad : {"", "#", "#12", "#12345", "#1234567890123", "023c88", "#02x c88",
                            "black", "rgb(0,0,0)"}) {
        EXPECT_FALSE(parseColorText(bad)) << bad;
    }
}

TEST(GnomeColorText, FormatsWholeBytesShortAndKeepsFinerColoursExact) {
    EXPECT_EQ(formatColorText(Color::black()), "#000000");
    EXPECT_EQ(formatColorText(*parseColorText("#023C88")), "#023c88");
    // A 16-bit colour keeps all its precision.
    EXPECT_EQ(formatColorText(*parseColorText("#0102aabbfffe")), "#0102aabbfffe");
    EXPECT_EQ(formatColorText(Color{2.0, -1.0, 0.5, 0.2}), "#ffff00008000");
    EXPECT_FALSE(sameColor(*parseColorText("#000000"), *parseColorText("#000001")));
}

TEST(GnomeDesktop, RecognisesGnomeAndDesktopsBuiltOnIt) {
    for (const char* name :
         {"GNOME", "gnome", "ubuntu:GNOME", "GNOME-Classic:GNOME", "GNOME-Flashback:GNOME", "Unity",
          "Budgie:GNOME", "Pantheon", "pop:GNOME"}) {
        EXPECT_TRUE(isGnomeBasedDesktop(name)) << name;
    }
    for (const char* name : {"", "KDE", "X-Cinnamon", "MATE", "XFCE", "LXQt", "gnomish", ":"}) {
        EXPECT_FALSE(isGnomeBasedDesktop(name)) << name;
    }
}

TEST(GnomePictureUri, LocalFilesBecomeFileUrlsAndEverythingElseIsNotLocal) {
    EXPECT_EQ(urlForPictureUri("file:///usr/share/backgrounds/a%20b.jpg"),
              Url("file", "/usr/share/backgrounds/a b.jpg"));
    EXPECT_EQ(urlForPictureUri("file://localhost/p.png"), Url("file", "/p.png"));
    EXPECT_EQ(urlForPictureUri("/home/u/p.png"), Url("file", "/home/u/p.png"));
    const auto remote = urlForPictureUri("HTTPS://example.org/p.jpg");
    ASSERT_TRUE(remote);
    EXPECT_EQ(*remote, Url("https", "//example.org/p.jpg"));
    const auto otherHost = urlForPictureUri("file://server/share/p.png");
    ASSERT_TRUE(otherHost);
    EXPECT_FALSE(otherHost->isFileURL());
    EXPECT_FALSE(urlForPictureUri(""));
    EXPECT_FALSE(urlForPictureUri("p.png"));
}

TEST(GnomeBackgroundRecord, AnEarlierVersionsRecordJoinsThePreferencesOnceAndIsRemoved) {
    quillhaven::testing::TempFolder folder;
    const std::string path = folder / "gnome-background.conf";
    const auto writeFile = [](const std::string& file, const std::string& text) {
        std::ofstream(file) << text;
    };
    writeFile(path, "[Saved]\nPictureUri=file:///light\nPictureUriDark=file:///dark\n"
                                   "PrimaryColor=#023C88\n[Applied]\nPictureUri=file:///gen.png\n");
    auto keys = std::make_shared<quillhaven::testing::InMemoryKeyValueStore>();
    auto& defaults = *keys;
    quillhaven::StoredPreferences preferences(keys,
                                              std::make_shared<quillhaven::TextColorArchive>());
    migrateBackgroundRecord(path, preferences);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(defaults.stringForKey("quillHaven.originalDesktopSettings"),
              "picture-uri=file:///light\npicture-uri-dark=file:///dark\nprimary-color=#023C88\n");
    EXPECT_EQ(defaults.stringForKey("quillHaven.appliedDesktopSettings"),
              "picture-uri=file:///gen.png\n");
    // Settings already in the preferences win; the old file still goes.
    writeFile(path, "[Saved]\nPictureUri=file:///other\n");
    migrateBackgroundRecord(path, preferences);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(defaults.stringForKey("quillHaven.originalDesktopSettings"),
              "picture-uri=file:///light\npicture-uri-dark=file:///dark\nprimary-color=#023C88\n");
}

}  // namespace
}  // namespace quillhaven::gnome
