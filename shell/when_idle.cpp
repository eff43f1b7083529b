#include "shell/when_idle.h"

#include "shell/app_delegate.h"

namespace quillhaven {

void runWhenIdle(const std::shared_ptr<AppDelegate>& delegate, std::function<void()> action) {
    if (!delegate->controller().isBusy()) {
        action();
        return;
    }
    auto pending = std::make_shared<std::function<void()>>(std::move(action));
    const std::weak_ptr<AppDelegate> weakDelegate = delegate;
    delegate->addStateObserver([weakDelegate, pending] {
        const auto self = weakDelegate.lock();
        if (!self || !*pending || self->controller().isBusy()) {
            return;
        }
        // Taken out first: the action may refresh the menu and call this observer again.
        const auto run = std::move(*pending);
        *pending = nullptr;
        run();
    });
}

}  // namespace quillhaven
