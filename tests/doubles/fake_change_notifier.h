#pragma once

// A desktop whose picture changes the test announces by hand. It can also refuse to watch,
// as a desktop without notifications (or with a broken watcher) does.

#include "controller/desktop_services.h"

namespace quillhaven::testing {

class FakeChangeNotifier : public PictureChangeNotifier {
public:
    bool watch(Task changed) override {
        changed_ = std::move(changed);
        return canWatch_;
    }

    // Announces a change, as the desktop would on the main loop.
    void announce() {
        if (changed_ && canWatch_) {
            changed_();
        }
    }
    void setCanWatch(bool canWatch) { canWatch_ = canWatch; }

private:
    Task changed_;
    bool canWatch_ = true;
};

}  // namespace quillhaven::testing
