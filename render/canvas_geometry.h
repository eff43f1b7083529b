#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/result.h"

namespace quillhaven {

struct WallpaperProcessingRequest;

// The pixel layout of one wallpaper, in a top-left-origin frame (y grows downwards):
// rows 0 .. bandHeight-1 are the black band, the picture area is the rows below it.
struct CanvasGeometry {
    std::int64_t width = 0;          // W
    std::int64_t height = 0;         // H
    std::int64_t bandHeight = 0;     // B
    std::int64_t pictureHeight = 0;  // A = H - B
    double cornerRadius = 0;         // r, in pixels, not rounded

    // The largest canvas the renderer agrees to draw.
    static constexpr std::int64_t maxSide = 16384;
    static constexpr std::int64_t maxPixels = std::int64_t{1} << 28;

    // Applies the rounding and clamping rules to a request. None when a value is not
    // finite or the canvas would be larger than the limits above.
    static std::optional<CanvasGeometry> fromRequest(const WallpaperProcessingRequest& request);
};

// Whether a display's measurements can make a wallpaper; the failure says why in English,
// for logs and the render command: the size and scale finite and positive, the canvas at
// least one pixel and at most the limits above on each side, the band and the corner
// radius not negative, and the band lower than the display. The renderer itself clamps
// whatever it is given; this is for values that come from outside (arguments, a desktop's
// display list), where a nonsense value is a mistake to report rather than a picture to
// draw.
Outcome checkDisplayMeasurements(double width, double height, double scale, double inset,
                                 double radius);

// Where a picture of `imageWidth` x `imageHeight` pixels lands when it is scaled to cover a
// `canvasWidth` x `canvasHeight` canvas, centred, aspect ratio kept.
struct CoverRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    double scale = 0;

    static CoverRect forImage(double imageWidth, double imageHeight, double canvasWidth,
                              double canvasHeight);
};

}  // namespace quillhaven
