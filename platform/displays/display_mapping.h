#pragma once

// Turns the screens as the window system describes them into the controller's displays.
// Kept apart from QScreen so the arithmetic can be checked with any arrangement.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desktop_services.h"

namespace quillhaven {

// One screen as the window system reports it: geometry in device-independent pixels in the
// window system's global space, whose y axis grows downward.
struct ScreenDescription {
    std::string name;  // connector name, e.g. "eDP-1"
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    double devicePixelRatio = 1;
    bool isPrimary = false;
};

// Notch heights in device pixels from the two sources.
struct NotchHeights {
    std::optional<std::uint32_t> builtInPanel;     // detected on the built-in panel
    std::optional<std::uint32_t> primaryOverride;  // QUILLHAVEN_NOTCH_HEIGHT
};

// Share of the panel width that the notch is taken to cover when the areas beside it are
// drawn. Only their presence matters to the controller; the width is an estimate close to
// the notches of current laptops (about 190 of 1512 points).
inline constexpr double estimatedNotchWidthShare = 0.125;

// Maps the screens in the given order. Frames are in points in a y-up space whose origin
// is the lower-left corner of the primary screen (the first screen when none is marked).
// A notched screen gets a top inset of the notch height divided by its pixel ratio and an
// area on each side of a centred notch. The override applies to the primary screen and wins
// over the detected height there. A notch that would fill the whole screen is ignored.
std::vector<Display> mapScreensToDisplays(const std::vector<ScreenDescription>& screens,
                                          const NotchHeights& notch);

}  // namespace quillhaven
