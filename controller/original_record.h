#pragma once

// The rules over the record of the user's picture: whether its path can be used, how new
// options join the recorded ones, and which values are Quillhaven's own rather than the
// user's.

#include <string>

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

RecordedOriginal classifyRecordedPath(const OriginalRecord& record);

// The recorded options with every entry the new ones carry; entries they lack stay as they
// were, so a value from an earlier recording can stand beside a newer path.
DesktopPictureOptions withOptionsOf(DesktopPictureOptions recorded,
                                    const DesktopPictureOptions& options);

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
