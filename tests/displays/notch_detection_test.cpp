// The notch detection against fake sysfs and device-tree folders.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/displays/notch_detection.h"

namespace quillhaven {
namespace {

namespace fs = std::filesystem;

class FakeTree {
public:
    FakeTree() {
        root_ = fs::temp_directory_path() /
                ("quillhaven-notch-" +
                 std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    ~FakeTree() { fs::remove_all(root_); }

    NotchSources sources() const { return {root_ / "sys", root_ / "proc"}; }

    void showNotch(const std::string& module, const std::string& value) {
        write(root_ / "sys/module" / module / "parameters/show_notch", value);
    }
    // The alias names the node as the firmware does, NUL-terminated.
    void dcpNode(const std::string& nodePath) {
        write(root_ / "proc/device-tree/aliases/dcp", nodePath + std::string(1, '\0'));
    }
    void notchHeightProperty(const std::string& nodePath, const std::string& bytes) {
        write(
            root_ / "proc/device-tree" / fs::path(nodePath).relative_path() / "apple,notch-height",
            bytes);
    }
    // A 14-inch laptop: 74 rows of notch, big-endian.
    void macBookPro(const std::string& module = "appledrm", const std::string& shown = "Y\n") {
        showNotch(module, shown);
        dcpNode("/soc/dcp@38bc00000");
        notchHeightProperty("/soc/dcp@38bc00000", std::string("\0\0\0\x4a", 4));
    }

private:
    static void write(const fs::path& path, const std::string& content) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }
    fs::path root_;
};

TEST(NotchDetectionTest, ShownNotchGivesTheDeviceTreeHeight) {
    FakeTree tree;
    tree.macBookPro();
    EXPECT_TRUE(isNotchShown(tree.sources()));
    EXPECT_EQ(detectBuiltInNotchHeight(tree.sources()), 74u);

    FakeTree integerParameter;
    integerParameter.macBookPro("appledrm", "1\n");
    EXPECT_EQ(detectBuiltInNotchHeight(integerParameter.sources()), 74u);
}

TEST(NotchDetectionTest, HiddenRowsMeanNoNotch) {
    FakeTree tree;
    tree.macBookPro("appledrm", "N\n");
    EXPECT_FALSE(isNotchShown(tree.sources()));
    EXPECT_EQ(detectBuiltInNotchHeight(tree.sources()), std::nullopt);
    // The height is still known; only the rows are hidden.
    EXPECT_EQ(deviceTreeNotchHeight(tree.sources()), 74u);
}

TEST(NotchDetectionTest, TheOlderModuleNameIsRead) {
    FakeTree tree;
    tree.macBookPro("apple_dcp", "Y\n");
    EXPECT_EQ(detectBuiltInNotchHeight(tree.sources()), 74u);

    // When both exist the current module decides.
    FakeTree both;
    both.macBookPro("apple_dcp", "Y\n");
    both.showNotch("appledrm", "N\n");
    EXPECT_EQ(detectBuiltInNotchHeight(both.sources()), std::nullopt);
}

TEST(NotchDetectionTest, MissingOrBrokenDeviceTreeDataMeansNoNotch) {
    FakeTree noParameter;
    noParameter.dcpNode("/soc/dcp");
    noParameter.notchHeightProperty("/soc/dcp", std::string("\0\0\0\x40", 4));
    EXPECT_EQ(detectBuiltInNotchHeight(noParameter.sources()), std::nullopt);

    FakeTree noAlias;
    noAlias.showNotch("appledrm", "Y");
    EXPECT_EQ(detectBuiltInNotchHeight(noAlias.sources()), std::nullopt);

    FakeTree noProperty;
    noProperty.showNotch("appledrm", "Y");
    noProperty.dcpNode("/soc/dcp");
    EXPECT_EQ(detectBuiltInNotchHeight(noProperty.sources()), std::nullopt);

    FakeTree shortProperty;
    shortProperty.showNotch("appledrm", "Y");
    shortProperty.dcpNode("/soc/dcp");
    shortProperty.notchHeightProperty("/soc/dcp", std::string("\0\x40", 2));
    EXPECT_EQ(detectBuiltInNotchHeight(shortProperty.sources()), std::nullopt);

    FakeTree zeroHeight;
    zeroHeight.showNotch("appledrm", "Y");
    zeroHeight.dcpNode("/soc/dcp");
    zeroHeight.notchHeightProperty("/soc/dcp", std::string(4, '\0'));
    EXPECT_EQ(detectBuiltInNotchHeight(zeroHeight.sources()), std::nullopt);

    // An alias that tries to leave the device tree is not followed.
    FakeTree escaping;
    escaping.showNotch("appledrm", "Y");
    escaping.dcpNode("/../../sys");
    EXPECT_EQ(detectBuiltInNotchHeight(escaping.sources()), std::nullopt);
}

// The reads stop at 4096 bytes. A file that ends exactly at that cap must read as itself:
// its last 256-byte chunk must not be appended a second time.
TEST(NotchDetectionTest, AFileReachingTheReadCapIsReadOnce) {
    FakeTree tree;
    tree.macBookPro("appledrm", std::string(3840, ' ') + "Y" + std::string(255, ' '));
    EXPECT_TRUE(isNotchShown(tree.sources()));
    // Longer files are cut at the cap; what lies beyond it is never seen.
    tree.showNotch("appledrm", "Y" + std::string(4095, ' ') + "N");
    EXPECT_TRUE(isNotchShown(tree.sources()));
}

TEST(NotchDetectionTest, TheBuiltInPanelIsTheEmbeddedConnectorOrTheOnlyScreen) {
    EXPECT_TRUE(isBuiltInPanel("eDP-1", 2));
    EXPECT_TRUE(isBuiltInPanel("eDP", 3));
    EXPECT_FALSE(isBuiltInPanel("HDMI-A-1", 2));
    EXPECT_FALSE(isBuiltInPanel("DP-1", 2));
    EXPECT_TRUE(isBuiltInPanel("Unknown-1", 1));
    EXPECT_TRUE(isBuiltInPanel("", 1));
}

TEST(NotchDetectionTest, TheOverrideTakesPositiveWholePixelsOnly) {
    EXPECT_EQ(parseNotchHeightOverride("64"), 64u);
    EXPECT_EQ(parseNotchHeightOverride(" 74\n"), 74u);
    for (const char* invalid :
         {"", "  ", "0", "-64", "+64", "64px", "6.4", "abc", "99999999999", "10001"}) {
        EXPECT_EQ(parseNotchHeightOverride(invalid), std::nullopt) << '"' << invalid << '"';
    }
}

}  // namespace
}  // namespace quillhaven
