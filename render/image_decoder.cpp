#include "image_decoder.h"

#include <QImageReader>

#include <mutex>

namespace quillhaven {

namespace {

// Qt refuses images above 128 MB by default, which excludes an ordinary 6016 x 6016 photo.
// The limit is raised enough for the largest accepted picture at 8 bytes per pixel
// (16-bit formats), and the header check below keeps forged sizes out before any read.
constexpr int allocationLimitMegabytes =
    static_cast<int>(ImageDecoder::maxSourcePixels * 8 / (1024 * 1024));

void raiseAllocationLimit() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (QImageReader::allocationLimit() < allocationLimitMegabytes) {
            QImageReader::setAllocationLimit(allocationLimitMegabytes);
        }
    });
}

void configure(QImageReader& reader) {
    raiseAllocationLimit();
    reader.setAutoTransform(false);
    reader.setDecideFormatFromContent(true);
}

// The largest power-of-two reduction that JPEG decoding can apply while keeping at least
// `cover` pixels on both axes.
QSize reducedJpegSize(const QSize& full, const QSize& cover) {
    for (int divisor : {8, 4, 2}) {
        const QSize reduced(full.width() / divisor, full.height() / divisor);
        if (reduced.width() >= cover.width() && reduced.height() >= cover.height()) {
            return reduced;
        }
    }
    return full;
}

bool holdsOneImage(QImageReader& reader) {
    // A handler that cannot count reports its readability as 0 or 1; animated GIF and WebP
    // and multi-page TIFF report their frame or page count.
    return reader.canRead() && reader.imageCount() == 1;
}

}  // namespace

std::optional<std::int64_t> ImageDecoder::imageCount(const QString& path) {
    QImageReader reader(path);
    configure(reader);
    if (!reader.canRead()) {
        return std::nullopt;
    }
    const int count = reader.imageCount();
    if (count < 0) {
        return std::nullopt;
    }
    return count;
}

std::optional<QImage> ImageDecoder::decodeStill(const QString& path,
                                                std::optional<QSize> coverSize) {
    QImageReader reader(path);
    configure(reader);
    if (!holdsOneImage(reader)) {
        return std::nullopt;
    }
    const QSize size = reader.size();
    if (size.isValid()) {
        const std::int64_t pixels = std::int64_t{size.width()} * size.height();
        if (size.isEmpty() || pixels > maxSourcePixels) {
            return std::nullopt;
        }
        if (coverSize && reader.format() == "jpeg" &&
            reader.supportsOption(QImageIOHandler::ScaledSize)) {
            const QSize reduced = reducedJpegSize(size, *coverSize);
            if (reduced != size) {
                reader.setScaledSize(reduced);
            }
        }
    }
    QImage image = reader.read();
    if (image.isNull()) {
        return std::nullopt;
    }
    return image;
}

}  // namespace quillhaven
