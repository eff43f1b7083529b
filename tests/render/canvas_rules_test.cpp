// Pixel-exact checks of the wallpaper layout: canvas size, band, corners, outline, cover crop.

#include <gtest/gtest.h>

#include <cmath>

#include "render/canvas_geometry.h"
#include "tests/render/render_test_support.h"

namespace quillhaven {
namespace {

using namespace testing;

const QColor paint(200, 120, 40);
const QColor black(0, 0, 0);

::testing::AssertionResult pixelIs(const QImage& image, int x, int y, const QColor& expected,
                                   int tolerance = 0) {
    const QColor actual = image.pixelColor(x, y);
    const int difference = std::max({std::abs(actual.red() - expected.red()),
                                     std::abs(actual.green() - expected.green()),
                                     std::abs(actual.blue() - expected.blue())});
    if (difference <= tolerance && actual.alpha() == 255) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "pixel (" << x << ", " << y << ") is " << actual.name(QColor::HexArgb).toStdString()
           << ", expected " << expected.name().toStdString();
}

bool rowIsBlack(const QImage& image, int y) {
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixelColor(x, y) != QColor(0, 0, 0)) {
            return false;
        }
    }
    return true;
}

bool columnIsBlack(const QImage& image, int x, int fromY, int toY) {
    for (int y = fromY; y <= toY; ++y) {
        if (image.pixelColor(x, y) != QColor(0, 0, 0)) {
            return false;
        }
    }
    return true;
}

class CanvasRulesTest : public ::testing::Test {
protected:
    // Renders a solid-coloured picture of the canvas's own size and reads the PNG back.
    QImage render(const QImage& picture, double width, double height, double scale, double inset,
                  double radius) {
        const auto source = savePng(picture, folder / "picture.png");
        const WallpaperProcessor processor(Url::directoryURLWithPath((folder / "out").string()));
        const ProcessingResult result = processor.processSynchronously(
            makeRequest(source, width, height, scale, inset, radius));
        EXPECT_TRUE(result.succeeded()) << result.error().localizedDescription();
        return result.succeeded() ? readOutput(result.value()) : QImage();
    }

    TempFolder folder;
};

TEST_F(CanvasRulesTest, NotchedPanelLayoutHasBandRoundedCornersAndOutline) {
    const QImage image = render(solid(200, 100, paint), 100, 50, 2, 10, 16);
    ASSERT_EQ(image.size(), QSize(200, 100));
    for (int y = 0; y <= 19; ++y) {
        EXPECT_TRUE(rowIsBlack(image, y)) << "band row " << y;
    }
    // The outline: the outermost ring of the picture area is black.
    EXPECT_TRUE(rowIsBlack(image, 20));
    EXPECT_TRUE(rowIsBlack(image, 99));
    EXPECT_TRUE(columnIsBlack(image, 0, 20, 99));
    EXPECT_TRUE(columnIsBlack(image, 199, 20, 99));
    // Straight edges just inside the ring, and the middle, show the picture unchanged.
    EXPECT_TRUE(pixelIs(image, 100, 21, paint));
    EXPECT_TRUE(pixelIs(image, 100, 98, paint));
    EXPECT_TRUE(pixelIs(image, 1, 60, paint));
    EXPECT_TRUE(pixelIs(image, 198, 60, paint));
    EXPECT_TRUE(pixelIs(image, 100, 60, paint));
    // All four corners are rounded with radius 32: the arc centres lie 32 pixels in from
    // the picture area's edges. On each diagonal a pixel 29 px from the centre shows the
    // picture; one 34.6 px away is black, as is the corner pixel itself.
    struct Corner {
        int x, y;    // the corner pixel
        int dx, dy;  // direction towards the inside
    };
    for (const Corner c : {Corner{0, 20, 1, 1}, Corner{199, 20, -1, 1}, Corner{0, 99, 1, -1},
                           Corner{199, 99, -1, -1}}) {
        EXPECT_TRUE(pixelIs(image, c.x, c.y, black));
        EXPECT_TRUE(pixelIs(image, c.x + 7 * c.dx, c.y + 7 * c.dy, black));
        EXPECT_TRUE(pixelIs(image, c.x + 11 * c.dx, c.y + 11 * c.dy, paint));
        // Where the arcs end the straight ring begins: x = 32 from the side is unaffected.
        EXPECT_TRUE(pixelIs(image, c.x + 40 * c.dx, c.y + 1 * c.dy, paint));
    }
}

