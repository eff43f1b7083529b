// The record of the user's own picture: written by the apply flow in one save, kept up to
// date by the change monitor, and read back by the restore flow.

#include "original_record.h"

#include <filesystem>
#include <system_error>

#include "native_settings.h"
#include "preference_keys.h"
#include "wallpaper_controller.h"

namespace quillhaven {

namespace {

// The options without the values that the desktop still holds from Quillhaven's own
// picture, which are not the user's. Scaling and clipping come from one setting on every
// desktop (a fill mode, picture-options), so they count as one.
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

}  // namespace

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

std::optional<Url> WallpaperController::savedOriginalWallpaperURL() const {
    const RecordedOriginal record = readRecordedOriginal(*services_.defaults);
    if (record.state != RecordedOriginal::State::usable) {
        return std::nullopt;
    }
    return Url::fileURLWithPath(record.path);
}

bool WallpaperController::recordOriginal(const Url& current, const Display& display) {
    PreferenceStore& defaults = *services_.defaults;
    const auto applied = storedSettings(defaults, preference_keys::appliedDesktopSettings);
    const bool oursShowing = defaults.hasObjectForKey(preference_keys::appliedDesktopSettings);

    std::vector<PreferenceChange> changes;
    // Only a local file has a path worth keeping; for another picture (a URL) the desktop's
    // own settings below carry the user's choice.
    if (current.isFileURL()) {
        changes.push_back({preference_keys::originalWallpaper, current.path()});
    }
    if (auto options = services_.workspace->desktopImageOptions(display)) {
        // Options the user left alone while the processed picture showed are still
        // Quillhaven's; the ones noted earlier stay in their place.
        addOptionChanges(oursShowing ? withoutValuesOf(*options, generatedPictureOptions())
                                     : *options,
                         *services_.colorArchive, changes);
    }
    if (const auto now = services_.workspace->nativeSettings(display)) {
        const auto saved = storedSettings(defaults, preference_keys::originalDesktopSettings);
        changes.push_back({preference_keys::originalDesktopSettings,
                           encodeNativeSettings(userSettingsToRecord(*now, saved, applied))});
    } else {
        // Settings noted on another desktop must never be written over this one.
        changes.push_back({preference_keys::originalDesktopSettings, std::nullopt});
    }
    defaults.setValues(changes);
    // A store that cannot write (a full disk, a read-only folder) drops the record. Replacing
    // the picture then would lose the user's own for good, so the record is read back whole.
    return changesReadBack(changes, defaults);
}

void WallpaperController::noteAppliedSettings(const Display& display) {
    lastSeen_.reset();
    // Present even when empty: it says that Quillhaven's picture and options are on the
    // desktop, so values still equal to them are not taken for the user's.
    const auto now = services_.workspace->nativeSettings(display);
    services_.defaults->setValues({{preference_keys::appliedDesktopSettings,
                                    encodeNativeSettings(now.value_or(NativePictureSettings{}))}});
}

void WallpaperController::noteUserSettingsChanges(const Display& display) {
    // Runs at every check while the processed picture shows: what the desktop holds is
    // compared with what the last check saw, so an unchanged desktop costs no file access.
    DesktopSeen seen{services_.workspace->desktopImageOptions(display),
                     services_.workspace->nativeSettings(display)};
    if (lastSeen_ == seen) {
        return;
    }
    lastSeen_ = seen;
    PreferenceStore& defaults = *services_.defaults;
    if (!defaults.hasObjectForKey(preference_keys::appliedDesktopSettings)) {
        return;
    }
    std::vector<PreferenceChange> changes;
    if (const auto& options = seen.options) {
        addOptionChanges(withoutValuesOf(*options, generatedPictureOptions()),
                         *services_.colorArchive, changes);
        // Only what differs from the record is a change worth a save.
        std::erase_if(changes, [&](const PreferenceChange& change) {
            return changesReadBack({change}, defaults);
        });
    }
    const auto applied = storedSettings(defaults, preference_keys::appliedDesktopSettings);
    const auto& now = seen.settings;
    if (now && applied && *now != *applied) {
        // The processed picture still shows, so every setting that moved is the user's.
        if (const auto saved =
                storedSettings(defaults, preference_keys::originalDesktopSettings)) {
            changes.push_back({preference_keys::originalDesktopSettings,
                               encodeNativeSettings(userSettingsToRecord(*now, saved, applied))});
        }
        changes.push_back({preference_keys::appliedDesktopSettings, encodeNativeSettings(*now)});
    }
    if (!changes.empty()) {
        defaults.setValues(changes);
    }
}

DesktopPictureOptions WallpaperController::recordedOriginalOptions() const {
    return recordedPictureOptions(*services_.defaults, *services_.colorArchive);
}

}  // namespace quillhaven
