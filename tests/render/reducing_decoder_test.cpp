// Row-by-row decoding and reduction of PNGs and JPEGs: exact pixels on tiny pictures
// written with libpng itself, so every colour type, bit depth and chunk is under control.

#include <gtest/gtest.h>
#include <png.h>

#include <QColorSpace>
#include <QImageWriter>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "render/area_scaler.h"
#include "render/image_decoder.h"
#include "render/reducing_decoder.h"
#include "render/row_feed.h"
#include "tests/render/render_test_support.h"

namespace quillhaven {
namespace {

using namespace testing;
using Outcome = ReducedDecode::Outcome;

constexpr qint64 kBound = ImageDecoder::maxSourcePixels;

// What to write: the IHDR values, the rows exactly as PNG stores them, and optional chunks.
struct PngSpec {
    int width = 0;
    int height = 0;
    int bitDepth = 8;
    int colorType = PNG_COLOR_TYPE_RGB;
    bool interlaced = false;
    std::vector<std::vector<png_byte>> rows;
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;  // tRNS for a palette
    QByteArray iccProfile;
    bool srgb = false;
    double gamma = 0;  // gAMA when not 0
};

PngSpec makeSpec(int width, int height, int bitDepth = 8, int colorType = PNG_COLOR_TYPE_RGB) {
    PngSpec spec;
    spec.width = width;
    spec.height = height;
    spec.bitDepth = bitDepth;
    spec.colorType = colorType;
    return spec;
}

std::filesystem::path writePng(const PngSpec& spec, const std::filesystem::path& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        throw std::runtime_error("cannot create " + path.string());
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(spec.width),
                 static_cast<png_uint_32>(spec.height), spec.bitDepth, spec.colorType,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!spec.palette.empty()) {
        png_set_PLTE(png, info, spec.palette.data(), static_cast<int>(spec.palette.size()));
    }
    if (!spec.paletteAlpha.empty()) {
        png_set_tRNS(png, info, spec.paletteAlpha.data(),
                     static_cast<int>(spec.paletteAlpha.size()), nullptr);
    }
    if (!spec.iccProfile.isEmpty()) {
        png_set_iCCP(png, info, "profile", PNG_COMPRESSION_TYPE_BASE,
                     reinterpret_cast<png_const_bytep>(spec.iccProfile.constData()),
                     static_cast<png_uint_32>(spec.iccProfile.size()));
    }
    if (spec.srgb) {
        png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    }
    if (spec.gamma != 0) {
        png_set_gAMA(png, info, spec.gamma);
    }
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (const auto& row : spec.rows) {
        rows.push_back(const_cast<png_bytep>(row.data()));
    }
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return path;
}

// The stored 32-bit value of a decoded pixel (premultiplied when the format is).
QRgb stored(const QImage& image, int x, int y) {
    return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
}

class ReducingDecoderTest : public ::testing::Test {
protected:
    std::filesystem::path png(const PngSpec& spec) {
        return writePng(spec, folder / ("p" + std::to_string(count++) + ".png"));
    }
    ReducedDecode decodePng(const std::filesystem::path& path, QSize size) {
        return decodeReducedPng(QString::fromStdString(path.string()), size, kBound);
    }

