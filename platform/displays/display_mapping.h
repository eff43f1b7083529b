#pragma once

// Turns the screens as the window system describes them into the controller's displays.
// Kept apart from QScreen so the rules can be checked with any arrangement.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "controller/desktop_services.h"

namespace quillhaven {

// One screen as the window system reports it: geometry in device-independent pixels in the
// window system's global space.
struct ScreenDescription {
    std::string name;  // connector name, e.g. "eDP-1"
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    double devicePixelRatio = 1;
    bool isPrimary = false;
};

// Notch heights in device pixels from the two sources.
struct NotchHeights {
    std::optional<std::uint32_t> builtInPanel;  // detected on the built-in panel
    std::optional<std::uint32_t> override;      // QUILLHAVEN_NOTCH_HEIGHT
};

// Maps the screens in the given order, geometry as given. The built-in panel (an "eDP"
// connector, or the only screen) gets the detected notch. The override gives the built-in
// panel its notch, or the primary screen (the first when none is marked) where there is no
// built-in panel, as on a desktop machine trying a virtual notch; it wins over detection.
std::vector<Display> mapScreensToDisplays(const std::vector<ScreenDescription>& screens,
                                          const NotchHeights& notch);

}  // namespace quillhaven
