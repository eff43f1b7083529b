#include "platform/plasma/fill_mode_mapping.h"

#include <cstdio>

#include <QColor>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>

namespace quillhaven::plasma {

namespace {

struct ScalingAndClipping {
    ImageScaling scaling;
    bool allowClipping;
};

// Indexed by FillMode; see the table in the header.
constexpr std::array<ScalingAndClipping, 7> fillModeTable{{
    {ImageScaling::axesIndependently, false},       // stretch
    {ImageScaling::proportionallyUpOrDown, false},  // preserve aspect fit
    {ImageScaling::proportionallyUpOrDown, true},   // preserve aspect crop
    {ImageScaling::none, true},                     // tile
    {ImageScaling::proportionallyDown, true},       // tile vertically
    {ImageScaling::axesIndependently, true},        // tile horizontally
    {ImageScaling::none, false},                    // pad
}};

}  // namespace

DesktopPictureOptions optionsForFillMode(int fillMode, const Color& color) {
    if (fillMode < 0 || fillMode >= static_cast<int>(fillModeTable.size())) {
        fillMode = defaultFillMode;
    }
    const ScalingAndClipping entry = fillModeTable[static_cast<std::size_t>(fillMode)];
    return DesktopPictureOptions{entry.scaling, entry.allowClipping, color};
}

std::optional<int> fillModeForOptions(const DesktopPictureOptions& options) {
    if (!options.scaling && !options.allowClipping) {
        return std::nullopt;
    }
    const ImageScaling wantedScaling =
        options.scaling.value_or(ImageScaling::proportionallyUpOrDown);
    const bool wantedClipping = options.allowClipping.value_or(false);
    for (std::size_t mode = 0; mode < fillModeTable.size(); ++mode) {
        if (fillModeTable[mode].scaling == wantedScaling &&
            fillModeTable[mode].allowClipping == wantedClipping) {
            return static_cast<int>(mode);
        }
    }
    return wantedClipping ? 2 : 1;
}

std::optional<Color> parseConfigColor(const std::string& text) {
    const QString value = QString::fromStdString(text).trimmed();
    if (value.isEmpty()) {
        return std::nullopt;
    }
    QColor parsed;
    const QStringList parts = value.split(QLatin1Char(','));
    if (parts.size() == 3 || parts.size() == 4) {
        std::array<int, 4> bytes{0, 0, 0, 255};
        for (qsizetype i = 0; i < parts.size(); ++i) {
            bool ok = false;
            const int byte = parts[i].trimmed().toInt(&ok);
            if (!ok || byte < 0 || byte > 255) {
                return std::nullopt;
            }
            bytes[static_cast<std::size_t>(i)] = byte;
        }
        parsed = QColor(bytes[0], bytes[1], bytes[2], bytes[3]);
    } else {
        parsed = QColor::fromString(value);
    }
    if (!parsed.isValid()) {
        return std::nullopt;
    }
    // Components as byte / 255, so formatting gives back exactly the bytes that were read.
    return Color{parsed.red() / 255.0, parsed.green() / 255.0, parsed.blue() / 255.0,
                 parsed.alpha() / 255.0};
}

std::string formatConfigColor(const Color& color) {
    const int alpha = componentByte(color.alpha);
    char text[10];
    if (alpha != 255) {
        std::snprintf(text, sizeof text, "#%02x%02x%02x%02x", alpha, componentByte(color.red),
                      componentByte(color.green), componentByte(color.blue));
    } else {
        std::snprintf(text, sizeof text, "#%02x%02x%02x", componentByte(color.red),
                      componentByte(color.green), componentByte(color.blue));
    }
    return text;
}

}  // namespace quillhaven::plasma
