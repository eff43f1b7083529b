#pragma once

// The scripts that read and write a desktop's wallpaper through Plasma's scripting API, and
// the reading of their answers. Every value goes into a script as a JSON string literal, so
// quotes, backslashes, line breaks and any non-ASCII text in a path stay data and never
// become code. Each script prints exactly one JSON object.

#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <string_view>

#include "core/url.h"

namespace quillhaven::plasma {

inline constexpr const char* imagePlugin = "org.kde.image";

// `text` (UTF-8) as a JavaScript string literal, quotes included. Besides what JSON
// escapes, U+2028 and U+2029 are escaped since older script engines end a line there.
std::string scriptStringLiteral(std::string_view text);

// The Plasma screen a script works on: the one Plasma maps the connector to, or, where the
// shell cannot map connectors, the number Plasma would give the display.
struct ScreenTarget {
    std::string connector;
    int fallbackNumber = 0;
};

// The script's declarations that name the screen.
std::string screenDeclarations(const ScreenTarget& screen);

// Reads the wallpaper plugin and, for the image plugin, its Image, FillMode and Color on
// the desktop of the screen.
QString readWallpaperScript(const ScreenTarget& screen);

// Each value is written as text exactly as given, and only when the desktop holds another;
// an absent one is left as it is.
struct WallpaperWrite {
    std::optional<QString> image;
    std::optional<QString> fillMode;
    std::optional<QString> color;
    // Keys removed again (writing `undefined` is how the shell's scripting deletes a key).
    QStringList removed;
};

// Writes the values to every desktop of the screen, but only when all of them use the
// image plugin: a slideshow or another plugin is never switched away from.
QString writeWallpaperScript(const ScreenTarget& screen, const WallpaperWrite& values);

struct WallpaperReading {
    bool found = false;  // a desktop exists on that screen
    QString plugin;
    QString image;
    int fillMode = 2;
    QString color;          // the Color text, empty when unset
    QString fillModeText;   // the FillMode text, empty when unset
    QSet<QString> presentKeys;  // the keys the image wallpaper's settings hold
    bool written = false;  // a write script changed the settings
};

// None when the answer is not the JSON object the scripts print.
std::optional<WallpaperReading> parseWallpaperAnswer(const QString& answer);

// The Image value as a URL: a file URL for a local path or "file:" URL, the URL itself for
// another scheme, none when empty or unreadable.
std::optional<Url> urlForImageValue(const QString& value);
// The Image value for a local path: a "file:" URL, as Plasma writes it itself.
QString imageValueForPath(const std::string& path);

}  // namespace quillhaven::plasma
