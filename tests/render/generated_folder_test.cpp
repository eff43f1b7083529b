// The generated folder: membership test and clean-up.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/render/render_test_support.h"

namespace quillhaven {
namespace {

using namespace testing;
namespace fs = std::filesystem;

TEST(GeneratedFolderTest, GivenFolderIsUsedUnchanged) {
    const Url given("file", "/tmp/some/../place");
    EXPECT_EQ(WallpaperProcessor(given).outputDirectory(), given);
}

TEST(GeneratedFolderTest, MembershipGoesByStandardizedLocation) {
    const WallpaperProcessor processor(Url::directoryURLWithPath("/data/Quillhaven/Generated"));
    auto inside = [&](const std::string& path) {
        return processor.isGeneratedWallpaper(Url::fileURLWithPath(path));
    };
    EXPECT_TRUE(inside("/data/Quillhaven/Generated/quillhaven-1.png"));
    EXPECT_TRUE(inside("/data/Quillhaven/Generated/sub/any-name.jpg"));
    EXPECT_TRUE(inside("/data/Quillhaven/Other/../Generated/./x.png"));
    EXPECT_TRUE(inside("/data//Quillhaven/Generated//x.png"));
    EXPECT_FALSE(inside("/data/Quillhaven/Generated"));
    EXPECT_FALSE(inside("/data/Quillhaven/Generated/"));
    EXPECT_FALSE(inside("/data/Quillhaven/beside.png"));
    EXPECT_FALSE(inside("/data/Quillhaven/GeneratedOld/x.png"));
    EXPECT_FALSE(inside("/data/Quillhaven/Generated/../escaped.png"));
    EXPECT_FALSE(inside("/data/Quillhaven/generated/x.png"));  // case-sensitive
    // A folder URL given without its trailing slash, or with dot components, works alike.
    const WallpaperProcessor plain(Url("file", "/data/./Quillhaven/Generated"));
    EXPECT_TRUE(plain.isGeneratedWallpaper(Url::fileURLWithPath("/data/Quillhaven/Generated/a")));
}

constexpr const char* ownA = "quillhaven-0A1B2C3D-0000-4000-8000-00000000000A.png";
constexpr const char* ownB = "quillhaven-0A1B2C3D-0000-4000-8000-00000000000B.png";
// The temporary file of a write cut short by a crash.
constexpr const char* ownTemporary = "quillhaven-0A1B2C3D-0000-4000-8000-00000000000C.png.a1B2c3";

class CleanupTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(generated / "subfolder" / "deeper");
        writeBytes(generated / ownA, "a");
        writeBytes(generated / ownB, "b");
        writeBytes(generated / ownTemporary, "t");
        writeBytes(generated / ".hidden", "h");
        writeBytes(generated / "foreign.txt", "f");
        writeBytes(generated / "subfolder" / "deeper" / "file", "x");
    }
    Url folderUrl() const { return Url::directoryURLWithPath(generated.string()); }
    std::vector<std::string> remaining() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(generated)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    // What the user put in the folder, which no clean-up touches.
    static std::vector<std::string> usersOwn() { return {".hidden", "foreign.txt", "subfolder"}; }
    static std::vector<std::string> plus(std::vector<std::string> names, const std::string& name) {
        names.push_back(name);
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder folder;
    fs::path generated = folder / "Generated";
};

TEST_F(CleanupTest, KeepsOnlyTheGivenFileOfItsOwn) {
    const WallpaperProcessor processor(folderUrl());
    processor.removeOldGeneratedWallpapers(folderUrl().appendingPathComponent(ownB));
    EXPECT_EQ(remaining(), plus(usersOwn(), ownB));
    EXPECT_TRUE(fs::exists(generated / "subfolder" / "deeper" / "file"));
}

TEST_F(CleanupTest, RemovesItsOwnFilesWithoutAFileToKeepOrWithOneOutside) {
    const WallpaperProcessor processor(folderUrl());
    processor.removeOldGeneratedWallpapers(Url::fileURLWithPath(std::string("/elsewhere/") + ownA));
    EXPECT_EQ(remaining(), usersOwn());
    EXPECT_TRUE(fs::is_directory(generated));  // the folder itself stays
    writeBytes(generated / ownA, "x");
    processor.removeOldGeneratedWallpapers(std::nullopt);
    EXPECT_EQ(remaining(), usersOwn());
}

TEST_F(CleanupTest, NamesThatOnlyResembleItsOwnStay) {
    const std::vector<std::string> lookalikes = {
        "quillhaven-0a1b2c3d-0000-4000-8000-00000000000a.png",   // lower case
        "quillhaven-0A1B2C3D-0000-4000-8000-00000000000A.jpg",   // another extension
        "quillhaven-0A1B2C3D-0000-4000-8000-00000000000A.png~",  // a backup
        "quillhaven-0A1B2C3D-0000-4000-8000-0000000000.png",     // short
        "quillhaven-0A1B2C3D-0000-4000-8000-00000000000A.png.12345",
        "my-quillhaven-0A1B2C3D-0000-4000-8000-00000000000A.png",
        "quillhaven-.png",
    };
    for (const std::string& name : lookalikes) {
        writeBytes(generated / name, "keep");
    }
    WallpaperProcessor(folderUrl()).removeOldGeneratedWallpapers(std::nullopt);
    std::vector<std::string> expected = usersOwn();
    expected.insert(expected.end(), lookalikes.begin(), lookalikes.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(remaining(), expected);
}

TEST_F(CleanupTest, LinksAreNeverFollowedNorRemoved) {
    // Files elsewhere, reached through links that carry the renderer's own names.
    const fs::path elsewhere = folder / "elsewhere";
    fs::create_directories(elsewhere);
    writeBytes(elsewhere / ownA, "precious");
    fs::remove(generated / ownA);
    fs::create_symlink(elsewhere / ownA, generated / ownA);
    const std::string linkedFolder = "quillhaven-0A1B2C3D-0000-4000-8000-00000000000D.png";
    fs::create_directory_symlink(elsewhere, generated / linkedFolder);
    WallpaperProcessor(folderUrl()).removeOldGeneratedWallpapers(std::nullopt);
    EXPECT_EQ(remaining(), plus(plus(usersOwn(), ownA), linkedFolder));
    EXPECT_TRUE(fs::is_symlink(generated / ownA));
    EXPECT_EQ(readBytes(elsewhere / ownA), "precious");

    // A generated folder that is itself a link is not cleaned through the link.
    const fs::path linked = folder / "LinkedGenerated";
    fs::create_directory_symlink(elsewhere, linked);
    WallpaperProcessor(Url::directoryURLWithPath(linked.string()))
        .removeOldGeneratedWallpapers(std::nullopt);
    EXPECT_EQ(readBytes(elsewhere / ownA), "precious");
}

TEST_F(CleanupTest, KeepsTheFileARenderJustWrote) {
    const WallpaperProcessor processor(folderUrl());
    const auto source = savePng(solid(4, 4, Qt::red), folder / "p.png");
    const ProcessingResult result =
        processor.processSynchronously(makeRequest(source, 4, 4, 1, 1, 0));
    ASSERT_TRUE(result.succeeded());
    processor.removeOldGeneratedWallpapers(result.value());
    EXPECT_EQ(remaining(), plus(usersOwn(), result.value().lastPathComponent()));
    // The same file named with redundant slashes is still the one kept.
    processor.removeOldGeneratedWallpapers(
        Url("file", generated.string() + "//./" + result.value().lastPathComponent()));
    EXPECT_EQ(remaining(), plus(usersOwn(), result.value().lastPathComponent()));
}

TEST_F(CleanupTest, MissingFolderIsIgnored) {
    const WallpaperProcessor processor(Url::directoryURLWithPath((folder / "none").string()));
    processor.removeOldGeneratedWallpapers(std::nullopt);
    EXPECT_FALSE(fs::exists(folder / "none"));
}

TEST_F(CleanupTest, FileThatCannotBeRemovedStaysAndTheRestGo) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root can remove entries from a read-only folder";
    }
    const std::string name = "quillhaven-0A1B2C3D-0000-4000-8000-00000000000E.png";
    writeBytes(generated / name, "e");
    fs::permissions(generated, fs::perms::owner_read | fs::perms::owner_exec);
    WallpaperProcessor(folderUrl()).removeOldGeneratedWallpapers(std::nullopt);
    fs::permissions(generated, fs::perms::owner_all);
    EXPECT_TRUE(fs::exists(generated / name));
}

}  // namespace
}  // namespace quillhaven
