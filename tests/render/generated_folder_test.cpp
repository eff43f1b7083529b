// The generated folder: membership test and clean-up.

#include <gtest/gtest.h>

#include <filesystem>

#include "render_test_support.h"

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

class CleanupTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(generated / "subfolder" / "deeper");
        writeBytes(generated / "quillhaven-A.png", "a");
        writeBytes(generated / "quillhaven-B.png", "b");
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

    TempFolder folder;
    fs::path generated = folder / "Generated";
};

TEST_F(CleanupTest, KeepsOnlyTheGivenFile) {
    const WallpaperProcessor processor(folderUrl());
    processor.removeOldGeneratedWallpapers(folderUrl().appendingPathComponent("quillhaven-B.png"));
    EXPECT_EQ(remaining(), std::vector<std::string>{"quillhaven-B.png"});
}

TEST_F(CleanupTest, RemovesEverythingWithoutAFileToKeepOrWithOneOutside) {
    const WallpaperProcessor processor(folderUrl());
    processor.removeOldGeneratedWallpapers(Url::fileURLWithPath("/elsewhere/quillhaven-A.png"));
    EXPECT_TRUE(remaining().empty());
    EXPECT_TRUE(fs::is_directory(generated));  // the folder itself stays
    writeBytes(generated / "again.png", "x");
    processor.removeOldGeneratedWallpapers(std::nullopt);
    EXPECT_TRUE(remaining().empty());
}

TEST_F(CleanupTest, KeepsTheFileARenderJustWrote) {
    const WallpaperProcessor processor(folderUrl());
    const auto source = savePng(solid(4, 4, Qt::red), folder / "p.png");
    const ProcessingResult result =
        processor.processSynchronously(makeRequest(source, 4, 4, 1, 1, 0));
    ASSERT_TRUE(result.succeeded());
    processor.removeOldGeneratedWallpapers(result.url());
    EXPECT_EQ(remaining(), std::vector<std::string>{result.url().lastPathComponent()});
}

TEST_F(CleanupTest, MissingFolderIsIgnored) {
    const WallpaperProcessor processor(Url::directoryURLWithPath((folder / "none").string()));
    processor.removeOldGeneratedWallpapers(std::nullopt);
    EXPECT_FALSE(fs::exists(folder / "none"));
}

TEST_F(CleanupTest, EntryThatCannotBeRemovedStaysAndTheRestGo) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root can remove entries from a read-only folder";
    }
    fs::permissions(generated / "subfolder" / "deeper",
                    fs::perms::owner_read | fs::perms::owner_exec);
    const WallpaperProcessor processor(folderUrl());
    processor.removeOldGeneratedWallpapers(std::nullopt);
    EXPECT_EQ(remaining(), std::vector<std::string>{"subfolder"});
}

}  // namespace
}  // namespace quillhaven
