// The unattended "--self-test" cycle on the virtual clock.

#include "tests/shell/shell_fixture.h"

namespace quillhaven::testing {
namespace {

using namespace std::chrono_literals;

class SelfTestTest : public ShellTest {
protected:
    void launchSelfTest() { launch({QStringLiteral("quillhaven"), QStringLiteral("--self-test")}); }
    // Advances the clock one second at a time until the app quits or `limit` passes.
    void advanceUntilTerminated(std::chrono::seconds limit) {
        while (terminations == 0 && scheduler().now() < limit) {
            scheduler().advanceBy(1s);
        }
    }
};

TEST_F(SelfTestTest, StartsOnlyForTheExactArgumentAnywhereInTheList) {
    launch({QStringLiteral("quillhaven"), QStringLiteral("--self-test=1"),
            QStringLiteral("--Self-Test"), QStringLiteral("-self-test"),
            QStringLiteral("---self-test"), QStringLiteral("self-test")});
    EXPECT_EQ(scheduler().pendingTaskCount(), 0u);
    scheduler().advanceBy(40s);
    EXPECT_EQ(terminations, 0);
    EXPECT_FALSE(controller().isBusy());

    delegate.reset();
    launch({QStringLiteral("quillhaven"), QStringLiteral("-v"), QStringLiteral("--self-test"),
            QStringLiteral("x")});
    EXPECT_EQ(scheduler().pendingTaskCount(), 1u);
}

TEST_F(SelfTestTest, AppliesWaitsForTheRenderRestoresAndQuitsASecondLater) {
    launchSelfTest();
    // Nothing happens until launching has returned and the main loop turns.
    EXPECT_FALSE(controller().isBusy());
    scheduler().runPending();
    ASSERT_TRUE(controller().isBusy());

    // The render takes 2.5 seconds: the checks at 1 s and 2 s find it busy.
    scheduler().advanceBy(2500ms);
    EXPECT_EQ(terminations, 0);
    finishRender();
    ASSERT_TRUE(controller().isEnabled());
    EXPECT_NE(desktop.workspace->picture(display.connector), pictureURL);

    // The check at 3 s finds it idle and restores; the quit follows at 4 s.
    scheduler().advanceBy(500ms);
    EXPECT_FALSE(controller().isEnabled());
    EXPECT_EQ(desktop.workspace->picture(display.connector), pictureURL);
    EXPECT_EQ(desktop.workspace->options(display.connector), originalOptions);
    EXPECT_EQ(terminations, 0);
    scheduler().advanceBy(999ms);
    EXPECT_EQ(terminations, 0);
    scheduler().advanceBy(1ms);
    EXPECT_EQ(terminations, 1);
    EXPECT_EQ(scheduler().delayedTaskCount(), 0u);
    EXPECT_FALSE(desktop.defaults->boolForKey(preference_keys::enabled));
    EXPECT_EQ(selfTestVerdicts, (std::vector<std::pair<int, QString>>{{0, QString()}}));
}

TEST_F(SelfTestTest, WithTheEffectAlreadyOnWaitsForTheStartUpApplyWithoutASecondOne) {
    desktop.defaults->setBool(true, preference_keys::enabled);
    launchSelfTest();
    ASSERT_TRUE(controller().isBusy());
    scheduler().runPending();
    EXPECT_EQ(scheduler().backgroundTasksStarted(), 1u);

    scheduler().advanceBy(1s);
    finishRender();
    ASSERT_TRUE(controller().isEnabled());
    scheduler().advanceBy(1s);
    EXPECT_FALSE(controller().isEnabled());
    EXPECT_EQ(desktop.workspace->picture(display.connector), pictureURL);
    advanceUntilTerminated(10s);
    EXPECT_EQ(terminations, 1);
    EXPECT_EQ(scheduler().now(), 3s);
    EXPECT_EQ(scheduler().backgroundTasksStarted(), 1u);
}

TEST_F(SelfTestTest, ARefusedApplyQuitsASecondLaterWithoutRestoring) {
    desktop.displays->setScreens({});
    launchSelfTest();
    scheduler().runPending();
    EXPECT_FALSE(controller().isBusy());
    EXPECT_EQ(controller().statusMessage(), messages::noMainDisplay);
    EXPECT_EQ(terminations, 0);
    scheduler().advanceBy(1s);
    EXPECT_EQ(terminations, 1);
    EXPECT_TRUE(desktop.workspace->setCalls().empty());
    // The refusal stays on the status line: no restore replaced it.
    EXPECT_EQ(controller().statusMessage(), messages::noMainDisplay);
    ASSERT_EQ(selfTestVerdicts.size(), 1u);
    EXPECT_EQ(selfTestVerdicts[0].first, 1);
    EXPECT_TRUE(selfTestVerdicts[0].second.contains(QString::fromUtf8(messages::noMainDisplay)));
}

TEST_F(SelfTestTest, ARestoreThatFailsFailsTheCycle) {
    launchSelfTest();
    scheduler().runPending();
    finishRender();
    desktop.workspace->failAllSets("拒否されました");
    advanceUntilTerminated(10s);
    ASSERT_EQ(selfTestVerdicts.size(), 1u);
    EXPECT_EQ(selfTestVerdicts[0].first, 1);
    EXPECT_TRUE(selfTestVerdicts[0].second.startsWith("the wallpaper was not restored"));
}

TEST_F(SelfTestTest, ARenderThatNeverEndsGivesUpAfterThirtyChecksWithoutRestoring) {
    launchSelfTest();
    scheduler().runPending();
    ASSERT_TRUE(controller().isBusy());
    scheduler().advanceBy(29s);
    EXPECT_EQ(terminations, 0);
    EXPECT_EQ(scheduler().delayedTaskCount(), 1u);
    scheduler().advanceBy(1s);
    EXPECT_EQ(terminations, 1);
    EXPECT_EQ(scheduler().delayedTaskCount(), 0u);
    EXPECT_TRUE(controller().isBusy());
    EXPECT_EQ(controller().statusMessage(), messages::processing);
    EXPECT_TRUE(desktop.workspace->setCalls().empty());
    ASSERT_EQ(selfTestVerdicts.size(), 1u);
    EXPECT_EQ(selfTestVerdicts[0].first, 1);
}

TEST_F(SelfTestTest, ACountBelowOneQuitsAtOnceWithoutLookingAtTheController) {
    launch();
    controller().setEffectEnabled(true);
    ASSERT_TRUE(controller().isBusy());
    const std::size_t delayedBefore = scheduler().delayedTaskCount();
    AppDelegateProbe::finishSelfTestWhenReady(*delegate, 0);
    EXPECT_EQ(terminations, 1);
    AppDelegateProbe::finishSelfTestWhenReady(*delegate, -3);
    EXPECT_EQ(terminations, 2);
    EXPECT_EQ(scheduler().delayedTaskCount(), delayedBefore);
    EXPECT_TRUE(controller().isBusy());
}

TEST_F(SelfTestTest, AQuitFromTheMenuDuringTheCycleEndsItWithTheDelegate) {
    launchSelfTest();
    scheduler().runPending();
    delegate->quitKeepingWallpaperItem().trigger();
    EXPECT_EQ(terminations, 1);
    // The pending check holds the delegate weakly.
    delegate.reset();
    scheduler().advanceBy(40s);
    EXPECT_EQ(terminations, 1);
}

}  // namespace
}  // namespace quillhaven::testing
