#pragma once

// Decoders that reduce a large PNG or JPEG to a smaller size while reading it, row by row,
// so that the full-size picture is never held in memory. ImageDecoder dispatches to them.

#include <QImage>
#include <QSize>
#include <QString>
#include <cstdio>
#include <functional>
#include <string>

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

// ---- Shared by the two decoders ----

// Opens `path` as a regular file (never blocking on a FIFO or device) and decodes it with
// `decode`. A file that cannot be opened, or a picture that does not fit in memory, reads as
// unreadable, as the general decoder answers with a null image.
ReducedDecode decodeRegularFile(const QString& path,
                                const std::function<ReducedDecode(std::FILE*)>& decode);

// A picture that finished reducing, in its colour space: an embedded ICC profile, or sRGB
// where the file says so; untagged otherwise.
ReducedDecode reducedPicture(QImage image, const std::string& iccProfile, bool srgb);

// Decodes a PNG and reduces it to `size` by area averaging as its rows arrive. `size` must
// not exceed the picture's own on either axis. Interlaced pictures, and pictures whose only
// colour information is a gAMA or cHRM chunk, are not handled. Pictures larger than
// `maxPixels` are unreadable.
ReducedDecode decodeReducedPng(const QString& path, QSize size, qint64 maxPixels);

// Decodes a JPEG at the smallest DCT scale (M/8) that still covers `size`, then reduces it
// to `size` by area averaging as its rows arrive. CMYK pictures are not handled.
ReducedDecode decodeReducedJpeg(const QString& path, QSize size, qint64 maxPixels);

}  // namespace quillhaven
