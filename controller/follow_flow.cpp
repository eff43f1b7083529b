// Following the user's picture: what a check does, whether the change monitor's notice or
// its poll asked for it. It also refreshes the display summary.

#include "controller/wallpaper_controller.h"

namespace quillhaven {

void WallpaperController::checkForChanges() {
    // One reading of the display list serves the summary and the check.
    const std::optional<Display> display = currentDisplay();
    showSummaryOf(display);
    if (isBusy()) {
        return;
    }
    if (isRestorePending_) {
        // A restore that could not land is tried again until it does, or until the user
        // has chosen another picture themselves.
        if (display && shouldRetryRestore(*display)) {
            restoreOriginalWallpaper();
        } else if (display) {
            // The user chose another picture: the effect they asked to switch off is off.
            isRestorePending_ = false;
            storeEnabled(false);
            state_.update([](ControllerState& s) { s.isEnabled = false; });
        }
        return;
    }
    if (!isEnabled() || !display) {
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
