// Construction, the observed fields and their change notices, and the two status
// operations through which every other operation reports its outcome.

#include "wallpaper_controller.h"

#include "messages.h"
#include "preference_keys.h"

namespace quillhaven {

std::shared_ptr<WallpaperController> WallpaperController::create(
    DesktopServices services, std::shared_ptr<const WallpaperProcessor> processor) {
    std::shared_ptr<WallpaperController> controller(
        new WallpaperController(std::move(services), std::move(processor)));
    // The start-up runs once the controller is owned, because a render it starts holds the
    // controller through shared_from_this().
    controller->start();
    return controller;
}

WallpaperController::WallpaperController(DesktopServices services,
                                         std::shared_ptr<const WallpaperProcessor> processor)
    : statusMessage_(messages::ready),
      screenSummary_(messages::checkingMainDisplay),
      services_(std::move(services)),
      processor_(std::move(processor)) {}

WallpaperController::~WallpaperController() = default;

void WallpaperController::start() {
    // No callback is stored yet, so none of these assignments notifies anybody.
    setIsEnabled(services_.defaults->boolForKey(preference_keys::enabled));
    setLaunchAtLoginField(services_.loginItem->status() == LoginItemStatus::enabled);
    updateScreenSummary();
    if (isEnabled_) {
        applyCurrentWallpaper(false);
    }
    startMonitoring();
}

void WallpaperController::notify() {
    if (onChange_) {
        // A copy, so that a callback which replaces itself finishes safely.
        auto callback = onChange_;
        callback();
    }
}

void WallpaperController::setIsEnabled(bool value) {
    isEnabled_ = value;
    notify();
}

void WallpaperController::setIsBusy(bool value) {
    isBusy_ = value;
    notify();
}

void WallpaperController::setStatusMessage(const std::string& value) {
    statusMessage_ = value;
    notify();
}

void WallpaperController::setHasError(bool value) {
    hasError_ = value;
    notify();
}

void WallpaperController::setLaunchAtLoginField(bool value) {
    launchAtLogin_ = value;
    notify();
}

void WallpaperController::setScreenSummary(const std::string& value) {
    screenSummary_ = value;
    notify();
}

void WallpaperController::markEnabled(const std::string& message) {
    setIsEnabled(true);
    services_.defaults->setBool(true, preference_keys::enabled);
    setHasError(false);
    setStatusMessage(message);
}

void WallpaperController::showError(const std::string& message, bool disableEffect) {
    if (disableEffect) {
        setIsEnabled(false);
        services_.defaults->setBool(false, preference_keys::enabled);
    }
    setHasError(true);
    setStatusMessage(message);
    setIsBusy(false);
}

void WallpaperController::setEffectEnabled(bool on) {
    setHasError(false);
    if (on) {
        applyCurrentWallpaper(false);
    } else {
        restoreOriginalWallpaper();
    }
}

}  // namespace quillhaven
