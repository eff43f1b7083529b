#pragma once

namespace quillhaven::preference_keys {

// The persisted enabled flag.
inline constexpr const char* enabled = "quillHaven.enabled";
// The record of the user's own picture, restored when the effect is switched off.
inline constexpr const char* originalWallpaper = "quillHaven.originalWallpaper";
inline constexpr const char* originalImageScaling = "quillHaven.originalImageScaling";
inline constexpr const char* originalAllowClipping = "quillHaven.originalAllowClipping";
inline constexpr const char* originalFillColor = "quillHaven.originalFillColor";

}  // namespace quillhaven::preference_keys
