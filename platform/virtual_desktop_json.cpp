#include "platform/virtual_desktop_json.h"

#include <QUrl>
#include <QtDebug>
#include <algorithm>
#include <cmath>

#include "core/log_categories.h"
#include "render/canvas_geometry.h"

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

// A notch height is a positive whole number of device pixels.
std::optional<std::uint32_t> notchFromJson(const QJsonValue& value) {
    const double height = value.toDouble(0);
    if (!(height >= 1 && height <= 1e6) || height != std::floor(height)) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(height);
}

bool isEarlierEntry(const QJsonObject& object) {
    return !object.contains("connector") && object.value("frame").isObject();
}

// An entry in the earlier shape: a frame with the origin at the lower left of the main
// display (the one at the origin), a scale, a top inset and the areas beside the notch,
// which together meant a notch. `mainHeight` turns the frame the right way up.
Display displayFromEarlierJson(const QJsonObject& object, double mainHeight, bool onlyDisplay) {
    Display display;
    display.connector = object.value("id").toString().toStdString();
    const Rect frame = rectFromJson(object.value("frame").toObject());
    display.geometry = Rect{frame.x, mainHeight - (frame.y + frame.height), frame.width, frame.height};
    display.devicePixelRatio = object.value("backingScaleFactor").toDouble(1);
    display.isPrimary = std::fabs(frame.x) < 0.5 && std::fabs(frame.y) < 0.5;
    const double inset = object.value("safeAreaInsets").toObject().value("top").toDouble();
    if (inset > 0 && object.value("auxiliaryTopLeftArea").isObject() &&
        object.value("auxiliaryTopRightArea").isObject()) {
        display.notchHeight = notchFromJson(std::round(inset * display.devicePixelRatio));
    }
    display.isBuiltIn = display.notchHeight.has_value() || onlyDisplay;
    return display;
}

Display displayFromCurrentJson(const QJsonObject& object, bool onlyDisplay) {
    Display display;
    display.connector = object.value("connector").toString().toStdString();
    display.isBuiltIn = object.value("builtIn").toBool(onlyDisplay);
    display.isPrimary = object.value("primary").toBool(false);
    display.geometry = rectFromJson(object.value("geometry").toObject());
    display.devicePixelRatio = object.value("devicePixelRatio").toDouble(1);
    display.notchHeight = notchFromJson(object.value("notchHeight"));
    return display;
}

// The height of the display at the origin among earlier entries, which turns their frames
// the right way up; the first such entry's when none sits there.
double earlierMainHeight(const QJsonArray& entries) {
    std::optional<double> first;
    for (const QJsonValue& value : entries) {
        const QJsonObject frame = value.toObject().value("frame").toObject();
        if (!isEarlierEntry(value.toObject())) {
            continue;
        }
        const double height = frame.value("height").toDouble();
        if (std::fabs(frame.value("x").toDouble()) < 0.5 &&
            std::fabs(frame.value("y").toDouble()) < 0.5) {
            return height;
        }
        first = first.value_or(height);
    }
    return first.value_or(0);
}

}  // namespace

std::optional<std::string> entryConnector(const QJsonObject& entry) {
    const QJsonValue name = entry.contains("connector") ? entry.value("connector") : entry.value("id");
    if (!name.isString()) {
        return std::nullopt;
    }
    return name.toString().toStdString();
}

Display builtInVirtualDisplay() {
    Display display;
    display.connector = "eDP-1";
    display.isBuiltIn = true;
    display.isPrimary = true;
    display.geometry = Rect{0, 0, 1512, 982};
    display.devicePixelRatio = 2;
    display.notchHeight = 64;
    return display;
}

std::vector<Display> displaysFromJson(const QJsonArray& entries) {
    const double mainHeight = earlierMainHeight(entries);
    const bool onlyDisplay = entries.size() == 1;
    std::vector<Display> displays;
    for (const QJsonValue& value : entries) {
        const QJsonObject object = value.toObject();
        if (!entryConnector(object)) {
            continue;  // not a display
        }
        Display display = isEarlierEntry(object)
                              ? displayFromEarlierJson(object, mainHeight, onlyDisplay)
                              : displayFromCurrentJson(object, onlyDisplay);
        // A display no real screen could have (no area, no ratio, a notch taller than
        // itself) would be processed into a meaningless picture and reported as a success.
        const double notchInPixels = display.notchHeight.value_or(0);
        const Outcome measured = checkDisplayMeasurements(
            display.geometry.width, display.geometry.height, display.devicePixelRatio,
            notchInPixels / display.devicePixelRatio, 0);
        if (!measured.succeeded()) {
            qCWarning(logPlatform, "Virtual display %s ignored: %s", display.connector.c_str(),
                      measured.errorDescription().c_str());
            continue;
        }
        displays.push_back(std::move(display));
    }
    return displays;
}

QJsonObject displayToJson(const Display& display) {
    QJsonObject object{
        {"connector", QString::fromStdString(display.connector)},
        {"builtIn", display.isBuiltIn},
        {"primary", display.isPrimary},
        {"geometry", rectToJson(display.geometry)},
        {"devicePixelRatio", display.devicePixelRatio},
    };
    if (display.notchHeight) {
        object["notchHeight"] = qint64{*display.notchHeight};
    }
    return object;
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
        text += QStringLiteral("%1").arg(componentByte(component), 2, 16, QLatin1Char('0'));
    }
    return text;
}

}  // namespace quillhaven
