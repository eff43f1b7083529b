#include "virtual_desktop_json.h"

#include <QUrl>
#include <algorithm>
#include <cmath>
#include <type_traits>

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

// Whole numbers stay integers (exactly, over the full 64-bit range); others are doubles.
std::optional<OptionValue> optionFromJson(const QJsonValue& value) {
    if (value.isBool()) {
        return BoxedNumber{value.toBool()};
    }
    if (value.isDouble()) {
        const qint64 first = value.toInteger(0);
        if (first == value.toInteger(1)) {
            return BoxedNumber{std::int64_t{first}};
        }
        return BoxedNumber{value.toDouble()};
    }
    if (value.isString()) {
        return OptionValue{value.toString().toStdString()};
    }
    return std::nullopt;
}

QJsonValue optionToJson(const OptionValue& value) {
    return std::visit(
        [](const auto& item) -> QJsonValue {
            using T = std::decay_t<decltype(item)>;
            if constexpr (std::is_same_v<T, BoxedNumber>) {
                return std::visit(
                    [](const auto& number) -> QJsonValue {
                        using N = std::decay_t<decltype(number)>;
                        if constexpr (std::is_same_v<N, std::int64_t>) {
                            return QJsonValue(qint64{number});
                        } else {
                            return QJsonValue(number);
                        }
                    },
                    item.value);
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                return QJsonValue(qint64{item});
            } else if constexpr (std::is_same_v<T, bool>) {
                return QJsonValue(item);
            } else if constexpr (std::is_same_v<T, Color>) {
                return QJsonValue(colorToHex(item));
            } else {
                return QJsonValue(QString::fromStdString(item));
            }
        },
        value);
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

DesktopImageOptions optionsFromJson(const QJsonObject& object) {
    DesktopImageOptions options;
    if (auto scaling = optionFromJson(object.value("scaling"))) {
        options[DesktopImageOptionKey::scaling] = *scaling;
    }
    if (auto clipping = optionFromJson(object.value("allowClipping"))) {
        options[DesktopImageOptionKey::allowClipping] = *clipping;
    }
    const QJsonValue fill = object.value("fillColor");
    if (auto color = colorFromHex(fill.toString())) {
        options[DesktopImageOptionKey::fillColor] = *color;
    } else if (auto other = optionFromJson(fill)) {
        options[DesktopImageOptionKey::fillColor] = *other;
    }
    return options;
}

QJsonObject optionsToJson(const DesktopImageOptions& options) {
    QJsonObject object;
    for (const auto& [key, value] : options) {
        switch (key) {
            case DesktopImageOptionKey::scaling:
                object["scaling"] = optionToJson(value);
                break;
            case DesktopImageOptionKey::allowClipping:
                object["allowClipping"] = optionToJson(value);
                break;
            case DesktopImageOptionKey::fillColor:
                object["fillColor"] = optionToJson(value);
                break;
        }
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
