#pragma once

// Whether the session is GNOME or one of the desktops built on GNOME's settings
// (org.gnome.desktop.background is the picture they show).

#include <string_view>

namespace quillhaven::gnome {

// `xdgCurrentDesktop` is XDG_CURRENT_DESKTOP: a colon-separated list such as "ubuntu:GNOME".
// True when any entry names GNOME (also "GNOME-Classic", "GNOME-Flashback"), Unity, Budgie,
// Pantheon, or another desktop that shows org.gnome.desktop.background; case is ignored.
bool isGnomeBasedDesktop(std::string_view xdgCurrentDesktop);

}  // namespace quillhaven::gnome
