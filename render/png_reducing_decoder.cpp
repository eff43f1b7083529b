// Row-by-row PNG decoding with libpng, reduced as the rows arrive.

#include <png.h>

#include <QFile>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "render/area_scaler.h"
#include "render/reducing_decoder.h"
#include "render/row_feed.h"

namespace quillhaven {

namespace {

// What the header says, after the transforms to 8-bit R, G, B bytes (opaque pictures) or
// B, G, R, A bytes (pictures with transparency) are set up.
struct PngHeader {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    bool interlaced = false;
    bool hasAlpha = false;
    bool srgb = false;
    bool gammaOnly = false;  // gAMA or cHRM without iCCP or sRGB
    std::string iccProfile;
    std::size_t rowBytes = 0;
};

// Errors jump back into the function that set the jump buffer; warnings are dropped.
void onError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void onWarning(png_structp, png_const_charp) {}

// Reads the header and sets up the transforms. A longjmp out of libpng skips destructors,
// so the frames holding setjmp hold nothing that has one; results go out through pointers.
bool readHeader(png_structp png, png_infop info, std::FILE* file, PngHeader* header) {
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_init_io(png, file);
#ifdef PNG_IGNORE_ADLER32
    // Every IDAT chunk's CRC is still checked, which already covers the compressed data.
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    png_read_info(png, info);
    int bitDepth = 0;
    int colorType = 0;
    int interlace = 0;
    png_get_IHDR(png, info, &header->width, &header->height, &bitDepth, &colorType, &interlace,
                 nullptr, nullptr);
    header->interlaced = interlace != PNG_INTERLACE_NONE;

    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 profileLength = 0;
    if (png_get_iCCP(png, info, &name, &compression, &profile, &profileLength) != 0 &&
        profile != nullptr) {
        header->iccProfile.assign(reinterpret_cast<const char*>(profile), profileLength);
    } else if (png_get_valid(png, info, PNG_INFO_sRGB) != 0) {
        header->srgb = true;
    } else if (png_get_valid(png, info, PNG_INFO_gAMA | PNG_INFO_cHRM) != 0) {
        header->gammaOnly = true;
    }

    header->hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 ||
                       png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    png_set_expand(png);  // palette to RGB, low bit depths to 8, tRNS to alpha
    if (bitDepth == 16) {
        png_set_scale_16(png);  // rounds, rather than dropping the low byte
    }
    if ((colorType & PNG_COLOR_MASK_COLOR) == 0) {
        png_set_gray_to_rgb(png);
    }
    // Opaque rows stay 3-byte RGB here and are widened on the reducing thread: the decoding
    // thread, busy with inflate and unfiltering, is the slower of the two.
    if (header->hasAlpha) {
        png_set_bgr(png);
    }
    if (!header->interlaced) {
        png_read_update_info(png, info);
        header->rowBytes = png_get_rowbytes(png, info);
    }
    return true;
}

// Premultiplies a row of straight-alpha B, G, R, A pixels in place.
void premultiply(std::uint8_t* row, png_uint_32 width) {
    for (png_uint_32 x = 0; x < width; ++x) {
        std::uint8_t* pixel = row + std::size_t{x} * 4;
        const unsigned alpha = pixel[3];
        if (alpha != 255) {
            for (int c = 0; c < 3; ++c) {
                pixel[c] = static_cast<std::uint8_t>((pixel[c] * alpha + 127) / 255);
            }
        }
    }
}

// Widens a row of R, G, B bytes into 4-byte pixels of Format_RGB32.
void widenRgb(const std::uint8_t* row, png_uint_32 width, std::uint32_t* out) {
    for (png_uint_32 x = 0; x < width; ++x) {
        const std::uint8_t* pixel = row + std::size_t{x} * 3;
        out[x] = 0xff000000u | (std::uint32_t{pixel[0]} << 16) | (std::uint32_t{pixel[1]} << 8) |
                 pixel[2];
    }
}

// Reads every row and hands it on to be reduced.
bool readRows(png_structp png, png_infop info, png_uint_32 height, RowFeed* feed) {
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    for (png_uint_32 y = 0; y < height; ++y) {
        png_read_row(png, feed->row(), nullptr);
        feed->push();
    }
    // The rest of the file: the end chunks and their checksums.
    png_read_end(png, info);
    return true;
}

ReducedDecode decode(png_structp png, png_infop info, std::FILE* file, QSize size,
                     qint64 maxPixels) {
    using Outcome = ReducedDecode::Outcome;
    PngHeader header;
    if (!readHeader(png, info, file, &header)) {
        return {Outcome::unreadable, {}};
    }
    if (header.width == 0 || header.height == 0 ||
        static_cast<qint64>(header.width) * header.height > maxPixels) {
        return {Outcome::unreadable, {}};
    }
    if (header.interlaced || header.gammaOnly) {
        return {Outcome::notHandled, {}};
    }
    const auto width = static_cast<int>(header.width);
    const auto height = static_cast<int>(header.height);
    const std::size_t pixelBytes = header.hasAlpha ? 4 : 3;
    if (header.rowBytes != std::size_t{header.width} * pixelBytes || size.width() > width ||
        size.height() > height || size.isEmpty()) {
        return {Outcome::notHandled, {}};
    }

    QImage image(size, header.hasAlpha ? QImage::Format_ARGB32_Premultiplied
                                       : QImage::Format_RGB32);
    if (image.isNull()) {
        throw std::bad_alloc();
    }
    AreaScaler scaler(width, height, image);
    const bool hasAlpha = header.hasAlpha;
    // Used only by the thread that reduces.
    std::vector<std::uint32_t> widened(hasAlpha ? 0 : header.width);
    RowFeed feed(header.rowBytes,
                 [&scaler, &widened, hasAlpha, width = header.width](std::uint8_t* row) {
                     if (hasAlpha) {
                         premultiply(row, width);
                         scaler.addRow(row);
                     } else {
                         widenRgb(row, width, widened.data());
                         scaler.addRow(reinterpret_cast<const std::uint8_t*>(widened.data()));
                     }
                 });
    if (!readRows(png, info, header.height, &feed)) {
        return {Outcome::unreadable, {}};
    }
    feed.finish();
    if (!scaler.finished()) {
        return {Outcome::unreadable, {}};
    }
    return reducedPicture(std::move(image), header.iccProfile, header.srgb);
}

}  // namespace

ReducedDecode decodeReducedPng(const QString& path, QSize size, qint64 maxPixels) {
    return decodeRegularFile(path, [&](std::FILE* file) {
        png_structp png =
            png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
        if (png == nullptr) {
            throw std::bad_alloc();
        }
        png_infop info = png_create_info_struct(png);
        if (info == nullptr) {
            png_destroy_read_struct(&png, nullptr, nullptr);
            throw std::bad_alloc();
        }
        struct Destroy {
            png_structp* png;
            png_infop* info;
            ~Destroy() { png_destroy_read_struct(png, info, nullptr); }
        } destroy{&png, &info};
        return decode(png, info, file, size, maxPixels);
    });
}

}  // namespace quillhaven
