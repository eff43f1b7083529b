// The record of the user's own picture and its display options: four preference entries,
// written by the apply flow and read back by the restore flow.

#include <filesystem>
#include <system_error>

#include "preference_keys.h"
#include "wallpaper_controller.h"

namespace quillhaven {

std::optional<Url> WallpaperController::savedOriginalWallpaperURL() const {
    std::optional<std::string> path =
        services_.defaults->stringForKey(preference_keys::originalWallpaper);
    if (!path) {
        return std::nullopt;
    }
    // A path whose file is gone counts as no record; the key itself stays.
    std::error_code error;
    if (path->empty() || !std::filesystem::exists(*path, error)) {
        return std::nullopt;
    }
    return Url::fileURLWithPath(*path);
}

void WallpaperController::saveOriginalOptions(const Display& display) {
    std::optional<DesktopImageOptions> options = services_.workspace->desktopImageOptions(display);
    if (!options) {
        return;
    }
    PreferenceStore& defaults = *services_.defaults;

    // Each entry is written only when present with a usable type; nothing is removed, so
    // an entry the current options lack keeps what an earlier recording stored.
    if (auto it = options->find(DesktopImageOptionKey::scaling); it != options->end()) {
        if (auto* boxed = std::get_if<BoxedNumber>(&it->second)) {
            defaults.setInteger(boxed->integerValue(), preference_keys::originalImageScaling);
        } else if (auto* integer = std::get_if<std::int64_t>(&it->second)) {
            defaults.setInteger(*integer, preference_keys::originalImageScaling);
        }
    }
    if (auto it = options->find(DesktopImageOptionKey::allowClipping); it != options->end()) {
        if (auto* boxed = std::get_if<BoxedNumber>(&it->second)) {
            defaults.setBool(boxed->boolValue(), preference_keys::originalAllowClipping);
        } else if (auto* flag = std::get_if<bool>(&it->second)) {
            defaults.setBool(*flag, preference_keys::originalAllowClipping);
        }
    }
    if (auto it = options->find(DesktopImageOptionKey::fillColor); it != options->end()) {
        if (auto* color = std::get_if<Color>(&it->second)) {
            // A colour that cannot be archived is dropped silently.
            if (std::optional<Data> data = services_.colorArchive->archive(*color)) {
                defaults.setData(*data, preference_keys::originalFillColor);
            }
        }
    }
}

DesktopImageOptions WallpaperController::recordedOriginalOptions() const {
    PreferenceStore& defaults = *services_.defaults;
    DesktopImageOptions options;
    // Presence decides, not the value: a stored scaling of 0 or clipping of false is passed.
    if (defaults.hasObjectForKey(preference_keys::originalImageScaling)) {
        options[DesktopImageOptionKey::scaling] =
            OptionValue(std::in_place_type<std::int64_t>,
                        defaults.integerForKey(preference_keys::originalImageScaling));
    }
    if (defaults.hasObjectForKey(preference_keys::originalAllowClipping)) {
        options[DesktopImageOptionKey::allowClipping] = OptionValue(
            std::in_place_type<bool>, defaults.boolForKey(preference_keys::originalAllowClipping));
    }
    if (std::optional<Data> data = defaults.dataForKey(preference_keys::originalFillColor)) {
        // A colour that cannot be decoded is left out silently.
        if (std::optional<Color> color = services_.colorArchive->unarchive(*data)) {
            options[DesktopImageOptionKey::fillColor] = *color;
        }
    }
    return options;
}

}  // namespace quillhaven
