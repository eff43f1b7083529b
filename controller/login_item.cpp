// Starting at login through the host's login-item service. `launchAtLogin` mirrors what the
// service reports after each attempt, not what was asked for.

#include "messages.h"
#include "wallpaper_controller.h"

namespace quillhaven {

void WallpaperController::setLaunchAtLogin(bool enabled) {
    LoginItemService& service = *services_.loginItem;
    Outcome outcome = enabled ? service.registerItem() : service.unregisterItem();
    setLaunchAtLoginField(service.status() == LoginItemStatus::enabled);
    if (!outcome.succeeded()) {
        showError(messages::loginItemFailedPrefix + outcome.errorDescription(), false);
        return;
    }
    setHasError(false);
    setStatusMessage(launchAtLogin_ ? messages::launchAtLoginOn : messages::launchAtLoginOff);
}

}  // namespace quillhaven
