#include "platform/ini_preference_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <limits>

#include "controller/preference_keys.h"
#include "core/environment.h"
#include "tests/platform/test_support.h"
#include "tests/support/file_size_limit.h"

namespace quillhaven {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::writeFile;
namespace keys = preference_keys;

class IniPreferenceStoreTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::string path = folder / "Quillhaven/Quillhaven.conf";
    IniPreferenceStore store{path};
};

TEST_F(IniPreferenceStoreTest, AbsentKeysReadFalseZeroAndNoneWithoutCreatingTheFile) {
    EXPECT_FALSE(store.boolForKey(keys::enabled));
    EXPECT_EQ(store.integerForKey(keys::originalImageScaling), 0);
    EXPECT_EQ(store.stringForKey(keys::originalWallpaper), std::nullopt);
    EXPECT_EQ(store.dataForKey(keys::originalFillColor), std::nullopt);
    EXPECT_FALSE(store.hasObjectForKey(keys::enabled));
    EXPECT_FALSE(testing::fileExists(path));
}

TEST_F(IniPreferenceStoreTest, EveryKindRoundTripsUnderItsExactDottedKey) {
    store.setBool(true, keys::enabled);
    store.setBool(false, keys::originalAllowClipping);
    EXPECT_TRUE(store.boolForKey(keys::enabled));
    EXPECT_FALSE(store.boolForKey(keys::originalAllowClipping));
    EXPECT_TRUE(store.hasObjectForKey(keys::originalAllowClipping)) << "false is still stored";

    for (std::int64_t value :
         {std::numeric_limits<std::int64_t>::min(), std::int64_t{-1}, std::int64_t{0},
          std::int64_t{3}, std::numeric_limits<std::int64_t>::max()}) {
        store.setInteger(value, keys::originalImageScaling);
        EXPECT_EQ(store.integerForKey(keys::originalImageScaling), value);
    }

    for (const std::string& text :
         {std::string(), std::string("/home/ユーザー/写真/夕焼け 1.png"), std::string("a, b,c"),
          std::string("@ByteArray(x)"), std::string("  padded  "),
          std::string("quote \" back\\slash ; # = [x]"), std::string("true")}) {
        store.setString(text, keys::originalWallpaper);
        EXPECT_EQ(store.stringForKey(keys::originalWallpaper), text);
    }

    Data bytes;
    for (int byte = 0; byte < 256; ++byte) {
        bytes.push_back(static_cast<std::uint8_t>(byte));
    }
    store.setData(bytes, keys::originalFillColor);
    EXPECT_EQ(store.dataForKey(keys::originalFillColor), bytes);
    store.setData(Data{}, keys::originalFillColor);
    EXPECT_EQ(store.dataForKey(keys::originalFillColor), Data{});

    const std::string file = readFile(path);
    EXPECT_NE(file.find("[General]"), std::string::npos);
    EXPECT_NE(file.find("quillHaven.enabled=true"), std::string::npos) << file;
    EXPECT_NE(file.find("quillHaven.originalImageScaling=9223372036854775807"), std::string::npos)
        << file;

    store.removeObject(keys::enabled);
    EXPECT_FALSE(store.hasObjectForKey(keys::enabled));
    EXPECT_FALSE(store.boolForKey(keys::enabled));
    EXPECT_TRUE(store.hasObjectForKey(keys::originalWallpaper)) << "other keys stay";
}

TEST_F(IniPreferenceStoreTest, ValuesOfAnotherKindReadByTheTypeRules) {
    writeFile(path,
              "[General]\n"
              "quillHaven.enabled=yes\n"
              "quillHaven.originalImageScaling=abc\n"
              "quillHaven.originalAllowClipping=0\n"
              "quillHaven.originalWallpaper=3.7\n"
              "quillHaven.huge=99999999999999999999\n"
              "quillHaven.flag=true\n"
              "quillHaven.originalFillColor=@ByteArray(\\x1\\x2)\n");
    EXPECT_TRUE(store.boolForKey(keys::enabled));
    EXPECT_EQ(store.integerForKey(keys::originalImageScaling), 0);
    EXPECT_FALSE(store.boolForKey(keys::originalImageScaling)) << "unknown words are false";
    EXPECT_FALSE(store.boolForKey(keys::originalAllowClipping));
    EXPECT_EQ(store.integerForKey(keys::originalWallpaper), 3);
    EXPECT_EQ(store.integerForKey("quillHaven.huge"), 0) << "out of range reads 0";
    EXPECT_EQ(store.integerForKey("quillHaven.flag"), 1);
    EXPECT_EQ(store.stringForKey(keys::originalImageScaling), "abc");
    EXPECT_EQ(store.dataForKey(keys::originalImageScaling), std::nullopt) << "text is not data";
    EXPECT_EQ(store.stringForKey(keys::originalFillColor), std::nullopt) << "data is not text";
    EXPECT_EQ(store.dataForKey(keys::originalFillColor), (Data{1, 2}));
}

