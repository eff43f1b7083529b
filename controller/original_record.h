#pragma once

// The stored form of the user's picture: the path and three independent option entries,
// and beside them the desktop's own settings (native_settings.h). This is the only place
// that turns options into preference values and back, so a record written by any version
// reads back the same.

#include <string>
#include <vector>

#include "controller/desktop_services.h"

namespace quillhaven {

// What the record says about the user's picture.
struct RecordedOriginal {
    enum class State {
        none,      // nothing recorded
        usable,    // an absolute local path whose file exists
        missing,   // an absolute local path whose file is gone (an unmounted disk, say)
        unusable,  // empty, relative or not a local path: never resolved against anything
    };
    State state = State::none;
    std::string path;  // as stored
};

RecordedOriginal readRecordedOriginal(PreferenceStore& defaults);

// The desktop settings stored under `key` (the user's, or those last applied), or none when
// absent or unreadable.
std::optional<NativePictureSettings> storedSettings(PreferenceStore& defaults, const char* key);

// The changes that record each entry the options carry. Entries they lack are left as they
// are, so a value from an earlier recording can stand beside a newer path. A colour that
// cannot be archived is left out.
void addOptionChanges(const DesktopPictureOptions& options, ColorArchive& colorArchive,
                      std::vector<PreferenceChange>& changes);

// The options as stored. Presence decides, not the value: a stored scaling of 0 or
// clipping of false is passed on. A colour that cannot be decoded is left out.
DesktopPictureOptions recordedPictureOptions(PreferenceStore& defaults,
                                             ColorArchive& colorArchive);

// Whether every change reads back from the store as it was made.
bool changesReadBack(const std::vector<PreferenceChange>& changes, PreferenceStore& defaults);

// Removes the whole record, desktop settings included.
std::vector<PreferenceChange> recordRemoval();

// The options a generated picture is shown with: stretched to the display on both axes
// (the picture already has the display's exact size), no clipping, black fill.
inline DesktopPictureOptions generatedPictureOptions() {
    return DesktopPictureOptions{ImageScaling::axesIndependently, false, Color::black()};
}

// The options without the values that the desktop still holds from Quillhaven's own
// picture, which are not the user's. Scaling and clipping come from one setting on every
// desktop (a fill mode, picture-options), so they count as one.
DesktopPictureOptions withoutValuesOf(DesktopPictureOptions options,
                                      const DesktopPictureOptions& ours);

}  // namespace quillhaven
