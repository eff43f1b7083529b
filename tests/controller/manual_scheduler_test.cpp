#include "tests/doubles/manual_scheduler.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using quillhaven::testing::ManualScheduler;

TEST(ManualScheduler, RunPendingRunsOnlyTasksQueuedBeforeTheTurn) {
    ManualScheduler scheduler;
    std::vector<std::string> log;
    scheduler.post([&] {
        log.push_back("a");
        scheduler.post([&] { log.push_back("c"); });
    });
    scheduler.post([&] { log.push_back("b"); });
    EXPECT_EQ(scheduler.runPending(), 2u);
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(scheduler.pendingTaskCount(), 1u);
    EXPECT_EQ(scheduler.runUntilIdle(), 1u);
    EXPECT_EQ(log.back(), "c");
}

TEST(ManualScheduler, AdvanceFiresTimersAndDelayedTasksInTimeOrder) {
    ManualScheduler scheduler;
    std::vector<std::pair<long long, std::string>> log;
    auto record = [&](std::string what) {
        return [&, what] { log.emplace_back(scheduler.now().count(), what); };
    };
    {
        // Dropping the handle must not stop the timer.
        auto timer = scheduler.scheduleRepeating(5s, [&, r = record("tick")] {
            r();
            scheduler.post(record("posted by tick"));
        });
    }
    scheduler.postAfter(7s, record("delayed"));
    scheduler.postAfter(10s, record("delayed at tick time"));
    EXPECT_EQ(scheduler.advanceBy(12s), 4u);
    EXPECT_EQ(scheduler.now(), 12s);
    std::vector<std::pair<long long, std::string>> expected{
        {5000, "tick"},    {5000, "posted by tick"},
        {7000, "delayed"}, {10000, "delayed at tick time"},
        {10000, "tick"},   {10000, "posted by tick"}};
    // On a tie the one scheduled first fires first: the 10 s task was queued at 0 s, the
    // timer's second firing only when it re-armed at 5 s.
    EXPECT_EQ(log, expected);
    EXPECT_EQ(scheduler.delayedTaskCount(), 0u);
    EXPECT_TRUE(scheduler.advanceToNextTimer());
    EXPECT_EQ(scheduler.now(), 15s);
}

TEST(ManualScheduler, ManyTicksRunOnTheVirtualClock) {
    ManualScheduler scheduler;
    int ticks = 0;
    scheduler.scheduleRepeating(5s, [&] { ++ticks; });
    scheduler.advanceBy(60s);
    EXPECT_EQ(ticks, 12);
    EXPECT_EQ(scheduler.timerIntervals(), std::vector<ManualScheduler::Duration>{5000ms});
}

TEST(ManualScheduler, BackgroundThreadsDeliverThroughPostAndCanBeAwaited) {
    ManualScheduler scheduler;
    std::atomic<bool> ranOffMainThread{false};
    bool delivered = false;
    const auto mainThread = std::this_thread::get_id();
    auto token = std::make_shared<int>(0);
    std::weak_ptr<int> weakToken = token;
    scheduler.runInBackground([&, token = std::move(token)] {
        ranOffMainThread = std::this_thread::get_id() != mainThread;
        scheduler.post([&] { delivered = true; });
    });
    ASSERT_TRUE(scheduler.waitForBackgroundWork());
    // Whatever the task captured is gone once the wait returns.
    EXPECT_TRUE(weakToken.expired());
    EXPECT_TRUE(ranOffMainThread);
    EXPECT_FALSE(delivered);
    EXPECT_TRUE(scheduler.waitForPostedTask());
    scheduler.runUntilIdle();
    EXPECT_TRUE(delivered);
    EXPECT_EQ(scheduler.backgroundTasksStarted(), 1u);
}

TEST(ManualScheduler, DrainRunsChainsOfBackgroundAndMainWork) {
    for (auto mode :
         {ManualScheduler::BackgroundMode::threads, ManualScheduler::BackgroundMode::manual}) {
        ManualScheduler scheduler(mode);
        int steps = 0;
        scheduler.runInBackground([&] {
            scheduler.post([&] {
                ++steps;
                scheduler.runInBackground([&] { scheduler.post([&] { ++steps; }); });
            });
        });
        if (mode == ManualScheduler::BackgroundMode::manual) {
            EXPECT_EQ(scheduler.backgroundTasksInFlight(), 1u);
            EXPECT_EQ(scheduler.runUntilIdle(), 0u);
        }
        ASSERT_TRUE(scheduler.drain());
        EXPECT_EQ(steps, 2);
        EXPECT_EQ(scheduler.backgroundTasksInFlight(), 0u);
    }
}
