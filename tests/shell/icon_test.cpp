// The drawn tray icon: the same strokes at every pixel ratio, the bar thicker when on.

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include "shell/menu_bar_icon.h"
#include "tests/shell/shell_fixture.h"

namespace quillhaven::testing {
namespace {

class MenuBarIconTest : public ::testing::TestWithParam<int> {
protected:
    static void SetUpTestSuite() { ensureApplication(); }

    QImage draw(bool isEnabled) const {
        const int scale = GetParam();
        const QPixmap pixmap =
            MenuBarIcon::make(isEnabled).pixmap(QSize(18, 18), static_cast<qreal>(scale));
        return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    }

    // The ink, in points, that a vertical line through column `xInPoints` crosses between
    // the heights `fromY` and `toY` (points from the top), summed from pixel coverage.
    double inkAcross(const QImage& image, double xInPoints, double fromY, double toY) const {
        const int scale = GetParam();
        const int x = static_cast<int>(xInPoints * scale);
        double coverage = 0;
        for (int y = static_cast<int>(fromY * scale); y < static_cast<int>(toY * scale); ++y) {
            coverage += qAlpha(image.pixel(x, y)) / 255.0;
        }
        return coverage / scale;
    }
};

TEST_P(MenuBarIconTest, DrawsTheOutlineAndABarThatIsThickerWhenOn) {
    const int scale = GetParam();
    const QImage on = draw(true);
    const QImage off = draw(false);
    ASSERT_EQ(on.size(), QSize(18 * scale, 18 * scale));
    ASSERT_EQ(off.size(), on.size());

    // The bar crosses the centre line 6.3 points from the top (11.7 from the bottom).
    EXPECT_NEAR(inkAcross(on, 9.0, 4.5, 8.5), 2.1, 0.2);
    EXPECT_NEAR(inkAcross(off, 9.0, 4.5, 8.5), 1.35, 0.2);
    // The outline's top and bottom edges are 1.45 points in both states.
    for (const QImage* image : {&on, &off}) {
        EXPECT_NEAR(inkAcross(*image, 9.0, 1.0, 4.0), 1.45, 0.2);
        EXPECT_NEAR(inkAcross(*image, 9.0, 14.0, 17.0), 1.45, 0.2);
    }
    // Nothing is filled: the middle of the square below the bar is empty.
    EXPECT_EQ(qAlpha(on.pixel(9 * scale, 11 * scale)), 0);
    // The bar reaches its end points.
    EXPECT_GT(inkAcross(on, 5.4, 4.5, 8.5), 0.5);
    EXPECT_GT(inkAcross(on, 12.4, 4.5, 8.5), 0.5);
}

TEST_P(MenuBarIconTest, IsOneColourOnly) {
    const QImage on = draw(true);
    QRgb ink = 0;
    for (int y = 0; y < on.height(); ++y) {
        for (int x = 0; x < on.width(); ++x) {
            const QRgb pixel = on.pixel(x, y);
            if (qAlpha(pixel) == 255) {
                if (ink == 0) {
                    ink = pixel;
                }
                EXPECT_EQ(pixel, ink);
            }
        }
    }
    EXPECT_NE(ink, 0u);
}

INSTANTIATE_TEST_SUITE_P(Scales, MenuBarIconTest, ::testing::Values(1, 2, 3));

}  // namespace
}  // namespace quillhaven::testing
