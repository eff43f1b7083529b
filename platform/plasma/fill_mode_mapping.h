#pragma once

// Plasma's image wallpaper describes how a picture fills the screen with one `FillMode`
// (0 stretch, 1 preserve aspect fit, 2 preserve aspect crop, 3 tile, 4 tile vertically,
// 5 tile horizontally, 6 pad) and a background `Color`. The controller speaks in a scaling
// mode plus an allow-clipping flag. This maps between the two so that every fill mode read
// from Plasma comes back unchanged after it was turned into options and back:
//
//   FillMode               scaling                    allowClipping
//   0 stretch              1 axesIndependently        false   (what the controller writes)
//   1 preserve aspect fit  3 proportionallyUpOrDown   false
//   2 preserve aspect crop 3 proportionallyUpOrDown   true
//   3 tile                 2 none                     true
//   4 tile vertically      0 proportionallyDown       true
//   5 tile horizontally    1 axesIndependently        true
//   6 pad                  2 none                     false
//
// The eighth pair, proportionallyDown without clipping, and any scaling outside 0..3 are
// never produced by reading; they become preserve aspect crop when clipping is allowed
// and preserve aspect fit otherwise.

#include <optional>
#include <string>

#include "controller/desktop_services.h"

namespace quillhaven::plasma {

inline constexpr int defaultFillMode = 2;  // Plasma's own default: preserve aspect crop
inline constexpr int stretchFillMode = 0;

// The options for a fill mode and colour as read from Plasma. A fill mode outside 0..6
// reads as Plasma's default.
DesktopPictureOptions optionsForFillMode(int fillMode, const Color& color);

// The fill mode for the options, or none when they carry neither scaling nor clipping
// (the current fill mode then stays). A missing clipping entry counts as false, a missing
// scaling entry as proportionallyUpOrDown.
std::optional<int> fillModeForOptions(const DesktopPictureOptions& options);

// Plasma keeps colours as KDE configuration text: "r,g,b" or "r,g,b,a" with 0..255
// components, or a "#rrggbb"/"#aarrggbb" name. Unreadable text gives none.
std::optional<Color> parseConfigColor(const std::string& text);
// Writes "#rrggbb", or "#aarrggbb" when the colour is not opaque: the form the live desktop
// takes at once ("r,g,b" reaches the file, but the wallpaper draws it black until the shell
// restarts).
std::string formatConfigColor(const Color& color);

}  // namespace quillhaven::plasma
