#include "fill_mode_mapping.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>

namespace quillhaven::plasma {

namespace {

struct ScalingAndClipping {
    std::int64_t scaling;
    bool allowClipping;
};

// Indexed by FillMode; see the table in the header.
constexpr std::array<ScalingAndClipping, 7> fillModeTable{{
    {1, false},  // stretch
    {3, false},  // preserve aspect fit
    {3, true},   // preserve aspect crop
    {2, true},   // tile
    {0, true},   // tile vertically
    {1, true},   // tile horizontally
    {2, false},  // pad
}};

std::optional<std::int64_t> integerEntry(const OptionValue& value) {
    if (const auto* boxed = std::get_if<BoxedNumber>(&value)) {
        return boxed->integerValue();
    }
    if (const auto* plain = std::get_if<std::int64_t>(&value)) {
        return *plain;
    }
    return std::nullopt;
}

std::optional<bool> booleanEntry(const OptionValue& value) {
    if (const auto* boxed = std::get_if<BoxedNumber>(&value)) {
        return boxed->boolValue();
    }
    if (const auto* plain = std::get_if<bool>(&value)) {
        return *plain;
    }
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        return *integer != 0;
    }
    return std::nullopt;
}

int componentToByte(double component) {
    if (!std::isfinite(component)) {
        return 0;
    }
    return static_cast<int>(std::lround(std::clamp(component, 0.0, 1.0) * 255.0));
}

}  // namespace

DesktopImageOptions optionsForFillMode(int fillMode, const Color& color) {
    if (fillMode < 0 || fillMode >= static_cast<int>(fillModeTable.size())) {
        fillMode = defaultFillMode;
    }
    const ScalingAndClipping entry = fillModeTable[static_cast<std::size_t>(fillMode)];
    return DesktopImageOptions{
        {DesktopImageOptionKey::scaling, BoxedNumber{entry.scaling}},
        {DesktopImageOptionKey::allowClipping, BoxedNumber{entry.allowClipping}},
        {DesktopImageOptionKey::fillColor, color},
    };
}

std::optional<int> fillModeForOptions(const DesktopImageOptions& options) {
    std::optional<std::int64_t> scaling;
    std::optional<bool> clipping;
    if (const auto found = options.find(DesktopImageOptionKey::scaling); found != options.end()) {
        scaling = integerEntry(found->second);
    }
    if (const auto found = options.find(DesktopImageOptionKey::allowClipping);
        found != options.end()) {
        clipping = booleanEntry(found->second);
    }
    if (!scaling && !clipping) {
        return std::nullopt;
    }
    const std::int64_t wantedScaling = scaling.value_or(3);
    const bool wantedClipping = clipping.value_or(false);
    for (std::size_t mode = 0; mode < fillModeTable.size(); ++mode) {
        if (fillModeTable[mode].scaling == wantedScaling &&
            fillModeTable[mode].allowClipping == wantedClipping) {
            return static_cast<int>(mode);
        }
    }
    return wantedClipping ? 2 : 1;
}

std::optional<Color> colorForOptions(const DesktopImageOptions& options) {
    const auto found = options.find(DesktopImageOptionKey::fillColor);
    if (found == options.end()) {
        return std::nullopt;
    }
    if (const auto* color = std::get_if<Color>(&found->second)) {
        return *color;
    }
    return std::nullopt;
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
    std::string text = std::to_string(componentToByte(color.red)) + "," +
                       std::to_string(componentToByte(color.green)) + "," +
                       std::to_string(componentToByte(color.blue));
    const int alpha = componentToByte(color.alpha);
    if (alpha != 255) {
        text += "," + std::to_string(alpha);
    }
    return text;
}

}  // namespace quillhaven::plasma
