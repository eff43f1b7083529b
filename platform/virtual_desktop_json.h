#pragma once

// Conversions between the virtual desktop's JSON file and the controller's value types.
//
// A display:
//   {"id": "built-in", "frame": {"x", "y", "width", "height"}, "backingScaleFactor": 2,
//    "safeAreaInsets": {"top", "left", "bottom", "right"},
//    "auxiliaryTopLeftArea": {...} or null, "auxiliaryTopRightArea": {...} or null,
//    "desktopImage": {"url": "file:///...",
//                     "options": {"scaling": 3, "allowClipping": true,
//                                 "fillColor": "#000000ff"}}}
// Missing numbers read 0 (the scale 1); an entry without a text "id" is not a display.

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <optional>

#include "desktop_services.h"

namespace quillhaven {

// The display that a new virtual desktop starts with: a notched 1512 × 982 point panel.
Display builtInVirtualDisplay();

std::optional<Display> displayFromJson(const QJsonObject& object);
// The geometry fields of a display, to be merged into its entry.
QJsonObject displayToJson(const Display& display);

// The picture URL: a file URL (percent-decoded), another scheme as it is, or a plain
// absolute path (as someone may type by hand). None when missing or empty.
std::optional<Url> urlFromJson(const QJsonValue& value);
// File URLs are written percent-encoded.
QString urlToJson(const Url& url);

// "scaling" is a whole number, "allowClipping" a boolean (a number reads as one, non-zero
// being true), "fillColor" "#rrggbbaa" or "#rrggbb". A value of any other kind is left out.
DesktopPictureOptions optionsFromJson(const QJsonObject& object);
// The entries the options carry, in the same spelling.
QJsonObject optionsToJson(const DesktopPictureOptions& options);

std::optional<Color> colorFromHex(const QString& text);
// Components are rounded to 8 bits.
QString colorToHex(const Color& color);

}  // namespace quillhaven
