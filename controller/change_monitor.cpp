// The 5-second poll that keeps the effect in force when the user picks another picture,
// and refreshes the display summary on every tick.

#include "wallpaper_controller.h"

namespace quillhaven {

void WallpaperController::startMonitoring() {
    // The tick holds both the controller and the scheduler weakly: the scheduler owns the
    // timer, and the timer must never keep the controller alive. Each tick hops to the main
    // loop and checks there.
    std::weak_ptr<WallpaperController> weakSelf = weak_from_this();
    std::weak_ptr<Scheduler> weakScheduler = services_.scheduler;
    pollTimer_ = services_.scheduler->scheduleRepeating(pollInterval, [weakSelf, weakScheduler] {
        if (std::shared_ptr<Scheduler> scheduler = weakScheduler.lock()) {
            scheduler->post([weakSelf] {
                if (std::shared_ptr<WallpaperController> self = weakSelf.lock()) {
                    self->checkForChanges();
                }
            });
        }
    });
}

void WallpaperController::checkForChanges() {
    updateScreenSummary();
    if (!isEnabled_ || isBusy_) {
        return;
    }
    std::optional<Display> display = primaryScreen();
    if (!display) {
        return;
    }
    std::optional<Url> current = services_.workspace->desktopImageURL(*display);
    if (!current) {
        return;
    }
    // Desktops spell paths their own way; the same file under another spelling is still the
    // generated picture and must not start a render on every tick.
    if (generatedWallpaperURL_ && generatedWallpaperURL_->isSameLocation(*current)) {
        return;
    }
    applyCurrentWallpaper(false);
}

}  // namespace quillhaven
