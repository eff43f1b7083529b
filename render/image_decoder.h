#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>

namespace quillhaven {

// Reads still pictures through QImageReader, with the guards a wallpaper renderer needs:
// bounded memory for forged headers, no EXIF orientation, one image per file.
class ImageDecoder {
public:
    // The largest source picture accepted, in pixels (a 100-megapixel photo still fits).
    static constexpr std::int64_t maxSourcePixels = std::int64_t{1} << 27;

    // The number of images the file holds; none when it cannot be read as an image.
    static std::optional<std::int64_t> imageCount(const QString& path);

    // Decodes the single image of a still picture, pixels as stored. When `coverSize` is
    // given the decoder may reduce the picture while reading (JPEG DCT scaling), but never
    // below that size, so the picture still covers it without upscaling. None when the
    // file is not exactly one decodable image within the size bound.
    static std::optional<QImage> decodeStill(const QString& path,
                                             std::optional<QSize> coverSize = std::nullopt);
};

}  // namespace quillhaven
