#pragma once

// An in-memory display list that tests set directly, with helpers that build the usual
// displays: a notched notebook panel and a plain external monitor.

#include <cstddef>
#include <string>
#include <vector>

#include "controller/desktop_services.h"

namespace quillhaven::testing {

class FakeDisplayService : public DisplayService {
public:
    FakeDisplayService() = default;
    explicit FakeDisplayService(std::vector<Display> displays) : displays_(std::move(displays)) {}

    std::vector<Display> screens() override {
        ++reads_;
        return displays_;
    }

    void setScreens(std::vector<Display> displays) { displays_ = std::move(displays); }
    const std::vector<Display>& displays() const { return displays_; }
    // How many times the list was read.
    std::size_t reads() const { return reads_; }

    // The built-in, primary panel with a notch `notchHeight` device-independent pixels tall
    // (sizes as the window system gives them, the notch in device pixels on the display).
    static Display notchedDisplay(std::string connector = "builtin", double width = 1512,
                                  double height = 982, double ratio = 2, double notchHeight = 32,
                                  double x = 0, double y = 0);
    // A display without a notch, neither built in nor primary.
    static Display plainDisplay(std::string connector = "external", double width = 1920,
                                double height = 1080, double ratio = 1, double x = 0, double y = 0);

private:
    std::vector<Display> displays_;
    std::size_t reads_ = 0;
};

}  // namespace quillhaven::testing
