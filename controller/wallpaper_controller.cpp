// Construction, start-up, the display summary, and the two status steps through which every
// other operation reports its outcome.

#include "controller/wallpaper_controller.h"

#include "controller/display_rules.h"
#include "controller/messages.h"
#include "core/translation.h"

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
    : state_(ControllerState{.statusMessage = translated(messages::ready),
                             .screenSummary = translated(messages::checkingMainDisplay)}),
      services_(std::move(services)),
      processor_(std::move(processor)) {}

WallpaperController::~WallpaperController() = default;

void WallpaperController::start() {
    // No observer is set yet, so none of this notifies anybody.
    const bool enabled = services_.defaults->isEnabled();
    const bool atLogin = services_.loginItem->status() == LoginItemStatus::enabled;
    state_.update([&](ControllerState& s) {
        s.isEnabled = enabled;
        s.launchAtLogin = atLogin;
    });
    showSummaryOf(currentDisplay());
    if (enabled) {
        applyCurrentWallpaper(false);
    }
    // The check holds the controller weakly: the monitor's timer must never keep it alive.
    monitor_ = std::make_unique<ChangeMonitor>(services_.scheduler, services_.changes,
                                               [weakSelf = weak_from_this()] {
                                                   if (const auto self = weakSelf.lock()) {
                                                       self->checkForChanges();
                                                   }
                                               });
    monitor_->start();
}

std::optional<Display> WallpaperController::currentDisplay() const {
    return workingDisplay(services_.displays->screens());
}

std::optional<Display> WallpaperController::displayToWorkOn() {
    // A render in flight is the only guard against overlapping work: an apply or restore
    // asked for meanwhile is ignored, not queued.
    if (isBusy()) {
        return std::nullopt;
    }
    std::optional<Display> display = currentDisplay();
    if (!display) {
        showError(translated(messages::noMainDisplay), true);
    }
    return display;
}

void WallpaperController::showSummaryOf(const std::optional<Display>& display) {
    const std::string summary = displaySummary(display);
    state_.update([&](ControllerState& s) { s.screenSummary = summary; });
}

void WallpaperController::storeEnabled(bool enabled) {
    services_.defaults->setEnabled(enabled);
}

void WallpaperController::markEnabled(const std::string& message) {
    storeEnabled(true);
    state_.update([&](ControllerState& s) {
        s.isEnabled = true;
        s.hasError = false;
        s.statusMessage = message;
    });
}

void WallpaperController::showError(const std::string& message, bool disableEffect) {
    if (disableEffect) {
        storeEnabled(false);
    }
    state_.update([&](ControllerState& s) {
        s.isEnabled = s.isEnabled && !disableEffect;
        s.hasError = true;
        s.statusMessage = message;
        s.isBusy = false;
    });
}

void WallpaperController::setEffectEnabled(bool on) {
    state_.update([](ControllerState& s) { s.hasError = false; });
    if (on) {
        applyCurrentWallpaper(false);
    } else {
        restoreOriginalWallpaper();
    }
}

}  // namespace quillhaven
