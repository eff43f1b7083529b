// Applying the effect: the checks on the notched display and its picture, recording the
// user's original, and the rendering job that sets the generated picture when it ends.

#include "controller/display_rules.h"
#include "controller/messages.h"
#include "controller/original_record.h"
#include "controller/wallpaper_controller.h"
#include "core/translation.h"

namespace quillhaven {

void WallpaperController::applyCurrentWallpaper(bool force) {
    std::optional<Display> display = displayToWorkOn();
    if (!display) {
        return;
    }
    if (!hasNotch(*display)) {
        showError(translated(messages::noNotch), true);
        return;
    }
    std::optional<Url> current = services_.workspace->desktopImageURL(*display);
    if (!current) {
        // The desktop's own reason (a shell that refuses or is away) says more than ours.
        // A desktop that cannot be read now may be back in a moment: an effect that is on
        // stays on, so following goes on once it is.
        const std::string reason = services_.workspace->lastReadFailure();
        showError(reason.empty() ? std::string(translated(messages::noCurrentWallpaper)) : reason,
                  false);
        return;
    }
    // The picture this process generated is still showing: nothing to do.
    if (!force && generatedWallpaperURL_ && *generatedWallpaperURL_ == *current) {
        markEnabled(translated(messages::effectOn));
        return;
    }
    isRestorePending_ = false;
    // A picture that cannot be changed (an administrator's lock) is not the user's choice
    // either, so nothing is recorded; the effect keeps its state and the next check tries
    // again once the lock is gone.
    if (const auto blocker = services_.workspace->pictureChangeBlocker(*display)) {
        showError(*blocker, false);
        return;
    }

    // A generated picture is processed from the recorded original, so the band is never
    // drawn over a band. It is never recorded as the user's own: with no record at all it
    // is processed as it is, and a record that cannot be used now is kept and reported.
    Url source = *current;
    if (processor_->isGeneratedWallpaper(*current)) {
        const RecordedOriginal record = classifyRecordedPath(services_.defaults->originalRecord());
        switch (record.state) {
            case RecordedOriginal::State::usable:
                source = Url::fileURLWithPath(record.path);
                break;
            case RecordedOriginal::State::missing:
                showError(translated(messages::originalMissingPrefix) + record.path, false);
                return;
            case RecordedOriginal::State::unusable:
                showError(translated(messages::originalUnusablePrefix) + record.path, false);
                return;
            case RecordedOriginal::State::none:
                break;
        }
    } else if (!recordOriginal(*current, *display)) {
        showError(translated(messages::originalNotRecorded), true);
        return;
    }

    if (!source.isFileURL()) {
        showError(translated(messages::stillImagesOnly), true);
        return;
    }
    const std::optional<std::size_t> imageCount = processor_->imageCount(source);
    if (!imageCount) {
        showError(translated(messages::pictureUnreadablePrefix) + source.path(), true);
        return;
    }
    if (*imageCount != 1) {
        showError(translated(messages::stillImagesOnly), true);
        return;
    }

    state_.update([](ControllerState& s) {
        s.isBusy = true;
        s.statusMessage = translated(messages::processing);
        s.hasError = false;
    });
    startRenderingJob(renderRequestFor(*display, source), *display, *current);
}

void WallpaperController::startRenderingJob(const WallpaperProcessingRequest& request,
                                            const Display& display, const Url& shownAtStart) {
    // The job holds the controller and the display it started with until it ends; the
    // result comes back through the main loop before any field is touched.
    std::shared_ptr<WallpaperController> self = shared_from_this();
    std::shared_ptr<Scheduler> scheduler = services_.scheduler;
    std::shared_ptr<const WallpaperProcessor> processor = processor_;
    processor->process(
        request,
        [self, display, shownAtStart](ProcessingResult result) {
            self->finishRenderingJob(result, display, shownAtStart);
        },
        [scheduler](Task task) { scheduler->post(std::move(task)); },
        [scheduler](Task task) { scheduler->runInBackground(std::move(task)); });
}

void WallpaperController::finishRenderingJob(const ProcessingResult& result, const Display& display,
                                             const Url& shownAtStart) {
    if (result.succeeded() && userChosePictureDuringRender(display, shownAtStart)) {
        // Setting the processed copy now would cover the user's new choice and leave it
        // unrecorded, so a later restore could never bring it back. Start over with the new
        // picture instead; the unused file goes with the next clean-up.
        state_.update([](ControllerState& s) { s.isBusy = false; });
        applyCurrentWallpaper(false);
        return;
    }
    if (!result.succeeded()) {
        showError(result.error().localizedDescription(), true);
    } else {
        const Url& generated = result.value();
        Outcome outcome =
            services_.workspace->setDesktopImageURL(generated, display, generatedPictureOptions());
        if (!outcome.succeeded()) {
            // The generated file stays until the next successful apply clears the folder. A
            // desktop that refuses a reprocess (a shell that went away meanwhile) still shows
            // the earlier processed picture, or cannot say: an effect that was on then stays
            // on, and following resumes once the desktop is back. Over a picture of the
            // user's, the effect goes off, so the refusal is not retried at every check.
            const std::optional<Url> shown = services_.workspace->desktopImageURL(display);
            const bool stillProcessed = !shown || processor_->isGeneratedWallpaper(*shown);
            showError(outcome.errorDescription(), !(isEnabled() && stillProcessed));
        } else {
            generatedWallpaperURL_ = generated;
            noteAppliedSettings(display);
            markEnabled(translated(messages::effectOn));
            processor_->removeOldGeneratedWallpapers(generated);
        }
    }
    state_.update([](ControllerState& s) { s.isBusy = false; });
}

bool WallpaperController::userChosePictureDuringRender(const Display& display,
                                                       const Url& shownAtStart) {
    std::optional<Url> shownNow = services_.workspace->desktopImageURL(display);
    return shownNow && *shownNow != shownAtStart;
}

}  // namespace quillhaven
