#pragma once

// Tells the controller when to look at the desktop again: at once (after a short settle)
// when the desktop reports a change, and at every poll as a safety net for desktops that
// report nothing or miss a change.

#include <cstdint>
#include <memory>

#include "controller/desktop_services.h"

namespace quillhaven {

class ChangeMonitor {
public:
    // How often the poll checks for a newly chosen picture.
    static constexpr Scheduler::Duration pollInterval = std::chrono::milliseconds(5000);
    // How long a change notice waits for further ones before the check runs.
    static constexpr Scheduler::Duration changeSettleDelay = std::chrono::milliseconds(200);

    // `check` runs on the main loop. The monitor never keeps whatever `check` refers to alive:
    // the caller hands in a check that holds its owner weakly.
    ChangeMonitor(std::shared_ptr<Scheduler> scheduler,
                  std::shared_ptr<PictureChangeNotifier> notifier, Task check);

    // Starts the poll and, where the desktop can be watched, the change notices.
    void start();

private:
    struct Notices {
        std::uint64_t count = 0;
    };

    std::shared_ptr<Scheduler> scheduler_;
    std::shared_ptr<PictureChangeNotifier> notifier_;
    Task check_;
    std::shared_ptr<RepeatingTimer> pollTimer_;
    std::shared_ptr<Notices> notices_ = std::make_shared<Notices>();
};

}  // namespace quillhaven
