// Switching the effect off properly: putting the recorded picture and settings back, making
// sure they landed, forgetting the record and clearing the generated folder.

#include "controller/messages.h"
#include "controller/original_record.h"
#include "controller/wallpaper_controller.h"
#include "core/log.h"
#include "core/translation.h"

namespace quillhaven {

void WallpaperController::restoreOriginalWallpaper() {
    std::optional<Display> display = displayToWorkOn();
    if (!display) {
        return;
    }
    PreferenceStore& defaults = *services_.defaults;
    const OriginalRecord stored = defaults.originalRecord();
    const RecordedOriginal record = classifyRecordedPath(stored);
    const std::optional<NativePictureSettings>& saved = stored.desktopSettings;
    if (!saved) {
        switch (record.state) {
            case RecordedOriginal::State::none:
                // Nothing to put back: the effect is marked off and the desktop left as it
                // is. This is a plain status, not an error.
                isRestorePending_ = false;
                storeEnabled(false);
                state_.update([](ControllerState& s) {
                    s.isEnabled = false;
                    s.statusMessage = translated(messages::noOriginalRecord);
                });
                return;
            case RecordedOriginal::State::missing:
                // The picture may come back (a disk mounted again): the record is kept and
                // the restore tried again at every check until it lands.
                isRestorePending_ = true;
                showError(translated(messages::originalMissingPrefix) + record.path, false);
                return;
            case RecordedOriginal::State::unusable:
                // Kept for the user to see, but never resolved against anything.
                isRestorePending_ = false;
                showError(translated(messages::originalUnusablePrefix) + record.path, true);
                return;
            case RecordedOriginal::State::usable:
                break;
        }
    }

    const Url original = Url::fileURLWithPath(record.path);
    Outcome outcome =
        saved ? services_.workspace->restoreNativeSettings(*saved, *display)
              : services_.workspace->setDesktopImageURL(original, *display, stored.options);
    if (outcome.succeeded() && !restoreLanded(*display, saved, original)) {
        outcome = Outcome::failure(translated(messages::restoreNotTaken));
    }
    if (!outcome.succeeded()) {
        // The record, the flag and the generated files stay, and the restore is tried again
        // at every check until the obstacle (a lock, a shell away) is gone.
        isRestorePending_ = true;
        showError(translated(messages::restoreFailedPrefix) + outcome.errorDescription(), false);
        return;
    }

    isRestorePending_ = false;
    generatedWallpaperURL_.reset();
    // The picture is back: the record and the flag go in one save. A save that fails leaves
    // the record, which then names the picture now showing, so nothing of the user's is lost.
    if (const Outcome forgotten = defaults.saveOriginalRecord(OriginalRecord{}, false);
        !forgotten.succeeded()) {
        log::warning(log::Layer::controller,
                     "The restored record not forgotten: " + forgotten.errorDescription());
    }
    state_.update([](ControllerState& s) {
        s.isEnabled = false;
        s.hasError = false;
        s.statusMessage = translated(messages::restored);
    });
    // Every generated file goes, except one that is showing again: an old record can name a
    // file in the generated folder, and deleting it would leave the desktop showing a
    // picture that no longer exists.
    std::optional<Url> keeping;
    if (!record.path.empty() && processor_->isGeneratedWallpaper(original)) {
        keeping = original;
    }
    processor_->removeOldGeneratedWallpapers(keeping);
}

bool WallpaperController::restoreLanded(const Display& display,
                                        const std::optional<NativePictureSettings>& saved,
                                        const Url& original) {
    // Read back from the desktop: a write that a lock or a busy shell swallowed must not
    // count as a restore, or the record would be forgotten with the user's picture not back.
    if (saved) {
        return services_.workspace->nativeSettings(display) == saved;
    }
    const std::optional<Url> shown = services_.workspace->desktopImageURL(display);
    return shown && shown->isSameLocation(original);
}

bool WallpaperController::shouldRetryRestore(const Display& display) {
    // Retried only while Quillhaven's picture still shows (or cannot be read, as when the
    // shell is away, or cannot be changed, as under a lock): a picture the user chose since
    // is their answer, and the old record must not be put over it.
    if (services_.workspace->pictureChangeBlocker(display)) {
        return true;
    }
    const std::optional<Url> shown = services_.workspace->desktopImageURL(display);
    return !shown || processor_->isGeneratedWallpaper(*shown);
}

}  // namespace quillhaven