TEST_F(CanvasRulesTest, CanvasRoundsHalvesAwayFromZeroAndBandRoundsUp) {
    const QImage image = render(solid(201, 100, paint), 100.25, 50, 2, 10.2, 0);
    ASSERT_EQ(image.size(), QSize(201, 100));
    EXPECT_TRUE(rowIsBlack(image, 20));  // band of 21 rows: 0..20
    EXPECT_TRUE(rowIsBlack(image, 21));  // outline
    EXPECT_TRUE(pixelIs(image, 100, 22, paint));
}

TEST_F(CanvasRulesTest, InsetOfZeroOrBelowStillGivesOneRowBand) {
    for (double inset : {0.0, -7.0}) {
        const QImage image = render(solid(20, 10, paint), 20, 10, 1, inset, 0);
        ASSERT_EQ(image.size(), QSize(20, 10));
        EXPECT_TRUE(rowIsBlack(image, 0));
        EXPECT_TRUE(rowIsBlack(image, 1));  // outline along the band
        EXPECT_TRUE(pixelIs(image, 10, 2, paint)) << "inset " << inset;
    }
}

TEST_F(CanvasRulesTest, SquareCornersWhenRadiusIsNegative) {
    const QImage image = render(solid(20, 10, paint), 20, 10, 1, 1, -4);
    // The pixel diagonally inside each corner shows the picture: nothing is rounded off.
    EXPECT_TRUE(pixelIs(image, 1, 2, paint));
    EXPECT_TRUE(pixelIs(image, 18, 2, paint));
    EXPECT_TRUE(pixelIs(image, 1, 8, paint));
    EXPECT_TRUE(pixelIs(image, 18, 8, paint));
    // The outline still covers the corner pixels fully.
    EXPECT_TRUE(pixelIs(image, 0, 1, black));
    EXPECT_TRUE(pixelIs(image, 19, 9, black));
}

TEST_F(CanvasRulesTest, ThinPictureAreaAndOneRowCanvasAreBlack) {
    // Band of H - 1 rows: the picture area is one row, all outline.
    QImage image = render(solid(20, 10, paint), 20, 10, 1, 500, 16);
    ASSERT_EQ(image.size(), QSize(20, 10));
    for (int y = 0; y < 10; ++y) {
        EXPECT_TRUE(rowIsBlack(image, y)) << y;
    }
    // A canvas one pixel high has no band; its single row is the outline.
    image = render(solid(20, 1, paint), 20, 1, 1, 5, 0);
    ASSERT_EQ(image.size(), QSize(20, 1));
    EXPECT_TRUE(rowIsBlack(image, 0));
}

TEST(CanvasGeometryTest, AppliesClampsToRequestValues) {
    auto geometry = [](double w, double h, double s, double inset, double radius) {
        return CanvasGeometry::fromRequest(testing::makeRequest("/x.png", w, h, s, inset, radius));
    };
    auto g = geometry(100, 50, 2, 10, 100);  // W = 200, A = 80
    ASSERT_TRUE(g);
    EXPECT_EQ(g->bandHeight, 20);
    EXPECT_EQ(g->pictureHeight, 80);
    EXPECT_DOUBLE_EQ(g->cornerRadius, 40);

    g = geometry(10, 10, 1, 9.5, 16);  // band reaches H - 1
    ASSERT_TRUE(g);
    EXPECT_EQ(g->bandHeight, 9);
    EXPECT_EQ(g->pictureHeight, 1);
    EXPECT_LE(g->cornerRadius, 0.5);

    g = geometry(10, 1, 1, 5, 5);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->bandHeight, 0);

    g = geometry(-3, 0.4, 1, 0, 0);  // sizes below one pixel give one pixel
    ASSERT_TRUE(g);
    EXPECT_EQ(g->width, 1);
    EXPECT_EQ(g->height, 1);

    g = geometry(10.5, 2.5, 1, 0, 1.75);  // halves round away from zero; radius stays fractional
    ASSERT_TRUE(g);
    EXPECT_EQ(g->width, 11);
    EXPECT_EQ(g->height, 3);
    EXPECT_DOUBLE_EQ(g->cornerRadius, 1);  // min(1.75, min(11, 2) / 2)

    EXPECT_TRUE(geometry(16384, 16384, 1, 0, 0));  // exactly 2^28 pixels
    EXPECT_FALSE(geometry(16385, 10, 1, 0, 0));
    EXPECT_FALSE(geometry(16384, 16385, 1, 0, 0));
    EXPECT_FALSE(geometry(NAN, 10, 1, 0, 0));
    EXPECT_FALSE(geometry(10, 10, INFINITY, 0, 0));
    EXPECT_FALSE(geometry(10, 10, 1, NAN, 0));
    EXPECT_FALSE(geometry(10, 10, 1, 0, -INFINITY));
    EXPECT_FALSE(geometry(1e300, 1e300, 1e300, 0, 0));
    EXPECT_TRUE(geometry(10, 10, 1, 1e300, 0));  // a huge finite inset is just clamped
}

