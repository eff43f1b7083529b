#pragma once

#include <QImage>

#include "render/canvas_geometry.h"

namespace quillhaven {

// Draws the wallpaper: the picture scaled to cover the whole canvas, shown only inside the
// rounded picture area, everything else (the band, the corners) black, and a one-pixel
// anti-aliased black outline just inside the picture area's edge. The result is opaque,
// in sRGB, Format_RGB32 (the PNG writer reorders its bytes while filtering). A null image
// means the canvas could not be created.
QImage paintWallpaper(QImage picture, const CanvasGeometry& geometry);

}  // namespace quillhaven
