#pragma once

namespace quillhaven::preference_keys {

// The persisted enabled flag.
inline constexpr const char* enabled = "quillHaven.enabled";
// The record of the user's own picture, restored when the effect is switched off.
inline constexpr const char* originalWallpaper = "quillHaven.originalWallpaper";
inline constexpr const char* originalImageScaling = "quillHaven.originalImageScaling";
inline constexpr const char* originalAllowClipping = "quillHaven.originalAllowClipping";
inline constexpr const char* originalFillColor = "quillHaven.originalFillColor";
// Beside the four keys above, the desktop's own settings that the user had (see
// NativePictureSettings), and those the desktop held right after the generated picture was
// set: a setting that still holds the latter was not changed by the user since.
inline constexpr const char* originalDesktopSettings = "quillHaven.originalDesktopSettings";
inline constexpr const char* appliedDesktopSettings = "quillHaven.appliedDesktopSettings";

}  // namespace quillhaven::preference_keys
