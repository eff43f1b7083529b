#include "platform/gnome/gnome_background_style.h"

#include <array>

namespace quillhaven::gnome {
namespace {

struct StyleEntry {
    const char* pictureOptions;
    ScalingAndClipping pair;
};

constexpr std::array<StyleEntry, 7> styleTable{{
    {"stretched", {ImageScaling::axesIndependently, false}},
    {"spanned", {ImageScaling::axesIndependently, true}},
    {"scaled", {ImageScaling::proportionallyUpOrDown, false}},
    {"zoom", {ImageScaling::proportionallyUpOrDown, true}},
    {"centered", {ImageScaling::none, false}},
    {"wallpaper", {ImageScaling::none, true}},
    {"none", {ImageScaling::proportionallyDown, false}},
}};

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

std::optional<std::string> pictureOptionsForOptions(const DesktopPictureOptions& options) {
    if (!options.scaling) {
        return std::nullopt;
    }
    return pictureOptionsForScaling({*options.scaling, options.allowClipping.value_or(false)});
}

}  // namespace quillhaven::gnome
