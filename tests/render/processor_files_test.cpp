// What a render leaves on disk: names, folders, bad input, colour, and failures.

#include <gtest/gtest.h>

#include <QColorSpace>
#include <QRegularExpression>

#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "render/image_decoder.h"
#include "tests/render/render_test_support.h"

namespace quillhaven {
namespace {

using namespace testing;
namespace fs = std::filesystem;

class ProcessorFilesTest : public ::testing::Test {
protected:
    fs::path picture() { return savePng(solid(40, 20, QColor(10, 90, 160)), folder / "p.png"); }
    Url outputFolder() const { return Url::directoryURLWithPath(generated.string()); }
    ProcessingResult render(const fs::path& source, double width = 20, double height = 10) {
        return WallpaperProcessor(outputFolder())
            .processSynchronously(makeRequest(source, width, height, 1, 2, 3));
    }

    TempFolder folder;
    fs::path generated = folder / "data" / "Quillhaven" / "Generated";
};

TEST_F(ProcessorFilesTest, EachRenderWritesANewUpperCaseUuidPngIntoTheFolder) {
    const auto source = picture();
    const ProcessingResult first = render(source);
    const ProcessingResult second = render(source);  // the folder exists now and is reused
    ASSERT_TRUE(first.succeeded());
    ASSERT_TRUE(second.succeeded());
    EXPECT_NE(first.value(), second.value());
    const QRegularExpression name(QRegularExpression::anchoredPattern(
        "quillhaven-[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-"
        "[0-9A-F]{12}\\.png"));
    for (const Url& url : {first.value(), second.value()}) {
        EXPECT_TRUE(name.match(QString::fromStdString(url.lastPathComponent())).hasMatch())
            << url.path();
        EXPECT_EQ(url, outputFolder().appendingPathComponent(url.lastPathComponent()));
        EXPECT_TRUE(url.isFileURL());
    }
    // Both stay, and nothing else (no temporary file) is left beside them.
    EXPECT_EQ(filesBelow(generated).size(), 2u);
    const QImage image = readOutput(first.value());
    EXPECT_EQ(image.size(), QSize(20, 10));
}

TEST_F(ProcessorFilesTest, OutputIsRgbaPngMarkedSrgb) {
    const ProcessingResult result = render(picture());
    ASSERT_TRUE(result.succeeded());
    const std::string bytes = readBytes(result.value().path());
    ASSERT_GT(bytes.size(), 33u);
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
    EXPECT_EQ(static_cast<int>(bytes[24]), 8);  // bit depth
    EXPECT_EQ(static_cast<int>(bytes[25]), 6);  // colour type RGBA
    EXPECT_TRUE(pngHasChunk(bytes, "sRGB"));
    EXPECT_FALSE(pngHasChunk(bytes, "iCCP"));
}

TEST_F(ProcessorFilesTest, PictureWithIccProfileIsConvertedToSrgb) {
    const QColor stored(200, 100, 50);
    QImage p3 = solid(20, 10, stored);
    p3.setColorSpace(QColorSpace(QColorSpace::DisplayP3));
    const auto source = savePng(p3, folder / "p3.png");
    ASSERT_TRUE(pngHasChunk(readBytes(source), "iCCP"));

    QImage reference = solid(1, 1, stored);
    reference.setColorSpace(QColorSpace(QColorSpace::DisplayP3));
    reference.convertToColorSpace(QColorSpace::SRgb);
    const QColor expected = reference.pixelColor(0, 0);
    ASSERT_GT(std::abs(expected.red() - stored.red()), 5);  // the conversion is visible

    const ProcessingResult result = render(source);
    ASSERT_TRUE(result.succeeded());
    const QColor actual = readOutput(result.value()).pixelColor(10, 5);
    EXPECT_NEAR(actual.red(), expected.red(), 2);
    EXPECT_NEAR(actual.green(), expected.green(), 2);
    EXPECT_NEAR(actual.blue(), expected.blue(), 2);
}

TEST_F(ProcessorFilesTest, TransparentPictureLiesOnBlack) {
    QImage translucent(20, 10, QImage::Format_ARGB32);
    translucent.fill(QColor(255, 255, 255, 128));
    const ProcessingResult result = render(savePng(translucent, folder / "t.png"));
    ASSERT_TRUE(result.succeeded());
    const QColor pixel = readOutput(result.value()).pixelColor(10, 5);
    EXPECT_NEAR(pixel.red(), 128, 2);
    EXPECT_EQ(pixel.alpha(), 255);
}

TEST_F(ProcessorFilesTest, EveryPixelFormatComesOutAsTheSameColour) {
    const QColor grey(120, 120, 120);
    QImage deep = solid(40, 20, grey).convertToFormat(QImage::Format_RGBA64);
    QImage gray = solid(40, 20, grey).convertToFormat(QImage::Format_Grayscale8);
    QImage indexed = solid(40, 20, grey).convertToFormat(QImage::Format_Indexed8);
    QImage rgb888 = solid(40, 20, grey).convertToFormat(QImage::Format_RGB888);
    int index = 0;
    for (const QImage& image : {deep, gray, indexed, rgb888}) {
        const auto source = savePng(image, folder / ("f" + std::to_string(index++) + ".png"));
        const ProcessingResult result = render(source);
        ASSERT_TRUE(result.succeeded()) << index;
        const QColor pixel = readOutput(result.value()).pixelColor(10, 5);
        EXPECT_NEAR(pixel.red(), 120, 1) << index;
        EXPECT_NEAR(pixel.blue(), 120, 1) << index;
    }
    // Other formats that the installed readers handle.
    for (const char* format : {"jpg", "bmp", "gif", "webp", "tiff"}) {
        const fs::path path = folder / (std::string("picture.") + format);
        if (!solid(40, 20, grey).save(QString::fromStdString(path.string()))) {
            writeBytes(path, twoFrameGif().substr(0, 13 + 6 + 8 + 15) + ";");  // one GIF frame
        }
        EXPECT_TRUE(render(path).succeeded()) << format;
    }
}

TEST_F(ProcessorFilesTest, MissingParentFoldersAreCreated) {
    generated = folder / "a" / "b" / "c";
    ASSERT_TRUE(render(picture()).succeeded());
    EXPECT_EQ(filesBelow(generated).size(), 1u);
}

TEST_F(ProcessorFilesTest, FolderBlockedByFileGivesFileSystemErrorAndWritesNothing) {
    fs::create_directories(generated.parent_path());
    writeBytes(generated, "not a folder");
    const ProcessingResult result = render(picture());
    ASSERT_FALSE(result.succeeded());
    EXPECT_FALSE(result.error().processingError().has_value());
    EXPECT_EQ(result.error().fileSystemError(), std::errc::not_a_directory);
    EXPECT_EQ(result.error().localizedDescription(),
              generated.string() + ": 生成フォルダの場所にフォルダではないものがあります");
    EXPECT_EQ(filesBelow(folder / "data").size(), 1u);  // only the blocking file
}

TEST_F(ProcessorFilesTest, FolderReplacedByADanglingLinkGivesAClearErrorAndWritesNothing) {
    fs::create_directories(generated.parent_path());
    fs::create_symlink(folder / "gone", generated);
    const ProcessingResult result = render(picture());
    ASSERT_FALSE(result.succeeded());
    EXPECT_FALSE(result.error().processingError().has_value());
    EXPECT_EQ(result.error().fileSystemError(), std::errc::no_such_file_or_directory);
    EXPECT_EQ(result.error().localizedDescription(),
              generated.string() + ": 生成フォルダへのリンクの先がありません");
    EXPECT_FALSE(fs::exists(folder / "gone"));
    // A link to an existing folder is a folder like any other.
    fs::create_directories(folder / "gone");
    EXPECT_TRUE(render(picture()).succeeded());
}

TEST_F(ProcessorFilesTest, AFailureToCreateTheFolderNamesItAndTheSystemsReason) {
    writeBytes(folder / "data", "a file where a parent folder should be");
    const ProcessingResult result = render(picture());
    ASSERT_FALSE(result.succeeded());
    ASSERT_TRUE(result.error().fileSystemError());
    EXPECT_EQ(result.error().localizedDescription(),
              generated.string() + ": " + result.error().fileSystemError().message());
}

TEST_F(ProcessorFilesTest, UnreadablePicturesGiveUnsupportedImageAndTouchNothing) {
    const std::string png = readBytes(picture());
    struct Case {
        std::string name;
        std::optional<std::string> bytes;  // none: the file does not exist
    };
    const std::vector<Case> cases = {
        {"missing.png", std::nullopt},
        {"empty.png", std::string()},
        {"truncated.png", png.substr(0, png.size() / 2)},
        {"text.png", "just some words, no picture"},
        {"animated.gif", twoFrameGif()},
        {"pages.tiff", twoPageTiff()},
        {"forged.png", forgedHugePngHeader(100000, 100000)},
    };
    for (const Case& c : cases) {
        const fs::path path = folder / c.name;
        if (c.bytes) {
            writeBytes(path, *c.bytes);
        }
        const ProcessingResult result = render(path);
        ASSERT_FALSE(result.succeeded()) << c.name;
        EXPECT_EQ(result.error().processingError(), WallpaperProcessingError::unsupportedImage)
            << c.name;
        EXPECT_EQ(result.error().localizedDescription(), "この壁紙は静止画として読み込めません");
        EXPECT_FALSE(fs::exists(folder / "data")) << c.name;
    }
    // A URL that is not a file URL names nothing on disk.
    WallpaperProcessingRequest remote = makeRequest(picture(), 20, 10, 1, 2, 3);
    remote.sourceURL = Url("https", "/example.org/p.png");
    const auto result = WallpaperProcessor(outputFolder()).processSynchronously(remote);
    ASSERT_FALSE(result.succeeded());
    EXPECT_EQ(result.error().processingError(), WallpaperProcessingError::unsupportedImage);
}

TEST_F(ProcessorFilesTest, ImageCountFollowsTheFile) {
    const WallpaperProcessor processor(outputFolder());
    writeBytes(folder / "animated.gif", twoFrameGif());
    writeBytes(folder / "pages.tiff", twoPageTiff());
    writeBytes(folder / "text.png", "words");
    writeBytes(folder / "slides.xml", "<background><static><file>a.png</file></static></background>");
    EXPECT_EQ(processor.imageCount(Url::fileURLWithPath(picture().string())), 1u);
    EXPECT_EQ(processor.imageCount(Url::fileURLWithPath((folder / "animated.gif").string())), 2u);
    EXPECT_EQ(processor.imageCount(Url::fileURLWithPath((folder / "pages.tiff").string())), 2u);
    EXPECT_EQ(processor.imageCount(Url::fileURLWithPath((folder / "text.png").string())),
              std::nullopt);
    EXPECT_EQ(processor.imageCount(Url::fileURLWithPath((folder / "none.png").string())),
              std::nullopt);
    // No picture at all: it holds no image, which is not the same as a damaged picture.
    EXPECT_EQ(processor.imageCount(Url::fileURLWithPath((folder / "slides.xml").string())), 0u);
}

TEST_F(ProcessorFilesTest, InsaneRequestsGiveCannotCreateCanvasAndTouchNothing) {
    const auto source = picture();
    const double nan = std::nan("");
    const std::vector<std::array<double, 5>> requests = {
        {nan, 10, 1, 2, 3},      {10, INFINITY, 1, 2, 3},     {10, 10, nan, 2, 3},
        {10, 10, 1, nan, 3},     {10, 10, 1, 2, nan},         {1e6, 10, 1, 2, 3},
        {20000, 20000, 1, 2, 3}, {1e300, 1e300, 1e300, 2, 3},
    };
    for (const auto& values : requests) {
        const ProcessingResult result =
            WallpaperProcessor(outputFolder())
                .processSynchronously(
                    makeRequest(source, values[0], values[1], values[2], values[3], values[4]));
        ASSERT_FALSE(result.succeeded());
        EXPECT_EQ(result.error().processingError(), WallpaperProcessingError::cannotCreateCanvas);
        EXPECT_EQ(result.error().localizedDescription(),
                  "壁紙を加工するための画像を作成できません");
    }
    EXPECT_FALSE(fs::exists(folder / "data"));
}

TEST(ProcessingErrorTest, MessagesAreTheFixedDescriptions) {
    EXPECT_EQ(errorDescription(WallpaperProcessingError::cannotWriteImage),
              "加工した壁紙を保存できません");
    const ProcessingFailure failure(WallpaperProcessingError::cannotWriteImage);
    EXPECT_EQ(failure.localizedDescription(), "加工した壁紙を保存できません");
    EXPECT_FALSE(failure.fileSystemError());
}

TEST_F(ProcessorFilesTest, UnwritableFolderGivesCannotWriteImageAndLeavesNothing) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root can write into a read-only folder";
    }
    fs::create_directories(generated);
    fs::permissions(generated, fs::perms::owner_read | fs::perms::owner_exec);
    const ProcessingResult result = render(picture());
    ASSERT_FALSE(result.succeeded());
    EXPECT_EQ(result.error().processingError(), WallpaperProcessingError::cannotWriteImage);
    EXPECT_TRUE(filesBelow(generated).empty());
}

}  // namespace
}  // namespace quillhaven

