#include "image_decoder.h"

#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <mutex>

#include "reducing_decoder.h"

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

// The smallest size, with the picture's aspect ratio, that still covers `cover`. Handed to
// the JPEG reader, it makes libjpeg decode at the nearest scale of M/8 at or above it
// (DCT-domain scaling, cheaper and sharper than decoding everything and averaging) and then
// average down to this size, so a large photo never exists in memory at full resolution.
QSize reducedJpegSize(const QSize& full, const QSize& cover) {
    const double scale = std::max(static_cast<double>(cover.width()) / full.width(),
                                  static_cast<double>(cover.height()) / full.height());
    if (scale >= 1) {
        return full;
    }
    // The small tolerance keeps the covering axis from rounding one pixel up.
    const auto reduce = [scale](int side, int minimum) {
        const double scaled = std::ceil(side * scale - 1e-6);
        return std::max(minimum, static_cast<int>(scaled));
    };
    return QSize(std::min(full.width(), reduce(full.width(), cover.width())),
                 std::min(full.height(), reduce(full.height(), cover.height())));
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
        // Large PNGs and JPEGs are reduced row by row while they are read; the variants
        // those decoders leave alone go on below.
        const QByteArray format = reader.format();
        if (coverSize && (format == "png" || format == "jpeg")) {
            const QSize reduced = reducedJpegSize(size, *coverSize);
            const ReducedDecode decoded =
                format == "png" ? decodeReducedPng(path, reduced, maxSourcePixels)
                                : decodeReducedJpeg(path, reduced, maxSourcePixels);
            if (decoded.outcome == ReducedDecode::Outcome::decoded) {
                return decoded.image;
            }
            if (decoded.outcome == ReducedDecode::Outcome::unreadable) {
                return std::nullopt;
            }
        }
        if (coverSize && format == "jpeg" &&
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
