#include "platform/plasma/wallpaper_scripts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <cstdio>

namespace quillhaven::plasma {

namespace {

// Finds the desktops of the screen on the connector. Plasma numbers its screens in its own
// order and maps a connector to its number; a shell without that mapping gets the number
// worked out from the display list. Other activities' desktops report -1 and are left out.
constexpr const char* desktopsOnScreen = R"JS(
  var target = fallbackScreen;
  if (typeof screenForConnector === "function") {
    var numbered = Number(screenForConnector(connector));
    if (numbered >= 0) {
      target = numbered;
    }
  }
  var matched = [];
  var all = desktops();
  for (var i = 0; i < all.length; ++i) {
    if (Number(all[i].screen) === target) {
      matched.push(all[i]);
    }
  }
  if (matched.length === 0) {
    print(JSON.stringify({found: false}));
    return;
  }
)JS";

QString scriptWithBody(const std::string& declarations, const char* body) {
    std::string script = "(function () {\n" + declarations + desktopsOnScreen + body + "})();\n";
    return QString::fromStdString(script);
}

void appendEscaped(std::string& out, char32_t code) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(code));
    out += buffer;
}

}  // namespace

std::string scriptStringLiteral(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += static_cast<char>(byte);
        } else if (byte < 0x20 || byte == 0x7f) {
            appendEscaped(out, byte);
        } else if (byte == 0xe2 && i + 2 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) == 0x80 &&
                   (static_cast<unsigned char>(text[i + 2]) == 0xa8 ||
                    static_cast<unsigned char>(text[i + 2]) == 0xa9)) {
            // U+2028 LINE SEPARATOR and U+2029 PARAGRAPH SEPARATOR.
            appendEscaped(out, static_cast<unsigned char>(text[i + 2]) == 0xa8 ? 0x2028 : 0x2029);
            i += 2;
        } else {
            out += static_cast<char>(byte);
        }
    }
    out += '"';
    return out;
}

std::string screenDeclarations(const ScreenTarget& screen) {
    return "  var connector = " + scriptStringLiteral(screen.connector) +
           ";\n  var fallbackScreen = " + std::to_string(screen.fallbackNumber) + ";\n";
}

QString readWallpaperScript(const ScreenTarget& screen) {
    const std::string declarations = screenDeclarations(screen) + "  var plugin = " +
                                     scriptStringLiteral(imagePlugin) + ";\n";
    return scriptWithBody(declarations, R"JS(
  var desktop = matched[0];
  var answer = {found: true, plugin: String(desktop.wallpaperPlugin)};
  if (answer.plugin === plugin) {
    desktop.currentConfigGroup = ["Wallpaper", plugin, "General"];
    var keys = desktop.configKeys || [];
    answer.present = [];
    for (var n = 0; n < keys.length; ++n) {
      answer.present.push(String(keys[n]));
    }
    answer.image = String(desktop.readConfig("Image", ""));
    answer.fillModeText = String(desktop.readConfig("FillMode", ""));
    answer.fillMode = Number(desktop.readConfig("FillMode", 2));
    answer.color = String(desktop.readConfig("Color", ""));
  }
  print(JSON.stringify(answer));
)JS");
}

QString writeWallpaperScript(const ScreenTarget& screen, const WallpaperWrite& values) {
    std::string declarations = screenDeclarations(screen);
    declarations += "  var plugin = " + scriptStringLiteral(imagePlugin) + ";\n";
    declarations += "  var image = " +
                    (values.image ? scriptStringLiteral(values.image->toStdString())
                                  : std::string("null")) +
                    ";\n";
    declarations += "  var fillMode = " +
                    (values.fillMode ? scriptStringLiteral(values.fillMode->toStdString())
                                     : std::string("null")) +
                    ";\n";
    declarations +=
        "  var color = " +
        (values.color ? scriptStringLiteral(values.color->toStdString()) : std::string("null")) +
        ";\n";
    declarations += "  var removed = [";
    for (const QString& key : values.removed) {
        declarations += scriptStringLiteral(key.toStdString()) + ", ";
    }
    declarations += "];\n";
    return scriptWithBody(declarations, R"JS(
  for (var j = 0; j < matched.length; ++j) {
    if (String(matched[j].wallpaperPlugin) !== plugin) {
      print(JSON.stringify({found: true, plugin: String(matched[j].wallpaperPlugin),
                            written: false}));
      return;
    }
  }
  // Only values that differ are written: each write reaches the live wallpaper too, and
  // a value the user already has must not be rewritten in another spelling.
  function put(desktop, key, value) {
    if (value !== null && String(desktop.readConfig(key, "")) !== String(value)) {
      desktop.writeConfig(key, value);
    }
  }
  for (var k = 0; k < matched.length; ++k) {
    var desktop = matched[k];
    desktop.currentConfigGroup = ["Wallpaper", plugin, "General"];
    put(desktop, "Image", image);
    put(desktop, "FillMode", fillMode);
    put(desktop, "Color", color);
    for (var r = 0; r < removed.length; ++r) {
      if (desktop.configKeys.indexOf(removed[r]) >= 0) {
        desktop.writeConfig(removed[r], undefined);
      }
    }
    if (typeof desktop.reloadConfig === "function") {
      desktop.reloadConfig();
    }
  }
  print(JSON.stringify({found: true, plugin: plugin, written: true}));
)JS");
}

std::optional<WallpaperReading> parseWallpaperAnswer(const QString& answer) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(answer.trimmed().toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    if (!object.value(QLatin1String("found")).isBool()) {
        return std::nullopt;
    }
    WallpaperReading reading;
    reading.found = object.value(QLatin1String("found")).toBool();
    reading.plugin = object.value(QLatin1String("plugin")).toString();
    reading.image = object.value(QLatin1String("image")).toString();
    const QJsonValue fillMode = object.value(QLatin1String("fillMode"));
    // A fill mode that is not a whole number in range reads as Plasma's default.
    const double mode = fillMode.toDouble(-1);
    reading.fillMode =
        (mode >= 0 && mode <= 6 && mode == static_cast<int>(mode)) ? static_cast<int>(mode) : 2;
    reading.color = object.value(QLatin1String("color")).toString();
    reading.fillModeText = object.value(QLatin1String("fillModeText")).toString();
    for (const QJsonValue& key : object.value(QLatin1String("present")).toArray()) {
        reading.presentKeys.insert(key.toString());
    }
    reading.written = object.value(QLatin1String("written")).toBool();
    return reading;
}

std::optional<Url> urlForImageValue(const QString& value) {
    const QString text = value.trimmed();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    if (text.startsWith(QLatin1Char('/'))) {
        return Url::fileURLWithPath(text.toStdString());
    }
    // Plasma writes its own values with spaces and other characters left as they are.
    const QUrl url(text, QUrl::TolerantMode);
    if (!url.isValid() || url.scheme().isEmpty()) {
        return std::nullopt;
    }
    if (url.isLocalFile()) {
        const QString path = url.toLocalFile();
        if (path.isEmpty()) {
            return std::nullopt;
        }
        return Url::fileURLWithPath(path.toStdString());
    }
    // A remote or otherwise non-file picture: carried so the caller can refuse it.
    return Url(url.scheme().toStdString(),
               url.toString(QUrl::RemoveScheme | QUrl::FullyDecoded).toStdString());
}

QString imageValueForPath(const std::string& path) {
    return QUrl::fromLocalFile(QString::fromStdString(path)).toString();
}

}  // namespace quillhaven::plasma
