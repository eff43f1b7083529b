#include "tests/doubles/manual_scheduler.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace quillhaven::testing {

struct ManualScheduler::Timer : RepeatingTimer {
    Duration interval{0};
    Duration due{0};
    std::uint64_t sequence = 0;
    Task tick;
};

ManualScheduler::ManualScheduler(BackgroundMode mode) : mode_(mode) {}

ManualScheduler::~ManualScheduler() {
    for (std::thread& thread : threads_) {
        if (thread.joinable()) {
            thread.join();
        }
    }
}

void ManualScheduler::post(Task task) {
    {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(task));
    }
    changed_.notify_all();
}

void ManualScheduler::postAfter(Duration delay, Task task) {
    delayed_.push_back(
        Delayed{now_ + std::max(delay, Duration{0}), nextSequence_++, std::move(task)});
}

std::shared_ptr<RepeatingTimer> ManualScheduler::scheduleRepeating(Duration interval, Task tick) {
    auto timer = std::make_shared<Timer>();
    // A zero interval would fire forever within one advance; a millisecond is the floor.
    timer->interval = std::max(interval, Duration{1});
    timer->due = now_ + timer->interval;
    timer->sequence = nextSequence_++;
    timer->tick = std::move(tick);
    timers_.push_back(timer);
    return timer;
}

void ManualScheduler::runInBackground(Task task) {
    std::lock_guard lock(mutex_);
    ++backgroundInFlight_;
    ++backgroundStarted_;
    if (mode_ == BackgroundMode::manual) {
        manualBackground_.push_back(std::move(task));
        return;
    }
    threads_.emplace_back([this, work = std::move(task)]() mutable {
        work();
        // Release whatever the task captured before reporting it finished, so that a test
        // that waited for the work sees every reference the task held already dropped.
        work = nullptr;
        {
            std::lock_guard done(mutex_);
            --backgroundInFlight_;
        }
        changed_.notify_all();
    });
}

std::size_t ManualScheduler::runPending() {
    std::size_t count = 0;
    {
        std::lock_guard lock(mutex_);
        count = posted_.size();
    }
    for (std::size_t i = 0; i < count; ++i) {
        Task task;
        {
            std::lock_guard lock(mutex_);
            task = std::move(posted_.front());
            posted_.pop_front();
        }
        task();
    }
    return count;
}

std::size_t ManualScheduler::runUntilIdle(std::size_t limit) {
    std::size_t total = 0;
    while (total < limit) {
        std::size_t ran = runPending();
        if (ran == 0) {
            break;
        }
        total += ran;
    }
    return total;
}

bool ManualScheduler::fireNextDue(Duration limit) {
    // Find the earliest due firing among delayed tasks and timers; ties go to the one
    // scheduled first.
    auto delayedIt = std::min_element(delayed_.begin(), delayed_.end(), [](auto& a, auto& b) {
        return std::pair(a.due, a.sequence) < std::pair(b.due, b.sequence);
    });
    auto timerIt = std::min_element(timers_.begin(), timers_.end(), [](auto& a, auto& b) {
        return std::pair(a->due, a->sequence) < std::pair(b->due, b->sequence);
    });
    bool haveDelayed = delayedIt != delayed_.end() && delayedIt->due <= limit;
    bool haveTimer = timerIt != timers_.end() && (*timerIt)->due <= limit;
    if (haveDelayed && haveTimer) {
        if (std::pair((*timerIt)->due, (*timerIt)->sequence) <
            std::pair(delayedIt->due, delayedIt->sequence)) {
            haveDelayed = false;
        } else {
            haveTimer = false;
        }
    }
    if (haveDelayed) {
        now_ = delayedIt->due;
        Task task = std::move(delayedIt->task);
        delayed_.erase(delayedIt);
        task();
        return true;
    }
    if (haveTimer) {
        std::shared_ptr<Timer> timer = *timerIt;
        now_ = timer->due;
        timer->due += timer->interval;
        timer->sequence = nextSequence_++;
        timer->tick();
        return true;
    }
    return false;
}

std::size_t ManualScheduler::advanceBy(Duration duration) {
    const Duration target = now_ + std::max(duration, Duration{0});
    std::size_t firings = 0;
    runUntilIdle();
    while (fireNextDue(target)) {
        ++firings;
        runUntilIdle();
    }
    now_ = target;
    return firings;
}

bool ManualScheduler::advanceToNextTimer() {
    std::optional<Duration> next;
    for (const Delayed& entry : delayed_) {
        next = next ? std::min(*next, entry.due) : entry.due;
    }
    for (const auto& timer : timers_) {
        next = next ? std::min(*next, timer->due) : timer->due;
    }
    if (!next) {
        return false;
    }
    return advanceBy(*next - now_) > 0;
}

bool ManualScheduler::waitForBackgroundWork(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (mode_ == BackgroundMode::manual) {
        return backgroundInFlight_ == 0;
    }
    return changed_.wait_for(lock, timeout, [this] { return backgroundInFlight_ == 0; });
}

bool ManualScheduler::waitForPostedTask(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return !posted_.empty(); });
}

bool ManualScheduler::drain(std::chrono::milliseconds timeout) {
    for (;;) {
        runUntilIdle();
        if (mode_ == BackgroundMode::manual) {
            if (runBackgroundTasks() == 0 && pendingTaskCount() == 0) {
                return true;
            }
            continue;
        }
        std::unique_lock lock(mutex_);
        if (posted_.empty() && backgroundInFlight_ == 0) {
            return true;
        }
        if (!changed_.wait_for(lock, timeout,
                               [this] { return !posted_.empty() || backgroundInFlight_ == 0; })) {
            return false;
        }
    }
}

std::size_t ManualScheduler::runBackgroundTasks() {
    std::size_t count = 0;
    for (;;) {
        Task task;
        {
            std::lock_guard lock(mutex_);
            if (manualBackground_.empty()) {
                return count;
            }
            task = std::move(manualBackground_.front());
            manualBackground_.pop_front();
        }
        task();
        task = nullptr;
        ++count;
        std::lock_guard lock(mutex_);
        --backgroundInFlight_;
    }
}

std::size_t ManualScheduler::pendingTaskCount() const {
    std::lock_guard lock(mutex_);
    return posted_.size();
}

std::size_t ManualScheduler::backgroundTasksInFlight() const {
    std::lock_guard lock(mutex_);
    return backgroundInFlight_;
}

std::size_t ManualScheduler::backgroundTasksStarted() const {
    std::lock_guard lock(mutex_);
    return backgroundStarted_;
}

std::vector<ManualScheduler::Duration> ManualScheduler::timerIntervals() const {
    std::vector<Duration> intervals;
    for (const auto& timer : timers_) {
        intervals.push_back(timer->interval);
    }
    return intervals;
}

}  // namespace quillhaven::testing
