// Following the user's picture: the desktop's change notices, where it gives them, and the
// 5-second poll as a safety net. Both lead to the same check, which also refreshes the
// display summary.

#include "preference_keys.h"
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
    if (services_.changes) {
        isWatchingChanges_ = services_.changes->watch([weakSelf] {
            if (std::shared_ptr<WallpaperController> self = weakSelf.lock()) {
                self->pictureMayHaveChanged();
            }
        });
    }
}

void WallpaperController::pictureMayHaveChanged() {
    // One change often arrives as a burst of notices (a file replaced in steps, two keys
    // written one after the other, a user trying several pictures). Each notice restarts
    // the settle delay, so the check runs once, on the picture the burst ended with.
    const std::uint64_t notice = ++changeNotices_;
    std::weak_ptr<WallpaperController> weakSelf = weak_from_this();
    services_.scheduler->postAfter(changeSettleDelay, [weakSelf, notice] {
        std::shared_ptr<WallpaperController> self = weakSelf.lock();
        if (self && self->changeNotices_ == notice) {
            self->checkForChanges();
        }
    });
}

void WallpaperController::checkForChanges() {
    updateScreenSummary();
    if (isBusy_) {
        return;
    }
    std::optional<Display> display = primaryScreen();
    if (isRestorePending_) {
        // A restore that could not land is tried again until it does, or until the user
        // has chosen another picture themselves.
        if (display && shouldRetryRestore(*display)) {
            restoreOriginalWallpaper();
        } else if (display) {
            // The user chose another picture: the effect they asked to switch off is off.
            isRestorePending_ = false;
            setIsEnabled(false);
            services_.defaults->setBool(false, preference_keys::enabled);
        }
        return;
    }
    if (!isEnabled_ || !display) {
        return;
    }
    std::optional<Url> current = services_.workspace->desktopImageURL(*display);
    if (!current) {
        return;
    }
    // Desktops spell paths their own way; the same file under another spelling is still the
    // generated picture and must not start a render on every tick.
    if (generatedWallpaperURL_ && generatedWallpaperURL_->isSameLocation(*current)) {
        // The picture is still ours, but the user may have changed its options or colour:
        // those are theirs now, and go back in place of the noted ones.
        noteUserSettingsChanges(*display);
        return;
    }
    applyCurrentWallpaper(false);
}

}  // namespace quillhaven