TEST_F(IniPreferenceStoreTest, AFileEditedByHandIsReadAtTheNextCall) {
    store.setBool(true, keys::enabled);
    ASSERT_TRUE(store.boolForKey(keys::enabled));
    writeFile(path, "[General]\nquillHaven.enabled=false\nquillHaven.originalWallpaper=/p.png\n");
    EXPECT_FALSE(store.boolForKey(keys::enabled));
    EXPECT_EQ(store.stringForKey(keys::originalWallpaper), "/p.png");
    EXPECT_EQ(IniPreferenceStore(path).stringForKey(keys::originalWallpaper), "/p.png");
}

// QSettings loads "@Variant(...)" and "@DateTime(...)" values through QDataStream, which
// trusts the counts it reads: a few bytes can ask for gigabytes. The store never writes such
// values, so they are never loaded, in any spelling QSettings accepts (each one below loads
// as a streamed value in plain QSettings), and the rest of the file still reads.
TEST_F(IniPreferenceStoreTest, ValuesThatWouldLoadAsStreamedVariantsAreNeverLoaded) {
    writeFile(path,
              "[General]\n"
              "quillHaven.enabled=true\n"
              "huge=@Variant(\\0\\0\\0\\v\\0\\x7f\\xff\\xff\\xff)\n"
              "quillHaven.originalWallpaper=/home/u/\xe5\x86\x99/@Variant(1).png\n"
              "quoted=\"\\x40Variant(\\0\\0\\0\\x2\\0\\0\\0\\0\\x5)\"\n"
              // numeric escapes keep the low 16 bits of their code: both are '@'
              "wide=\\x10040Variant(\\0\\0\\0\\x2\\0\\0\\0\\0\\x5)\n"
              "octal=\\200100Variant(\\0\\0\\0\\x2\\0\\0\\0\\0\\x5)\n"
              "listed=a, @Var\"iant(\\0\\0\\0\\x2\\0\\0\\0\\0\\x5)\"\n"
              "continued=first, \\\n"
              "@Variant(\\0\\0\\0\\x2\\0\\0\\0\\0\\x5)\n"
              "dated=@DateTime(\\0\\0\\0\\x2\\0\\0\\0\\0\\0\\x5)\n"
              // an unknown escape, and an 'x' without digits, stand for nothing
              "unknown=\\q@Variant(\\0\\0\\0\\x2\\0\\0\\0\\0\\x5)\n"
              "bareX=\\x@Variant(\\0\\0\\0\\x2\\0\\0\\0\\0\\x5)\n"
              // a carriage return ends a line; a line break inside quotes does not
              "before=1\rreturned=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\0\\x5)\n"
              "joined=\"\n\",@Variant(\\0\\0\\0\\x2\\0\\0\\0\\0\\x5)\n"
              "crlf=@Var\\\r\niant(\\0\\0\\0\\x2\\0\\0\\0\\0\\x5)\n"
              // spaces after an escaped line break belong to the element: this one is text
              "indented=first, \\\n"
              "  @Variant(\\0\\0\\0\\x2\\0\\0\\0\\0\\x5)\n"
              // a comment is not part of the value before it
              "commented=x ;@Variant(\\0\\0\\0\\x2\\0\\0\\0\\0\\x5)\n"
              "quillHaven.originalFillColor=@ByteArray(\\0\\x1z)\n"
              "quillHaven.originalImageScaling=3\n");
    const char* const unloadable[] = {"huge",   "quoted",    "wide",   "octal",
                                      "listed", "continued", "dated",  "unknown",
                                      "bareX",  "returned",  "joined", "crlf"};
    const auto expectTheRecordIntact = [&](const char* when) {
        EXPECT_TRUE(store.boolForKey(keys::enabled)) << when;
        EXPECT_EQ(store.stringForKey(keys::originalWallpaper),
                  "/home/u/\xe5\x86\x99/@Variant(1).png")
            << when;
        EXPECT_EQ(store.dataForKey(keys::originalFillColor), (Data{0, 1, 'z'})) << when;
        EXPECT_EQ(store.integerForKey(keys::originalImageScaling), 3) << when;
        EXPECT_EQ(store.stringForKey("before"), "1") << when;
        EXPECT_EQ(store.stringForKey("commented"), "x") << when;
        EXPECT_TRUE(store.hasObjectForKey("indented")) << when;
        for (const char* key : unloadable) {
            EXPECT_FALSE(store.hasObjectForKey(key)) << key << ", " << when;
        }
    };
    expectTheRecordIntact("as written by hand");

    store.setInteger(3, keys::originalImageScaling);
    expectTheRecordIntact("after a write");
    const std::string text = testing::readFile(path);
    for (const char* key : unloadable) {
        EXPECT_EQ(text.find("\n" + std::string(key) + "="), std::string::npos) << key << " is gone";
    }
}

