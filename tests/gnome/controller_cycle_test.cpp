// Whole apply-and-restore cycles of the real WallpaperController on the GNOME workspace:
// real GSettings (keyfile backend), a real renderer, in-memory preferences and displays.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "controller/messages.h"
#include "controller/wallpaper_controller.h"
#include "platform/gnome/gnome_workspace.h"
#include "tests/doubles/fake_desktop.h"
#include "tests/gnome/gsettings_fixture.h"
#include "platform/messages/platform_messages.h"

namespace quillhaven::gnome::testing {
namespace {

using quillhaven::testing::FakeDesktop;
using quillhaven::testing::FakeDisplayService;

class GnomeControllerCycleTest : public GSettingsFixture {
protected:
    void SetUp() override {
        GSettingsFixture::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        services = desktop.services();
        services.workspace = std::make_shared<GnomeWorkspace>();
        desktop.displays->setScreens({FakeDisplayService::notchedDisplay("builtin", 64, 40, 2, 8)});
        processor = std::make_shared<WallpaperProcessor>(
            Url::directoryURLWithPath((temp / "Generated").string()));
        light = uriFor(writePicture("light.png"));
        dark = uriFor(writePicture("dark.png", 10, 10, 10));
    }
    void TearDown() override {
        if (desktop.scheduler) {
            desktop.scheduler->drain();
        }
        controller.reset();
        GSettingsFixture::TearDown();
    }

    void start() { controller = WallpaperController::create(services, processor); }
    void switchOn() {
        controller->setEffectEnabled(true);
        ASSERT_TRUE(desktop.scheduler->drain());
    }
    // One poll interval passes and any re-apply it starts finishes.
    void poll() {
        desktop.scheduler->advanceBy(ChangeMonitor::pollInterval);
        ASSERT_TRUE(desktop.scheduler->drain());
    }
    bool showsGeneratedPicture() const {
        const std::string shown = key("picture-uri");
        return shown == key("picture-uri-dark") &&
               shown.find("/Generated/quillhaven-") != std::string::npos;
    }

