// The QScreen display service on Qt's offscreen platform: one screen, which is therefore
// the built-in panel.

#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QScreen>

#include <filesystem>
#include <fstream>

#include "platform/displays/qscreen_display_service.h"

namespace quillhaven {
namespace {

namespace fs = std::filesystem;

QGuiApplication& application() {
    static int argc = 1;
    static char name[] = "quillhaven-test";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return app;
}

class QScreenDisplayServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        application();
        root_ = fs::temp_directory_path() / "quillhaven-qscreen-test";
        fs::remove_all(root_);
        qunsetenv(notchHeightOverrideVariable);
    }
    void TearDown() override {
        qunsetenv(notchHeightOverrideVariable);
        fs::remove_all(root_);
    }
    void writeShownNotch(std::uint8_t height) {
        write(root_ / "sys/module/appledrm/parameters/show_notch", "Y\n");
        write(root_ / "proc/device-tree/aliases/dcp", std::string("/dcp\0", 5));
        write(root_ / "proc/device-tree/dcp/apple,notch-height",
              std::string("\0\0\0", 3) + static_cast<char>(height));
    }
    static void write(const fs::path& path, const std::string& content) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }
    NotchSources sources() const { return {root_ / "sys", root_ / "proc"}; }

    fs::path root_;
};

TEST_F(QScreenDisplayServiceTest, ListsTheOnlyScreenAsTheBuiltInPanelWithItsNotch) {
    QScreenDisplayService service(sources());
    auto displays = service.screens();
    ASSERT_EQ(displays.size(), 1u);
    const QScreen* screen = QGuiApplication::primaryScreen();
    EXPECT_EQ(displays[0].connector, screen->name().toStdString());
    EXPECT_EQ(displays[0].geometry, (Rect{0, 0, static_cast<double>(screen->geometry().width()),
                                          static_cast<double>(screen->geometry().height())}));
    EXPECT_EQ(displays[0].devicePixelRatio, screen->devicePixelRatio());
    EXPECT_TRUE(displays[0].isBuiltIn) << "the only screen";
    EXPECT_EQ(displays[0].notchHeight, std::nullopt);

    // Read afresh on every call: the notch appears once the tree shows it.
    writeShownNotch(64);
    displays = service.screens();
    EXPECT_EQ(displays[0].notchHeight, 64u);
}

TEST_F(QScreenDisplayServiceTest, TheOverrideVariableWinsAndInvalidValuesAreIgnored) {
    writeShownNotch(64);
    QScreenDisplayService service(sources());

    qputenv(notchHeightOverrideVariable, "40");
    EXPECT_EQ(service.screens()[0].notchHeight, 40u);

    qputenv(notchHeightOverrideVariable, "forty");
    EXPECT_EQ(service.screens()[0].notchHeight, 64u);

    fs::remove_all(root_);
    qputenv(notchHeightOverrideVariable, "0");
    EXPECT_EQ(service.screens()[0].notchHeight, std::nullopt);
}

}  // namespace
}  // namespace quillhaven
