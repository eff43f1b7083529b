#pragma once

// The Scheduler on Qt's event loop: main-loop tasks are queued calls on a context object
// that lives on the thread that built the scheduler (the main thread), timers are QTimers
// owned by that object, and background work runs on a thread pool.

#include <memory>

#include "controller/desktop_services.h"

class QObject;
class QThreadPool;

namespace quillhaven {

class QtScheduler : public Scheduler {
public:
    // Build it on the main thread. Background tasks go to `pool`, or to Qt's global pool
    // when none is given; the pool must outlive the scheduler.
    explicit QtScheduler(QThreadPool* pool = nullptr);
    ~QtScheduler() override;

    QtScheduler(const QtScheduler&) = delete;
    QtScheduler& operator=(const QtScheduler&) = delete;

    // Safe from any thread. Tasks still queued when the scheduler is destroyed never run.
    void post(Task task) override;
    void postAfter(Duration delay, Task task) override;
    // The timer belongs to the scheduler and runs until the scheduler is destroyed; the
    // returned handle does not control it.
    std::shared_ptr<RepeatingTimer> scheduleRepeating(Duration interval, Task tick) override;
    void runInBackground(Task task) override;

private:
    std::unique_ptr<QObject> context_;
    QThreadPool* pool_;
};

}  // namespace quillhaven
