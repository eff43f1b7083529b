// Following the picture: change notices and the 5-second poll over many ticks on the
// virtual clock; and the login item.

#include "controller/preference_keys.h"
#include "tests/controller/controller_test_support.h"

namespace quillhaven::testing {
namespace {

namespace keys = preference_keys;
using namespace std::chrono_literals;

using ChangeMonitor = ControllerTest;
using ChangeMonitorInFlight = ControllerInFlightTest;
using LoginItem = ControllerTest;

TEST_F(ChangeMonitor, WithTheEffectOffEveryTickOnlyRefreshesTheSummary) {
    show(userPicture());
    create();
    const std::size_t readsBefore = desktop.displays->reads();
    desktop.scheduler->advanceBy(60s);
    EXPECT_EQ(desktop.scheduler->now(), 60s);
    EXPECT_EQ(desktop.displays->reads(), readsBefore + 12);
    EXPECT_TRUE(notices.empty()) << "nothing changed";
    EXPECT_EQ(desktop.workspace->urlReads(), 0u);
    EXPECT_TRUE(desktop.defaults->writes().empty());
    // Nothing happens between ticks.
    desktop.scheduler->advanceBy(4999ms);
    EXPECT_EQ(desktop.displays->reads(), readsBefore + 12);
    desktop.scheduler->advanceBy(1ms);
    EXPECT_EQ(desktop.displays->reads(), readsBefore + 13);
}

TEST_F(ChangeMonitor, TicksFollowTheDisplayWithoutActingOnIt) {
    create();
    desktop.displays->setScreens({FakeDisplayService::plainDisplay("tv", 3840.5, 2160)});
    desktop.scheduler->advanceBy(5s);
    EXPECT_EQ(controller->screenSummary(), "ノッチなし・3840 × 2160");
    EXPECT_FALSE(controller->hasError());
}

TEST_F(ChangeMonitor, WhileTheGeneratedPictureShowsTicksDoNothingMore) {
    createAndApply();
    desktop.scheduler->advanceBy(60s);
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(desktop.workspace->urlReads(), 12u);
    EXPECT_TRUE(desktop.workspace->setCalls().empty());
    EXPECT_TRUE(desktop.defaults->writes().empty());
    EXPECT_EQ(desktop.scheduler->backgroundTasksStarted(), 1u);
}

// A desktop may hand back the generated picture's path spelled its own way ("//", "/./",
// a trailing slash): it is still the generated picture, and no tick renders again.
TEST_F(ChangeMonitor, TheGeneratedPictureSpelledDifferentlyIsStillRecognised) {
    createAndApply();
    const std::string path = shownGenerated()->path();
    const std::size_t slash = path.rfind('/');
    for (const std::string& spelling :
         {"/" + path, path.substr(0, slash) + "//./" + path.substr(slash + 1), path + "/"}) {
        desktop.workspace->setPicture("builtin", Url("file", spelling));
        desktop.scheduler->advanceBy(15s);
        EXPECT_FALSE(controller->isBusy()) << spelling;
        EXPECT_EQ(desktop.scheduler->backgroundTasksStarted(), 1u) << spelling;
    }
    EXPECT_TRUE(desktop.workspace->setCalls().empty());
    EXPECT_TRUE(desktop.defaults->writes().empty());
}

TEST_F(ChangeMonitor, ANewlyChosenPictureIsRecordedAndProcessedOnTheNextTick) {
    createAndApply();
    const Url oldGenerated = *shownGenerated();
    const Url chosen = userPicture("chosen.png", 20, 30);
    show(chosen, DesktopPictureOptions{ImageScaling::proportionallyDown, {}, {}});
    desktop.scheduler->advanceBy(4s);
    EXPECT_FALSE(controller->isBusy());
    desktop.scheduler->advanceBy(1s);
    EXPECT_TRUE(controller->isBusy());
    drain();
    EXPECT_EQ(controller->statusMessage(), "ノッチを目立たなくしています");
    EXPECT_EQ(storedString(keys::originalWallpaper), chosen.path());
    EXPECT_EQ(desktop.defaults->integerForKey(keys::originalImageScaling), 0);
    ASSERT_TRUE(shownGenerated());
    EXPECT_NE(*shownGenerated(), oldGenerated);
    EXPECT_EQ(desktop.workspace->picture("builtin"), shownGenerated());
    EXPECT_EQ(generatedFiles().size(), 1u);
}

TEST_F(ChangeMonitor, ANoticeIsFollowedOnceItSettlesWithoutWaitingForTheTick) {
    createAndApply();
    const std::size_t rendersBefore = desktop.scheduler->backgroundTasksStarted();
    desktop.scheduler->advanceBy(1s);
    // The user tries two pictures in quick succession; each choice arrives as a burst.
    show(userPicture("tried.png", 20, 30));
    desktop.changes->announce();
    desktop.changes->announce();
    desktop.scheduler->advanceBy(150ms);
    const Url chosen = userPicture("chosen.png", 30, 20);
    show(chosen);
    desktop.changes->announce();
    desktop.scheduler->advanceBy(199ms);
    EXPECT_FALSE(controller->isBusy()) << "still settling";
    desktop.scheduler->advanceBy(1ms);
    EXPECT_TRUE(controller->isBusy());
    drain();
    EXPECT_EQ(desktop.scheduler->backgroundTasksStarted(), rendersBefore + 1) << "one render";
    EXPECT_EQ(storedString(keys::originalWallpaper), chosen.path());
    EXPECT_EQ(desktop.workspace->picture("builtin"), shownGenerated());

    // The notice that our own picture change causes finds the generated picture shown.
    desktop.workspace->clearRecord();
    desktop.changes->announce();
    desktop.scheduler->advanceBy(1s);
    EXPECT_EQ(desktop.scheduler->backgroundTasksStarted(), rendersBefore + 1);
    EXPECT_TRUE(desktop.workspace->setCalls().empty());
}

TEST_F(ChangeMonitor, NoticesFollowTheSameRulesAsTheTick) {
    // Effect off: a notice only refreshes the summary.
    show(userPicture());
    create();
    desktop.changes->announce();
    desktop.scheduler->advanceBy(1s);
    EXPECT_EQ(desktop.workspace->urlReads(), 0u);
    EXPECT_TRUE(notices.empty());
    // A released controller is not kept alive by a pending notice.
    controller->setEffectEnabled(true);
    drain();
    show(userPicture("later.png"));
    desktop.changes->announce();
    std::weak_ptr<WallpaperController> weak = controller;
    controller.reset();
    EXPECT_TRUE(weak.expired());
    desktop.workspace->clearRecord();
    desktop.scheduler->advanceBy(1s);
    EXPECT_EQ(desktop.workspace->urlReads(), 0u);
}

TEST_F(ChangeMonitor, WhenTheDesktopCannotBeWatchedThePollStillFollows) {
    desktop.changes->setCanWatch(false);
    createAndApply();
    const Url chosen = userPicture("chosen.png", 20, 30);
    show(chosen);
    desktop.scheduler->advanceBy(5s);
    EXPECT_TRUE(controller->isBusy());
    drain();
    EXPECT_EQ(storedString(keys::originalWallpaper), chosen.path());
}

TEST_F(ChangeMonitor, NoCurrentPictureOrNoDisplayEndsTheTickQuietly) {
    createAndApply();
    desktop.workspace->setPicture("builtin", std::nullopt);
    const Snapshot before = snapshot();
    desktop.scheduler->advanceBy(10s);
    desktop.displays->setScreens({});
    desktop.scheduler->advanceBy(5s);
    EXPECT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices.back(), (Snapshot{before.isEnabled, false, before.statusMessage, false, false,
                                        "メインディスプレイなし"}));
    EXPECT_TRUE(controller->isEnabled());
    EXPECT_TRUE(desktop.defaults->writes().empty());
}

TEST_F(ChangeMonitorInFlight, TicksDuringARenderApplyNothing) {
    createAndApply();
    show(userPicture("next.png"));
    controller->applyCurrentWallpaper(false);
    forgetHistory();
    desktop.scheduler->advanceBy(60s);
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(desktop.scheduler->backgroundTasksStarted(), 2u);
    EXPECT_TRUE(desktop.defaults->writes().empty());
}

TEST_F(ChangeMonitor, AReleasedControllerIsNotKeptAliveAndTicksDoNothing) {
    createAndApply();
    show(userPicture("later.png"));
    std::weak_ptr<WallpaperController> weak = controller;
    controller.reset();
    EXPECT_TRUE(weak.expired());
    desktop.workspace->clearRecord();
    desktop.scheduler->advanceBy(60s);
    EXPECT_EQ(desktop.scheduler->timerCount(), 1u);
    EXPECT_EQ(desktop.workspace->urlReads(), 0u);
    EXPECT_EQ(desktop.scheduler->backgroundTasksStarted(), 1u);
    EXPECT_TRUE(notices.empty());
}

TEST_F(LoginItem, SuccessMirrorsTheStatusReadAfterwards) {
    desktop.loginItem->failNextCall("前のエラー");
    create();
    controller->setLaunchAtLogin(false);
    ASSERT_TRUE(controller->hasError());
    notices.clear();
    Snapshot before = snapshot();
    controller->setLaunchAtLogin(true);
    expectEndState(Notices(before).login(true).error(false).status("ログイン時の起動を有効にしました").list());

    notices.clear();
    before = snapshot();
    controller->setLaunchAtLogin(false);
    expectEndState(Notices(before)
                           .login(false)
                           .error(false)
                           .status("ログイン時の起動を無効にしました")
                           .list());

    // Registered, but waiting for the user's approval: reported as off.
    desktop.loginItem->setStatusAfterRegister(LoginItemStatus::requiresApproval);
    controller->setLaunchAtLogin(true);
    EXPECT_FALSE(controller->launchAtLogin());
    EXPECT_EQ(controller->statusMessage(), "ログイン時の起動を無効にしました");
}

TEST_F(LoginItem, FailureRefreshesTheStatusThenReportsWithoutTouchingTheEffect) {
    desktop.loginItem->setStatus(LoginItemStatus::enabled);
    createAndApply();
    // Changed outside the application since start-up.
    desktop.loginItem->setStatus(LoginItemStatus::notRegistered);
    desktop.loginItem->failNextCall("操作は許可されていません");
    const Snapshot before = snapshot();
    controller->setLaunchAtLogin(true);
    expectEndState(Notices(before)
                           .login(false)
                           .error(true)
                           .status("ログイン項目を変更できませんでした: 操作は許可されていません")
                           .busy(false)
                           .list());
    EXPECT_TRUE(controller->isEnabled());
    EXPECT_TRUE(desktop.defaults->writes().empty());
    EXPECT_TRUE(desktop.workspace->setCalls().empty());

    controller->setLaunchAtLogin(true);
    EXPECT_FALSE(controller->hasError());
    EXPECT_TRUE(controller->launchAtLogin());
}

}  // namespace
}  // namespace quillhaven::testing
