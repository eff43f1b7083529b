// The unattended cycle behind "--self-test": switch the effect on, wait until the render
// is done, switch it off again (restoring the user's picture) and quit a second later. It
// judges nothing itself; its effects are those of the apply and restore it drives.

#include "shell/app_delegate.h"

namespace quillhaven {

void AppDelegate::runSelfTest() {
    scheduler_->post([weakSelf = weak_from_this()] {
        const auto self = weakSelf.lock();
        if (!self) {
            return;
        }
        // With the persisted flag on, the controller already began applying at start-up.
        if (!self->controller_->isEnabled()) {
            self->controller_->setEffectEnabled(true);
        }
        self->finishSelfTestWhenReady(selfTestChecks);
    });
}

void AppDelegate::finishSelfTestWhenReady(int remainingChecks) {
    const auto report = [this](int status, const QString& reason) {
        if (hooks_.reportSelfTest) {
            hooks_.reportSelfTest(status, reason);
        }
    };
    if (remainingChecks < 1) {
        // The render never finished: quit without restoring rather than hang.
        report(1, QStringLiteral("the wallpaper was still being processed; nothing was restored"));
        terminate();
        return;
    }
    if (controller_->isBusy()) {
        scheduler_->postAfter(selfTestCheckInterval,
                              [weakSelf = weak_from_this(), remainingChecks] {
                                  if (const auto self = weakSelf.lock()) {
                                      self->finishSelfTestWhenReady(remainingChecks - 1);
                                  }
                              });
        return;
    }
    // The cycle proves itself only when both halves happened: the effect went on, and the
    // user's wallpaper came back.
    const auto status = [this] { return QString::fromStdString(controller_->statusMessage()); };
    if (!controller_->isEnabled() || controller_->hasError()) {
        report(1, QStringLiteral("the effect was not applied: ") + status());
    } else {
        controller_->setEffectEnabled(false);
        if (controller_->isEnabled() || controller_->hasError()) {
            report(1, QStringLiteral("the wallpaper was not restored: ") + status());
        } else {
            report(0, {});
        }
    }
    // The quit holds nothing: it ends the process whether or not the delegate still exists.
    scheduler_->postAfter(selfTestCheckInterval, [terminate = hooks_.terminate] {
        if (terminate) {
            terminate();
        }
    });
}

}  // namespace quillhaven
