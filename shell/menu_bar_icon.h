#pragma once

// The tray icon: a rounded square outline with a short bar across its upper part. The bar
// is thicker while the effect is on. The icon is drawn from strokes at whatever size and
// pixel ratio the tray asks for, so it stays sharp on every panel.

#include <QIcon>

namespace quillhaven::MenuBarIcon {

// The icon's side in logical pixels (points).
inline constexpr int sizeInPoints = 18;
// The accessible name and tooltip of the icon.
inline constexpr const char* accessibilityDescription = "Quillhaven";

// A new icon for the given state. It is monochrome: painted in the palette's window-text
// colour at the moment it is rendered, so it follows a light or dark panel theme.
QIcon make(bool isEnabled);

}  // namespace quillhaven::MenuBarIcon
