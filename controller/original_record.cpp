// The record of the user's own picture and its display options: four preference entries,
// written by the apply flow and read back by the restore flow.

#include <filesystem>
#include <system_error>

#include "original_record.h"
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

void recordPictureOptions(const DesktopPictureOptions& options, PreferenceStore& defaults,
                          ColorArchive& colorArchive) {
    if (options.scaling) {
        defaults.setInteger(static_cast<std::int64_t>(*options.scaling),
                            preference_keys::originalImageScaling);
    }
    if (options.allowClipping) {
        defaults.setBool(*options.allowClipping, preference_keys::originalAllowClipping);
    }
    if (options.fillColor) {
        if (std::optional<Data> data = colorArchive.archive(*options.fillColor)) {
            defaults.setData(*data, preference_keys::originalFillColor);
        }
    }
}

DesktopPictureOptions recordedPictureOptions(PreferenceStore& defaults,
                                             ColorArchive& colorArchive) {
    DesktopPictureOptions options;
    if (defaults.hasObjectForKey(preference_keys::originalImageScaling)) {
        options.scaling =
            static_cast<ImageScaling>(defaults.integerForKey(preference_keys::originalImageScaling));
    }
    if (defaults.hasObjectForKey(preference_keys::originalAllowClipping)) {
        options.allowClipping = defaults.boolForKey(preference_keys::originalAllowClipping);
    }
    if (std::optional<Data> data = defaults.dataForKey(preference_keys::originalFillColor)) {
        options.fillColor = colorArchive.unarchive(*data);
    }
    return options;
}

void WallpaperController::saveOriginalOptions(const Display& display) {
    if (std::optional<DesktopPictureOptions> options =
            services_.workspace->desktopImageOptions(display)) {
        recordPictureOptions(*options, *services_.defaults, *services_.colorArchive);
    }
}

DesktopPictureOptions WallpaperController::recordedOriginalOptions() const {
    return recordedPictureOptions(*services_.defaults, *services_.colorArchive);
}

}  // namespace quillhaven
