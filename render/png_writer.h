#pragma once

#include <QImage>
#include <QIODevice>

namespace quillhaven {

// Encodes an image as an 8-bit RGBA PNG tagged sRGB and writes it to `device`.
// Tuned for speed on large photographic canvases: run-length-only deflate with one fixed
// row filter instead of the adaptive filter search of the usual defaults. Format_RGBA8888,
// Format_RGBX8888 and opaque Format_RGB32 are read as they lie in memory; other formats
// are converted first. Returns false when the encoder or the device fails.
bool writeSrgbPng(const QImage& image, QIODevice& device);

}  // namespace quillhaven
