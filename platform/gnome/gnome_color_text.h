#pragma once

// GNOME's colour settings (primary-color) are text: "#rgb", "#rrggbb", "#rrrgggbbb" or
// "#rrrrggggbbbb", in either letter case. These turn such text into a colour and back.

#include <optional>
#include <string>

#include "controller/desktop_services.h"

namespace quillhaven::gnome {

// The colour the text names, opaque; none for anything but the four hexadecimal forms.
std::optional<Color> parseColorText(const std::string& text);

// The text GNOME's settings tools would write: "#rrggbb" in lower case when every component
// is a whole 8-bit step, otherwise "#rrrrggggbbbb" so no precision is lost. Alpha is not
// part of GNOME's colours and is ignored; components are clamped to 0...1.
std::string formatColorText(const Color& color);

// Whether two colours name the same 16-bit red, green and blue (alpha is ignored), so a
// colour that took a trip through the preference store still matches its text.
bool sameColor(const Color& a, const Color& b);

}  // namespace quillhaven::gnome
