// Keeping the record of the user's own picture: written by the apply flow in one save, and
// kept up to date by every check while the processed picture shows.

#include "controller/native_settings.h"
#include "controller/original_record.h"
#include "controller/wallpaper_controller.h"
#include "core/log.h"

namespace quillhaven {

bool WallpaperController::recordOriginal(const Url& current, const Display& display) {
    PreferenceStore& defaults = *services_.defaults;
    OriginalRecord record = defaults.originalRecord();
    const bool oursShowing = record.appliedSettings.has_value();

    // Only a local file has a path worth keeping; for another picture (a URL) the desktop's
    // own settings below carry the user's choice.
    if (current.isFileURL()) {
        record.path = current.path();
    }
    if (const auto options = services_.workspace->desktopImageOptions(display)) {
        // Options the user left alone while the processed picture showed are still
        // Quillhaven's; the ones noted earlier stay in their place.
        record.options = withOptionsOf(
            record.options,
            oursShowing ? withoutValuesOf(*options, generatedPictureOptions()) : *options);
    }
    if (const auto now = services_.workspace->nativeSettings(display)) {
        record.desktopSettings =
            userSettingsToRecord(*now, record.desktopSettings, record.appliedSettings);
    } else {
        // Settings noted on another desktop must never be written over this one.
        record.desktopSettings.reset();
    }
    // A store that cannot write (a full disk, a read-only folder) drops the record. Replacing
    // the picture then would lose the user's own for good, so the save must read back whole.
    const Outcome saved = defaults.saveOriginalRecord(record);
    if (!saved.succeeded()) {
        log::warning(log::Layer::controller, "Original not recorded: " + saved.errorDescription());
    }
    return saved.succeeded();
}

void WallpaperController::noteAppliedSettings(const Display& display) {
    lastSeen_.reset();
    // Present even when empty: it says that Quillhaven's picture and options are on the
    // desktop, so values still equal to them are not taken for the user's.
    OriginalRecord record = services_.defaults->originalRecord();
    record.appliedSettings =
        services_.workspace->nativeSettings(display).value_or(NativePictureSettings{});
    if (const Outcome saved = services_.defaults->saveOriginalRecord(record); !saved.succeeded()) {
        log::warning(log::Layer::controller,
                     "Settings applied with the picture not noted: " + saved.errorDescription());
    }
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
    const OriginalRecord before = services_.defaults->originalRecord();
    if (!before.appliedSettings) {
        return;
    }
    OriginalRecord record = before;
    if (const auto& options = seen.options) {
        record.options =
            withOptionsOf(record.options, withoutValuesOf(*options, generatedPictureOptions()));
    }
    const auto& now = seen.settings;
    if (now && *now != *record.appliedSettings) {
        // The processed picture still shows, so every setting that moved is the user's.
        if (record.desktopSettings) {
            record.desktopSettings =
                userSettingsToRecord(*now, record.desktopSettings, record.appliedSettings);
        }
        record.appliedSettings = *now;
    }
    // Only a record that moved is worth a save.
    if (record != before) {
        if (const Outcome saved = services_.defaults->saveOriginalRecord(record);
            !saved.succeeded()) {
            log::warning(log::Layer::controller,
                         "The user's new settings not noted: " + saved.errorDescription());
        }
    }
}

}  // namespace quillhaven
