#pragma once

// A Scheduler for tests: a main loop that runs only when the test turns it, on a virtual
// clock that moves only when the test advances it.
//
//  - post / postAfter / scheduleRepeating queue work on the main loop; nothing runs until
//    the test calls runPending(), runUntilIdle() or advanceBy(). `post` is thread-safe, so
//    background work may deliver its results to the main loop from any thread.
//  - The clock starts at zero. advanceBy(d) fires every delayed task and timer tick that
//    falls due within d, in time order (ties in the order they were scheduled), and runs
//    the posted tasks after each firing, so a tick that posts its work sees it run at the
//    tick's time. Twelve 5-second ticks take microseconds.
//  - Timers live as long as the scheduler: dropping the returned handle does not stop them.
//  - runInBackground: in BackgroundMode::threads (the default) each task runs on a real
//    std::thread; waitForBackgroundWork() and waitForPostedTask() block on a condition
//    variable until the work is done, so a test can wait for a real render without
//    sleeping. drain() combines the two with runUntilIdle(). In BackgroundMode::manual the
//    tasks are only queued, and runBackgroundTasks() runs them on the calling thread, which
//    lets a test look at the state while a render is "in flight".
//
// Every method other than post() and the waits must be called from the test's own thread.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "controller/desktop_services.h"

namespace quillhaven::testing {

class ManualScheduler : public Scheduler {
public:
    enum class BackgroundMode { threads, manual };

    explicit ManualScheduler(BackgroundMode mode = BackgroundMode::threads);
    // Joins every background thread still running.
    ~ManualScheduler() override;

    // ---- Scheduler ----
    void post(Task task) override;
    void postAfter(Duration delay, Task task) override;
    std::shared_ptr<RepeatingTimer> scheduleRepeating(Duration interval, Task tick) override;
    void runInBackground(Task task) override;

    // ---- The virtual clock ----
    // Time since the scheduler was made.
    Duration now() const { return now_; }

    // One turn of the main loop: runs the tasks that were queued before the call, not those
    // they queue themselves. Returns how many ran.
    std::size_t runPending();
    // Runs posted tasks until none is left (without moving the clock). Returns how many ran.
    // Stops after `limit` tasks so that a task which re-posts itself cannot hang a test.
    std::size_t runUntilIdle(std::size_t limit = 1'000'000);
    // Moves the clock forward by `duration`, firing due delayed tasks and timer ticks in time
    // order and running posted tasks as it goes. Returns the number of firings.
    std::size_t advanceBy(Duration duration);
    // advanceBy() up to the next due delayed task or tick, if any. Returns whether one fired.
    bool advanceToNextTimer();

    // ---- Background work ----
    // Blocks until no background task is in flight (their deliveries are then queued).
    // Returns false if `timeout` passed first.
    bool waitForBackgroundWork(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Blocks until at least one posted task is queued. Returns false on timeout.
    bool waitForPostedTask(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Runs posted tasks and waits for background work until neither is left. Returns false
    // if a wait timed out.
    bool drain(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Manual mode: runs the queued background tasks on the calling thread. Returns how many.
    std::size_t runBackgroundTasks();

    // ---- Inspection ----
    std::size_t pendingTaskCount() const;
    std::size_t delayedTaskCount() const { return delayed_.size(); }
    std::size_t timerCount() const { return timers_.size(); }
    // Background tasks started and not yet finished (manual mode: queued and not yet run).
    std::size_t backgroundTasksInFlight() const;
    // How many tasks were ever handed to runInBackground().
    std::size_t backgroundTasksStarted() const;
    // The interval of each timer, in the order they were scheduled.
    std::vector<Duration> timerIntervals() const;

private:
    struct Delayed {
        Duration due;
        std::uint64_t sequence;
        Task task;
    };
    struct Timer;

    bool fireNextDue(Duration limit);

    BackgroundMode mode_;
    Duration now_{0};
    std::uint64_t nextSequence_ = 0;
    std::vector<Delayed> delayed_;
    std::vector<std::shared_ptr<Timer>> timers_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Task> posted_;
    std::size_t backgroundInFlight_ = 0;
    std::size_t backgroundStarted_ = 0;
    std::deque<Task> manualBackground_;
    std::vector<std::thread> threads_;
};

}  // namespace quillhaven::testing
