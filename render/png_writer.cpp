#include "png_writer.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstddef>

namespace quillhaven {

namespace {

// A large photographic canvas compresses to several megabytes; a big output buffer means
// few, large IDAT chunks and few device writes instead of thousands of 8 KiB ones.
constexpr std::size_t kCompressionBufferSize = 1 << 20;

struct WriteTarget {
    QIODevice* device = nullptr;
};

void writeToDevice(png_structp png, png_bytep data, std::size_t length) {
    auto* target = static_cast<WriteTarget*>(png_get_io_ptr(png));
    const auto wanted = static_cast<qint64>(length);
    if (target->device->write(reinterpret_cast<const char*>(data), wanted) != wanted) {
        png_error(png, "device write failed");
    }
}

void flushDevice(png_structp) {}

// libpng prints errors and warnings on stderr by default; the renderer reports failure
// through its return value instead, so both are silenced. The error handler must not
// return, hence the jump back into encodeRows().
void onPngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void onPngWarning(png_structp, png_const_charp) {}

// The whole libpng session. Everything here is plain data: a longjmp out of libpng skips
// destructors, so no object with one may live in this frame across setjmp.
bool encodeRows(png_structp png, png_infop info, const QImage& image, WriteTarget* target) {
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_set_write_fn(png, target, writeToDevice, flushDevice);

    const auto width = static_cast<png_uint_32>(image.width());
    const auto height = static_cast<png_uint_32>(image.height());
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_sRGB_gAMA_and_cHRM(png, info, PNG_sRGB_INTENT_PERCEPTUAL);

    // Speed over the last few percent of size: zlib's fastest level, run-length matching
    // only (photographs rarely repeat long strings), and the Sub filter on every row instead
    // of trying all five filters per row. Sub turns smooth gradients into small residues
    // that the Huffman stage packs well.
    png_set_compression_level(png, 1);
    png_set_compression_strategy(png, Z_RLE);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_compression_buffer_size(png, kCompressionBufferSize);

    png_write_info(png, info);
    for (png_uint_32 y = 0; y < height; ++y) {
        png_write_row(png, image.constScanLine(static_cast<int>(y)));
    }
    png_write_end(png, info);
    return true;
}

bool encode(const QImage& image, QIODevice& device) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onPngError, onPngWarning);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    WriteTarget target{&device};
    const bool written = encodeRows(png, info, image, &target);
    png_destroy_write_struct(&png, &info);
    return written;
}

}  // namespace

bool writeSrgbPng(const QImage& image, QIODevice& device) {
    if (image.isNull() || !device.isWritable()) {
        return false;
    }
    // Rows are handed to libpng as they lie in memory, so the bytes must already be
    // R, G, B, A. Any other layout (premultiplied, ARGB32, ...) is converted first.
    switch (image.format()) {
        case QImage::Format_RGBA8888:
        case QImage::Format_RGBX8888:
            return encode(image, device);
        default: {
            const QImage converted = image.convertToFormat(QImage::Format_RGBA8888);
            return !converted.isNull() && encode(converted, device);
        }
    }
}

}  // namespace quillhaven
