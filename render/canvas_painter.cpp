#include "render/canvas_painter.h"

#include <QColorSpace>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "render/pixel_formats.h"

namespace quillhaven {

namespace {

// A view of part of `image` that shares its pixels, so cropping costs no copy.
QImage window(const QImage& image, const QRect& rect) {
    const int bytesPerPixel = image.depth() / 8;
    const uchar* first = image.constScanLine(rect.y()) + std::ptrdiff_t{rect.x()} * bytesPerPixel;
    return QImage(first, rect.width(), rect.height(), image.bytesPerLine(), image.format());
}

// The picture scaled to cover the canvas, and the canvas-sized part of it that shows.
struct CoveredPicture {
    QImage pixels;
    QRect visible;
};

// Scales the picture to cover a `width` x `height` canvas, centred. A picture that needs no
// scaling is only cropped, in place; a downscale averages over each output pixel's area
// (QImage's smooth scaling of a pure reduction), so large reductions do not alias; an
// upscale interpolates bilinearly.
CoveredPicture coverPicture(QImage picture, int width, int height) {
    const CoverRect cover = CoverRect::forImage(picture.width(), picture.height(), width, height);
    const QRect canvasRect(0, 0, width, height);
    // The source rectangle that lands on the canvas, in picture pixels.
    const double sourceX = -cover.x / cover.scale;
    const double sourceY = -cover.y / cover.scale;
    const double sourceWidth = width / cover.scale;
    const double sourceHeight = height / cover.scale;

    if (cover.scale <= 1) {
        const int w = std::clamp(static_cast<int>(std::lround(sourceWidth)), 1, picture.width());
        const int h = std::clamp(static_cast<int>(std::lround(sourceHeight)), 1, picture.height());
        const int x = std::clamp(static_cast<int>(std::lround(sourceX)), 0, picture.width() - w);
        const int y = std::clamp(static_cast<int>(std::lround(sourceY)), 0, picture.height() - h);
        if (w == width && h == height) {
            return {std::move(picture), QRect(x, y, w, h)};
        }
        return {window(picture, QRect(x, y, w, h))
                    .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                canvasRect};
    }
    QImage canvas(
        width, height,
        picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (canvas.isNull()) {
        return {};
    }
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(canvasRect), picture,
                      QRectF(sourceX, sourceY, sourceWidth, sourceHeight));
    return {std::move(canvas), canvasRect};
}

// Makes the covered picture opaque RGB32: a picture with transparency lies on black.
void makeOpaque(CoveredPicture& covered) {
    if (covered.pixels.format() == QImage::Format_RGB32) {
        return;
    }
    if (!covered.pixels.hasAlphaChannel()) {
        covered.pixels.convertTo(QImage::Format_RGB32);
        return;
    }
    QImage canvas(covered.visible.size(), QImage::Format_RGB32);
    if (!canvas.isNull()) {
        canvas.fill(Qt::black);
        QPainter painter(&canvas);
        painter.drawImage(QPoint(0, 0), covered.pixels, covered.visible);
    }
    covered = {std::move(canvas), QRect(QPoint(0, 0), covered.visible.size())};
}

// An RGB32 image of the visible part that draws straight into the covered picture's
// pixels, which it keeps alive, so cropping costs neither a copy nor new memory.
QImage canvasOver(CoveredPicture covered) {
    auto* owner = new QImage(std::move(covered.pixels));
    uchar* first = owner->bits() + std::ptrdiff_t{covered.visible.y()} * owner->bytesPerLine() +
                   std::ptrdiff_t{covered.visible.x()} * 4;
    return QImage(
        first, covered.visible.width(), covered.visible.height(), owner->bytesPerLine(),
        QImage::Format_RGB32, [](void* image) { delete static_cast<QImage*>(image); }, owner);
}

void paintFrame(QImage& canvas, const CanvasGeometry& geometry) {
    QPainter painter(&canvas);
    // The picture area needs at least three pixels each way to show anything inside its
    // one-pixel outline; otherwise the outline covers all of it.
    if (geometry.width < 3 || geometry.pictureHeight < 3) {
        painter.fillRect(canvas.rect(), Qt::black);
        return;
    }
    // Black goes everywhere outside the rounded picture area (the band and the corners) and
    // on the outline: a one-pixel line centred 0.5 inside the area's edge, with corner
    // radius r - 0.5. Together these cover exactly everything outside the area shrunk by
    // one pixel with corner radius r - 1, so a single anti-aliased fill draws both.
    const double band = static_cast<double>(geometry.bandHeight);
    const QRectF visible(1, band + 1, static_cast<double>(geometry.width) - 2,
                         static_cast<double>(geometry.pictureHeight) - 2);
    const double visibleRadius = std::max(0.0, geometry.cornerRadius - 1);
    QPainterPath black;
    black.setFillRule(Qt::OddEvenFill);
    black.addRect(QRectF(canvas.rect()));
    black.addRoundedRect(visible, visibleRadius, visibleRadius);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(black, Qt::black);
}

}  // namespace

QImage paintWallpaper(QImage picture, const CanvasGeometry& geometry) {
    const int width = static_cast<int>(geometry.width);
    const int height = static_cast<int>(geometry.height);
    CoveredPicture covered;
    QColorSpace colorSpace;
    if (!picture.isNull()) {
        colorSpace = picture.colorSpace();
        if (!isDirectlyScalable(picture.format())) {
            picture.convertTo(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                        : QImage::Format_RGB32);
        }
        covered = coverPicture(std::move(picture), width, height);
    } else {
        covered = {QImage(width, height, QImage::Format_RGB32), QRect(0, 0, width, height)};
        covered.pixels.fill(Qt::black);
    }
    if (covered.pixels.isNull()) {
        return {};
    }
    makeOpaque(covered);
    if (covered.pixels.isNull() || covered.visible.size() != QSize(width, height)) {
        return {};
    }
    QImage canvas = canvasOver(std::move(covered));
    if (colorSpace.isValid() && colorSpace != QColorSpace(QColorSpace::SRgb)) {
        canvas.setColorSpace(colorSpace);
        canvas.convertToColorSpace(QColorSpace::SRgb);
    }
    paintFrame(canvas, geometry);
    canvas.setColorSpace(QColorSpace(QColorSpace::SRgb));
    return canvas;
}

}  // namespace quillhaven
