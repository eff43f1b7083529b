#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>

namespace quillhaven {

// Reads still pictures through QImageReader, with the guards a wallpaper renderer needs:
// bounded memory for forged headers, one image per file, and only regular files (a FIFO or
// a device is refused without being opened for reading). Pictures come out turned as their
// EXIF orientation says, the way desktops show them.
class ImageDecoder {
public:
    // The largest source picture accepted, in pixels (a 100-megapixel photo still fits).
    static constexpr std::int64_t maxSourcePixels = std::int64_t{1} << 27;
    // The pixel memory one render may hold at once: the decoded picture, its conversion to
    // 32-bit pixels, and the canvas with one working copy.
    static constexpr std::int64_t memoryBudgetBytes = std::int64_t{1} << 30;

    // Decompression bombs: a picture whose pixels take more than `bombThresholdBytes` must
    // come from a file at least 1/`bombRatio` of that size. Real photos and screenshots of
    // that size compress far less; a file that claims more is refused before decoding.
    static constexpr std::int64_t bombThresholdBytes = std::int64_t{256} << 20;
    static constexpr std::int64_t bombRatio = 1024;
    // The longest drawing (SVG) accepted: a stock wallpaper's is well under a megabyte, and
    // drawing time grows with the text.
    static constexpr std::int64_t maxDrawingBytes = std::int64_t{8} << 20;

    enum class Refusal {
        notAStillPicture,  // unreadable, not a regular file, not exactly one image
        overBudget,        // decodable, but with the reserved bytes beyond the budget
    };
    struct Decoded {
        std::optional<QImage> image;
        Refusal refusal = Refusal::notAStillPicture;
    };

    // The number of images the file holds: 0 for a file in no picture format, none when it
    // cannot be opened or is a picture that cannot be read.
    static std::optional<std::int64_t> imageCount(const QString& path);

    // Decodes the single image of a still picture, turned upright. When `coverSize` is
    // given the decoder may reduce the picture while reading (JPEG DCT scaling), but never
    // below that size (as shown), so the picture still covers it without upscaling. None when the
    // file is not exactly one decodable image within the size bound.
    static std::optional<QImage> decodeStill(const QString& path,
                                             std::optional<QSize> coverSize = std::nullopt);
    // The same, refusing with `overBudget` before any pixel is decoded when the picture's
    // pixels together with `reservedBytes` (the canvas) exceed the memory budget. A picture
    // that alone exceeds the budget is not a still picture this renderer can take.
    static Decoded decodeWithin(const QString& path, std::optional<QSize> coverSize,
                                std::int64_t reservedBytes);
};

}  // namespace quillhaven
