#include "fake_display_service.h"

namespace quillhaven::testing {

Display FakeDisplayService::notchedDisplay(std::string identifier, double width, double height,
                                           double scale, double notchHeight, double x, double y) {
    Display display;
    display.identifier = std::move(identifier);
    display.frame = Rect{x, y, width, height};
    display.backingScaleFactor = scale;
    display.safeAreaInsets = EdgeInsets{notchHeight, 0, 0, 0};
    const double side = width / 3;
    display.auxiliaryTopLeftArea = Rect{0, height - notchHeight, side, notchHeight};
    display.auxiliaryTopRightArea = Rect{width - side, height - notchHeight, side, notchHeight};
    return display;
}

Display FakeDisplayService::plainDisplay(std::string identifier, double width, double height,
                                         double scale, double x, double y) {
    Display display;
    display.identifier = std::move(identifier);
    display.frame = Rect{x, y, width, height};
    display.backingScaleFactor = scale;
    return display;
}

}  // namespace quillhaven::testing
