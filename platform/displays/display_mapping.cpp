#include "display_mapping.h"

#include <algorithm>

#include "notch_detection.h"

namespace quillhaven {

namespace {

const ScreenDescription& referenceScreen(const std::vector<ScreenDescription>& screens) {
    const auto primary = std::find_if(screens.begin(), screens.end(),
                                      [](const ScreenDescription& s) { return s.isPrimary; });
    return primary != screens.end() ? *primary : screens.front();
}

std::optional<std::uint32_t> notchPixelsFor(const ScreenDescription& screen, bool isReference,
                                            std::size_t screenCount, const NotchHeights& notch) {
    if (isReference && notch.primaryOverride) {
        return notch.primaryOverride;
    }
    if (notch.builtInPanel && isBuiltInPanel(screen.name, screenCount)) {
        return notch.builtInPanel;
    }
    return std::nullopt;
}

void addNotch(Display& display, double insetInPoints) {
    const Rect& frame = display.frame;
    const double notchWidth = frame.width * estimatedNotchWidthShare;
    const double sideWidth = (frame.width - notchWidth) / 2;
    const double stripY = frame.y + frame.height - insetInPoints;
    display.safeAreaInsets.top = insetInPoints;
    display.auxiliaryTopLeftArea = Rect{frame.x, stripY, sideWidth, insetInPoints};
    display.auxiliaryTopRightArea =
        Rect{frame.x + frame.width - sideWidth, stripY, sideWidth, insetInPoints};
}

}  // namespace

std::vector<Display> mapScreensToDisplays(const std::vector<ScreenDescription>& screens,
                                          const NotchHeights& notch) {
    std::vector<Display> displays;
    if (screens.empty()) {
        return displays;
    }
    const ScreenDescription& reference = referenceScreen(screens);
    // The reference screen's lower-left corner in the window system's y-down space.
    const double originX = reference.x;
    const double originBottom = reference.y + reference.height;
    displays.reserve(screens.size());
    for (const ScreenDescription& screen : screens) {
        Display display;
        display.identifier = screen.name;
        display.frame = Rect{screen.x - originX, originBottom - (screen.y + screen.height),
                             screen.width, screen.height};
        display.backingScaleFactor = screen.devicePixelRatio > 0 ? screen.devicePixelRatio : 1;
        const bool isReference = &screen == &reference;
        const auto pixels = notchPixelsFor(screen, isReference, screens.size(), notch);
        if (pixels) {
            const double inset = *pixels / display.backingScaleFactor;
            if (inset < screen.height) {
                addNotch(display, inset);
            }
        }
        displays.push_back(std::move(display));
    }
    return displays;
}

}  // namespace quillhaven
