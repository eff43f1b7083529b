// Starting at login through the host's login-item service. `launchAtLogin` mirrors what the
// service reports after each attempt, not what was asked for.

#include "controller/messages.h"
#include "controller/wallpaper_controller.h"
#include "core/translation.h"

namespace quillhaven {

void WallpaperController::setLaunchAtLogin(bool enabled) {
    LoginItemService& service = *services_.loginItem;
    Outcome outcome = enabled ? service.registerItem() : service.unregisterItem();
    const bool registered = service.status() == LoginItemStatus::enabled;
    state_.update([&](ControllerState& s) { s.launchAtLogin = registered; });
    if (!outcome.succeeded()) {
        showError(translated(messages::loginItemFailedPrefix) + outcome.errorDescription(), false);
        return;
    }
    state_.update([&](ControllerState& s) {
        s.hasError = false;
        s.statusMessage = registered ? translated(messages::launchAtLoginOn)
                                     : translated(messages::launchAtLoginOff);
    });
}

}  // namespace quillhaven
