// The mapping between Plasma's fill modes and colours and the controller's options.

#include <gtest/gtest.h>

#include "platform/plasma/fill_mode_mapping.h"

namespace quillhaven::plasma {
namespace {

TEST(FillModeMappingTest, EveryFillModeComesBackFromItsOptions) {
    for (int mode = 0; mode <= 6; ++mode) {
        EXPECT_EQ(fillModeForOptions(optionsForFillMode(mode, Color::black())), mode) << mode;
    }
    // Modes Plasma does not know read as its default, preserve aspect crop.
    EXPECT_EQ(optionsForFillMode(7, Color::black()), optionsForFillMode(2, Color::black()));
    EXPECT_EQ(optionsForFillMode(-1, Color::black()), optionsForFillMode(2, Color::black()));
}

TEST(FillModeMappingTest, TheControllersFixedOptionsMeanStretch) {
    EXPECT_EQ(fillModeForOptions({ImageScaling::axesIndependently, false, Color::black()}), 0);
}

TEST(FillModeMappingTest, PartialAndUnknownOptionsFallBackToAspectModes) {
    EXPECT_EQ(fillModeForOptions({}), std::nullopt);
    EXPECT_EQ(fillModeForOptions({std::nullopt, std::nullopt, Color::black()}), std::nullopt);
    EXPECT_EQ(fillModeForOptions({std::nullopt, true, std::nullopt}), 2);
    EXPECT_EQ(fillModeForOptions({std::nullopt, false, std::nullopt}), 1);
    EXPECT_EQ(fillModeForOptions({ImageScaling::none, std::nullopt, std::nullopt}), 6);
    // The one pair no fill mode reads as, and scalings beyond the known four.
    EXPECT_EQ(fillModeForOptions({ImageScaling::proportionallyDown, false, std::nullopt}), 1);
    EXPECT_EQ(fillModeForOptions({static_cast<ImageScaling>(42), true, std::nullopt}), 2);
}

TEST(FillModeMappingTest, ConfigColoursParseAndFormatByteForByte) {
    EXPECT_EQ(parseConfigColor("0,0,0"), Color::black());
    EXPECT_EQ(parseConfigColor(" 255, 128 ,0 "), (Color{1, 128 / 255.0, 0, 1}));
    EXPECT_EQ(parseConfigColor("10,20,30,40"),
              (Color{10 / 255.0, 20 / 255.0, 30 / 255.0, 40 / 255.0}));
    EXPECT_EQ(parseConfigColor("#ff8000"), (Color{1, 128 / 255.0, 0, 1}));
    EXPECT_EQ(parseConfigColor("black"), Color::black());
    EXPECT_EQ(parseConfigColor(""), std::nullopt);
    EXPECT_EQ(parseConfigColor("1,2"), std::nullopt);
    EXPECT_EQ(parseConfigColor("1,2,300"), std::nullopt);
    EXPECT_EQ(parseConfigColor("no colour"), std::nullopt);

    // Written in the form the live wallpaper takes at once, alpha first when not opaque.
    for (const char* text : {"#000000", "#ffffff", "#0c2238", "#80010203"}) {
        EXPECT_EQ(formatConfigColor(*parseConfigColor(text)), text);
    }
    EXPECT_EQ(formatConfigColor(*parseConfigColor("12,34,56")), "#0c2238");
    EXPECT_EQ(formatConfigColor(Color{2, -1, 0.5, 1}), "#ff0080");
}

}  // namespace
}  // namespace quillhaven::plasma
