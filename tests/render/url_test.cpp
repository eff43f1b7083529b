#include <gtest/gtest.h>

#include <filesystem>

#include "core/url.h"

namespace quillhaven {
namespace {

TEST(UrlTest, FileUrlsAndDirectoryForms) {
    const Url file = Url::fileURLWithPath("/a/b.png");
    EXPECT_TRUE(file.isFileURL());
    EXPECT_EQ(file.path(), "/a/b.png");
    EXPECT_EQ(file.lastPathComponent(), "b.png");
    EXPECT_FALSE(file.hasDirectoryPath());
    EXPECT_EQ(file.displayString(), "file:///a/b.png");

    const Url folder = Url::directoryURLWithPath("/a/Generated");
    EXPECT_TRUE(folder.hasDirectoryPath());
    EXPECT_EQ(folder.rawPath(), "/a/Generated/");
    EXPECT_EQ(folder.path(), "/a/Generated");
    EXPECT_EQ(folder.appendingPathComponent("x.png"), Url::fileURLWithPath("/a/Generated/x.png"));
    EXPECT_EQ(folder.appendingPathComponent("sub", true).rawPath(), "/a/Generated/sub/");
    EXPECT_NE(folder, Url::fileURLWithPath("/a/Generated"));  // equality is exact

    const Url relative = Url::fileURLWithPath("pic.png");
    EXPECT_EQ(relative.path(), (std::filesystem::current_path() / "pic.png").string());

    const Url remote("https", "//example.org/p.png");
    EXPECT_FALSE(remote.isFileURL());
    EXPECT_EQ(remote.displayString(), "https://example.org/p.png");
    EXPECT_TRUE(Url().isEmpty());
    EXPECT_EQ(Url::fileURLWithPath("/").path(), "/");
}

TEST(UrlTest, SameLocationIgnoresOnlyRedundantSpelling) {
    const Url plain = Url::fileURLWithPath("/data/Generated/a.png");
    EXPECT_TRUE(plain.isSameLocation(Url("file", "//data//Generated/./a.png")));
    EXPECT_TRUE(plain.isSameLocation(Url("file", "/data/Generated/a.png/")));
    EXPECT_TRUE(Url("file", "/").isSameLocation(Url("file", "//./")));
    // ".." may pass through a link, so it is not resolved; case and other schemes count.
    EXPECT_FALSE(plain.isSameLocation(Url("file", "/data/x/../Generated/a.png")));
    EXPECT_FALSE(plain.isSameLocation(Url("file", "/data/Generated/A.png")));
    EXPECT_FALSE(plain.isSameLocation(Url("https", "/data/Generated/a.png")));
    EXPECT_FALSE(Url("https", "//host/a").isSameLocation(Url("https", "//host//a")));
}

TEST(UrlTest, StandardizingIsLexical) {
    auto standard = [](const std::string& path) {
        return Url("file", path).standardized().rawPath();
    };
    EXPECT_EQ(standard("/a/./b/../c.png"), "/a/c.png");
    EXPECT_EQ(standard("/a//b///c"), "/a/b/c");
    EXPECT_EQ(standard("/a/b/"), "/a/b/");
    EXPECT_EQ(standard("/a/b/.."), "/a");
    EXPECT_EQ(standard("/../x"), "/x");
    EXPECT_EQ(standard("/"), "/");
    EXPECT_EQ(standard("a/../../b"), "../b");
    EXPECT_EQ(Url("file", "/a/../b").standardized().scheme(), "file");
}

}  // namespace
}  // namespace quillhaven
