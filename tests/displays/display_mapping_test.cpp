// Screens as the window system gives them, mapped to the controller's displays: geometry as
// given, the built-in panel told by its connector, the notch where it belongs.

#include <gtest/gtest.h>

#include "platform/displays/display_mapping.h"

namespace quillhaven {
namespace {

ScreenDescription screen(std::string name, double x, double width, double ratio, bool primary) {
    return ScreenDescription{std::move(name), x, 0, width, width * 0.6, ratio, primary};
}

TEST(DisplayMappingTest, TheNotchGoesToTheBuiltInPanelOrWithTheOverrideToThePrimary) {
    using Heights = std::vector<std::optional<std::uint32_t>>;
    struct Case {
        const char* name;
        std::vector<ScreenDescription> screens;
        NotchHeights notch;
        std::vector<bool> builtIn;
        Heights heights;
    };
    const std::vector<Case> cases{
        {"an external primary beside the panel",
         {screen("HDMI-A-1", 0, 1920, 1, true), screen("eDP-1", 1920, 1512, 2, false)},
         {74, std::nullopt}, {false, true}, {std::nullopt, 74}},
        {"the override goes to the panel and wins over detection",
         {screen("DP-1", 0, 1920, 1, true), screen("eDP-1", 1920, 1512, 2, false)},
         {74, 60}, {false, true}, {std::nullopt, 60}},
        {"the only screen is the panel whatever its name",
         {screen("Virtual-1", 0, 1470, 2, true)}, {64, std::nullopt}, {true}, {64}},
        {"without a panel the override goes to the primary",
         {screen("DP-1", 0, 1920, 1, false), screen("DP-2", 1920, 1920, 1.5, true)},
         {74, 60}, {false, false}, {std::nullopt, 60}},
        {"a closed lid: detection alone gives nobody a notch",
         {screen("DP-1", 0, 1920, 1, true), screen("DP-2", 1920, 1920, 1, false)},
         {74, std::nullopt}, {false, false}, {std::nullopt, std::nullopt}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto displays = mapScreensToDisplays(c.screens, c.notch);
        ASSERT_EQ(displays.size(), c.screens.size());
        for (std::size_t i = 0; i < displays.size(); ++i) {
            EXPECT_EQ(displays[i].connector, c.screens[i].name);
            EXPECT_EQ(displays[i].isPrimary, c.screens[i].isPrimary);
            EXPECT_EQ(displays[i].geometry,
                      (Rect{c.screens[i].x, 0, c.screens[i].width, c.screens[i].height}));
            EXPECT_EQ(displays[i].devicePixelRatio, c.screens[i].devicePixelRatio);
            EXPECT_EQ(displays[i].isBuiltIn, c.builtIn[i]) << i;
            EXPECT_EQ(displays[i].notchHeight, c.heights[i]) << i;
        }
    }
    EXPECT_TRUE(mapScreensToDisplays({}, {74, 60}).empty());
}

}  // namespace
}  // namespace quillhaven
