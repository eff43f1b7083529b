// The stored form of the user's own picture: reading it, the changes that write it, and
// the check that a save landed.

#include "controller/original_record.h"

#include <filesystem>
#include <system_error>

#include "controller/native_settings.h"
#include "controller/preference_keys.h"
#include "core/log.h"

namespace quillhaven {

DesktopPictureOptions withoutValuesOf(DesktopPictureOptions options,
                                      const DesktopPictureOptions& ours) {
    if (options.scaling == ours.scaling && options.allowClipping == ours.allowClipping) {
        options.scaling.reset();
        options.allowClipping.reset();
    }
    if (options.fillColor == ours.fillColor) {
        options.fillColor.reset();
    }
    return options;
}

std::optional<NativePictureSettings> storedSettings(PreferenceStore& defaults, const char* key) {
    const auto text = defaults.stringForKey(key);
    return text ? decodeNativeSettings(*text) : std::nullopt;
}

RecordedOriginal readRecordedOriginal(PreferenceStore& defaults) {
    const std::optional<std::string> path =
        defaults.stringForKey(preference_keys::originalWallpaper);
    if (!path) {
        return {};
    }
    // Only an absolute path is a picture: a relative one would be resolved against whatever
    // folder the app happens to run in, and a URL text names nothing local.
    if (path->empty() || path->front() != '/') {
        return {RecordedOriginal::State::unusable, *path};
    }
    std::error_code error;
    if (!std::filesystem::exists(*path, error)) {
        return {RecordedOriginal::State::missing, *path};
    }
    return {RecordedOriginal::State::usable, *path};
}

void addOptionChanges(const DesktopPictureOptions& options, ColorArchive& colorArchive,
                      std::vector<PreferenceChange>& changes) {
    if (options.scaling) {
        changes.push_back({preference_keys::originalImageScaling,
                           static_cast<std::int64_t>(*options.scaling)});
    }
    if (options.allowClipping) {
        changes.push_back({preference_keys::originalAllowClipping, *options.allowClipping});
    }
    if (options.fillColor) {
        if (std::optional<Data> data = colorArchive.archive(*options.fillColor)) {
            changes.push_back({preference_keys::originalFillColor, *data});
        } else {
            log::warning(log::Layer::controller,
                         "The fill colour cannot be stored; the recorded one stays as it was");
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
        if (!options.fillColor) {
            log::warning(log::Layer::controller,
                         "The recorded fill colour cannot be read; it is left out");
        }
    }
    return options;
}

bool changesReadBack(const std::vector<PreferenceChange>& changes, PreferenceStore& defaults) {
    for (const PreferenceChange& change : changes) {
        if (!change.value) {
            if (defaults.hasObjectForKey(change.key)) {
                return false;
            }
            continue;
        }
        const bool same = std::visit(
            [&](const auto& value) {
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, bool>) {
                    return defaults.hasObjectForKey(change.key) &&
                           defaults.boolForKey(change.key) == value;
                } else if constexpr (std::is_same_v<T, std::int64_t>) {
                    return defaults.hasObjectForKey(change.key) &&
                           defaults.integerForKey(change.key) == value;
                } else if constexpr (std::is_same_v<T, std::string>) {
                    return defaults.stringForKey(change.key) == value;
                } else {
                    return defaults.dataForKey(change.key) == value;
                }
            },
            *change.value);
        if (!same) {
            return false;
        }
    }
    return true;
}

std::vector<PreferenceChange> recordRemoval() {
    return {{preference_keys::originalWallpaper, std::nullopt},
            {preference_keys::originalImageScaling, std::nullopt},
            {preference_keys::originalAllowClipping, std::nullopt},
            {preference_keys::originalFillColor, std::nullopt},
            {preference_keys::originalDesktopSettings, std::nullopt},
            {preference_keys::appliedDesktopSettings, std::nullopt}};
}

}  // namespace quillhaven
