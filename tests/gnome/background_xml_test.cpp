// GNOME's XML backgrounds: the picture GNOME shows for a monitor's size and the clock, and
// the files refused.

#include <gtest/gtest.h>

#include <chrono>

#include "platform/gnome/background_xml.h"

namespace quillhaven::gnome {
namespace {

using Clock = std::chrono::system_clock;

// As Debian's themes ship: one picture in several sizes, shown for good.
const char* const sizedStill = R"(<?xml version="1.0"?>
<background>
  <static>
    <duration>8640000.0</duration>
    <file>
      <size width="1920" height="1080">/t/1920x1080.svg</size>
      <size width="2560" height="1600">/t/2560x1600.svg</size>
      <size width="3840" height="2160">/t/3840x2160.svg</size>
      <size width="1280" height="1024">/t/1280x1024.svg</size>
    </file>
  </static>
</background>)";

TEST(BackgroundXmlTest, TheSizeGnomeShowsFitsTheMonitorShapeAmongThoseLargeEnough) {
    const auto background = parseBackgroundXml(sizedStill);
    ASSERT_TRUE(background.succeeded()) << background.error();
    struct Case {
        QSize monitor;
        const char* shown;
    };
    for (const Case& c : std::vector<Case>{{{1512, 982}, "/t/2560x1600.svg"},
                                            {{1920, 1080}, "/t/1920x1080.svg"},
                                            {{3024, 1964}, "/t/3840x2160.svg"},
                                            {{1280, 1024}, "/t/1280x1024.svg"},
                                            {{5120, 2880}, "/t/3840x2160.svg"}}) {
        EXPECT_EQ(pictureShown(background.value(), c.monitor, Clock::now()), c.shown)
            << c.monitor.width() << "x" << c.monitor.height();
    }
}

TEST(BackgroundXmlTest, ASlideshowShowsTheSlideTheClockPointsAt) {
    const auto background = parseBackgroundXml(R"(<background>
      <starttime><year>2020</year><month>1</month><day>1</day>
                 <hour>1</hour><minute>0</minute><second>0</second></starttime>
      <static><duration>100</duration><file>/s/morning.jpg</file></static>
      <transition type="overlay"><duration>10</duration>
        <from>/s/morning.jpg</from><to>/s/evening.jpg</to></transition>
      <static><duration>90</duration><file>/s/evening.jpg</file></static>
    </background>)");
    ASSERT_TRUE(background.succeeded()) << background.error();
    ASSERT_TRUE(background.value().startTime);
    const auto at = [&](double seconds) {
        return Clock::time_point(std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(*background.value().startTime + seconds)));
    };
    const QSize monitor(1920, 1080);
    EXPECT_EQ(pictureShown(background.value(), monitor, at(50)), "/s/morning.jpg");
    EXPECT_EQ(pictureShown(background.value(), monitor, at(103)), "/s/morning.jpg");
    EXPECT_EQ(pictureShown(background.value(), monitor, at(107)), "/s/evening.jpg");
    EXPECT_EQ(pictureShown(background.value(), monitor, at(150)), "/s/evening.jpg");
    // The show goes round: 200 seconds in all.
    EXPECT_EQ(pictureShown(background.value(), monitor, at(250)), "/s/morning.jpg");
}

TEST(BackgroundXmlTest, NestedMalformedAndUnboundedFilesAreRefused) {
    std::string deep = "<background><static><duration>1</duration><file>";
    for (int i = 0; i < 10; ++i) {
        deep += "<a>";
    }
    const std::vector<std::pair<std::string, const char*>> cases{
        {"<background><static><duration>1</duration><file>/x.jpg</file>", "unclosed"},
        {"<background><static><duration>1</duration><file>/other.xml</file></static></background>",
         "a slide naming another XML background"},
        {"<background><background/></background>", "a background inside a background"},
        {"<picture/>", "not a background"},
        {"<background></background>", "no slide"},
        {"<background><static><file>/x.jpg</file></static></background>", "no duration"},
        {R"(<background><static><duration>1</duration><file><size width="1920">/x.jpg</size>)"
         "</file></static></background>",
         "a size without a height (found by fuzzing: no size could be chosen)"},
        {R"(<!DOCTYPE b [<!ENTITY e "/x.jpg">]><background><static><duration>1</duration>)"
         "<file>&e;</file></static></background>",
         "an entity"},
        {deep, "nesting too deep"},
        {"<background>" + std::string(maxXmlFileBytes, ' ') + "</background>", "too long"},
    };
    for (const auto& [text, why] : cases) {
        EXPECT_FALSE(parseBackgroundXml(QByteArray::fromStdString(text)).succeeded()) << why;
    }
}

}  // namespace
}  // namespace quillhaven::gnome
