#pragma once

// Decoders that reduce a large PNG or JPEG to a smaller size while reading it, row by row,
// so that the full-size picture is never held in memory. ImageDecoder dispatches to them.

#include <QImage>
#include <QSize>
#include <QString>

namespace quillhaven {

struct ReducedDecode {
    enum class Outcome {
        decoded,     // `image` holds the picture at the requested size
        unreadable,  // the file is damaged, or not what its header claimed
        notHandled,  // a variant these decoders leave to the general decoder
    };
    Outcome outcome = Outcome::notHandled;
    // Format_RGB32, or Format_ARGB32_Premultiplied when the picture has transparency,
    // with the picture's colour space (an embedded ICC profile, or sRGB when tagged so).
    QImage image;
};

// Decodes a PNG and reduces it to `size` by area averaging as its rows arrive. `size` must
// not exceed the picture's own on either axis. Interlaced pictures, and pictures whose only
// colour information is a gAMA or cHRM chunk, are not handled. Pictures larger than
// `maxPixels` are unreadable.
ReducedDecode decodeReducedPng(const QString& path, QSize size, qint64 maxPixels);

// Decodes a JPEG at the smallest DCT scale (M/8) that still covers `size`, then reduces it
// to `size` by area averaging as its rows arrive. CMYK pictures are not handled.
ReducedDecode decodeReducedJpeg(const QString& path, QSize size, qint64 maxPixels);

}  // namespace quillhaven
