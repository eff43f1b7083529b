// Switching the effect off properly: putting the recorded picture and options back,
// forgetting the record and clearing the generated folder.

#include "messages.h"
#include "preference_keys.h"
#include "wallpaper_controller.h"

namespace quillhaven {

void WallpaperController::restoreOriginalWallpaper() {
    // A restore asked for while a render runs is ignored, not queued.
    if (isBusy_) {
        return;
    }
    std::optional<Display> display = primaryScreen();
    if (!display) {
        showError(messages::noMainDisplay, true);
        return;
    }
    std::optional<Url> original = savedOriginalWallpaperURL();
    if (!original) {
        // Nothing to put back: the effect is marked off and the desktop left as it is. This
        // is a plain status, not an error.
        setIsEnabled(false);
        services_.defaults->setBool(false, preference_keys::enabled);
        setStatusMessage(messages::noOriginalRecord);
        return;
    }

    Outcome outcome =
        services_.workspace->setDesktopImageURL(*original, *display, recordedOriginalOptions());
    if (!outcome.succeeded()) {
        // The record, the flag and the generated files stay, so a later restore can retry.
        showError(messages::restoreFailedPrefix + outcome.errorDescription(), false);
        return;
    }

    generatedWallpaperURL_.reset();
    setIsEnabled(false);
    PreferenceStore& defaults = *services_.defaults;
    defaults.setBool(false, preference_keys::enabled);
    defaults.removeObject(preference_keys::originalWallpaper);
    defaults.removeObject(preference_keys::originalImageScaling);
    defaults.removeObject(preference_keys::originalAllowClipping);
    defaults.removeObject(preference_keys::originalFillColor);
    setHasError(false);
    setStatusMessage(messages::restored);
    // Every generated file goes, except the one just put back: a record can name a file in
    // the generated folder (when none of the user's own was known), and deleting it would
    // leave the desktop showing a picture that no longer exists.
    std::optional<Url> keeping;
    if (processor_->isGeneratedWallpaper(*original)) {
        keeping = original;
    }
    processor_->removeOldGeneratedWallpapers(keeping);
}

}  // namespace quillhaven
