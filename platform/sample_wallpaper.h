#pragma once

// The sample picture that ships with Quillhaven (a dusk landscape drawn for the project),
// embedded as a Qt resource and copied next to the user's data on first run.

#include <string>

#include "controller/desktop_services.h"

namespace quillhaven {

// The resource path of the embedded picture.
inline constexpr const char* sampleWallpaperResource = ":/quillhaven/sample-wallpaper.png";

// Where the sample lives inside `folder`.
std::string sampleWallpaperPath(const std::string& folder);

// Copies the sample to `destinationPath` unless a file is already there.
Outcome installSampleWallpaper(const std::string& destinationPath);

}  // namespace quillhaven
