// Script literals and the Image values Plasma keeps.

#include <gtest/gtest.h>

#include "platform/plasma/wallpaper_scripts.h"

namespace quillhaven::plasma {
namespace {

TEST(WallpaperScriptsTest, StringLiteralsEscapeEverythingThatCouldEndThem) {
    EXPECT_EQ(scriptStringLiteral("plain"), "\"plain\"");
    EXPECT_EQ(scriptStringLiteral("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(scriptStringLiteral("line\nfeed\ttab"), "\"line\\u000afeed\\u0009tab\"");
    EXPECT_EQ(scriptStringLiteral("\xE2\x80\xA8|\xE2\x80\xA9"), "\"\\u2028|\\u2029\"");
    // Other non-ASCII text passes through as UTF-8.
    EXPECT_EQ(scriptStringLiteral("壁紙"), "\"壁紙\"");
}

TEST(WallpaperScriptsTest, ImageValuesBecomeUrls) {
    EXPECT_EQ(urlForImageValue("file:///home/a/b%20c.png"), Url("file", "/home/a/b c.png"));
    EXPECT_EQ(urlForImageValue("file:///home/a/b c.png"), Url("file", "/home/a/b c.png"));
    EXPECT_EQ(urlForImageValue("/home/a/b%20c.png"), Url("file", "/home/a/b%20c.png"));
    EXPECT_EQ(urlForImageValue(""), std::nullopt);
    const auto remote = urlForImageValue("https://example.org/a.jpg");
    ASSERT_TRUE(remote.has_value());
    EXPECT_FALSE(remote->isFileURL());

    for (const std::string path : {"/a/b c.png", "/a/%41#?.png", "/写真/ü.png", "/a\\b\".png"}) {
        EXPECT_EQ(urlForImageValue(imageValueForPath(path)), Url::fileURLWithPath(path)) << path;
    }
}

TEST(WallpaperScriptsTest, AnswersAreReadStrictly) {
    const auto reading = parseWallpaperAnswer(
        R"({"found":true,"plugin":"org.kde.image","image":"file:///a.png","fillMode":6,"color":"1,2,3"})");
    ASSERT_TRUE(reading.has_value());
    EXPECT_TRUE(reading->found);
    EXPECT_EQ(reading->fillMode, 6);
    EXPECT_EQ(reading->color, "1,2,3");
    EXPECT_EQ(parseWallpaperAnswer(R"({"found":true,"fillMode":2.5})")->fillMode, 2);
    EXPECT_EQ(parseWallpaperAnswer(R"({"found":true,"fillMode":9})")->fillMode, 2);
    EXPECT_EQ(parseWallpaperAnswer("not json"), std::nullopt);
    EXPECT_EQ(parseWallpaperAnswer(R"({"plugin":"x"})"), std::nullopt);
    // Two prints in one answer are not one object.
    EXPECT_EQ(parseWallpaperAnswer(R"({"found":true}{"found":false})"), std::nullopt);
}

}  // namespace
}  // namespace quillhaven::plasma
