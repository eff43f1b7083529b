// Pictures that try to stall or exhaust the renderer: files that are not regular files,
// decompression bombs, pictures beyond the memory budget. Each is refused quickly with one
// of the renderer's own errors and leaves nothing on disk.

#include <gtest/gtest.h>

#include <QImage>

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "render/image_decoder.h"
#include "render/reducing_decoder.h"
#include "tests/render/render_test_support.h"
#include "tests/support/file_size_limit.h"

namespace quillhaven {
namespace {

using namespace testing;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string bigEndian32(std::uint32_t value) {
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += static_cast<char>((value >> shift) & 0xff);
    }
    return out;
}

std::string chunk(const std::string& type, const std::string& data) {
    const std::string body = type + data;
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                           static_cast<uInt>(body.size()));
    return bigEndian32(static_cast<std::uint32_t>(data.size())) + body +
           bigEndian32(static_cast<std::uint32_t>(crc));
}

// A complete, valid 8-bit grey PNG whose rows are all zero: `rows` of `width` pixels
// compress to about a thousandth of their size.
std::string zeroPng(std::uint32_t width, std::uint32_t height, int colorType = 0) {
    const int channels = colorType == 6 ? 4 : colorType == 2 ? 3 : 1;
    z_stream stream{};
    deflateInit(&stream, 9);
    const std::string row(1 + std::size_t{width} * channels, '\0');
    std::string compressed;
    std::string buffer(1 << 16, '\0');
    for (std::uint32_t y = 0; y < height; ++y) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(row.data()));
        stream.avail_in = static_cast<uInt>(row.size());
        const int flush = y + 1 == height ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
            stream.avail_out = static_cast<uInt>(buffer.size());
            deflate(&stream, flush);
            compressed.append(buffer.data(), buffer.size() - stream.avail_out);
        } while (stream.avail_out == 0 || (flush == Z_FINISH && stream.avail_in > 0));
    }
    deflateEnd(&stream);
    const std::string header = bigEndian32(width) + bigEndian32(height) + '\x08' +
                               static_cast<char>(colorType) + std::string(3, '\0');
    return std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) +
           chunk("IDAT", compressed) + chunk("IEND", "");
}

// A GIF of `frames` one-pixel frames: tiny, but an animation with a huge frame count.
std::string manyFrameGif(int frames) {
    std::string gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\xff", 19);
    const std::string frame("\x21\xf9\x04\x00\x0a\x00\x00\x00"
                            "\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00",
                            23);
    for (int i = 0; i < frames; ++i) {
        gif += frame;
    }
    return gif + ";";
}

class HostileInputTest : public ::testing::Test {
protected:
    ProcessingResult render(const fs::path& source, double width = 20, double height = 10) {
        return WallpaperProcessor(Url::directoryURLWithPath(generated.string()))
            .processSynchronously(makeRequest(source, width, height, 1, 2, 3));
    }
    // Renders and expects the given error within `limit`, with nothing written.
    void expectRefused(const fs::path& source, WallpaperProcessingError error,
                       std::chrono::milliseconds limit = std::chrono::milliseconds(3000),
                       double width = 20, double height = 10) {
        const auto start = Clock::now();
        const ProcessingResult result = render(source, width, height);
        const auto took = Clock::now() - start;
        ASSERT_FALSE(result.succeeded()) << source;
        EXPECT_EQ(result.error().processingError(), error) << source;
        EXPECT_LT(took, limit) << source;
        EXPECT_FALSE(fs::exists(generated)) << source;
    }

    TempFolder folder;
    fs::path generated = folder / "Generated";
};

TEST_F(HostileInputTest, FilesThatAreNotRegularFilesAreRefusedWithoutBlocking) {
    // Opening a FIFO for reading blocks until a writer comes; it must not.
    const fs::path fifo = folder / "fifo.png";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    expectRefused(fifo, WallpaperProcessingError::unsupportedImage);
    expectRefused("/dev/zero", WallpaperProcessingError::unsupportedImage);
    fs::create_directories(folder / "folder.png");
    expectRefused(folder / "folder.png", WallpaperProcessingError::unsupportedImage);
    const WallpaperProcessor processor(Url::directoryURLWithPath(generated.string()));
    EXPECT_EQ(processor.imageCount(Url::fileURLWithPath(fifo.string())), std::nullopt);
    EXPECT_EQ(processor.imageCount(Url::fileURLWithPath("/dev/zero")), std::nullopt);
    // A link to a picture is followed, a link to a FIFO is not read.
    const fs::path picture = savePng(solid(8, 4, Qt::red), folder / "p.png");
    fs::create_symlink(picture, folder / "link.png");
    EXPECT_TRUE(render(folder / "link.png").succeeded());
    fs::remove_all(generated);
    fs::create_symlink(fifo, folder / "fifo-link.png");
    expectRefused(folder / "fifo-link.png", WallpaperProcessingError::unsupportedImage);
    // The row-by-row decoders open the file again: a picture swapped for a FIFO by then
    // must not stall them either.
    const QString fifoPath = QString::fromStdString(fifo.string());
    EXPECT_EQ(decodeReducedPng(fifoPath, QSize(4, 2), 1 << 20).outcome,
              ReducedDecode::Outcome::unreadable);
    EXPECT_EQ(decodeReducedJpeg(fifoPath, QSize(4, 2), 1 << 20).outcome,
              ReducedDecode::Outcome::unreadable);
}

