// The menu as the user sees it after each kind of state, and the coalesced refresh.

#include <QKeySequence>

#include "shell/menu_bar_icon.h"
#include "shell/status_item.h"
#include "tests/shell/shell_fixture.h"

namespace quillhaven::testing {
namespace {

using MenuTest = ShellTest;

const char* const summary = "ノッチあり・300 × 200";

// The eleven entries in their order, with what a state changes in them.
struct Shown {
    std::string summary = testing::summary;
    bool effectOn = false;
    std::string status = messages::ready;
    bool loginOn = false;
    bool busy = false;
};

std::vector<MenuEntry> menuShowing(const Shown& shown) {
    return {
        item("Quillhaven", false, false),
        item(shown.summary, false, false),
        separator(),
        item("ノッチを目立たなくする", shown.effectOn, !shown.busy),
        item(shown.status, false, false),
        separator(),
        item("ログイン時に起動", shown.loginOn, !shown.busy),
        item("壁紙を再処理", false, shown.effectOn && !shown.busy),
        separator(),
        item("壁紙を維持して終了", false, true),
        item("元に戻して終了", false, !shown.busy),
    };
}

TEST_F(MenuTest, AfterLaunchWithEffectOffShowsElevenEntriesInOrder) {
    launch();
    EXPECT_EQ(menuEntries(), menuShowing({}));
    EXPECT_EQ(delegate->refreshItem().shortcut(), QKeySequence(QStringLiteral("Ctrl+R")));
    EXPECT_EQ(delegate->quitKeepingWallpaperItem().shortcut(),
              QKeySequence(QStringLiteral("Ctrl+Q")));
    EXPECT_TRUE(delegate->effectToggleItem().shortcut().isEmpty());
    ASSERT_NE(delegate->statusItem(), nullptr);
    EXPECT_EQ(delegate->statusItem()->trayIcon().contextMenu(), &delegate->menu());
    EXPECT_EQ(delegate->statusItem()->trayIcon().toolTip(), QStringLiteral("Quillhaven"));
    EXPECT_FALSE(delegate->statusItem()->trayIcon().icon().isNull());
    // The offscreen platform has no tray: the item keeps waiting for one instead of failing.
    EXPECT_TRUE(delegate->statusItem()->isWaitingForTray());
    // Showing the state once at launch queues nothing.
    EXPECT_EQ(scheduler().pendingTaskCount(), 0u);
    EXPECT_FALSE(delegate->menuRefreshScheduled());
}

TEST_F(MenuTest, WhileBusyOnlyQuitKeepingWallpaperStaysEnabled) {
    launch();
    controller().setEffectEnabled(true);
    scheduler().runUntilIdle();
    ASSERT_TRUE(controller().isBusy());
    EXPECT_EQ(menuEntries(), menuShowing({.status = messages::processing, .busy = true}));
}

TEST_F(MenuTest, WithEffectOnAndLoginItemRegisteredShowsBothChecked) {
    desktop.loginItem->setStatus(LoginItemStatus::enabled);
    launch();
    switchEffectOn();
    EXPECT_EQ(menuEntries(),
              menuShowing({.effectOn = true, .status = messages::effectOn, .loginOn = true}));
    // The tray shows the icon of the current state: the one with the thick bar.
    const QImage shown =
        delegate->statusItem()->trayIcon().icon().pixmap(QSize(18, 18), 1.0).toImage();
    EXPECT_EQ(shown, MenuBarIcon::make(true).pixmap(QSize(18, 18), 1.0).toImage());
    EXPECT_NE(shown, MenuBarIcon::make(false).pixmap(QSize(18, 18), 1.0).toImage());
}

TEST_F(MenuTest, AnErrorLooksLikeAnyOtherStatusLine) {
    desktop.displays->setScreens({FakeDisplayService::plainDisplay()});
    launch();
    controller().setEffectEnabled(true);
    scheduler().runUntilIdle();
    ASSERT_TRUE(controller().hasError());
    EXPECT_EQ(menuEntries(),
              menuShowing({.summary = "ノッチなし・1920 × 1080", .status = messages::noNotch}));
}

TEST_F(MenuTest, ManyNoticesInOneTurnGiveOneRefreshShowingTheLastState) {
    launch();
    controller().setLaunchAtLogin(true);
    controller().setLaunchAtLogin(false);
    controller().setLaunchAtLogin(true);
    EXPECT_TRUE(delegate->menuRefreshScheduled());
    EXPECT_EQ(scheduler().pendingTaskCount(), 1u);
    // Nothing changes before the next turn of the main loop.
    EXPECT_EQ(delegate->statusTextItem().text(), QString::fromUtf8(messages::ready));

    EXPECT_EQ(scheduler().runPending(), 1u);
    EXPECT_FALSE(delegate->menuRefreshScheduled());
    EXPECT_EQ(scheduler().pendingTaskCount(), 0u);
    EXPECT_EQ(delegate->statusTextItem().text(), QString::fromUtf8(messages::launchAtLoginOn));
    EXPECT_TRUE(delegate->loginToggleItem().isChecked());
}

TEST_F(MenuTest, ANoticeDuringARefreshQueuesAnotherOne) {
    launch();
    bool noticeSent = false;
    QObject::connect(&delegate->statusTextItem(), &QAction::changed, &delegate->statusTextItem(),
                     [&] {
                         if (!noticeSent) {
                             noticeSent = true;
                             controller().setLaunchAtLogin(true);
                         }
                     });
    controller().setLaunchAtLogin(false);
    ASSERT_EQ(scheduler().runPending(), 1u);
    ASSERT_TRUE(noticeSent);
    EXPECT_TRUE(delegate->menuRefreshScheduled());
    EXPECT_EQ(scheduler().pendingTaskCount(), 1u);
    EXPECT_EQ(scheduler().runPending(), 1u);
    EXPECT_FALSE(delegate->menuRefreshScheduled());
}

TEST_F(MenuTest, AQueuedRefreshDoesNothingOnceTheDelegateIsGone) {
    launch();
    controller().setLaunchAtLogin(true);
    ASSERT_EQ(scheduler().pendingTaskCount(), 1u);
    delegate.reset();
    EXPECT_EQ(scheduler().runPending(), 1u);
}

TEST_F(MenuTest, NoticesBeforeLaunchFinishesAreNotHeardButTheFirstMenuShowsTheirState) {
    desktop.defaults->setBool(true, preference_keys::enabled);
    launch();
    // The controller started applying during construction; nobody was listening.
    EXPECT_EQ(scheduler().pendingTaskCount(), 0u);
    EXPECT_EQ(delegate->statusTextItem().text(), QString::fromUtf8(messages::processing));
    EXPECT_FALSE(delegate->effectToggleItem().isEnabled());
    finishRender();
    EXPECT_EQ(delegate->statusTextItem().text(), QString::fromUtf8(messages::effectOn));
}

}  // namespace
}  // namespace quillhaven::testing
