#include "render/canvas_geometry.h"

#include <algorithm>
#include <cmath>

#include "render/wallpaper_processor.h"

namespace quillhaven {

namespace {

// Rounds half away from zero; none when the value does not fit the canvas limits.
std::optional<std::int64_t> canvasSide(double points, double scale) {
    const double pixels = std::round(points * scale);
    if (!std::isfinite(pixels) || pixels > static_cast<double>(CanvasGeometry::maxSide)) {
        return std::nullopt;
    }
    return pixels < 1 ? 1 : static_cast<std::int64_t>(pixels);
}

}  // namespace

Outcome checkDisplayMeasurements(double width, double height, double scale, double inset,
                                 double radius) {
    for (double value : {width, height, scale, inset, radius}) {
        if (!std::isfinite(value)) {
            return Outcome::failure("a measurement is not a finite number");
        }
    }
    if (width <= 0 || height <= 0) {
        return Outcome::failure("the size must be positive");
    }
    if (scale <= 0) {
        return Outcome::failure("the scale must be positive");
    }
    if (inset < 0) {
        return Outcome::failure("the inset must not be negative");
    }
    if (radius < 0) {
        return Outcome::failure("the radius must not be negative");
    }
    const double pixelWidth = std::round(width * scale);
    const double pixelHeight = std::round(height * scale);
    if (pixelWidth < 1 || pixelHeight < 1) {
        return Outcome::failure("the display is smaller than one pixel");
    }
    const auto limit = static_cast<double>(CanvasGeometry::maxSide);
    if (pixelWidth > limit || pixelHeight > limit ||
        pixelWidth * pixelHeight > static_cast<double>(CanvasGeometry::maxPixels)) {
        return Outcome::failure("the display is larger than " +
                               std::to_string(CanvasGeometry::maxSide) + " pixels a side or " +
                               std::to_string(CanvasGeometry::maxPixels) + " in all");
    }
    if (inset >= height) {
        return Outcome::failure("the inset is as tall as the display or taller");
    }
    return Outcome::success();
}

std::optional<CanvasGeometry> CanvasGeometry::fromRequest(
    const WallpaperProcessingRequest& request) {
    const double s = request.backingScaleFactor;
    const double values[] = {request.canvasSizeInPoints.width, request.canvasSizeInPoints.height, s,
                             request.topInsetInPoints, request.cornerRadiusInPoints};
    for (double value : values) {
        if (!std::isfinite(value)) {
            return std::nullopt;
        }
    }
    const auto width = canvasSide(request.canvasSizeInPoints.width, s);
    const auto height = canvasSide(request.canvasSizeInPoints.height, s);
    if (!width || !height || *width * *height > maxPixels) {
        return std::nullopt;
    }
    CanvasGeometry geometry;
    geometry.width = *width;
    geometry.height = *height;

    // The band is at least one row and leaves at least one row for the picture. The product
    // is clamped before converting so that a huge inset cannot overflow the integer.
    const double bandPixels = std::ceil(request.topInsetInPoints * s);
    if (!std::isfinite(bandPixels)) {
        return std::nullopt;
    }
    const double clampedBand = std::clamp(bandPixels, 1.0, static_cast<double>(maxSide));
    geometry.bandHeight = std::min(static_cast<std::int64_t>(clampedBand), geometry.height - 1);
    geometry.pictureHeight = geometry.height - geometry.bandHeight;

    double radius = s * request.cornerRadiusInPoints;
    if (std::isnan(radius) || radius < 0) {
        radius = 0;
    }
    const double limit = static_cast<double>(std::min(geometry.width, geometry.pictureHeight)) / 2;
    geometry.cornerRadius = std::min(radius, limit);
    return geometry;
}

CoverRect CoverRect::forImage(double imageWidth, double imageHeight, double canvasWidth,
                              double canvasHeight) {
    if (imageWidth < 1 || imageHeight < 1) {
        return {};
    }
    CoverRect rect;
    rect.scale = std::max(canvasWidth / imageWidth, canvasHeight / imageHeight);
    rect.width = imageWidth * rect.scale;
    rect.height = imageHeight * rect.scale;
    rect.x = (canvasWidth - rect.width) / 2;
    rect.y = (canvasHeight - rect.height) / 2;
    return rect;
}

}  // namespace quillhaven
