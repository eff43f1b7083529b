#include "render/image_decoder.h"

#include <QFile>
#include <QColorSpace>
#include <QImageReader>
#include <QTransform>
#include <QMimeDatabase>
#include <QMimeType>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>

#include "core/regular_file.h"
#include "render/canvas_geometry.h"
#include "render/pixel_formats.h"
#include "render/reducing_decoder.h"

namespace quillhaven {

namespace {

// Qt refuses images above 128 MB by default, which excludes an ordinary 6016 x 6016 photo.
// The limit is raised to the memory budget, and the header checks below keep forged sizes
// out before any read.
constexpr int allocationLimitMegabytes =
    static_cast<int>(ImageDecoder::memoryBudgetBytes / (1024 * 1024));

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

// The smallest size with the picture's shape that covers `cover`, as the canvas places it.
QSize coveringSize(const QSize& size, const QSize& cover) {
    const CoverRect placed =
        CoverRect::forImage(size.width(), size.height(), cover.width(), cover.height());
    return QSize(std::max(1, static_cast<int>(std::ceil(placed.width - 1e-9))),
                 std::max(1, static_cast<int>(std::ceil(placed.height - 1e-9))));
}

// The picture turned the way its EXIF orientation says it is shown, as every desktop and
// photo viewer does: a portrait photo from a phone is stored sideways with orientation 6.
QImage oriented(QImage image, QImageIOHandler::Transformations orientation) {
    if (orientation == QImageIOHandler::TransformationNone) {
        return image;
    }
    const QColorSpace colorSpace = image.colorSpace();
    if (orientation == QImageIOHandler::TransformationRotate270) {
        image = image.transformed(QTransform().rotate(270));
    } else {
        image = std::move(image).mirrored(orientation & QImageIOHandler::TransformationMirror,
                                          orientation & QImageIOHandler::TransformationFlip);
        if (orientation & QImageIOHandler::TransformationRotate90) {
            image = image.transformed(QTransform().rotate(90));
        }
    }
    image.setColorSpace(colorSpace);
    return image;
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

// The picture as a QFile on a descriptor from openRegularFile.
std::unique_ptr<QFile> openRegularPicture(const QString& path) {
    const int fd = openRegularFile(path);
    if (fd < 0) {
        return nullptr;
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return nullptr;
    }
    return file;
}

// Bytes per pixel of the decoded image; unknown formats count as the widest (16-bit RGBA).
std::int64_t bytesPerPixel(QImage::Format format) {
    if (format == QImage::Format_Invalid) {
        return 8;
    }
    return std::max(1, QImage::toPixelFormat(format).bitsPerPixel() / 8);
}

// The pixel memory that decoding a picture of `size` (after any reduction) takes.
std::int64_t decodedBytes(const QSize& size, QImage::Format format) {
    const std::int64_t pixels = std::int64_t{size.width()} * size.height();
    return pixels * (bytesPerPixel(format) + (isDirectlyScalable(format) ? 0 : 4));
}

// The size a decoder allocates. Qt's GIF decoder paints every frame on a canvas of the
// file's logical screen size, which its size option does not report; a tiny GIF with a
// large screen must count at that size.
QSize allocatedSize(QImageReader& reader, QFile& file, const QSize& reported) {
    if (reader.format() != "gif") {
        return reported;
    }
    const qint64 position = file.pos();
    QByteArray header;
    if (file.seek(0)) {
        header = file.read(10);
    }
    file.seek(position);
    if (header.size() < 10) {
        return reported;
    }
    const auto at = [&header](int index) {
        return static_cast<int>(static_cast<unsigned char>(header[index]));
    };
    const QSize screen(at(6) | (at(7) << 8), at(8) | (at(9) << 8));
    // A size the handler could not tell is taken from the header alone.
    return reported.isValid() ? reported.expandedTo(screen) : screen;
}

bool holdsOneImage(QImageReader& reader) {
    // A handler that cannot count reports its readability as 0 or 1; animated GIF and WebP
    // and multi-page TIFF report their frame or page count.
    return reader.canRead() && reader.imageCount() == 1;
}

}  // namespace

std::optional<std::int64_t> ImageDecoder::imageCount(const QString& path) {
    const std::unique_ptr<QFile> file = openRegularPicture(path);
    if (!file) {
        return std::nullopt;
    }
    const QByteArray head = file->peek(512);
    QImageReader reader(file.get());
    configure(reader);
    if (!reader.canRead()) {
        // A file that is no picture at all (an XML slideshow, say) holds no image; a picture
        // that cannot be read (cut short, damaged, not what its name says) is unreadable.
        const QMimeType type = QMimeDatabase().mimeTypeForFileNameAndData(path, head);
        if (type.name().startsWith(QLatin1String("image/"))) {
            return std::nullopt;
        }
        return 0;
    }
    const int count = reader.imageCount();
    if (count < 0) {
        return std::nullopt;
    }
    return count;
}

std::optional<QImage> ImageDecoder::decodeStill(const QString& path,
                                                std::optional<QSize> coverSize) {
    return decodeWithin(path, coverSize, 0).image;
}

ImageDecoder::Decoded ImageDecoder::decodeWithin(const QString& path,
                                                 std::optional<QSize> coverSize,
                                                 std::int64_t reservedBytes) {
    const std::unique_ptr<QFile> file = openRegularPicture(path);
    if (!file) {
        return {};
    }
    QImageReader reader(file.get());
    configure(reader);
    if (!holdsOneImage(reader)) {
        return {};
    }
    // Decoded as stored and turned afterwards, before the cover crop: the reduced picture is
    // small, so turning it costs little, and a quarter turn swaps the sides to cover.
    const QImageIOHandler::Transformations orientation = reader.transformation();
    if (coverSize && (orientation & QImageIOHandler::TransformationRotate90)) {
        coverSize = coverSize->transposed();
    }
    const QSize size = allocatedSize(reader, *file, reader.size());
    QSize decodedSize = size;
    if (size.isValid()) {
        const QByteArray format = reader.format();
        if (format == "svg") {
            // A drawing's cost lies in its text, not in a size it names: a long one is
            // refused unread. It is drawn at the size it is shown at, so it stays sharp
            // however large the panel: the smallest size of its shape that covers it.
            if (file->size() > maxDrawingBytes) {
                return {};
            }
            if (coverSize && reader.supportsOption(QImageIOHandler::ScaledSize) &&
                !size.isEmpty()) {
                decodedSize = coveringSize(size, *coverSize);
                reader.setScaledSize(decodedSize);
            }
        }
        const std::int64_t pixels = std::int64_t{decodedSize.width()} * decodedSize.height();
        if (size.isEmpty() || pixels > maxSourcePixels) {
            return {};
        }
        // Bombs are judged by the full picture: even a reduced decode inflates all of it.
        const std::int64_t full = decodedBytes(decodedSize, reader.imageFormat());
        if (full > bombThresholdBytes && full > file->size() * bombRatio) {
            return {};
        }
        // Large PNGs and JPEGs are reduced row by row while they are read, so only the
        // reduced picture counts against the budget; the variants those decoders leave
        // alone go on below.
        if (coverSize && (format == "png" || format == "jpeg")) {
            const QSize reduced = reducedJpegSize(size, *coverSize);
            if (decodedBytes(reduced, QImage::Format_RGB32) + reservedBytes > memoryBudgetBytes) {
                return {std::nullopt, Refusal::overBudget};
            }
            ReducedDecode decoded =
                format == "png" ? decodeReducedPng(path, reduced, maxSourcePixels)
                                : decodeReducedJpeg(path, reduced, maxSourcePixels);
            if (decoded.outcome == ReducedDecode::Outcome::decoded) {
                return {oriented(std::move(decoded.image), orientation),
                        Refusal::notAStillPicture};
            }
            if (decoded.outcome == ReducedDecode::Outcome::unreadable) {
                return {};
            }
        }
        if (coverSize && format == "jpeg" &&
            reader.supportsOption(QImageIOHandler::ScaledSize)) {
            const QSize reduced = reducedJpegSize(size, *coverSize);
            if (reduced != size) {
                reader.setScaledSize(reduced);
                decodedSize = reduced;
            }
        }
        const std::int64_t picture = decodedBytes(decodedSize, reader.imageFormat());
        if (picture > memoryBudgetBytes ||
            (picture > bombThresholdBytes && picture > file->size() * bombRatio)) {
            return {};
        }
        if (picture + reservedBytes > memoryBudgetBytes) {
            return {std::nullopt, Refusal::overBudget};
        }
    } else if (reservedBytes > memoryBudgetBytes) {
        return {std::nullopt, Refusal::overBudget};
    }
    QImage image = reader.read();
    if (image.isNull()) {
        return {};
    }
    // A handler that could not tell its size beforehand is held to the same bounds now.
    const std::int64_t picture = decodedBytes(image.size(), image.format());
    if (picture > memoryBudgetBytes) {
        return {};
    }
    if (picture + reservedBytes > memoryBudgetBytes) {
        return {std::nullopt, Refusal::overBudget};
    }
    return {oriented(std::move(image), orientation), Refusal::notAStillPicture};
}

}  // namespace quillhaven
