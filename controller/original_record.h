#pragma once

// The stored form of a picture's display options: three independent preference entries
// beside the recorded picture path. This is the only place that turns options into
// preference values and back, so a record written by any version reads back the same.

#include "desktop_services.h"

namespace quillhaven {

// Writes each entry the options carry. Entries they lack are left as they are, so a value
// from an earlier recording can stand beside a newer path. A colour that cannot be
// archived is dropped silently.
void recordPictureOptions(const DesktopPictureOptions& options, PreferenceStore& defaults,
                          ColorArchive& colorArchive);

// The options as stored. Presence decides, not the value: a stored scaling of 0 or
// clipping of false is passed on. A colour that cannot be decoded is left out.
DesktopPictureOptions recordedPictureOptions(PreferenceStore& defaults,
                                             ColorArchive& colorArchive);

}  // namespace quillhaven
