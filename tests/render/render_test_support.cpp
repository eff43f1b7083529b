#include "tests/render/render_test_support.h"

#include <QColorSpace>
#include <QImageWriter>

#include <zlib.h>

#include <fstream>
#include <sstream>

namespace quillhaven::testing {

namespace fs = std::filesystem;

fs::path savePng(const QImage& image, const fs::path& path) {
    QImageWriter writer(QString::fromStdString(path.string()), "png");
    if (!writer.write(image)) {
        throw std::runtime_error("cannot write test picture " + path.string());
    }
    return path;
}

QImage verticalStripes(int width, int height, const std::vector<QColor>& colors) {
    QImage image(width, height, QImage::Format_RGB32);
    const int stripe = width / static_cast<int>(colors.size());
    for (int x = 0; x < width; ++x) {
        const QRgb color = colors[static_cast<std::size_t>(x / stripe)].rgb();
        for (int y = 0; y < height; ++y) {
            image.setPixel(x, y, color);
        }
    }
    return image;
}

QImage horizontalStripes(int width, int height, const std::vector<QColor>& colors) {
    return verticalStripes(height, width, colors).transformed(QTransform(0, 1, 1, 0, 0, 0));
}

QImage solid(int width, int height, const QColor& color) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

std::string twoFrameGif() {
    const std::string header("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13);
    const std::string palette("\xff\x00\x00\x00\x00\xff", 6);
    const std::string control("\x21\xf9\x04\x00\x0a\x00\x00\x00", 8);
    const std::string frame("\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00", 15);
    return header + palette + control + frame + control + frame + ";";
}

namespace {

void put16(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xff);
    out += static_cast<char>(value >> 8);
}

void put32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out += static_cast<char>((value >> shift) & 0xff);
    }
}

// One uncompressed 1x1 grey TIFF directory whose pixel lies at `pixelOffset`.
std::string tiffDirectory(std::uint32_t pixelOffset, std::uint32_t nextDirectory) {
    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t value;
    };
    const Entry entries[] = {{256, 3, 1}, {257, 3, 1}, {258, 3, 8},
                             {259, 3, 1}, {262, 3, 1}, {273, 4, pixelOffset},
                             {277, 3, 1}, {278, 3, 1}, {279, 4, 1}};
    std::string out;
    put16(out, static_cast<std::uint16_t>(std::size(entries)));
    for (const Entry& entry : entries) {
        put16(out, entry.tag);
        put16(out, entry.type);
        put32(out, 1);
        put32(out, entry.value);
    }
    put32(out, nextDirectory);
    return out;
}

std::string pngChunk(const std::string& type, const std::string& data) {
    std::string out;
    const auto length = static_cast<std::uint32_t>(data.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += static_cast<char>((length >> shift) & 0xff);
    }
    const std::string body = type + data;
    out += body;
    const auto crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += static_cast<char>((crc >> shift) & 0xff);
    }
    return out;
}

}  // namespace

std::string twoPageTiff() {
    // Header (8 bytes), two pixels (2 bytes), then the two directories.
    const std::uint32_t first = 10;
    const std::uint32_t second = first + static_cast<std::uint32_t>(tiffDirectory(0, 0).size());
    std::string out("II*\0", 4);
    put32(out, first);
    out += std::string("\x40\xc0", 2);
    out += tiffDirectory(8, second);
    out += tiffDirectory(9, 0);
    return out;
}

std::string forgedHugePngHeader(std::uint32_t width, std::uint32_t height) {
    std::string header;
    for (std::uint32_t value : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            header += static_cast<char>((value >> shift) & 0xff);
        }
    }
    header += std::string("\x08\x06\x00\x00\x00", 5);               // 8-bit RGBA
    const std::string idat("\x78\x9c\x03\x00\x00\x00\x00\x01", 8);  // an empty zlib stream
    return std::string("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", idat) +
           pngChunk("IEND", "");
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool pngHasChunk(const std::string& bytes, const std::string& type) {
    std::size_t position = 8;
    while (position + 8 <= bytes.size()) {
        std::uint32_t length = 0;
        for (int i = 0; i < 4; ++i) {
            length = (length << 8) | static_cast<unsigned char>(bytes[position + i]);
        }
        if (bytes.compare(position + 4, 4, type) == 0) {
            return true;
        }
        position += 12 + static_cast<std::size_t>(length);
    }
    return false;
}

WallpaperProcessingRequest makeRequest(const fs::path& picture, double width, double height,
                                       double scale, double inset, double radius) {
    WallpaperProcessingRequest request;
    request.sourceURL = Url::fileURLWithPath(picture.string());
    request.canvasSizeInPoints = {width, height};
    request.backingScaleFactor = scale;
    request.topInsetInPoints = inset;
    request.cornerRadiusInPoints = radius;
    return request;
}

QImage readOutput(const Url& url) {
    QImage image(QString::fromStdString(url.path()));
    return image.convertToFormat(QImage::Format_RGBA8888);
}

std::vector<fs::path> filesBelow(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (!it->is_directory()) {
            files.push_back(it->path());
        }
    }
    return files;
}

}  // namespace quillhaven::testing
