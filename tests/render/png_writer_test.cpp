#include "render/deflate_encoder.h"
#include "render/png_writer.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <QBuffer>
#include <QByteArray>
#include <QColorSpace>
#include <QImage>
#include <QImageReader>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace quillhaven {
namespace {

// Noisy pixels with smooth gradients, so both the filter and the compressor have work.
QImage patternImage(int width, int height, QImage::Format format) {
    QImage image(width, height, QImage::Format_RGBA8888);
    std::uint32_t seed = 12345;
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            row[4 * x + 0] = static_cast<uchar>(x + (seed >> 28));
            row[4 * x + 1] = static_cast<uchar>(y * 3 + (seed >> 26));
            row[4 * x + 2] = static_cast<uchar>((x ^ y) + (seed >> 29));
            row[4 * x + 3] =
                format == QImage::Format_RGBX8888 ? 255 : static_cast<uchar>(seed >> 24);
        }
    }
    return format == QImage::Format_RGBA8888 ? image : image.convertToFormat(format);
}

QByteArray encode(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(writeSrgbPng(image, buffer));
    return bytes;
}

QImage decode(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    return reader.read().convertToFormat(QImage::Format_RGBA8888);
}

// Whether two images hold the same RGBA bytes (QImage's own comparison also weighs
// metadata such as the colour space, which the round trip adds).
bool samePixels(const QImage& a, const QImage& b) {
    const QImage left = a.convertToFormat(QImage::Format_RGBA8888);
    const QImage right = b.convertToFormat(QImage::Format_RGBA8888);
    if (left.size() != right.size()) {
        return false;
    }
    const auto rowBytes = static_cast<std::size_t>(left.width()) * 4;
    for (int y = 0; y < left.height(); ++y) {
        if (std::memcmp(left.constScanLine(y), right.constScanLine(y), rowBytes) != 0) {
            return false;
        }
    }
    return true;
}

struct Chunk {
    std::string type;
    QByteArray data;
};

// Splits a PNG file into its chunks, checking each chunk's CRC on the way.
std::vector<Chunk> chunksOf(const QByteArray& png) {
    std::vector<Chunk> chunks;
    EXPECT_TRUE(png.startsWith("\x89PNG\r\n\x1a\n"));
    auto u32 = [&png](qsizetype at) {
        const auto* p = reinterpret_cast<const uchar*>(png.constData() + at);
        return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
               std::uint32_t{p[3]};
    };
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = u32(at);
        const auto* typeAndData = reinterpret_cast<const Bytef*>(png.constData() + at + 4);
        EXPECT_EQ(crc32(0, typeAndData, length + 4), u32(at + 8 + length)) << "chunk at " << at;
        chunks.push_back({png.mid(at + 4, 4).toStdString(), png.mid(at + 8, length)});
        at += 12 + length;
    }
    return chunks;
}

TEST(PngWriterTest, RoundTripsPixelsExactlyAtEverySize) {
    // 1x1, a single column, a small picture, and one big enough to be deflated in
    // several strips on several threads.
    for (const QSize size :
         {QSize(1, 1), QSize(1, 300), QSize(300, 1), QSize(97, 61), QSize(1600, 1500)}) {
        for (const auto format : {QImage::Format_RGBA8888, QImage::Format_RGBX8888}) {
            const QImage image = patternImage(size.width(), size.height(), format);
            const QImage decoded = decode(encode(image));
            ASSERT_EQ(decoded.size(), size);
            EXPECT_TRUE(samePixels(decoded, image))
                << size.width() << "x" << size.height() << " format " << format;
        }
    }
}

TEST(PngWriterTest, WritesOneValidZlibStreamOfSubFilteredRgbaRows) {
    const QImage image = patternImage(1600, 1500, QImage::Format_RGBA8888);
    const std::vector<Chunk> chunks = chunksOf(encode(image));
    ASSERT_FALSE(chunks.empty());
    EXPECT_EQ(chunks.front().type, "IHDR");
    EXPECT_EQ(chunks.back().type, "IEND");
    const QByteArray& header = chunks.front().data;
    ASSERT_EQ(header.size(), 13);
    EXPECT_EQ(header[8], 8) << "bit depth";
    EXPECT_EQ(header[9], 6) << "colour type RGBA";

    QByteArray stream;
    bool sawSrgbBeforeData = false;
    for (const Chunk& chunk : chunks) {
        if (chunk.type == "sRGB" && stream.isEmpty()) {
            sawSrgbBeforeData = true;
        }
        if (chunk.type == "IDAT") {
            stream += chunk.data;
        }
    }
    EXPECT_TRUE(sawSrgbBeforeData);

    // uncompress() verifies the Adler-32 trailer, which is combined from the strips'.
    const uLongf rowBytes = 1600 * 4 + 1;
    std::vector<Bytef> raw(rowBytes * 1500 + 1);
    uLongf rawLength = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &rawLength, reinterpret_cast<const Bytef*>(stream.constData()),
                         static_cast<uLong>(stream.size())),
              Z_OK);
    ASSERT_EQ(rawLength, rowBytes * 1500);
    for (uLongf row = 0; row < 1500; ++row) {
        ASSERT_EQ(raw[row * rowBytes], 1) << "row " << row << " is not Sub-filtered";
    }
}

