#include "virtual_desktop_json.h"

#include <QUrl>
#include <QtDebug>
#include <algorithm>
#include <cmath>

#include "canvas_geometry.h"

namespace quillhaven {

namespace {

Rect rectFromJson(const QJsonObject& object) {
    return Rect{object.value("x").toDouble(), object.value("y").toDouble(),
                object.value("width").toDouble(), object.value("height").toDouble()};
}

QJsonObject rectToJson(const Rect& rect) {
    return QJsonObject{
        {"x", rect.x}, {"y", rect.y}, {"width", rect.width}, {"height", rect.height}};
}

std::optional<Rect> optionalRect(const QJsonValue& value) {
    if (!value.isObject()) {
        return std::nullopt;  // absent or null: the area is missing
    }
    return rectFromJson(value.toObject());
}

QJsonValue optionalRectToJson(const std::optional<Rect>& rect) {
    return rect ? QJsonValue(rectToJson(*rect)) : QJsonValue(QJsonValue::Null);
}

// A scaling is a whole number; anything else is not one the options can hold.
std::optional<ImageScaling> scalingFromJson(const QJsonValue& value) {
    if (!value.isDouble()) {
        return std::nullopt;
    }
    const qint64 whole = value.toInteger(0);
    if (whole != value.toInteger(1)) {
        return std::nullopt;
    }
    return static_cast<ImageScaling>(whole);
}

// A boolean, or a number read as one (non-zero is true), as a hand-edited file may hold.
std::optional<bool> clippingFromJson(const QJsonValue& value) {
    if (value.isBool()) {
        return value.toBool();
    }
    if (value.isDouble()) {
        return value.toDouble() != 0;
    }
    return std::nullopt;
}

}  // namespace

Display builtInVirtualDisplay() {
    Display display;
    display.identifier = "built-in";
    display.frame = Rect{0, 0, 1512, 982};
    display.backingScaleFactor = 2;
    display.safeAreaInsets = EdgeInsets{32, 0, 0, 0};
    display.auxiliaryTopLeftArea = Rect{0, 950, 660, 32};
    display.auxiliaryTopRightArea = Rect{852, 950, 660, 32};
    return display;
}

std::optional<Display> displayFromJson(const QJsonObject& object) {
    const QJsonValue id = object.value("id");
    if (!id.isString()) {
        return std::nullopt;
    }
    Display display;
    display.identifier = id.toString().toStdString();
    display.frame = rectFromJson(object.value("frame").toObject());
    display.backingScaleFactor = object.value("backingScaleFactor").toDouble(1);
    const QJsonObject insets = object.value("safeAreaInsets").toObject();
    display.safeAreaInsets =
        EdgeInsets{insets.value("top").toDouble(), insets.value("left").toDouble(),
                   insets.value("bottom").toDouble(), insets.value("right").toDouble()};
    display.auxiliaryTopLeftArea = optionalRect(object.value("auxiliaryTopLeftArea"));
    display.auxiliaryTopRightArea = optionalRect(object.value("auxiliaryTopRightArea"));
    // A display no real screen could have (no area, no scale, a notch taller than itself)
    // would be processed into a meaningless picture and reported as a success.
    if (const auto problem = displayMeasurementProblem(
            display.frame.width, display.frame.height, display.backingScaleFactor,
            display.safeAreaInsets.top, 0)) {
        qWarning("Virtual display %s ignored: %s", display.identifier.c_str(), problem->c_str());
        return std::nullopt;
    }
    return display;
}

QJsonObject displayToJson(const Display& display) {
    const EdgeInsets& insets = display.safeAreaInsets;
    return QJsonObject{
        {"id", QString::fromStdString(display.identifier)},
        {"frame", rectToJson(display.frame)},
        {"backingScaleFactor", display.backingScaleFactor},
        {"safeAreaInsets", QJsonObject{{"top", insets.top},
                                       {"left", insets.left},
                                       {"bottom", insets.bottom},
                                       {"right", insets.right}}},
        {"auxiliaryTopLeftArea", optionalRectToJson(display.auxiliaryTopLeftArea)},
        {"auxiliaryTopRightArea", optionalRectToJson(display.auxiliaryTopRightArea)},
    };
}

std::optional<Url> urlFromJson(const QJsonValue& value) {
    const QString text = value.toString().trimmed();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    if (text.startsWith(QLatin1Char('/'))) {
        return Url::fileURLWithPath(text.toStdString());
    }
    const QUrl url(text);
    if (url.isLocalFile()) {
        return Url::fileURLWithPath(url.toLocalFile().toStdString());
    }
    if (!url.isValid() || url.scheme().isEmpty()) {
        return std::nullopt;
    }
    // Another scheme: kept so that the apply flow can say it is not a local picture.
    return Url(url.scheme().toStdString(), url.toString(QUrl::RemoveScheme).toStdString());
}

QString urlToJson(const Url& url) {
    if (url.isFileURL()) {
        return QUrl::fromLocalFile(QString::fromStdString(url.path())).toString(QUrl::FullyEncoded);
    }
    return QString::fromStdString(url.scheme() + ":" + url.rawPath());
}

DesktopPictureOptions optionsFromJson(const QJsonObject& object) {
    DesktopPictureOptions options;
    options.scaling = scalingFromJson(object.value("scaling"));
    options.allowClipping = clippingFromJson(object.value("allowClipping"));
    options.fillColor = colorFromHex(object.value("fillColor").toString());
    return options;
}

QJsonObject optionsToJson(const DesktopPictureOptions& options) {
    QJsonObject object;
    if (options.scaling) {
        object["scaling"] = qint64{static_cast<std::int64_t>(*options.scaling)};
    }
    if (options.allowClipping) {
        object["allowClipping"] = *options.allowClipping;
    }
    if (options.fillColor) {
        object["fillColor"] = colorToHex(*options.fillColor);
    }
    return object;
}

std::optional<Color> colorFromHex(const QString& text) {
    if (!text.startsWith(QLatin1Char('#')) || (text.size() != 7 && text.size() != 9)) {
        return std::nullopt;
    }
    double components[4] = {0, 0, 0, 1};
    for (qsizetype i = 1, component = 0; i < text.size(); i += 2, ++component) {
        bool ok = false;
        const uint byte = text.mid(i, 2).toUInt(&ok, 16);
        if (!ok) {
            return std::nullopt;
        }
        components[component] = byte / 255.0;
    }
    return Color{components[0], components[1], components[2], components[3]};
}

QString colorToHex(const Color& color) {
    QString text = QStringLiteral("#");
    for (double component : {color.red, color.green, color.blue, color.alpha}) {
        const double clamped = std::clamp(std::isfinite(component) ? component : 0.0, 0.0, 1.0);
        const int byte = static_cast<int>(std::lround(clamped * 255));
        text += QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0'));
    }
    return text;
}

}  // namespace quillhaven
