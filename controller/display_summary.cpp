// Choosing the main display, the notch test and the one-line display summary.

#include <cmath>
#include <string>

#include "messages.h"
#include "wallpaper_controller.h"

namespace quillhaven {

namespace {

bool liesAtOrigin(const Display& display) {
    // The display carrying the menu bar sits at (0, 0); less than half a point off counts.
    return std::fabs(display.frame.x) < 0.5 && std::fabs(display.frame.y) < 0.5;
}

// A size in whole points, truncated toward zero. The display service always reports
// finite sizes; anything it cannot hold as a 64-bit integer is shown as "?" rather than
// as a meaningless number.
std::string wholePoints(double value) {
    if (!std::isfinite(value) || value >= 9223372036854775808.0 || value < -9223372036854775808.0) {
        return "?";
    }
    return std::to_string(static_cast<long long>(value));
}

}  // namespace

std::optional<Display> WallpaperController::primaryScreen() const {
    // One reading of the list answers the whole question: displays may come and go between
    // two reads.
    const std::vector<Display> displays = services_.displays->screens();
    for (const Display& display : displays) {
        if (liesAtOrigin(display)) {
            return display;
        }
    }
    // No display at the origin: fall back to the first one.
    if (displays.empty()) {
        return std::nullopt;
    }
    return displays.front();
}

bool WallpaperController::hasNotch(const Display& display) {
    return display.safeAreaInsets.top > 0 && display.auxiliaryTopLeftArea.has_value() &&
           display.auxiliaryTopRightArea.has_value();
}

void WallpaperController::updateScreenSummary() {
    std::optional<Display> display = primaryScreen();
    if (!display) {
        setScreenSummary(messages::noMainDisplaySummary);
        return;
    }
    std::string summary =
        display->safeAreaInsets.top > 0 ? messages::notchPresentLabel : messages::notchAbsentLabel;
    summary += wholePoints(display->frame.width);
    summary += messages::sizeSeparator;
    summary += wholePoints(display->frame.height);
    setScreenSummary(summary);
}

}  // namespace quillhaven
