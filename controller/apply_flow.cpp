// Applying the effect: the checks on the main display and its picture, recording the
// user's original, and the rendering job that sets the generated picture when it ends.

#include "messages.h"
#include "preference_keys.h"
#include "wallpaper_controller.h"

namespace quillhaven {

namespace {

// The options a generated picture is shown with: stretched to the display on both axes
// (the picture already has the display's exact size), no clipping, black fill.
DesktopPictureOptions generatedPictureOptions() {
    return DesktopPictureOptions{ImageScaling::axesIndependently, false, Color::black()};
}

}  // namespace

void WallpaperController::applyCurrentWallpaper(bool force) {
    // A render is in flight; it is the only guard against overlapping work.
    if (isBusy_) {
        return;
    }
    std::optional<Display> display = primaryScreen();
    if (!display) {
        showError(messages::noMainDisplay, true);
        return;
    }
    if (!hasNotch(*display)) {
        showError(messages::noNotch, true);
        return;
    }
    std::optional<Url> current = services_.workspace->desktopImageURL(*display);
    if (!current) {
        showError(messages::noCurrentWallpaper, true);
        return;
    }
    // The picture this process generated is still showing: nothing to do.
    if (!force && generatedWallpaperURL_ && *generatedWallpaperURL_ == *current) {
        markEnabled(messages::effectOn);
        return;
    }

    // A generated picture is processed from the recorded original when one is usable, so
    // the band is never drawn over a band; anything else is the user's picture.
    Url source = *current;
    bool recordCurrent = true;
    if (processor_->isGeneratedWallpaper(*current)) {
        if (std::optional<Url> original = savedOriginalWallpaperURL()) {
            source = *original;
            recordCurrent = false;
        }
    }
    if (recordCurrent) {
        services_.defaults->setString(current->path(), preference_keys::originalWallpaper);
        saveOriginalOptions(*display);
        // A store that cannot write (a full disk, a read-only folder) drops the record
        // silently. Replacing the picture then would lose the user's own for good, so the
        // record is read back first.
        if (services_.defaults->stringForKey(preference_keys::originalWallpaper) !=
            current->path()) {
            showError(messages::originalNotRecorded, true);
            return;
        }
    }

    std::optional<std::size_t> imageCount;
    if (source.isFileURL()) {
        imageCount = processor_->imageCount(source);
    }
    if (imageCount != std::optional<std::size_t>(1)) {
        showError(messages::stillImagesOnly, true);
        return;
    }

    setIsBusy(true);
    setStatusMessage(messages::processing);
    setHasError(false);

    WallpaperProcessingRequest request;
    request.sourceURL = source;
    request.canvasSizeInPoints = CanvasSize{display->frame.width, display->frame.height};
    request.backingScaleFactor = display->backingScaleFactor;
    request.topInsetInPoints = display->safeAreaInsets.top;
    request.cornerRadiusInPoints = cornerRadiusInPoints;
    startRenderingJob(request, *display, *current);
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
        setIsBusy(false);
        applyCurrentWallpaper(false);
        return;
    }
    if (!result.succeeded()) {
        showError(result.failure().localizedDescription(), true);
    } else {
        const Url& generated = result.url();
        Outcome outcome =
            services_.workspace->setDesktopImageURL(generated, display, generatedPictureOptions());
        if (!outcome.succeeded()) {
            // The generated file stays until the next successful apply clears the folder.
            showError(outcome.errorDescription(), true);
        } else {
            generatedWallpaperURL_ = generated;
            markEnabled(messages::effectOn);
            processor_->removeOldGeneratedWallpapers(generated);
        }
    }
    setIsBusy(false);
}

bool WallpaperController::userChosePictureDuringRender(const Display& display,
                                                       const Url& shownAtStart) {
    std::optional<Url> shownNow = services_.workspace->desktopImageURL(display);
    return shownNow && *shownNow != shownAtStart;
}

}  // namespace quillhaven