// Cover crop: canvas 20 x 10 px, band 1 row, square corners, so rows 2..8 and columns
// 1..18 show the picture unchanged.
class CoverCropTest : public CanvasRulesTest {
protected:
    QImage renderCover(const QImage& picture) { return render(picture, 20, 10, 1, 1, 0); }
};

const QColor red(220, 30, 30), green(30, 200, 60), blue(40, 60, 210), white(240, 240, 240);

TEST_F(CoverCropTest, WiderPictureIsCroppedEquallyLeftAndRight) {
    // 80 x 20 scales by one half to 40 x 10; ten canvas columns are cut off on each side,
    // leaving the two middle stripes.
    const QImage image = renderCover(verticalStripes(80, 20, {red, green, blue, white}));
    for (int x = 1; x <= 9; ++x) {
        EXPECT_TRUE(pixelIs(image, x, 5, green, 2)) << x;
    }
    for (int x = 10; x <= 18; ++x) {
        EXPECT_TRUE(pixelIs(image, x, 5, blue, 2)) << x;
    }
}

TEST_F(CoverCropTest, TallerPictureIsCroppedEquallyTopAndBottom) {
    // 40 x 80 scales by one half to 20 x 40; fifteen rows are cut off above and below, so
    // canvas rows 0..4 show the second stripe and rows 5..9 the third.
    const QImage image = renderCover(horizontalStripes(40, 80, {red, green, blue, white}));
    for (int y = 2; y <= 4; ++y) {
        EXPECT_TRUE(pixelIs(image, 10, y, green, 2)) << y;
    }
    for (int y = 5; y <= 8; ++y) {
        EXPECT_TRUE(pixelIs(image, 10, y, blue, 2)) << y;
    }
}

TEST_F(CoverCropTest, SameAspectPictureFitsExactly) {
    // Left and right halves, each split top and bottom; nothing is cropped.
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(red);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 40; ++x) {
            picture.setPixelColor(x, y, x < 20 ? (y < 10 ? red : green) : (y < 10 ? blue : white));
        }
    }
    const QImage image = renderCover(picture);
    EXPECT_TRUE(pixelIs(image, 1, 2, red, 2));
    EXPECT_TRUE(pixelIs(image, 9, 4, red, 2));
    EXPECT_TRUE(pixelIs(image, 1, 8, green, 2));
    EXPECT_TRUE(pixelIs(image, 9, 5, green, 2));
    EXPECT_TRUE(pixelIs(image, 10, 2, blue, 2));
    EXPECT_TRUE(pixelIs(image, 18, 4, blue, 2));
    EXPECT_TRUE(pixelIs(image, 10, 5, white, 2));
    EXPECT_TRUE(pixelIs(image, 18, 8, white, 2));
}

TEST_F(CoverCropTest, SmallerPictureIsScaledUpToCover) {
    // 10 x 10 scales by two to 20 x 20, five rows cut above and below.
    const QImage image = renderCover(horizontalStripes(10, 10, {red, green}));
    EXPECT_TRUE(pixelIs(image, 10, 2, red, 2));
    EXPECT_TRUE(pixelIs(image, 10, 8, green, 2));
}

TEST_F(CoverCropTest, LargeDownscaleAveragesInsteadOfAliasing) {
    // One-pixel black and white checks, reduced by more than half: every output pixel
    // covers both colours, so all are a middle grey; point sampling would give a pattern.
    QImage checks(200, 100, QImage::Format_RGB32);
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            checks.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    }
    const QImage image = render(checks, 84, 42, 1, 1, 0);
    for (int y = 3; y < 40; ++y) {
        for (int x = 2; x < 82; ++x) {
            ASSERT_TRUE(pixelIs(image, x, y, QColor(128, 128, 128), 8));
        }
    }
}

}  // namespace
}  // namespace quillhaven
