// Screens in the window system's y-down space, mapped to the controller's y-up displays.

#include <gtest/gtest.h>

#include "display_mapping.h"

namespace quillhaven {
namespace {

ScreenDescription screen(std::string name, double x, double y, double width, double height,
                         double ratio, bool primary) {
    return ScreenDescription{std::move(name), x, y, width, height, ratio, primary};
}

TEST(DisplayMappingTest, ThePrimaryScreenSitsAtTheOriginWhateverTheArrangement) {
    // An external monitor above and to the left of the laptop, which is primary; the
    // window system's origin is the monitor's top-left corner.
    const auto displays = mapScreensToDisplays({screen("HDMI-A-1", 0, 0, 2560, 1440, 1, false),
                                                screen("eDP-1", 600, 1440, 1512, 982, 2, true),
                                                screen("DP-2", -1080, 200, 1080, 1920, 1.5, false)},
                                               {});
    ASSERT_EQ(displays.size(), 3u);
    EXPECT_EQ(displays[1].identifier, "eDP-1");
    EXPECT_EQ(displays[1].frame, (Rect{0, 0, 1512, 982}));
    // The monitor is above the laptop: y grows upward.
    EXPECT_EQ(displays[0].frame, (Rect{-600, 982, 2560, 1440}));
    // The portrait monitor's bottom edge is 2422 - 2120 = 302 points above the laptop's.
    EXPECT_EQ(displays[2].frame, (Rect{-1680, 302, 1080, 1920}));
    EXPECT_EQ(displays[0].backingScaleFactor, 1);
    EXPECT_EQ(displays[1].backingScaleFactor, 2);
    EXPECT_EQ(displays[2].backingScaleFactor, 1.5);
    for (const Display& display : displays) {
        EXPECT_EQ(display.safeAreaInsets, EdgeInsets{});
        EXPECT_FALSE(display.auxiliaryTopLeftArea.has_value());
    }
}

TEST(DisplayMappingTest, WithoutAPrimaryTheFirstScreenIsTheOrigin) {
    const auto displays = mapScreensToDisplays({screen("DP-1", -1920, -300, 1920, 1080, 1, false),
                                                screen("DP-2", 0, 0, 1920, 1200, 1, false)},
                                               {});
    EXPECT_EQ(displays[0].frame, (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(displays[1].frame, (Rect{1920, -420, 1920, 1200}));
    EXPECT_TRUE(mapScreensToDisplays({}, {}).empty());
}

TEST(DisplayMappingTest, TheBuiltInPanelGetsTheNotchInPoints) {
    const auto displays = mapScreensToDisplays({screen("HDMI-A-1", 0, 0, 1920, 1080, 1, true),
                                                screen("eDP-1", 1920, 0, 1512, 982, 2, false)},
                                               NotchHeights{74, std::nullopt});
    const Display& panel = displays[1];
    EXPECT_EQ(panel.safeAreaInsets, (EdgeInsets{37, 0, 0, 0}));
    ASSERT_TRUE(panel.auxiliaryTopLeftArea && panel.auxiliaryTopRightArea);
    // Two strips of the inset's height beside a centred notch, along the top edge.
    const Rect left = *panel.auxiliaryTopLeftArea;
    const Rect right = *panel.auxiliaryTopRightArea;
    EXPECT_EQ(left.x, panel.frame.x);
    EXPECT_EQ(left.y + left.height, panel.frame.y + panel.frame.height);
    EXPECT_EQ(left.height, 37);
    EXPECT_EQ(right.x + right.width, panel.frame.x + panel.frame.width);
    EXPECT_EQ(right.width, left.width);
    EXPECT_GT(right.x, left.x + left.width);
    // The external monitor is not the built-in panel.
    EXPECT_EQ(displays[0].safeAreaInsets.top, 0);
    EXPECT_FALSE(displays[0].auxiliaryTopRightArea.has_value());
}

TEST(DisplayMappingTest, TheOnlyScreenCountsAsBuiltInWhateverItsName) {
    const auto displays =
        mapScreensToDisplays({screen("Unknown-1", 0, 0, 1470, 956, 2, true)}, {64, std::nullopt});
    EXPECT_EQ(displays[0].safeAreaInsets.top, 32);
}

TEST(DisplayMappingTest, TheOverrideGivesThePrimaryScreenItsNotch) {
    const auto displays = mapScreensToDisplays({screen("eDP-1", 0, 0, 1512, 982, 2, false),
                                                screen("DP-1", 1512, 0, 1920, 1080, 1.5, true)},
                                               NotchHeights{74, 60});
    // The override is in pixels of the primary screen and wins there.
    EXPECT_EQ(displays[1].safeAreaInsets.top, 40);
    EXPECT_TRUE(displays[1].auxiliaryTopLeftArea.has_value());
    // The built-in panel keeps its own detected notch.
    EXPECT_EQ(displays[0].safeAreaInsets.top, 37);

    const auto tooTall =
        mapScreensToDisplays({screen("eDP-1", 0, 0, 800, 600, 1, true)}, {std::nullopt, 600});
    EXPECT_EQ(tooTall[0].safeAreaInsets.top, 0);
}

}  // namespace
}  // namespace quillhaven
