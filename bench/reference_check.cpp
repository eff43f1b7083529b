// reference_check PICTURE RENDERED.png BAND RADIUS [REFERENCE.png]
//
// Compares a wallpaper written by quillhaven-render with a plain reference: the picture
// decoded at full size (no decoder-side scaling), scaled to cover the canvas with Qt's
// smooth (area-averaging) scaling and cropped to the centre. Only the inside of the picture
// area is compared, away from the band, the corners and the outline. Prints the mean and
// largest absolute difference per colour channel (0-255) and the share of channel values
// that differ by more than 8. With a fifth argument it also saves the reference canvas, for
// a side-by-side look.
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr,
                     "usage: reference_check PICTURE RENDERED.png BAND RADIUS [REFERENCE.png]\n");
        return 2;
    }
    QImageReader::setAllocationLimit(2048);
    QImageReader sourceReader(QString::fromLocal8Bit(argv[1]));
    sourceReader.setAutoTransform(false);
    const QImage source = sourceReader.read().convertToFormat(QImage::Format_RGB32);
    const QImage rendered =
        QImage(QString::fromLocal8Bit(argv[2])).convertToFormat(QImage::Format_RGB32);
    if (source.isNull() || rendered.isNull()) {
        std::fprintf(stderr, "reference_check: cannot read the pictures\n");
        return 1;
    }
    const int width = rendered.width();
    const int height = rendered.height();
    const double scale = std::max(static_cast<double>(width) / source.width(),
                                  static_cast<double>(height) / source.height());
    const int scaledWidth = std::max(width, static_cast<int>(std::lround(source.width() * scale)));
    const int scaledHeight =
        std::max(height, static_cast<int>(std::lround(source.height() * scale)));
    const QImage reference =
        source.scaled(scaledWidth, scaledHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .copy((scaledWidth - width) / 2, (scaledHeight - height) / 2, width, height);

    if (argc == 6 && !reference.save(QString::fromLocal8Bit(argv[5]))) {
        std::fprintf(stderr, "reference_check: cannot save the reference\n");
        return 1;
    }
    const int band = std::atoi(argv[3]);
    const int margin = std::atoi(argv[4]) + 2;
    double sum = 0;
    long long count = 0;
    long long large = 0;
    int largest = 0;
    for (int y = band + margin; y < height - margin; ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(rendered.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(reference.constScanLine(y));
        for (int x = margin; x < width - margin; ++x) {
            const int diffs[3] = {std::abs(qRed(a[x]) - qRed(b[x])),
                                  std::abs(qGreen(a[x]) - qGreen(b[x])),
                                  std::abs(qBlue(a[x]) - qBlue(b[x]))};
            for (int d : diffs) {
                sum += d;
                largest = std::max(largest, d);
                large += d > 8 ? 1 : 0;
                ++count;
            }
        }
    }
    if (count == 0) {
        std::fprintf(stderr, "reference_check: nothing to compare\n");
        return 1;
    }
    std::printf("%.3f %d %.4f\n", sum / static_cast<double>(count), largest,
                100.0 * static_cast<double>(large) / static_cast<double>(count));
    return 0;
}
