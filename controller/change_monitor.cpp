#include "controller/change_monitor.h"

#include "core/log.h"

namespace quillhaven {

ChangeMonitor::ChangeMonitor(std::shared_ptr<Scheduler> scheduler,
                             std::shared_ptr<PictureChangeNotifier> notifier, Task check)
    : scheduler_(std::move(scheduler)), notifier_(std::move(notifier)), check_(std::move(check)) {}

void ChangeMonitor::start() {
    // The tick holds the scheduler weakly: the scheduler owns the timer. Each tick hops to
    // the main loop and checks there.
    std::weak_ptr<Scheduler> weakScheduler = scheduler_;
    pollTimer_ = scheduler_->scheduleRepeating(pollInterval, [weakScheduler, check = check_] {
        if (std::shared_ptr<Scheduler> scheduler = weakScheduler.lock()) {
            scheduler->post(check);
        }
    });
    if (!notifier_) {
        return;
    }
    // One change often arrives as a burst of notices (a file replaced in steps, two keys
    // written one after the other, a user trying several pictures). Each notice restarts
    // the settle delay, so the check runs once, on the picture the burst ended with.
    std::weak_ptr<Notices> weakNotices = notices_;
    const bool watching = notifier_->watch([weakScheduler, weakNotices, check = check_] {
        const auto notices = weakNotices.lock();
        const auto scheduler = weakScheduler.lock();
        if (!notices || !scheduler) {
            return;
        }
        const std::uint64_t notice = ++notices->count;
        scheduler->postAfter(changeSettleDelay, [weakNotices, notice, check] {
            const auto still = weakNotices.lock();
            if (still && still->count == notice) {
                check();
            }
        });
    });
    if (!watching) {
        log::debug(log::Layer::controller,
                   "The desktop cannot be watched; the poll alone follows it");
    }
}

}  // namespace quillhaven
