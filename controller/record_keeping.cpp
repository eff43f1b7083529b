// Keeping the record of the user's own picture: written by the apply flow in one save, and
// kept up to date by every check while the processed picture shows.

#include "controller/native_settings.h"
#include "controller/original_record.h"
#include "controller/preference_keys.h"
#include "controller/wallpaper_controller.h"

namespace quillhaven {

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

}  // namespace quillhaven
