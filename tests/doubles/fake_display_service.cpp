#include "tests/doubles/fake_display_service.h"

#include <cmath>

namespace quillhaven::testing {

Display FakeDisplayService::notchedDisplay(std::string connector, double width, double height,
                                           double ratio, double notchHeight, double x, double y) {
    Display display = plainDisplay(std::move(connector), width, height, ratio, x, y);
    display.isBuiltIn = true;
    display.isPrimary = true;
    display.notchHeight = static_cast<std::uint32_t>(std::lround(notchHeight * ratio));
    return display;
}

Display FakeDisplayService::plainDisplay(std::string connector, double width, double height,
                                         double ratio, double x, double y) {
    Display display;
    display.connector = std::move(connector);
    display.geometry = Rect{x, y, width, height};
    display.devicePixelRatio = ratio;
    return display;
}

}  // namespace quillhaven::testing
