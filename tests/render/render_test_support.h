#pragma once

// Helpers for the renderer tests: temporary folders, synthetic pictures, and reading the
// written PNGs back.

#include <QColor>
#include <QImage>

#include <filesystem>
#include <string>
#include <vector>

#include "render/wallpaper_processor.h"
#include "tests/support/temp_folder.h"

namespace quillhaven::testing {

// Saves `image` as a PNG (with its colour space, if any) and returns its path.
std::filesystem::path savePng(const QImage& image, const std::filesystem::path& path);

// A picture made of equal vertical stripes (left to right) or horizontal ones (top down).
QImage verticalStripes(int width, int height, const std::vector<QColor>& colors);
QImage horizontalStripes(int width, int height, const std::vector<QColor>& colors);
QImage solid(int width, int height, const QColor& color);

// Hand-made files that Qt cannot write itself.
std::string twoFrameGif();
std::string twoPageTiff();
std::string forgedHugePngHeader(std::uint32_t width, std::uint32_t height);

void writeBytes(const std::filesystem::path& path, const std::string& bytes);
std::string readBytes(const std::filesystem::path& path);

// Whether a PNG file carries a chunk of the given four-letter type.
bool pngHasChunk(const std::string& bytes, const std::string& type);

WallpaperProcessingRequest makeRequest(const std::filesystem::path& picture, double width,
                                       double height, double scale, double inset, double radius);

// Reads a written wallpaper as RGBA8888.
QImage readOutput(const Url& url);

// Files (recursively) below `folder`; empty when it does not exist.
std::vector<std::filesystem::path> filesBelow(const std::filesystem::path& folder);

}  // namespace quillhaven::testing
