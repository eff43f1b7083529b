#include "controller/display_rules.h"

#include <algorithm>
#include <cmath>

#include "controller/messages.h"
#include "core/translation.h"

namespace quillhaven {

namespace {

// A whole number truncated toward zero, or "?" for a value no 64-bit integer holds, rather
// than a meaningless number.
std::string wholeNumber(double value) {
    if (!std::isfinite(value) || value >= 9223372036854775808.0 || value < -9223372036854775808.0) {
        return "?";
    }
    return std::to_string(static_cast<long long>(value));
}

std::int64_t devicePixels(double length, double ratio) {
    // Far beyond any canvas the renderer accepts, yet safely inside the integer.
    constexpr double largest = 1e15;
    const double pixels = std::round(length * ratio);
    if (!(pixels >= 0)) {
        return 0;
    }
    return static_cast<std::int64_t>(std::min(pixels, largest));
}

}  // namespace

std::optional<std::size_t> workingDisplayIndex(const std::vector<Display>& displays) {
    for (const auto& preferred : {&Display::isBuiltIn, &Display::isPrimary}) {
        const auto found = std::find_if(displays.begin(), displays.end(),
                                        [&](const Display& d) { return d.*preferred; });
        if (found != displays.end()) {
            return static_cast<std::size_t>(found - displays.begin());
        }
    }
    if (displays.empty()) {
        return std::nullopt;
    }
    return 0;
}

std::optional<Display> workingDisplay(const std::vector<Display>& displays) {
    // One reading of the list answers the whole question: displays come and go between
    // two reads.
    const auto index = workingDisplayIndex(displays);
    return index ? std::optional(displays[*index]) : std::nullopt;
}

PixelSize nativePixelSize(const Display& display) {
    return PixelSize{devicePixels(display.geometry.width, display.devicePixelRatio),
                     devicePixels(display.geometry.height, display.devicePixelRatio)};
}

bool hasNotch(const Display& display) {
    return display.notchHeight && *display.notchHeight > 0 &&
           *display.notchHeight < nativePixelSize(display).height;
}

std::string displaySummary(const std::optional<Display>& display) {
    if (!display) {
        return translated(messages::noMainDisplaySummary);
    }
    std::string summary = hasNotch(*display) ? translated(messages::notchPresentLabel)
                                             : translated(messages::notchAbsentLabel);
    summary += wholeNumber(display->geometry.width);
    summary += translated(messages::sizeSeparator);
    summary += wholeNumber(display->geometry.height);
    return summary;
}

WallpaperProcessingRequest renderRequestFor(const Display& display, const Url& source) {
    const PixelSize pixels = nativePixelSize(display);
    WallpaperProcessingRequest request;
    request.sourceURL = source;
    request.canvasSizeInPoints =
        CanvasSize{static_cast<double>(pixels.width), static_cast<double>(pixels.height)};
    request.backingScaleFactor = 1;
    request.topInsetInPoints = display.notchHeight.value_or(0);
    request.cornerRadiusInPoints = pictureCornerRadius * display.devicePixelRatio;
    return request;
}

}  // namespace quillhaven