// Inflates a raw deflate stream; empty when it is invalid or does not end.
std::vector<std::uint8_t> inflateRaw(const std::vector<std::uint8_t>& stream, std::size_t expected) {
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) {
        return {};
    }
    std::vector<std::uint8_t> out(expected + 16);
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int status = inflate(&z, Z_FINISH);
    out.resize(z.total_out);
    inflateEnd(&z);
    return status == Z_STREAM_END && z.avail_in == 0 ? out : std::vector<std::uint8_t>{};
}

TEST(DeflateEncoderTest, FragmentsJoinIntoOneStreamForAnyContent) {
    // Long runs (a black band), noise that no code can shrink (stored blocks), one byte,
    // and a pattern with short repeats, each cut into two independently encoded fragments.
    std::uint32_t seed = 99;
    std::vector<std::uint8_t> noise(200000);
    for (auto& byte : noise) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(seed >> 24);
    }
    std::vector<std::uint8_t> pattern(150000);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        pattern[i] = static_cast<std::uint8_t>((i / 5) % 7 == 0 ? 0 : i % 13);
    }
    const std::vector<std::vector<std::uint8_t>> inputs = {
        std::vector<std::uint8_t>(300000, 0), noise, {42}, pattern};
    for (std::size_t n = 0; n < inputs.size(); ++n) {
        const auto& input = inputs[n];
        const std::size_t cut = input.size() / 3;
        std::vector<std::uint8_t> stream;
        for (const auto& [begin, end] : {std::pair{std::size_t{0}, cut},
                                         std::pair{cut, input.size()}}) {
            const std::size_t length = end - begin;
            std::vector<std::uint8_t> out(deflateFragmentBound(length));
            const std::size_t written = encodeDeflateFragment(
                input.data() + begin, length, end == input.size(), out.data(), out.size());
            ASSERT_GT(written, 0u) << "input " << n;
            stream.insert(stream.end(), out.begin(), out.begin() + static_cast<long>(written));
        }
        EXPECT_EQ(inflateRaw(stream, input.size()), input) << "input " << n;
        if (n == 0) {
            EXPECT_LT(stream.size(), input.size() / 100) << "runs are matched";
        }
        if (n == 1) {
            EXPECT_LE(stream.size(), input.size() + 64) << "noise is stored, not expanded";
        }
    }
    // Too small a buffer is refused rather than overrun.
    std::vector<std::uint8_t> small(8);
    EXPECT_EQ(encodeDeflateFragment(noise.data(), noise.size(), true, small.data(), small.size()),
              0u);
}

TEST(PngWriterTest, MarksTheFileAsSrgb) {
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    ASSERT_TRUE(writeSrgbPng(patternImage(8, 8, QImage::Format_RGBX8888), buffer));
    buffer.seek(0);
    QImageReader reader(&buffer, "png");
    EXPECT_EQ(reader.read().colorSpace(), QColorSpace(QColorSpace::SRgb));
}

TEST(PngWriterTest, ConvertsOtherLayoutsToStraightRgba) {
    const QImage straight = patternImage(40, 30, QImage::Format_RGBA8888);
    const QImage premultiplied = straight.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Premultiplying loses precision, so the reference is the premultiplied picture
    // brought back to straight alpha.
    EXPECT_TRUE(samePixels(decode(encode(premultiplied)), premultiplied));
    const QImage opaque = patternImage(40, 30, QImage::Format_RGBX8888);
    EXPECT_TRUE(samePixels(decode(encode(opaque.convertToFormat(QImage::Format_RGB32))), opaque));
}

// A device that accepts `capacity` bytes and then fails every write.
class FailingDevice : public QIODevice {
public:
    explicit FailingDevice(qint64 capacity) : capacity_(capacity) {}

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 length) override {
        if (written_ + length > capacity_) {
            return -1;
        }
        written_ += length;
        return length;
    }

private:
    qint64 capacity_;
    qint64 written_ = 0;
};

TEST(PngWriterTest, ReportsFailureWhenTheDeviceFailsOrCannotBeWritten) {
    const QImage image = patternImage(300, 200, QImage::Format_RGBX8888);
    for (const qint64 capacity : {qint64{0}, qint64{40}, qint64{5000}}) {
        FailingDevice device(capacity);
        device.open(QIODevice::WriteOnly);
        EXPECT_FALSE(writeSrgbPng(image, device)) << "fails after " << capacity << " bytes";
    }
    QByteArray bytes;
    QBuffer readOnly(&bytes);
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_FALSE(writeSrgbPng(image, readOnly));
    QBuffer writable;
    writable.open(QIODevice::WriteOnly);
    EXPECT_FALSE(writeSrgbPng(QImage(), writable));
}

}  // namespace
}  // namespace quillhaven