    TempFolder folder;
    int count = 0;
};

TEST(AreaScalerTest, AveragesTheCoveredAreaWithFractionalWeights) {
    // Three columns into two: each output covers one and a half source pixels.
    const std::uint8_t source[3 * 4] = {0, 30, 255, 255, 90, 60, 255, 255, 180, 90, 255, 255};
    QImage out(2, 1, QImage::Format_RGB32);
    AreaScaler scaler(3, 1, out);
    EXPECT_FALSE(scaler.finished());
    scaler.addRow(source);
    ASSERT_TRUE(scaler.finished());
    const auto* bytes = out.constScanLine(0);
    EXPECT_EQ(bytes[0], 30);   // (0 + 90 / 2) / 1.5
    EXPECT_EQ(bytes[4], 150);  // (90 / 2 + 180) / 1.5
    EXPECT_EQ(bytes[1], 40);   // (30 + 30) / 1.5
    EXPECT_EQ(bytes[5], 80);   // (30 + 90) / 1.5
    EXPECT_EQ(bytes[2], 255);  // a uniform area keeps its exact value
    EXPECT_EQ(bytes[6], 255);

    // Three rows into two, one column: the same weights downwards; rows are written as soon
    // as they are complete.
    QImage column(1, 2, QImage::Format_RGB32);
    column.fill(0);
    AreaScaler vertical(1, 3, column);
    const std::uint8_t rows[3][4] = {{0, 0, 0, 255}, {90, 0, 0, 255}, {180, 0, 0, 255}};
    vertical.addRow(rows[0]);
    EXPECT_EQ(column.constScanLine(0)[0], 0) << "row 0 needs half of source row 1 too";
    vertical.addRow(rows[1]);
    EXPECT_EQ(column.constScanLine(0)[0], 30);
    vertical.addRow(rows[2]);
    EXPECT_EQ(column.constScanLine(1)[0], 150);
    EXPECT_TRUE(vertical.finished());
}

TEST(RowFeedTest, EveryRowIsProcessedOnceInOrderAfterFinish) {
    // Far more rows than the ring holds, so the decoder side has to wait for the other.
    std::vector<std::uint32_t> seen;
    RowFeed feed(8, [&seen](std::uint8_t* row) {
        std::uint32_t value = 0;
        std::memcpy(&value, row, sizeof value);
        seen.push_back(value);
    });
    for (std::uint32_t i = 0; i < 1000; ++i) {
        std::memcpy(feed.row(), &i, sizeof i);
        feed.push();
    }
    feed.finish();
    ASSERT_EQ(seen.size(), 1000u);
    for (std::uint32_t i = 0; i < 1000; ++i) {
        ASSERT_EQ(seen[i], i);
    }
}

TEST_F(ReducingDecoderTest, EightBitRgbIsReducedExactly) {
    // 4 x 2 into 2 x 1: each output pixel is the mean of a 2 x 2 block.
    PngSpec spec = makeSpec(4, 2);
    spec.rows = {{10, 20, 30, 50, 60, 70, 200, 0, 0, 100, 0, 0},
                 {30, 40, 50, 70, 80, 90, 100, 0, 0, 0, 0, 0}};
    const ReducedDecode result = decodePng(png(spec), QSize(2, 1));
    ASSERT_EQ(result.outcome, Outcome::decoded);
    ASSERT_EQ(result.image.size(), QSize(2, 1));
    EXPECT_EQ(result.image.format(), QImage::Format_RGB32);
    EXPECT_EQ(stored(result.image, 0, 0), qRgb(40, 50, 60));
    EXPECT_EQ(stored(result.image, 1, 0), qRgb(100, 0, 0));
    EXPECT_FALSE(result.image.colorSpace().isValid());
}

TEST_F(ReducingDecoderTest, SixteenBitSamplesAreRoundedToEightBits) {
    // 51500 / 257 = 200.4 and 13050 / 257 = 50.8: rounded, not cut to the high byte (50).
    auto sample = [](int value) {
        return std::vector<png_byte>{static_cast<png_byte>(value >> 8),
                                     static_cast<png_byte>(value & 0xff)};
    };
    std::vector<png_byte> row;
    for (int value : {51500, 13050, 65535}) {
        const auto bytes = sample(value);
        row.insert(row.end(), bytes.begin(), bytes.end());
    }
    PngSpec spec = makeSpec(1, 1, 16);
    spec.rows = {row};
    const ReducedDecode result = decodePng(png(spec), QSize(1, 1));
    ASSERT_EQ(result.outcome, Outcome::decoded);
    EXPECT_EQ(stored(result.image, 0, 0), qRgb(200, 51, 255));
}

TEST_F(ReducingDecoderTest, PaletteWithTransparencyIsPremultipliedAndAveraged) {
    PngSpec spec = makeSpec(4, 1, 8, PNG_COLOR_TYPE_PALETTE);
    spec.palette = {{255, 0, 0}, {0, 0, 255}, {0, 255, 0}};
    spec.paletteAlpha = {255, 128, 0};  // opaque red, half blue, invisible green
    spec.rows = {{0, 1, 0, 2}};
    const ReducedDecode full = decodePng(png(spec), QSize(4, 1));
    ASSERT_EQ(full.outcome, Outcome::decoded);
    EXPECT_EQ(full.image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(stored(full.image, 0, 0), qRgba(255, 0, 0, 255));
    EXPECT_EQ(stored(full.image, 1, 0), qRgba(0, 0, 128, 128));
    EXPECT_EQ(stored(full.image, 3, 0), qRgba(0, 0, 0, 0));

    // Halved: red with half blue, and red with nothing (the green never shows).
    const ReducedDecode half = decodePng(png(spec), QSize(2, 1));
    ASSERT_EQ(half.outcome, Outcome::decoded);
    EXPECT_EQ(stored(half.image, 0, 0), qRgba(128, 0, 64, 192));
    EXPECT_EQ(stored(half.image, 1, 0), qRgba(128, 0, 0, 128));
}

TEST_F(ReducingDecoderTest, GreyWithAlphaBecomesPremultipliedGrey) {
    PngSpec spec = makeSpec(2, 1, 8, PNG_COLOR_TYPE_GRAY_ALPHA);
    spec.rows = {{200, 255, 100, 51}};
    const ReducedDecode result = decodePng(png(spec), QSize(2, 1));
    ASSERT_EQ(result.outcome, Outcome::decoded);
    EXPECT_EQ(stored(result.image, 0, 0), qRgba(200, 200, 200, 255));
    EXPECT_EQ(stored(result.image, 1, 0), qRgba(20, 20, 20, 51));  // 100 * 51 / 255
}

TEST_F(ReducingDecoderTest, LowBitDepthGreyIsExpanded) {
    PngSpec spec = makeSpec(4, 1, 2, PNG_COLOR_TYPE_GRAY);
    spec.rows = {{0b00011011}};  // levels 0, 1, 2, 3
    const ReducedDecode result = decodePng(png(spec), QSize(4, 1));
    ASSERT_EQ(result.outcome, Outcome::decoded);
    EXPECT_EQ(stored(result.image, 0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(stored(result.image, 1, 0), qRgb(85, 85, 85));
    EXPECT_EQ(stored(result.image, 3, 0), qRgb(255, 255, 255));
}

TEST_F(ReducingDecoderTest, InterlacedPictureIsLeftToTheFullDecoder) {
    PngSpec spec = makeSpec(8, 8);
    spec.interlaced = true;
    for (int y = 0; y < 8; ++y) {
        std::vector<png_byte> row;
        for (int x = 0; x < 8; ++x) {
            row.insert(row.end(), {static_cast<png_byte>(x * 30), static_cast<png_byte>(y * 30),
                                   static_cast<png_byte>(7)});
        }
        spec.rows.push_back(row);
    }
    const auto path = png(spec);
    EXPECT_EQ(decodePng(path, QSize(4, 4)).outcome, Outcome::notHandled);
    // All seven passes are read by the general decoder; at the picture's own size the
    // pixels are exact.
    const auto picture =
        ImageDecoder::decodeStill(QString::fromStdString(path.string()), QSize(8, 8));
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->size(), QSize(8, 8));
    EXPECT_EQ(picture->pixel(5, 3), qRgb(150, 90, 7));
    EXPECT_EQ(picture->pixel(7, 7), qRgb(210, 210, 7));
}

TEST_F(ReducingDecoderTest, ColourTagsBecomeTheImagesColourSpace) {
    PngSpec spec = makeSpec(2, 2);
    spec.rows = {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}};
    spec.iccProfile = QColorSpace(QColorSpace::DisplayP3).iccProfile();
    ASSERT_FALSE(spec.iccProfile.isEmpty());
    ReducedDecode result = decodePng(png(spec), QSize(1, 1));
    ASSERT_EQ(result.outcome, Outcome::decoded);
    EXPECT_EQ(result.image.colorSpace(), QColorSpace(QColorSpace::DisplayP3));

    spec.iccProfile.clear();
    spec.srgb = true;
    result = decodePng(png(spec), QSize(1, 1));
    ASSERT_EQ(result.outcome, Outcome::decoded);
    EXPECT_EQ(result.image.colorSpace(), QColorSpace(QColorSpace::SRgb));

    // A bare gamma is the general decoder's to interpret.
    spec.srgb = false;
    spec.gamma = 1 / 1.8;
    EXPECT_EQ(decodePng(png(spec), QSize(1, 1)).outcome, Outcome::notHandled);
}

TEST_F(ReducingDecoderTest, IccTaggedPngIsRenderedInSrgb) {
    // The whole render, through the row-by-row path: a Display P3 colour comes out as the
    // same colour in sRGB.
    PngSpec spec = makeSpec(40, 20);
    spec.rows.assign(20, {});
    for (auto& row : spec.rows) {
        for (int x = 0; x < 40; ++x) {
            row.insert(row.end(), {200, 100, 50});
        }
    }
    spec.iccProfile = QColorSpace(QColorSpace::DisplayP3).iccProfile();
    const auto source = png(spec);
    QImage reference = solid(1, 1, QColor(200, 100, 50));
    reference.setColorSpace(QColorSpace(QColorSpace::DisplayP3));
    reference.convertToColorSpace(QColorSpace::SRgb);
    const QColor expected = reference.pixelColor(0, 0);

    const WallpaperProcessor processor(Url::directoryURLWithPath((folder / "out").string()));
    const ProcessingResult result =
        processor.processSynchronously(makeRequest(source, 20, 10, 1, 2, 0));
    ASSERT_TRUE(result.succeeded());
    const QColor actual = readOutput(result.value()).pixelColor(10, 5);
    EXPECT_NEAR(actual.red(), expected.red(), 1);
    EXPECT_NEAR(actual.green(), expected.green(), 1);
    EXPECT_NEAR(actual.blue(), expected.blue(), 1);
}

TEST_F(ReducingDecoderTest, DamagedOrOversizedPicturesAreUnreadable) {
    PngSpec spec = makeSpec(64, 64);
    spec.rows.assign(64, std::vector<png_byte>(64 * 3, 0));
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64 * 3; ++x) {
            spec.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] =
                static_cast<png_byte>(x * y + x / 3);
        }
    }
    const std::string bytes = readBytes(png(spec));
    const auto truncated = folder / "truncated.png";
    writeBytes(truncated, bytes.substr(0, bytes.size() / 2));
    EXPECT_EQ(decodePng(truncated, QSize(8, 8)).outcome, Outcome::unreadable);

    const auto missing = folder / "missing.png";
    EXPECT_EQ(decodePng(missing, QSize(8, 8)).outcome, Outcome::unreadable);

    // The pixel bound is checked from the header, before any pixel buffer exists.
    const auto forged = folder / "forged.png";
    writeBytes(forged, forgedHugePngHeader(100000, 100000));
    EXPECT_EQ(decodePng(forged, QSize(8, 8)).outcome, Outcome::unreadable);
    EXPECT_EQ(decodeReducedPng(QString::fromStdString(png(spec).string()), QSize(8, 8), 4095)
                  .outcome,
              Outcome::unreadable);
}