namespace quillhaven {
namespace {

using namespace testing;
namespace fs = std::filesystem;

// Stock wallpapers are drawings. One is drawn at the size it covers, not at its own and
// then enlarged; one too long to draw in reasonable time is refused unread.
TEST(DrawingTest, ADrawingIsDrawnAtTheSizeItCoversAndALongOneIsRefused) {
    const TempFolder dir;
    const fs::path file = dir.path() / "drawing.svg";
    const QString path = QString::fromStdString(file.string());
    writeBytes(file, R"(<svg xmlns="http://www.w3.org/2000/svg" width="30" height="20">)"
                     R"(<rect width="15" height="20" fill="#ff0000"/>)"
                     R"(<rect x="15" width="15" height="20" fill="#0000ff"/></svg>)");
    const auto drawn = ImageDecoder::decodeStill(path, QSize(300, 150));
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->size(), QSize(300, 200));
    // The edge between the halves stays one pixel wide: drawn, not enlarged.
    EXPECT_EQ(QColor(drawn->pixel(149, 100)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(drawn->pixel(150, 100)), QColor(0, 0, 255));

    std::string padded = R"(<svg xmlns="http://www.w3.org/2000/svg" width="30" height="20">)";
    padded += std::string(ImageDecoder::maxDrawingBytes, ' ') + "</svg>";
    writeBytes(file, padded);
    EXPECT_FALSE(ImageDecoder::decodeStill(path, QSize(300, 150)));
}

}  // namespace
}  // namespace quillhaven
