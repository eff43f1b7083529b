// Which display is worked on, the notch rule, the summary and the render size.

#include <gtest/gtest.h>

#include <cmath>

#include "controller/display_rules.h"
#include "tests/doubles/fake_display_service.h"

namespace quillhaven {
namespace {

using testing::FakeDisplayService;

Display display(const char* connector, bool builtIn, bool primary) {
    Display d = FakeDisplayService::plainDisplay(connector, 100, 50);
    d.isBuiltIn = builtIn;
    d.isPrimary = primary;
    return d;
}

TEST(DisplayRulesTest, TheBuiltInPanelIsWorkedOnWhereverItIsElseThePrimaryElseTheFirst) {
    struct Case {
        std::vector<Display> displays;
        const char* chosen;
    };
    const std::vector<Case> cases{
        {{display("HDMI-A-1", false, true), display("eDP-1", true, false)}, "eDP-1"},
        {{display("DP-1", false, false), display("DP-2", false, true)}, "DP-2"},
        {{display("DP-1", false, false), display("DP-2", false, false)}, "DP-1"},
        {{}, nullptr},
    };
    for (const Case& c : cases) {
        const auto chosen = workingDisplay(c.displays);
        EXPECT_EQ(chosen.has_value(), c.chosen != nullptr);
        if (chosen && c.chosen) {
            EXPECT_EQ(chosen->connector, c.chosen);
        }
    }
}

TEST(DisplayRulesTest, SummaryTellsTheNotchAndTheTruncatedSize) {
    struct Case {
        double width, height;
        std::optional<std::uint32_t> notch;
        const char* summary;
    };
    for (const Case& c : std::vector<Case>{
             {1512, 982, 64, "ノッチあり・1512 × 982"},
             {1512.9, 982.99, 64, "ノッチあり・1512 × 982"},
             {1512, 982, std::nullopt, "ノッチなし・1512 × 982"},
             {1512, 982, 0, "ノッチなし・1512 × 982"},
             {1512, 982, 1964, "ノッチなし・1512 × 982"},  // the whole panel is no notch
             {-3.7, 0.2, std::nullopt, "ノッチなし・-3 × 0"},
             {std::nan(""), 1e30, std::nullopt, "ノッチなし・? × ?"},
         }) {
        Display d = FakeDisplayService::plainDisplay("eDP-1", c.width, c.height, 2);
        d.notchHeight = c.notch;
        EXPECT_EQ(displaySummary(d), c.summary);
    }
    EXPECT_EQ(displaySummary(std::nullopt), "メインディスプレイなし");
}

// A 14-inch panel is 3024 × 1964 device pixels; under fractional scaling the compositor
// reports its geometry rounded to whole device-independent pixels.
TEST(DisplayRulesTest, TheCanvasIsThePanelsNativePixelsAtEveryScale) {
    for (const double ratio : {1.0, 1.25, 1.5, 1.75, 2.0}) {
        Display panel = FakeDisplayService::plainDisplay(
            "eDP-1", std::round(3024 / ratio), std::round(1964 / ratio), ratio);
        panel.notchHeight = 74;
        const WallpaperProcessingRequest request =
            renderRequestFor(panel, Url::fileURLWithPath("/p.png"));
        EXPECT_EQ(request.canvasSizeInPoints, (CanvasSize{3024, 1964})) << ratio;
        EXPECT_EQ(request.backingScaleFactor, 1);
        EXPECT_EQ(request.topInsetInPoints, 74);
        EXPECT_EQ(request.cornerRadiusInPoints, 16 * ratio);
    }
}

}  // namespace
}  // namespace quillhaven