TEST_F(ReducingDecoderTest, JpegIsDecodedAtAReducedScaleAndAveraged) {
    // Left half one colour, right half another, as a high-quality JPEG.
    QImage picture(64, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x) {
            picture.setPixel(x, y, x < 32 ? qRgb(200, 60, 30) : qRgb(20, 90, 220));
        }
    }
    picture.setColorSpace(QColorSpace(QColorSpace::DisplayP3));
    const auto path = folder / "p.jpg";
    ASSERT_TRUE(picture.save(QString::fromStdString(path.string()), "jpeg", 100));

    const ReducedDecode result =
        decodeReducedJpeg(QString::fromStdString(path.string()), QSize(12, 6), kBound);
    ASSERT_EQ(result.outcome, Outcome::decoded);
    ASSERT_EQ(result.image.size(), QSize(12, 6));
    EXPECT_EQ(result.image.format(), QImage::Format_RGB32);
    EXPECT_EQ(result.image.colorSpace(), QColorSpace(QColorSpace::DisplayP3));
    auto near = [](QRgb actual, QRgb expected) {
        return std::abs(qRed(actual) - qRed(expected)) <= 3 &&
               std::abs(qGreen(actual) - qGreen(expected)) <= 3 &&
               std::abs(qBlue(actual) - qBlue(expected)) <= 3 && qAlpha(actual) == 255;
    };
    EXPECT_TRUE(near(result.image.pixel(2, 3), qRgb(200, 60, 30)));
    EXPECT_TRUE(near(result.image.pixel(9, 3), qRgb(20, 90, 220)));

    const std::string bytes = readBytes(path);
    writeBytes(folder / "text.jpg", "not a jpeg at all");
    EXPECT_EQ(decodeReducedJpeg(QString::fromStdString((folder / "text.jpg").string()),
                                QSize(12, 6), kBound)
                  .outcome,
              Outcome::unreadable);
    EXPECT_EQ(decodeReducedJpeg(QString::fromStdString(path.string()), QSize(12, 6), 1000)
                  .outcome,
              Outcome::unreadable);
}

