#include "platform/qt_scheduler.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "tests/platform/test_support.h"

namespace quillhaven {
namespace {

using testing::ensureCoreApplication;
using testing::runEventLoopUntil;
using namespace std::chrono_literals;

class QtSchedulerTest : public ::testing::Test {
protected:
    void SetUp() override { ensureCoreApplication(); }
    QThread* mainThread() const { return QCoreApplication::instance()->thread(); }
};

TEST_F(QtSchedulerTest, PostedTasksRunLaterOnTheMainThreadInOrder) {
    QtScheduler scheduler;
    std::vector<std::string> order;
    bool allOnMain = true;
    for (const char* name : {"a", "b", "c"}) {
        scheduler.post([&, name] {
            order.push_back(name);
            allOnMain = allOnMain && QThread::currentThread() == mainThread();
        });
    }
    EXPECT_TRUE(order.empty()) << "a post never runs inside the caller";
    ASSERT_TRUE(runEventLoopUntil([&] { return order.size() == 3; }));
    EXPECT_EQ(order, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(allOnMain);
}

TEST_F(QtSchedulerTest, BackgroundWorkRunsOffTheMainThreadAndHopsBackByPost) {
    QtScheduler scheduler;
    std::atomic<bool> backgroundWasOffMain = false;
    QThread* deliveredOn = nullptr;
    scheduler.runInBackground([&] {
        backgroundWasOffMain = QThread::currentThread() != mainThread();
        scheduler.post([&] { deliveredOn = QThread::currentThread(); });
    });
    ASSERT_TRUE(runEventLoopUntil([&] { return deliveredOn != nullptr; }));
    EXPECT_TRUE(backgroundWasOffMain);
    EXPECT_EQ(deliveredOn, mainThread());
}

TEST_F(QtSchedulerTest, DelayedTasksWaitForTheirDelayEvenWhenPostedFromAWorker) {
    QtScheduler scheduler;
    std::vector<std::string> order;
    QElapsedTimer clock;
    clock.start();
    qint64 delayedAt = -1;
    scheduler.postAfter(30ms, [&] {
        order.push_back("delayed");
        delayedAt = clock.elapsed();
    });
    scheduler.post([&] { order.push_back("posted"); });
    QThread* workerDelayedOn = nullptr;
    scheduler.runInBackground(
        [&] { scheduler.postAfter(1ms, [&] { workerDelayedOn = QThread::currentThread(); }); });
    ASSERT_TRUE(runEventLoopUntil([&] { return order.size() == 2 && workerDelayedOn; }));
    EXPECT_EQ(order, (std::vector<std::string>{"posted", "delayed"}));
    EXPECT_GE(delayedAt, 29);
    EXPECT_EQ(workerDelayedOn, mainThread());
}

TEST_F(QtSchedulerTest, RepeatingTimerKeepsTickingAfterItsHandleIsDropped) {
    QtScheduler scheduler;
    int ticks = 0;
    bool onMain = true;
    scheduler.scheduleRepeating(2ms, [&] {
        ++ticks;
        onMain = onMain && QThread::currentThread() == mainThread();
    });  // the handle is dropped at once
    ASSERT_TRUE(runEventLoopUntil([&] { return ticks >= 3; }));
    EXPECT_TRUE(onMain);
}

TEST_F(QtSchedulerTest, TasksStillQueuedWhenTheSchedulerGoesAwayNeverRun) {
    bool ran = false;
    {
        QtScheduler scheduler;
        scheduler.post([&] { ran = true; });
        scheduler.postAfter(1ms, [&] { ran = true; });
        scheduler.scheduleRepeating(1ms, [&] { ran = true; });
    }
    bool marker = false;
    QtScheduler other;
    other.postAfter(20ms, [&] { marker = true; });
    ASSERT_TRUE(runEventLoopUntil([&] { return marker; }));
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace quillhaven
