#include "canvas_painter.h"

#include <QColorSpace>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace quillhaven {

namespace {

bool isDirectlyScalable(QImage::Format format) {
    switch (format) {
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_ARGB32_Premultiplied:
        case QImage::Format_RGBX64:
        case QImage::Format_RGBA64:
        case QImage::Format_RGBA64_Premultiplied:
            return true;
        default:
            return false;
    }
}

// A view of part of `image` that shares its pixels, so cropping costs no copy.
QImage window(const QImage& image, const QRect& rect) {
    const int bytesPerPixel = image.depth() / 8;
    const uchar* first = image.constScanLine(rect.y()) + std::ptrdiff_t{rect.x()} * bytesPerPixel;
    return QImage(first, rect.width(), rect.height(), image.bytesPerLine(), image.format());
}

// The part of the picture that the canvas shows, scaled to exactly the canvas size.
// Downscales average over each output pixel's area (QImage's smooth scaling of a pure
// down-scale), so large reductions do not alias; upscales interpolate bilinearly.
QImage coverCanvas(const QImage& picture, int width, int height) {
    const CoverRect cover = CoverRect::forImage(picture.width(), picture.height(), width, height);
    // The source rectangle that lands on the canvas, in picture pixels.
    const double sourceX = -cover.x / cover.scale;
    const double sourceY = -cover.y / cover.scale;
    const double sourceWidth = width / cover.scale;
    const double sourceHeight = height / cover.scale;

    if (cover.scale < 1) {
        const int w = std::clamp(static_cast<int>(std::lround(sourceWidth)), 1, picture.width());
        const int h = std::clamp(static_cast<int>(std::lround(sourceHeight)), 1, picture.height());
        const int x = std::clamp(static_cast<int>(std::lround(sourceX)), 0, picture.width() - w);
        const int y = std::clamp(static_cast<int>(std::lround(sourceY)), 0, picture.height() - h);
        const QImage view = window(picture, QRect(x, y, w, h));
        if (view.size() == QSize(width, height)) {
            return view.copy();  // the view must not outlive the picture it shares
        }
        return view.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QImage canvas(
        width, height,
        picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (canvas.isNull()) {
        return canvas;
    }
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(0, 0, width, height), picture,
                      QRectF(sourceX, sourceY, sourceWidth, sourceHeight));
    return canvas;
}

// Makes the covered picture an opaque RGB32 canvas: a transparent picture lies on black.
QImage opaqueCanvas(QImage covered) {
    if (!covered.hasAlphaChannel()) {
        covered.convertTo(QImage::Format_RGB32);
        return covered;
    }
    QImage canvas(covered.size(), QImage::Format_RGB32);
    if (canvas.isNull()) {
        return canvas;
    }
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    painter.drawImage(0, 0, covered);
    return canvas;
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
    QImage canvas;
    if (!picture.isNull() && picture.width() >= 1 && picture.height() >= 1) {
        const QColorSpace colorSpace = picture.colorSpace();
        if (!isDirectlyScalable(picture.format())) {
            picture.convertTo(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                        : QImage::Format_RGB32);
        }
        QImage covered = coverCanvas(picture, width, height);
        picture = QImage();  // the full-size picture is no longer needed
        if (covered.isNull()) {
            return {};
        }
        if (colorSpace.isValid() && colorSpace != QColorSpace(QColorSpace::SRgb)) {
            covered.setColorSpace(colorSpace);
            covered.convertToColorSpace(QColorSpace::SRgb);
        }
        canvas = opaqueCanvas(std::move(covered));
    } else {
        canvas = QImage(width, height, QImage::Format_RGB32);
        if (!canvas.isNull()) {
            canvas.fill(Qt::black);
        }
    }
    if (canvas.isNull() || canvas.size() != QSize(width, height)) {
        return {};
    }
    paintFrame(canvas, geometry);
    canvas.convertTo(QImage::Format_RGBX8888);
    return canvas;
}

}  // namespace quillhaven
