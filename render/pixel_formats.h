#pragma once

#include <QImage>

namespace quillhaven {

// Whether the painter scales a picture of this format as it is. Any other format is first
// converted to 32-bit pixels, a copy the decoder counts against the memory budget.
inline bool isDirectlyScalable(QImage::Format format) {
    switch (format) {
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_ARGB32_Premultiplied:
        case QImage::Format_RGBX64:
        case QImage::Format_RGBA64:
        case QImage::Format_RGBA64_Premultiplied:
            return true;
        default:
            return false;
    }
}

}  // namespace quillhaven