    FakeDesktop desktop;
    DesktopServices services;
    std::shared_ptr<WallpaperProcessor> processor;
    std::shared_ptr<WallpaperController> controller;
    std::string light;
    std::string dark;
};

class LightAndDarkCycle : public GnomeControllerCycleTest,
                          public ::testing::WithParamInterface<const char*> {};

TEST_P(LightAndDarkCycle, BothPicturesComeBackUnderTheirOwnKeys) {
    setColorScheme(GetParam());
    setUserBackground(light, dark, "zoom", "#023C88");
    const BackgroundValues before = keys();
    start();
    switchOn();
    ASSERT_TRUE(controller->isEnabled()) << controller->statusMessage();
    EXPECT_TRUE(showsGeneratedPicture());
    EXPECT_EQ(key("picture-options"), "stretched");
    EXPECT_EQ(key("primary-color"), "#000000");

    controller->setEffectEnabled(false);
    EXPECT_EQ(controller->statusMessage(), messages::restored);
    EXPECT_EQ(keys(), before);
    EXPECT_FALSE(std::filesystem::exists(recordPath));
    EXPECT_TRUE(std::filesystem::is_empty(temp / "Generated"));
}

INSTANTIATE_TEST_SUITE_P(ColourSchemes, LightAndDarkCycle,
                         ::testing::Values("default", "prefer-dark"));

TEST_F(GnomeControllerCycleTest, APairChosenWhileTheEffectIsOnIsFollowedAndRestored) {
    setUserBackground(light, dark, "zoom", "#023C88");
    start();
    switchOn();
    // The user picks a new light and dark pair in GNOME's settings.
    const std::string newLight = uriFor(writePicture("new-light.png", 200, 100, 0));
    const std::string newDark = uriFor(writePicture("new-dark.png", 20, 10, 0));
    setUserBackground(newLight, newDark, "scaled", "#FFFFFF");
    poll();
    ASSERT_TRUE(controller->isEnabled()) << controller->statusMessage();
    EXPECT_TRUE(showsGeneratedPicture());

    controller->setEffectEnabled(false);
    EXPECT_EQ(keys(), (BackgroundValues{newLight, newDark, "scaled", "#FFFFFF"}));
}

TEST_F(GnomeControllerCycleTest, ANewPairIsFollowedOnGSettingsOwnChangeNotices) {
    auto workspace = std::make_shared<GnomeWorkspace>();
    services.workspace = workspace;
    services.changes = workspace;
    setUserBackground(light, dark, "zoom", "#023C88");
    start();
    switchOn();
    const std::size_t renders = desktop.scheduler->backgroundTasksStarted();
    // Dispatches the signals GSettings queued on the main context.
    auto deliverSignals = [] {
        for (int turn = 0; turn < 100 && g_main_context_iteration(nullptr, FALSE); ++turn) {
        }
    };
    deliverSignals();  // our own write's notices find the generated picture shown
    desktop.scheduler->advanceBy(ChangeMonitor::changeSettleDelay);
    ASSERT_TRUE(desktop.scheduler->drain());
    EXPECT_EQ(desktop.scheduler->backgroundTasksStarted(), renders);

    // Four keys written one after the other: one settled check, one render, no poll.
    const std::string newLight = uriFor(writePicture("new-light.png", 200, 100, 0));
    const std::string newDark = uriFor(writePicture("new-dark.png", 20, 10, 0));
    setUserBackground(newLight, newDark, "scaled", "#FFFFFF");
    deliverSignals();
    desktop.scheduler->advanceBy(ChangeMonitor::changeSettleDelay);
    ASSERT_TRUE(desktop.scheduler->drain());
    deliverSignals();
    desktop.scheduler->advanceBy(ChangeMonitor::changeSettleDelay);
    ASSERT_TRUE(desktop.scheduler->drain());
    EXPECT_LT(desktop.scheduler->now(), ChangeMonitor::pollInterval);
    EXPECT_EQ(desktop.scheduler->backgroundTasksStarted(), renders + 1);
    EXPECT_TRUE(showsGeneratedPicture());
    controller->setEffectEnabled(false);
    EXPECT_EQ(keys(), (BackgroundValues{newLight, newDark, "scaled", "#FFFFFF"}));
}

class ShownPictureChange : public GnomeControllerCycleTest,
                           public ::testing::WithParamInterface<const char*> {};

TEST_P(ShownPictureChange, ChangingOnlyTheShownPictureKeepsTheOtherOneAndTheOptions) {
    const bool isDark = std::string(GetParam()) == "prefer-dark";
    setColorScheme(GetParam());
    setUserBackground(light, dark, "zoom", "#023C88");
    start();
    switchOn();
    // A tool that writes only the picture GNOME shows, as a file manager's "Set as
    // Wallpaper" may: picture-options and primary-color still hold the generated picture's.
    const std::string chosen = uriFor(writePicture("chosen.png", 200, 100, 0));
    setKey(isDark ? "picture-uri-dark" : "picture-uri", chosen);
    poll();
    ASSERT_TRUE(controller->isEnabled()) << controller->statusMessage();
    EXPECT_TRUE(showsGeneratedPicture());

    controller->setEffectEnabled(false);
    EXPECT_EQ(keys(), (BackgroundValues{isDark ? light : chosen, isDark ? chosen : dark, "zoom",
                                        "#023C88"}));
}

INSTANTIATE_TEST_SUITE_P(ColourSchemes, ShownPictureChange,
                         ::testing::Values("default", "prefer-dark"));

TEST_F(GnomeControllerCycleTest, XmlBackgroundsComeBackExactlyAndUnusablePicturesAreRefused) {
    const auto slideshow = temp / "Pictures" / "timed.xml";
    std::ofstream(slideshow) << "<background><starttime><year>2024</year></starttime>"
                                "<static><duration>60.0</duration><file>"
                             << (temp / "Pictures" / "light.png").string()
                             << "</file></static></background>\n";
    const auto broken = temp / "Pictures" / "broken.xml";
    std::ofstream(broken) << "<background><static>";
    start();
    // The picture the XML shows is processed; the XML itself comes back.
    setUserBackground(uriFor(slideshow), uriFor(slideshow), "zoom", "#023c88");
    controller->setEffectEnabled(true);
    ASSERT_TRUE(desktop.scheduler->drain());
    EXPECT_TRUE(controller->isEnabled()) << controller->statusMessage();
    controller->setEffectEnabled(false);
    EXPECT_EQ(keys(), (BackgroundValues{uriFor(slideshow), uriFor(slideshow), "zoom", "#023c88"}));

    const std::string gone = (temp / "Pictures" / "gone.png").string();
    const std::pair<std::string, std::string> cases[] = {
        {uriFor(broken), fillIn(platform_messages::gnomeXmlUnusable, broken.string())},
        {"https://example.org/p.jpg", messages::stillImagesOnly},
        {uriFor(gone), messages::pictureUnreadablePrefix + gone},
    };
    for (const auto& [uri, message] : cases) {
        SCOPED_TRACE(uri);
        setUserBackground(uri, uri, "zoom", "#023c88");
        controller->setEffectEnabled(true);
        ASSERT_TRUE(desktop.scheduler->drain());
        EXPECT_FALSE(controller->isEnabled());
        EXPECT_TRUE(controller->hasError());
        EXPECT_EQ(controller->statusMessage(), message);
        EXPECT_EQ(keys(), (BackgroundValues{uri, uri, "zoom", "#023c88"}));
    }
}

}  // namespace
}  // namespace quillhaven::gnome::testing
