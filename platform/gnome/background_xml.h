#pragma once

// GNOME's XML backgrounds (the format of gnome-desktop's slideshows): a picture given in
// several sizes, or pictures that follow each other over the day. GNOME picks, for each
// monitor, the size that best fits it and the slide that the clock says is showing; so does
// Quillhaven, to process the very picture on screen.
//
// The reader is bounded like the virtual desktop's JSON reader: at most `maxFileBytes` of
// text, `maxDepth` levels of elements, `maxSlides` slides and `maxSizes` sizes per picture;
// no document type (so no entities). A slide that names another XML background is refused:
// GNOME does not nest them either.

#include <QSize>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "core/result.h"

namespace quillhaven::gnome {

struct SizedPicture {
    int width = 0;  // 0 and 0 for a picture given without a size
    int height = 0;
    std::string path;
};

struct Slide {
    double duration = 0;               // seconds
    std::vector<SizedPicture> from;    // the picture shown (a still), or the one fading out
    std::vector<SizedPicture> to;      // the one fading in; empty for a still
};

struct BackgroundXml {
    // When the first slide started, in seconds since the epoch; none when the file says not.
    std::optional<double> startTime;
    std::vector<Slide> slides;
};

inline constexpr std::int64_t maxXmlFileBytes = 1 << 20;
inline constexpr int maxXmlDepth = 6;
inline constexpr std::size_t maxXmlSlides = 1000;
inline constexpr std::size_t maxXmlSizes = 64;

// Parses the text; the failure says why in English, for the log and the message.
Result<BackgroundXml> parseBackgroundXml(const QByteArray& text);

// The picture GNOME shows at `now` on a monitor of `monitor` pixels: the slide the clock
// points at (during a fade, the picture that is more than half shown), in the size that
// best fits (the first size at least as large with the closest shape, else the closest
// shape of any size, the nearer width breaking a tie).
std::string pictureShown(const BackgroundXml& background, QSize monitor,
                         std::chrono::system_clock::time_point now);

// Reads the file at `path` (a regular file of at most maxXmlFileBytes) and answers the
// picture shown, or why it cannot be used.
Result<std::string> pictureShownFromFile(const std::string& path, QSize monitor,
                                         std::chrono::system_clock::time_point now);

}  // namespace quillhaven::gnome