TEST_F(HostileInputTest, AFullDiskFailsTheRenderAndKeepsTheEarlierPicture) {
    const fs::path picture = savePng(solid(8, 4, Qt::red), folder / "p.png");
    const ProcessingResult first = render(picture);
    ASSERT_TRUE(first.succeeded());
    const std::string earlier = first.value().path();
    const auto earlierSize = fs::file_size(earlier);
    ProcessingResult second = first;
    {
        const testing::FileSizeLimit fullDisk(40);
        second = render(picture, 40, 20);
    }
    ASSERT_FALSE(second.succeeded());
    EXPECT_EQ(second.error().processingError(), WallpaperProcessingError::cannotWriteImage);
    // Only the earlier picture is left: no partial file, no temporary file.
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(generated)) {
        files.push_back(entry.path());
    }
    EXPECT_EQ(files, std::vector<fs::path>{fs::path(earlier)});
    EXPECT_EQ(fs::file_size(earlier), earlierSize);
}

TEST_F(HostileInputTest, AnUnreadablePictureIsRefused) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root reads files whatever their mode";
    }
    const fs::path picture = savePng(solid(8, 4, Qt::red), folder / "p.png");
    fs::permissions(picture, fs::perms::none);
    expectRefused(picture, WallpaperProcessingError::unsupportedImage);
}

TEST_F(HostileInputTest, DecompressionBombsAreRefusedQuickly) {
    // Tiny files with huge canvases: forged headers over the pixel bound, and one just under
    // it whose pixels would exceed the memory budget.
    writeBytes(folder / "forged.png", forgedHugePngHeader(60000, 60000));
    expectRefused(folder / "forged.png", WallpaperProcessingError::unsupportedImage);
    writeBytes(folder / "wide.png", forgedHugePngHeader(11000, 11000));
    expectRefused(folder / "wide.png", WallpaperProcessingError::unsupportedImage);
    // A deflate bomb: 100 megapixels of zeros in a valid PNG of about 100 KB.
    const std::string bomb = zeroPng(10000, 10000);
    ASSERT_LT(bomb.size(), 1u << 20);
    writeBytes(folder / "bomb.png", bomb);
    expectRefused(folder / "bomb.png", WallpaperProcessingError::unsupportedImage);
    // A one-pixel GIF frame on a 65535 x 4000 logical screen, which the GIF decoder paints
    // in full: the screen counts, not the frame.
    std::string screen = manyFrameGif(1);
    screen[6] = '\xff';
    screen[7] = '\xff';
    screen[8] = '\xa0';
    screen[9] = '\x0f';
    writeBytes(folder / "screen.gif", screen);
    expectRefused(folder / "screen.gif", WallpaperProcessingError::unsupportedImage,
                  std::chrono::milliseconds(300));
    // An animation of 65535 frames is not a still picture, and counting them is quick.
    writeBytes(folder / "frames.gif", manyFrameGif(65535));
    expectRefused(folder / "frames.gif", WallpaperProcessingError::unsupportedImage);
}

TEST_F(HostileInputTest, PicturesAndCanvasesBeyondTheMemoryBudgetAreRefused) {
    // A picture that fits the budget alone, but not beside a canvas near the largest one.
    writeBytes(folder / "large.png", zeroPng(8000, 4000, 6));  // 128 MB of pixels
    expectRefused(folder / "large.png", WallpaperProcessingError::cannotCreateCanvas,
                  std::chrono::milliseconds(3000), 16000, 8000);
    // The same picture on an ordinary canvas is rendered.
    const ProcessingResult result = render(folder / "large.png", 64, 32);
    ASSERT_TRUE(result.succeeded());
    EXPECT_EQ(readOutput(result.value()).size(), QSize(64, 32));
}

TEST_F(HostileInputTest, TheBudgetBoundsAreConsistent) {
    // The largest accepted picture in 32-bit pixels, and the largest canvas's own pixels,
    // each fit the budget; the bomb threshold lies below it.
    EXPECT_LE(ImageDecoder::maxSourcePixels * 4, ImageDecoder::memoryBudgetBytes);
    EXPECT_LT(ImageDecoder::bombThresholdBytes, ImageDecoder::memoryBudgetBytes);
}

}  // namespace
}  // namespace quillhaven