TEST_F(IniPreferenceStoreTest, WritesReplaceTheFileByRenameAndLeaveNoTemporaryFiles) {
    store.setString("/first.png", keys::originalWallpaper);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    store.setInteger(2, keys::originalImageScaling);
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino) << "a new file renamed over the old one";
    int entries = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(folder / "Quillhaven")) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
    EXPECT_EQ(IniPreferenceStore(path).stringForKey(keys::originalWallpaper), "/first.png");
}

TEST_F(IniPreferenceStoreTest, AWriteOnAFullDiskLeavesThePreviousFileWhole) {
    store.setString("/first.png", keys::originalWallpaper);
    store.setInteger(2, keys::originalImageScaling);
    const std::string before = readFile(path);
    {
        const testing::FileSizeLimit fullDisk(16);
        store.setString("/a/much/longer/path/to/the/second/picture.png", keys::originalWallpaper);
        store.setBool(true, keys::enabled);
    }
    EXPECT_EQ(readFile(path), before);
    // The caller can tell: the value reads back as it was.
    EXPECT_EQ(store.stringForKey(keys::originalWallpaper), "/first.png");
    EXPECT_FALSE(store.boolForKey(keys::enabled));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(folder / "Quillhaven")) {
        ++entries;
    }
    EXPECT_EQ(entries, 1) << "no temporary file is left behind";
}

TEST_F(IniPreferenceStoreTest, AnUnwritableOrUnreadableFileNeverCrashes) {
    testing::blockWithFile(folder / "Quillhaven");
    store.setBool(true, keys::enabled);
    store.setData(Data{1}, keys::originalFillColor);
    store.removeObject(keys::enabled);
    EXPECT_FALSE(store.boolForKey(keys::enabled));
    EXPECT_FALSE(store.hasObjectForKey(keys::originalFillColor));
    EXPECT_EQ(readFile(folder / "Quillhaven"), "not a folder\n");

    const std::string garbagePath = folder / "garbage.conf";
    writeFile(garbagePath, std::string("\x00\xff[[[=\n=\x01", 10) + "\n[General\nx");
    IniPreferenceStore garbage(garbagePath);
    EXPECT_FALSE(garbage.boolForKey(keys::enabled));
    EXPECT_EQ(garbage.stringForKey(keys::originalWallpaper), std::nullopt);
    garbage.setBool(true, keys::enabled);
    EXPECT_TRUE(garbage.boolForKey(keys::enabled));

}

TEST_F(IniPreferenceStoreTest, WhatCannotBeReadInTheFilesPlaceReadsEmptyAndIsKeptAsideByAWrite) {
    const auto kept = [&](const std::string& name) {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            count += entry.path().filename().string().rfind(name + ".unreadable-", 0) == 0;
        }
        return count;
    };
    // A folder, a FIFO (which a plain open would wait on for ever) and a file too large to
    // be preferences.
    std::filesystem::create_directories(folder / "dir.conf");
    ASSERT_EQ(::mkfifo((folder / "fifo.conf").c_str(), 0600), 0);
    writeFile(folder / "huge.conf",
              "[General]\nquillHaven.enabled=true\n" +
                  std::string(IniPreferenceStore::maxFileBytes, '#'));
    for (const char* name : {"dir.conf", "fifo.conf", "huge.conf"}) {
        SCOPED_TRACE(name);
        IniPreferenceStore odd(folder / name);
        EXPECT_FALSE(odd.boolForKey(keys::enabled));
        EXPECT_FALSE(odd.hasObjectForKey(keys::enabled));
        odd.setString("/p.png", keys::originalWallpaper);
        EXPECT_EQ(odd.stringForKey(keys::originalWallpaper), "/p.png");
        EXPECT_EQ(kept(name), 1);
    }
}

}  // namespace
}  // namespace quillhaven
