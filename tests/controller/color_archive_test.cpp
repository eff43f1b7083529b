#include "controller/color_archive.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using quillhaven::Color;
using quillhaven::Data;
using quillhaven::TextColorArchive;

namespace {
Data bytes(const std::string& text) {
    return Data(text.begin(), text.end());
}
}  // namespace

TEST(TextColorArchive, RoundTripsEveryComponentExactly) {
    TextColorArchive archive;
    for (const Color& color :
         {Color::black(), Color{1, 1, 1, 1}, Color{0.1, 0.2, 0.30000000000000004, 0.5},
          Color{1.0 / 3, 2.0 / 3, std::numeric_limits<double>::denorm_min(), 0},
          Color{-0.0, 1e-300, 0.99999999999999989, 1}}) {
        auto data = archive.archive(color);
        ASSERT_TRUE(data);
        auto back = archive.unarchive(*data);
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, color);
    }
}

TEST(TextColorArchive, RefusesGarbageAndNonFiniteColours) {
    TextColorArchive archive;
    EXPECT_FALSE(archive.archive(Color{std::numeric_limits<double>::quiet_NaN(), 0, 0, 1}));
    EXPECT_FALSE(archive.archive(Color{0, std::numeric_limits<double>::infinity(), 0, 1}));
    auto good = archive.archive(Color{0.25, 0.5, 0.75, 1});
    ASSERT_TRUE(good);
    EXPECT_EQ(std::string(good->begin(), good->end()), "quillhaven-color/1 0.25 0.5 0.75 1\n");
    for (const std::string& text :
         {std::string(), std::string("garbage"), std::string("quillhaven-color/2 0 0 0 1\n"),
          std::string("quillhaven-color/1 0 0 0\n"), std::string("quillhaven-color/1 0 0 0 1"),
          std::string("quillhaven-color/1 0 0 0 1 \n"),
          std::string("quillhaven-color/1 0 0 0 1\nx"),
          std::string("quillhaven-color/1  0 0 0 1\n"),
          std::string("quillhaven-color/1 0 0 nan 1\n"),
          std::string("quillhaven-color/1 0 0 inf 1\n"),
          std::string("quillhaven-color/1 0 0 0x1 1\n"),
          std::string("quillhaven-color/1 0,5 0 0 1\n")}) {
        EXPECT_FALSE(archive.unarchive(bytes(text))) << text;
    }
}
