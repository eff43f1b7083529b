#include "render/png_writer.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <new>
#include <thread>
#include <vector>

#include "render/deflate_encoder.h"

// The encoder trades the last few percent of file size for speed. libpng's defaults (zlib
// level 6 and an adaptive search over five row filters) take seconds on a large canvas.
// Here every row gets the Sub filter, which turns the smooth gradients of photographs into
// small residues, and the deflate encoder of deflate_encoder.h codes them with run-length
// matching only (what zlib's Z_RLE strategy does, several times faster). The image is cut
// into horizontal strips that are filtered and deflated on several threads at once; each
// strip but the last ends on a byte-aligned sync point, so the strips join into one valid
// zlib stream (the way parallel gzip works), whose Adler-32 is combined from the strips'.
// libpng writes the header chunks and frames the precompressed data as IDAT chunks.

namespace quillhaven {

namespace {

constexpr int kBytesPerPixel = 4;
// Strips of about 2 MiB keep the per-strip cost (a fresh deflate window, a flush marker)
// negligible, bound each strip's output buffer and share the work evenly between
// threads (the black band makes the top strip cheap); images smaller than one strip are
// compressed on the calling thread alone.
constexpr std::size_t kStripBytes = std::size_t{2} << 20;
constexpr unsigned kMaxThreads = 8;

struct Strip {
    int firstRow = 0;
    int endRow = 0;
    std::unique_ptr<unsigned char[]> data;
    std::size_t size = 0;
    uLong adler = 1;
    uLong rawLength = 0;
    bool ok = false;
};

// PNG's Sub filter on one RGBA row: each byte minus the byte of the pixel to its left.
void filterSub(const unsigned char* row, std::size_t rowBytes, unsigned char* out) {
    out[0] = 1;  // filter type Sub
    std::copy_n(row, kBytesPerPixel, out + 1);
    for (std::size_t i = kBytesPerPixel; i < rowBytes; ++i) {
        out[1 + i] = static_cast<unsigned char>(row[i] - row[i - kBytesPerPixel]);
    }
}

// The same for an opaque Format_RGB32 row (bytes B, G, R, 255 in memory), reordered to
// R, G, B, A on the way, so that such a canvas needs no conversion pass of its own.
void filterSubRgb32(const unsigned char* row, std::size_t rowBytes, unsigned char* out) {
    out[0] = 1;
    unsigned char previous[3] = {0, 0, 0};
    unsigned char alpha = 255;
    for (std::size_t i = 0; i < rowBytes; i += kBytesPerPixel) {
        const unsigned char b = row[i];
        const unsigned char g = row[i + 1];
        const unsigned char r = row[i + 2];
        out[1 + i] = static_cast<unsigned char>(r - previous[0]);
        out[2 + i] = static_cast<unsigned char>(g - previous[1]);
        out[3 + i] = static_cast<unsigned char>(b - previous[2]);
        out[4 + i] = alpha;
        previous[0] = r;
        previous[1] = g;
        previous[2] = b;
        alpha = 0;
    }
}

// Filters the strip's rows and deflates them into a raw deflate fragment. The last strip
// finishes the stream; the others end on a sync point so that the next fragment can
// follow directly.
void compressStrip(const QImage& image, bool isLast, Strip& strip) {
    const auto rowBytes = static_cast<std::size_t>(image.width()) * kBytesPerPixel;
    const auto rows = static_cast<std::size_t>(strip.endRow - strip.firstRow);
    const std::size_t rawLength = rows * (rowBytes + 1);
    strip.rawLength = static_cast<uLong>(rawLength);
    std::vector<unsigned char> filtered(rawLength);
    for (int y = strip.firstRow; y < strip.endRow; ++y) {
        const auto row = static_cast<std::size_t>(y - strip.firstRow);
        unsigned char* out = filtered.data() + row * (rowBytes + 1);
        if (image.format() == QImage::Format_RGB32) {
            filterSubRgb32(image.constScanLine(y), rowBytes, out);
        } else {
            filterSub(image.constScanLine(y), rowBytes, out);
        }
    }
    strip.adler = adler32_z(1, filtered.data(), rawLength);
    // The bound covers the worst case; pages never written to are never made resident.
    const std::size_t capacity = deflateFragmentBound(rawLength);
    strip.data = std::make_unique_for_overwrite<unsigned char[]>(capacity);
    strip.size = encodeDeflateFragment(filtered.data(), rawLength, isLast, strip.data.get(),
                                       capacity);
    strip.ok = strip.size > 0;
}

// Splits the image into strips and compresses them, on worker threads when there is more
// than one strip. Returns false if any strip failed.
bool compressImage(const QImage& image, std::vector<Strip>& strips) {
    const int height = image.height();
    const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * kBytesPerPixel + 1;
    const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
    const unsigned threads = std::min(hardware, kMaxThreads);
    const std::size_t totalBytes = rowBytes * static_cast<std::size_t>(height);
    std::size_t stripCount = std::max<std::size_t>(1, (totalBytes + kStripBytes - 1) / kStripBytes);
    if (stripCount > 1) {
        // Round up to a multiple of the thread count so the workers finish together.
        stripCount = (stripCount + threads - 1) / threads * threads;
    }
    stripCount = std::min<std::size_t>(stripCount, static_cast<std::size_t>(height));
    strips.resize(stripCount);
    for (std::size_t i = 0; i < stripCount; ++i) {
        strips[i].firstRow = static_cast<int>(static_cast<std::size_t>(height) * i / stripCount);
        strips[i].endRow =
            static_cast<int>(static_cast<std::size_t>(height) * (i + 1) / stripCount);
    }

    std::atomic<std::size_t> next{0};
    // A strip that runs out of memory just fails; nothing may escape a worker thread.
    auto work = [&] {
        for (std::size_t i = next++; i < strips.size(); i = next++) {
            try {
                compressStrip(image, i + 1 == strips.size(), strips[i]);
            } catch (const std::bad_alloc&) {
                strips[i].ok = false;
            }
        }
    };
    std::vector<std::thread> workers;
    const std::size_t helpers = std::min<std::size_t>(threads, stripCount) - 1;
    try {
        workers.reserve(helpers);
        for (std::size_t i = 0; i < helpers; ++i) {
            workers.emplace_back(work);
        }
    } catch (const std::exception&) {
        // No more threads to be had: the ones started and this one share the strips.
    }
    work();
    for (auto& worker : workers) {
        worker.join();
    }
    return std::all_of(strips.begin(), strips.end(), [](const Strip& s) { return s.ok; });
}

void writeToDevice(png_structp png, png_bytep data, std::size_t length) {
    auto* device = static_cast<QIODevice*>(png_get_io_ptr(png));
    const auto wanted = static_cast<qint64>(length);
    if (device->write(reinterpret_cast<const char*>(data), wanted) != wanted) {
        png_error(png, "device write failed");
    }
}

void flushDevice(png_structp) {}

// libpng prints errors and warnings on stderr by default; failure is reported through the
// return value instead, so both are silenced. The error handler must not return, hence
// the jump back into writeChunks().
void onPngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void onPngWarning(png_structp, png_const_charp) {}

const png_byte kIdat[5] = "IDAT";
const png_byte kIend[5] = "IEND";

// The libpng session. A longjmp out of libpng skips destructors, so this frame holds
// nothing that has one across setjmp; everything comes in through pointers.
bool writeChunks(png_structp png, png_infop info, QIODevice* device, int width, int height,
                 const Strip* strips, std::size_t stripCount, const png_byte* zlibHeader,
                 const png_byte* zlibTrailer) {
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_set_write_fn(png, device, writeToDevice, flushDevice);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_sRGB_gAMA_and_cHRM(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    png_write_info(png, info);

    // One IDAT chunk per strip (a chunk may split the zlib stream anywhere); the first
    // carries the zlib header, the last the Adler-32 trailer.
    for (std::size_t i = 0; i < stripCount; ++i) {
        const bool first = i == 0;
        const bool last = i + 1 == stripCount;
        const std::size_t length = strips[i].size + (first ? 2 : 0) + (last ? 4 : 0);
        png_write_chunk_start(png, kIdat, static_cast<png_uint_32>(length));
        if (first) {
            png_write_chunk_data(png, zlibHeader, 2);
        }
        png_write_chunk_data(png, strips[i].data.get(), strips[i].size);
        if (last) {
            png_write_chunk_data(png, zlibTrailer, 4);
        }
        png_write_chunk_end(png);
    }
    png_write_chunk(png, kIend, nullptr, 0);
    return true;
}

bool encode(const QImage& image, QIODevice& device) {
    std::vector<Strip> strips;
    if (!compressImage(image, strips)) {
        return false;
    }
    uLong adler = adler32(0, nullptr, 0);
    for (const Strip& strip : strips) {
        adler = adler32_combine(adler, strip.adler, static_cast<z_off_t>(strip.rawLength));
    }
    // A 32 KiB window, deflate, "fastest" level hint; the check bits make the pair a
    // multiple of 31.
    const png_byte zlibHeader[2] = {0x78, 0x01};
    const png_byte zlibTrailer[4] = {
        static_cast<png_byte>(adler >> 24), static_cast<png_byte>(adler >> 16),
        static_cast<png_byte>(adler >> 8), static_cast<png_byte>(adler)};

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
    const bool written = writeChunks(png, info, &device, image.width(), image.height(),
                                     strips.data(), strips.size(), zlibHeader, zlibTrailer);
    png_destroy_write_struct(&png, &info);
    return written;
}

}  // namespace

bool writeSrgbPng(const QImage& image, QIODevice& device) {
    if (image.isNull() || !device.isWritable()) {
        return false;
    }
    // Rows are read as they lie in memory, so the bytes must already be R, G, B, A, or
    // opaque RGB32, which is reordered while filtering. Any other layout (premultiplied,
    // ARGB32, ...) is converted first.
    switch (image.format()) {
        case QImage::Format_RGBA8888:
        case QImage::Format_RGBX8888:
        case QImage::Format_RGB32:
            return encode(image, device);
        default: {
            const QImage converted = image.convertToFormat(QImage::Format_RGBA8888);
            return !converted.isNull() && encode(converted, device);
        }
    }
}

}  // namespace quillhaven
