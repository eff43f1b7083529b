// The five menu commands, chosen through their menu items.

#include "tests/shell/shell_fixture.h"

namespace quillhaven::testing {
namespace {

using ActionsTest = ShellTest;

TEST_F(ActionsTest, ToggleEffectAppliesWhenOffAndRestoresWhenOn) {
    desktop.loginItem->failNextCall("前の失敗");
    launch();
    controller().setLaunchAtLogin(true);
    scheduler().runUntilIdle();
    ASSERT_TRUE(controller().hasError());

    delegate->effectToggleItem().trigger();
    EXPECT_FALSE(controller().hasError());
    EXPECT_TRUE(controller().isBusy());
    // Choosing the switch does not flip its mark; the refresh writes it from the state.
    EXPECT_FALSE(delegate->effectToggleItem().isChecked());
    finishRender();
    EXPECT_TRUE(delegate->effectToggleItem().isChecked());
    ASSERT_NE(desktop.workspace->picture(display.connector), pictureURL);

    delegate->effectToggleItem().trigger();
    scheduler().runUntilIdle();
    EXPECT_FALSE(controller().isEnabled());
    EXPECT_EQ(desktop.workspace->picture(display.connector), pictureURL);
    EXPECT_EQ(desktop.workspace->options(display.connector), originalOptions);
    EXPECT_FALSE(delegate->effectToggleItem().isChecked());
    EXPECT_EQ(delegate->statusTextItem().text(), QString::fromUtf8(messages::restored));
    EXPECT_EQ(terminations, 0);
}

TEST_F(ActionsTest, ToggleEffectRefreshesTheMenuEvenWhenNothingChanges) {
    launch();
    controller().setEffectEnabled(true);
    scheduler().runUntilIdle();
    ASSERT_TRUE(controller().isBusy());
    // While busy the apply returns at once; the menu is still redrawn to undo the flipped mark.
    delegate->toggleEffect();
    EXPECT_TRUE(delegate->menuRefreshScheduled());
    EXPECT_EQ(scheduler().backgroundTasksInFlight(), 1u);
}

TEST_F(ActionsTest, ToggleLaunchAtLoginRegistersAndUnregisters) {
    launch();
    delegate->loginToggleItem().trigger();
    scheduler().runUntilIdle();
    EXPECT_TRUE(controller().launchAtLogin());
    EXPECT_TRUE(delegate->loginToggleItem().isChecked());
    EXPECT_EQ(delegate->statusTextItem().text(), QString::fromUtf8(messages::launchAtLoginOn));

    delegate->loginToggleItem().trigger();
    scheduler().runUntilIdle();
    EXPECT_FALSE(controller().launchAtLogin());
    EXPECT_FALSE(delegate->loginToggleItem().isChecked());
    std::vector<std::string> changes;
    for (const auto& call : desktop.loginItem->calls()) {
        if (call != "status") {
            changes.push_back(call);
        }
    }
    EXPECT_EQ(changes, (std::vector<std::string>{"register", "unregister"}));
}

TEST_F(ActionsTest, LoginItemFailureShowsInTheStatusLineAndKeepsTheMark) {
    launch();
    desktop.loginItem->failNextCall("書き込めません");
    delegate->loginToggleItem().trigger();
    scheduler().runUntilIdle();
    EXPECT_FALSE(delegate->loginToggleItem().isChecked());
    EXPECT_EQ(
        delegate->statusTextItem().text(),
        QString::fromUtf8(messages::loginItemFailedPrefix) + QStringLiteral("書き込めません"));
}

TEST_F(ActionsTest, RefreshWallpaperDoesNothingWhileTheEffectIsOff) {
    launch();
    delegate->refreshWallpaper();
    EXPECT_EQ(scheduler().backgroundTasksStarted(), 0u);
    EXPECT_TRUE(desktop.workspace->setCalls().empty());
    EXPECT_FALSE(delegate->menuRefreshScheduled());
}

TEST_F(ActionsTest, RefreshWallpaperRendersAgainWhileTheEffectIsOn) {
    launch();
    switchEffectOn();
    const auto firstGenerated = desktop.workspace->picture(display.connector);
    delegate->refreshItem().trigger();
    EXPECT_EQ(scheduler().backgroundTasksStarted(), 2u);
    finishRender();
    EXPECT_NE(desktop.workspace->picture(display.connector), firstGenerated);
    EXPECT_TRUE(controller().isEnabled());
}

TEST_F(ActionsTest, QuitKeepingWallpaperLeavesDesktopAndPreferencesAlone) {
    launch();
    switchEffectOn();
    const auto setCalls = desktop.workspace->setCalls().size();
    const auto shown = desktop.workspace->picture(display.connector);

    delegate->quitKeepingWallpaperItem().trigger();
    EXPECT_EQ(terminations, 1);
    EXPECT_EQ(desktop.workspace->setCalls().size(), setCalls);
    EXPECT_EQ(desktop.workspace->picture(display.connector), shown);
    EXPECT_TRUE(desktop.defaults->boolForKey(preference_keys::enabled));
    EXPECT_TRUE(desktop.defaults->hasObjectForKey(preference_keys::originalWallpaper));
}

TEST_F(ActionsTest, QuitKeepingWallpaperWorksWhileBusy) {
    launch();
    controller().setEffectEnabled(true);
    ASSERT_TRUE(controller().isBusy());
    scheduler().runUntilIdle();
    ASSERT_TRUE(delegate->quitKeepingWallpaperItem().isEnabled());
    delegate->quitKeepingWallpaperItem().trigger();
    EXPECT_EQ(terminations, 1);
}

TEST_F(ActionsTest, RestoreAndQuitRestoresThenQuits) {
    launch();
    switchEffectOn();
    delegate->restoreAndQuitItem().trigger();
    EXPECT_EQ(terminations, 1);
    EXPECT_EQ(desktop.workspace->picture(display.connector), pictureURL);
    EXPECT_FALSE(desktop.defaults->boolForKey(preference_keys::enabled));
    EXPECT_FALSE(desktop.defaults->hasObjectForKey(preference_keys::originalWallpaper));
}

TEST_F(ActionsTest, RestoreAndQuitQuitsEvenWhenThereIsNothingToRestore) {
    launch();
    delegate->restoreAndQuit();
    EXPECT_EQ(terminations, 1);
    EXPECT_EQ(controller().statusMessage(), messages::noOriginalRecord);
}

}  // namespace
}  // namespace quillhaven::testing
