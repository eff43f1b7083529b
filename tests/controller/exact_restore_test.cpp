// The user's settings survive what happens while the effect is on: pictures and options
// changed on the desktop, locks, a desktop that swallows writes or is away, a picture that
// goes missing. Run against a desktop that keeps settings of its own, as GNOME and Plasma do.

#include <filesystem>
#include <functional>

#include "controller/preference_keys.h"
#include "tests/controller/controller_test_support.h"

namespace quillhaven::testing {
namespace {

using namespace std::chrono_literals;
namespace keys = preference_keys;

class ExactRestore : public ControllerTest {
protected:
    void SetUp() override {
        desktop.workspace->setKeepsNativeSettings(true);
        // The user's own light and dark pictures; the fill colour is left unset.
        show(userPicture(), DesktopPictureOptions{ImageScaling::none, true, std::nullopt});
        desktop.workspace->setNativeSetting("builtin", "dark", darkPicture);
        before = *desktop.workspace->nativeSettings(builtin);
        create();
        controller->setEffectEnabled(true);
        drain();
        ASSERT_TRUE(controller->isEnabled()) << controller->statusMessage();
    }
    void poll() {
        desktop.scheduler->advanceBy(ChangeMonitor::pollInterval);
        drain();
    }
    NativePictureSettings settings() { return *desktop.workspace->nativeSettings(builtin); }

    const std::string darkPicture = "/home/u/Pictures/dark.png";
    NativePictureSettings before;
};

TEST_F(ExactRestore, WhatTheUserChangesWhileOnIsKeptAndTheRestLeftAsItWas) {
    struct Case {
        const char* name;
        std::function<void()> change;
        std::function<void(NativePictureSettings&)> expect;
    };
    const Case cases[] = {
        {"nothing", [] {}, [](NativePictureSettings&) {}},
        {"only the shown picture, its options still Quillhaven's",
         [this] {
             desktop.workspace->setPicture("builtin", userPicture("chosen.png"),
                                           desktop.workspace->options("builtin"));
         },
         [this](NativePictureSettings& s) { s["picture"] = userPicture("chosen.png").path(); }},
        {"only the colour",
         [this] {
             auto options = *desktop.workspace->options("builtin");
             options.fillColor = Color{0, 0, 1, 1};
             desktop.workspace->setOptions("builtin", options);
         },
         [](NativePictureSettings& s) { s["fill"] = "0.000000,0.000000,1.000000"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.change();
        poll();
        ASSERT_TRUE(controller->isEnabled()) << controller->statusMessage();
        controller->setEffectEnabled(false);
        EXPECT_EQ(controller->statusMessage(), "元の壁紙に戻しました");
        NativePictureSettings expected = before;
        c.expect(expected);
        EXPECT_EQ(settings(), expected);
        EXPECT_FALSE(desktop.defaults->contains(keys::originalDesktopSettings));
        // Back to the start for the next case.
        desktop.workspace->restoreNativeSettings(before, builtin).succeeded();
        controller->setEffectEnabled(true);
        drain();
    }
}

TEST_F(ExactRestore, ARestoreThatCannotLandKeepsTheRecordAndLandsOnceTheObstacleIsGone) {
    struct Case {
        const char* name;
        std::function<void(FakeWorkspace&)> obstruct;
        std::function<void(FakeWorkspace&)> clear;
        std::string status;
    };
    const Case cases[] = {
        {"an administrator's lock",
         [](FakeWorkspace& w) { w.setBlocker("壁紙の設定はロックされています"); },
         [](FakeWorkspace& w) { w.setBlocker(std::nullopt); },
         "元の壁紙に戻せませんでした: 壁紙の設定はロックされています"},
        {"a settings service that swallows writes",
         [](FakeWorkspace& w) { w.setSwallowsWrites(true); },
         [](FakeWorkspace& w) { w.setSwallowsWrites(false); },
         "元の壁紙に戻せませんでした: デスクトップが設定を反映しませんでした"},
        {"a shell that is away",
         [](FakeWorkspace& w) { w.setUnreadable("Plasma のシェルが起動していません"); },
         [](FakeWorkspace& w) { w.setUnreadable(std::nullopt); },
         "元の壁紙に戻せませんでした: Plasma のシェルが起動していません"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.obstruct(*desktop.workspace);
        poll();
        EXPECT_TRUE(controller->isEnabled()) << "an obstacle never switches the effect off";
        controller->setEffectEnabled(false);
        EXPECT_EQ(controller->statusMessage(), c.status);
        EXPECT_TRUE(controller->hasError());
        EXPECT_TRUE(controller->isEnabled());
        EXPECT_TRUE(desktop.defaults->contains(keys::originalDesktopSettings));

        c.clear(*desktop.workspace);
        poll();
        EXPECT_EQ(controller->statusMessage(), "元の壁紙に戻しました");
        EXPECT_FALSE(controller->isEnabled());
        EXPECT_EQ(settings(), before);
        controller->setEffectEnabled(true);
        drain();
    }
}

TEST_F(ExactRestore, AShellAwayDuringAReprocessKeepsTheEffectOnAndFollowingAfterwards) {
    desktop.workspace->setUnreadable("Plasma のシェルが起動していません");
    controller->applyCurrentWallpaper(true);
    EXPECT_EQ(controller->statusMessage(), "Plasma のシェルが起動していません");
    EXPECT_TRUE(controller->isEnabled());
    EXPECT_TRUE(desktop.defaults->boolForKey(keys::enabled));
    desktop.workspace->setUnreadable(std::nullopt);
    // Back, the user picks a picture: it is followed.
    const Url chosen = userPicture("chosen.png");
    desktop.workspace->setPicture("builtin", chosen);
    poll();
    EXPECT_EQ(storedString(keys::originalWallpaper), chosen.path());
    EXPECT_TRUE(controller->isEnabled()) << controller->statusMessage();
}

TEST_F(ExactRestore, AReprocessTheDesktopRefusesLeavesTheEffectOnOverItsEarlierPicture) {
    // The shell went away between reading the picture and setting the new copy.
    desktop.workspace->failNextSet("Plasma のシェルが起動していません");
    controller->applyCurrentWallpaper(true);
    drain();
    EXPECT_EQ(controller->statusMessage(), "Plasma のシェルが起動していません");
    EXPECT_TRUE(controller->isEnabled());
    EXPECT_TRUE(desktop.defaults->boolForKey(keys::enabled));
}

TEST_F(ExactRestore, APictureChosenWhileARestoreWaitsEndsTheWait) {
    desktop.workspace->setBlocker("locked");
    controller->setEffectEnabled(false);
    desktop.workspace->setBlocker(std::nullopt);
    // The user answered for themselves: their new picture is never covered by the old one.
    const Url chosen = userPicture("chosen.png");
    desktop.workspace->setPicture("builtin", chosen);
    poll();
    EXPECT_FALSE(controller->isEnabled());
    EXPECT_EQ(desktop.workspace->picture("builtin"), chosen);
}

}  // namespace
}  // namespace quillhaven::testing
