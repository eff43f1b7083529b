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
    const double width = static_cast<double>(geometry.width);
    const double band = static_cast<double>(geometry.bandHeight);
    const double area = static_cast<double>(geometry.pictureHeight);
    const QRectF pictureArea(0, band, width, area);

    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);

    // Black everywhere outside the rounded picture area: the band and the four corners.
    QPainterPath outside;
    outside.setFillRule(Qt::OddEvenFill);
    outside.addRect(QRectF(0, 0, width, static_cast<double>(geometry.height)));
    outside.addRoundedRect(pictureArea, geometry.cornerRadius, geometry.cornerRadius);
    painter.fillPath(outside, Qt::black);

    // The outline covers the ring of pixels just inside the picture area's edge. When the
    // area is one pixel thin that ring is the whole area.
    if (geometry.width < 2 || geometry.pictureHeight < 2) {
        painter.fillRect(pictureArea, Qt::black);
        return;
    }
    QPen pen(Qt::black, 1.0);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const double outlineRadius = std::max(0.0, geometry.cornerRadius - 0.5);
    QPainterPath outline;
    outline.addRoundedRect(pictureArea.adjusted(0.5, 0.5, -0.5, -0.5), outlineRadius,
                           outlineRadius);
    painter.drawPath(outline);
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
