#include "shell/menu_bar_icon.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>

namespace quillhaven::MenuBarIcon {
namespace {

constexpr qreal side = sizeInPoints;
constexpr qreal outlineOrigin = 2.5;
constexpr qreal outlineSide = 13.0;
constexpr qreal outlineCornerRadius = 2.6;
constexpr qreal outlineLineWidth = 1.45;
constexpr qreal barStartX = 5.4;
constexpr qreal barEndX = 12.6;
constexpr qreal barY = 11.7;  // measured upward from the bottom edge
constexpr qreal barLineWidthOn = 2.1;
constexpr qreal barLineWidthOff = 1.35;

// The icon's coordinates grow upward from the lower-left corner; Qt's grow downward.
qreal flippedY(qreal y) {
    return side - y;
}

// Strokes the icon into `painter`, whose coordinate system must already map the icon's
// 18 x 18 points onto the target rectangle.
void drawStrokes(QPainter& painter, bool isEnabled, const QColor& color) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);

    QPen outlinePen(color, outlineLineWidth, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin);
    painter.setPen(outlinePen);
    QPainterPath outline;
    outline.addRoundedRect(
        QRectF(outlineOrigin, flippedY(outlineOrigin + outlineSide), outlineSide, outlineSide),
        outlineCornerRadius, outlineCornerRadius);
    painter.drawPath(outline);

    QPen barPen(color, isEnabled ? barLineWidthOn : barLineWidthOff, Qt::SolidLine, Qt::RoundCap,
                Qt::MiterJoin);
    painter.setPen(barPen);
    painter.drawLine(QPointF(barStartX, flippedY(barY)), QPointF(barEndX, flippedY(barY)));
}

QColor tintFor(QIcon::Mode mode) {
    const QPalette palette = QGuiApplication::palette();
    const auto group = mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active;
    return palette.color(group, QPalette::WindowText);
}

class MenuBarIconEngine final : public QIconEngine {
public:
    explicit MenuBarIconEngine(bool isEnabled) : isEnabled_(isEnabled) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State /*state*/) override {
        painter->save();
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / side, rect.height() / side);
        drawStrokes(*painter, isEnabled_, tintFor(mode));
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // Draws at the device resolution so the strokes are sharp at 2x and 3x. Qt before 6.8
    // hands over the size already in device pixels, with the scale it was multiplied by;
    // from 6.8 on the size is in device-independent pixels, to be multiplied here.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        const QSize pixels = (QSizeF(size) * scale).toSize();
#else
        const QSize pixels = size;
#endif
        if (pixels.isEmpty()) {
            return QPixmap();
        }
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            paint(&painter, QRect(QPoint(0, 0), pixels), mode, state);
        }
        QPixmap result = QPixmap::fromImage(image);
        result.setDevicePixelRatio(scale);
        return result;
    }

    QSize actualSize(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        return size;
    }

    QList<QSize> availableSizes(QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        return {QSize(sizeInPoints, sizeInPoints)};
    }

    QString key() const override { return QStringLiteral("QuillhavenMenuBarIcon"); }
    QIconEngine* clone() const override { return new MenuBarIconEngine(isEnabled_); }

private:
    bool isEnabled_;
};

}  // namespace

QIcon make(bool isEnabled) {
    return QIcon(new MenuBarIconEngine(isEnabled));
}

}  // namespace quillhaven::MenuBarIcon
