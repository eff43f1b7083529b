#include "gnome_background_style.h"

#include <array>

namespace quillhaven::gnome {
namespace {

struct StyleEntry {
    const char* pictureOptions;
    ScalingAndClipping pair;
};

constexpr auto axes = static_cast<std::int64_t>(ImageScaling::axesIndependently);
constexpr auto proportional = static_cast<std::int64_t>(ImageScaling::proportionallyUpOrDown);
constexpr auto natural = static_cast<std::int64_t>(ImageScaling::none);
constexpr auto down = static_cast<std::int64_t>(ImageScaling::proportionallyDown);

constexpr std::array<StyleEntry, 7> styleTable{{
    {"stretched", {axes, false}},
    {"spanned", {axes, true}},
    {"scaled", {proportional, false}},
    {"zoom", {proportional, true}},
    {"centered", {natural, false}},
    {"wallpaper", {natural, true}},
    {"none", {down, false}},
}};

std::optional<std::int64_t> integerOf(const OptionValue& value) {
    if (const auto* boxed = std::get_if<BoxedNumber>(&value)) {
        return boxed->integerValue();
    }
    if (const auto* plain = std::get_if<std::int64_t>(&value)) {
        return *plain;
    }
    return std::nullopt;
}

std::optional<bool> boolOf(const OptionValue& value) {
    if (const auto* boxed = std::get_if<BoxedNumber>(&value)) {
        return boxed->boolValue();
    }
    if (const auto* plain = std::get_if<bool>(&value)) {
        return *plain;
    }
    return std::nullopt;
}

}  // namespace

std::optional<ScalingAndClipping> scalingForPictureOptions(const std::string& pictureOptions) {
    for (const auto& entry : styleTable) {
        if (pictureOptions == entry.pictureOptions) {
            return entry.pair;
        }
    }
    return std::nullopt;
}

std::optional<std::string> pictureOptionsForScaling(ScalingAndClipping pair) {
    for (const auto& entry : styleTable) {
        if (entry.pair == pair) {
            return std::string(entry.pictureOptions);
        }
    }
    return std::nullopt;
}

std::optional<std::string> pictureOptionsForOptions(const DesktopImageOptions& options) {
    const auto scalingEntry = options.find(DesktopImageOptionKey::scaling);
    if (scalingEntry == options.end()) {
        return std::nullopt;
    }
    const auto scaling = integerOf(scalingEntry->second);
    if (!scaling) {
        return std::nullopt;
    }
    bool clipping = false;
    if (const auto clippingEntry = options.find(DesktopImageOptionKey::allowClipping);
        clippingEntry != options.end()) {
        clipping = boolOf(clippingEntry->second).value_or(false);
    }
    return pictureOptionsForScaling({*scaling, clipping});
}

}  // namespace quillhaven::gnome
