#pragma once

// Which display Quillhaven works on, whether it has a notch, and how it is summed up and
// rendered for. Free functions over the display list, so every rule has one home.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "controller/desktop_services.h"
#include "render/wallpaper_processor.h"

namespace quillhaven {

// The corner radius of the picture below the band, in device-independent pixels.
inline constexpr double pictureCornerRadius = 16.0;

// The display that matters on a notched laptop is the one carrying the notch: the built-in
// panel, whether or not it is the primary screen. Without one (a closed lid, a desktop
// machine) the primary display stands in, else the first; it then reports no notch unless
// it was given one.
std::optional<Display> workingDisplay(const std::vector<Display>& displays);
// Where that display is in the list; none for an empty list.
std::optional<std::size_t> workingDisplayIndex(const std::vector<Display>& displays);

// The panel's size in device pixels. Geometry is in device-independent pixels, so with a
// fractional ratio (1.25, 1.5, 1.75) the native size is the product rounded, as the
// compositor rounds it.
struct PixelSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
};
PixelSize nativePixelSize(const Display& display);

// A notch counts when it is at least one row and leaves at least one row below it.
bool hasNotch(const Display& display);

// "ノッチあり・1512 × 982": whether the working display has a notch, and its size in
// device-independent pixels.
std::string displaySummary(const std::optional<Display>& display);

// The render for the display, in device pixels throughout (a ratio of 1), so a fractional
// ratio can round neither the canvas nor the band.
WallpaperProcessingRequest renderRequestFor(const Display& display, const Url& source);

}  // namespace quillhaven
