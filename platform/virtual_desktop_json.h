#pragma once

// Conversions between the virtual desktop's JSON file and the controller's value types.
//
// A display:
//   {"connector": "eDP-1", "builtIn": true, "primary": true,
//    "geometry": {"x", "y", "width", "height"}, "devicePixelRatio": 2, "notchHeight": 64,
//    "desktopImage": {"url": "file:///...",
//                     "options": {"scaling": 3, "allowClipping": true,
//                                 "fillColor": "#000000ff"}}}
// Geometry is in device-independent pixels with the origin at the top left; the notch
// height in device pixels. Missing numbers read 0 (the ratio 1); "builtIn" defaults to
// true for the only display. An entry without a text "connector" is not a display.
//
// Files written by earlier versions name a display by "id" and give a "frame" with the
// origin at the lower left of the main display, a "backingScaleFactor", "safeAreaInsets"
// and the "auxiliaryTopLeftArea"/"auxiliaryTopRightArea" beside a notch. They are read as
// they are: the frame turned the right way up, a top inset with both areas as the notch.

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "controller/desktop_services.h"

namespace quillhaven {

// The display that a new virtual desktop starts with: a notched 1512 × 982 panel at a
// ratio of 2.
Display builtInVirtualDisplay();

// The displays of the "displays" array, in either shape.
std::vector<Display> displaysFromJson(const QJsonArray& entries);
// The name an entry goes by ("connector", or an earlier file's "id"), none when it has none.
std::optional<std::string> entryConnector(const QJsonObject& entry);
// The fields of a display in the current shape, to be merged into its entry.
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