TEST_F(ReducingDecoderTest, EveryExifOrientationComesOutUprightWithOrWithoutReduction) {
    // Stored 64 x 32: red on the left half, blue on the right; each orientation says how it
    // is to be turned for showing. Upright, the red half is where the table says.
    QImage stored(64, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x) {
            stored.setPixel(x, y, x < 32 ? qRgb(230, 20, 20) : qRgb(20, 20, 230));
        }
    }
    using T = QImageIOHandler::Transformation;
    struct Case {
        T transformation;
        QSize upright;
        QPoint red;  // a point well inside the red half, as shown
    };
    const Case cases[] = {
        {T::TransformationNone, {64, 32}, {8, 16}},
        {T::TransformationMirror, {64, 32}, {56, 16}},
        {T::TransformationRotate180, {64, 32}, {56, 16}},
        {T::TransformationRotate90, {32, 64}, {16, 8}},
        {T::TransformationRotate270, {32, 64}, {16, 56}},
        {T::TransformationMirrorAndRotate90, {32, 64}, {16, 56}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.transformation));
        const QString path = QString::fromStdString((folder / "oriented.jpg").string());
        QImageWriter writer(path, "jpeg");
        writer.setQuality(95);
        writer.setTransformation(c.transformation);
        ASSERT_TRUE(writer.write(stored));
        // Whole, through the general decoder, and reduced row by row to cover half the size.
        for (const std::optional<QSize> cover : {std::optional<QSize>(), std::optional(c.upright / 2)}) {
            const auto picture = ImageDecoder::decodeStill(path, cover);
            ASSERT_TRUE(picture);
            EXPECT_EQ(picture->size(), cover ? c.upright / 2 : c.upright);
            const QPoint redAt = cover ? c.red / 2 : c.red;
            const QPoint blueAt(picture->width() - 1 - redAt.x(), picture->height() - 1 - redAt.y());
            EXPECT_GT(qRed(picture->pixel(redAt)), 180);
            EXPECT_GT(qBlue(picture->pixel(blueAt)), 180);
        }
    }
}

}  // namespace
}  // namespace quillhaven
