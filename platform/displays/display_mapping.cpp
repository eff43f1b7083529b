#include "platform/displays/display_mapping.h"

#include "controller/display_rules.h"
#include "platform/displays/notch_detection.h"

namespace quillhaven {

std::vector<Display> mapScreensToDisplays(const std::vector<ScreenDescription>& screens,
                                          const NotchHeights& notch) {
    std::vector<Display> displays;
    displays.reserve(screens.size());
    for (const ScreenDescription& screen : screens) {
        Display display;
        display.connector = screen.name;
        display.isBuiltIn = isBuiltInPanel(screen.name, screens.size());
        display.isPrimary = screen.isPrimary;
        display.geometry = Rect{screen.x, screen.y, screen.width, screen.height};
        display.devicePixelRatio = screen.devicePixelRatio > 0 ? screen.devicePixelRatio : 1;
        if (display.isBuiltIn) {
            display.notchHeight = notch.builtInPanel;
        }
        displays.push_back(std::move(display));
    }
    // The override goes where the controller will look for the notch.
    if (const auto target = workingDisplayIndex(displays); notch.override && target) {
        displays[*target].notchHeight = notch.override;
    }
    return displays;
}

}  // namespace quillhaven
