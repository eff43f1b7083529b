#pragma once

// The stored form of a desktop's own picture settings, and the rule that keeps Quillhaven's
// own values out of the user's record.

#include <optional>
#include <string>

#include "controller/desktop_services.h"

namespace quillhaven {

// One line per setting: "name=text" for a set one, a bare "name" for an unset one. A line
// break or backslash inside a text is written as "\n" or "\\", so any text round-trips.
std::string encodeNativeSettings(const NativePictureSettings& settings);
// None when the text is not in that form.
std::optional<NativePictureSettings> decodeNativeSettings(const std::string& text);

// The settings to record as the user's, given what the desktop holds now. A setting that
// still holds what the desktop held right after Quillhaven set its picture (`applied`) was
// not changed by the user since, so the user's value noted earlier (`saved`) stays; any
// other setting is the user's own, taken as it is now.
NativePictureSettings userSettingsToRecord(const NativePictureSettings& now,
                                           const std::optional<NativePictureSettings>& saved,
                                           const std::optional<NativePictureSettings>& applied);

}  // namespace quillhaven
