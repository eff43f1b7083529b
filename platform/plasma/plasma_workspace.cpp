#include "platform/plasma/plasma_workspace.h"

#include <algorithm>
#include <cmath>

#include "controller/display_rules.h"

#include "core/translation.h"
#include "platform/messages/platform_messages.h"
#include "platform/plasma/fill_mode_mapping.h"
#include "platform/plasma/wallpaper_scripts.h"

namespace quillhaven::plasma {

std::optional<ScreenTarget> plasmaScreenNumber(const Display& display,
                                               const std::vector<Display>& all) {
    const auto primary =
        std::find_if(all.begin(), all.end(), [](const Display& d) { return d.isPrimary; });
    const auto first = primary != all.end() ? primary : all.begin();
    int number = 1;
    for (auto candidate = all.begin(); candidate != all.end(); ++candidate) {
        if (candidate == first) {
            if (candidate->connector == display.connector) {
                return ScreenTarget{display.connector, 0};
            }
            continue;
        }
        if (candidate->connector == display.connector) {
            return ScreenTarget{display.connector, number};
        }
        ++number;
    }
    return std::nullopt;
}

ScreenNumbering screenNumberingFrom(std::shared_ptr<DisplayService> displays) {
    return [displays = std::move(displays)](const Display& display) {
        return plasmaScreenNumber(display, displays->screens());
    };
}

PlasmaWorkspace::PlasmaWorkspace(PlasmaShellClient shell, ScreenNumbering numbering,
                                 std::string appletsConfigPath, PackageFolders packages)
    : shell_(std::move(shell)),
      numbering_(std::move(numbering)),
      appletsConfigPath_(std::move(appletsConfigPath)),
      packages_(std::move(packages)) {}

std::optional<WallpaperReading> PlasmaWorkspace::read(const Display& display) {
    const auto screen = numbering_(display);
    if (!screen) {
        return std::nullopt;
    }
    // Stamped before asking, so a save that lands during the call is seen by the next one.
    const std::optional<FileStamp> stamp =
        appletsConfigPath_.empty() ? std::nullopt : fileStamp(appletsConfigPath_);
    const auto now = std::chrono::steady_clock::now();
    if (const auto kept = kept_.find(screen->connector); kept != kept_.end()) {
        if (stamp && kept->second.configStamp == *stamp &&
            now - kept->second.readAt < readingLifetime) {
            return kept->second.reading;
        }
        kept_.erase(kept);
    }
    const ScriptResult result = shell_.evaluate(readWallpaperScript(*screen));
    if (!result.succeeded()) {
        lastReadFailure_ = result.error();
        return std::nullopt;
    }
    auto wallpaper = parseWallpaperAnswer(result.value());
    if (!wallpaper || !wallpaper->found) {
        lastReadFailure_ = wallpaper ? translated(platform_messages::plasmaNoDesktop)
                                     : translated(platform_messages::plasmaUnreadableAnswer);
        return std::nullopt;
    }
    lastReadFailure_.clear();
    if (stamp) {
        kept_[screen->connector] = KeptReading{*wallpaper, *stamp, now};
    }
    return wallpaper;
}

std::optional<Url> PlasmaWorkspace::desktopImageURL(const Display& display) {
    const auto reading = read(display);
    if (!reading) {
        return std::nullopt;
    }
    if (reading->plugin != QLatin1String(imagePlugin)) {
        return Url(pluginScheme, reading->plugin.toStdString());
    }
    // A wallpaper package, named or (with no Image at all) the look-and-feel's default,
    // reads as the picture Plasma shows from it on this display. Restoring puts the Image
    // value back as it was, so the package stays the package.
    const std::optional<QString> package = reading->image.trimmed().isEmpty()
                                               ? defaultWallpaperPackage(packages_)
                                               : wallpaperPackageFolder(reading->image, packages_);
    if (package) {
        const PixelSize native = nativePixelSize(display);
        const QSize pixels(static_cast<int>(std::min<std::int64_t>(native.width, 1 << 20)),
                           static_cast<int>(std::min<std::int64_t>(native.height, 1 << 20)));
        const auto picture =
            preferredPictureInPackage(*package, pixels, prefersDarkPictures(packages_));
        return picture ? std::optional(Url::fileURLWithPath(picture->toStdString())) : std::nullopt;
    }
    return urlForImageValue(reading->image);
}

std::optional<DesktopPictureOptions> PlasmaWorkspace::desktopImageOptions(const Display& display) {
    const auto reading = read(display);
    if (!reading || reading->plugin != QLatin1String(imagePlugin)) {
        return std::nullopt;
    }
    DesktopPictureOptions options = optionsForFillMode(reading->fillMode, Color::black());
    // An unset colour is Plasma's own default, which differs between versions: not known.
    options.fillColor = parseConfigColor(reading->color.toStdString());
    return options;
}

std::optional<NativePictureSettings> PlasmaWorkspace::nativeSettings(const Display& display) {
    const auto reading = read(display);
    if (!reading || reading->plugin != QLatin1String(imagePlugin)) {
        return std::nullopt;
    }
    NativePictureSettings settings;
    const auto text = [&](const char* key, const QString& value) -> std::optional<std::string> {
        if (!reading->presentKeys.contains(QLatin1String(key)) || value.isEmpty()) {
            return std::nullopt;
        }
        return value.toStdString();
    };
    settings[imageKey] = text(imageKey, reading->image);
    // The fill mode is always written with a picture and cannot be removed through the
    // shell, so an unset one counts as Plasma's default, which it shows the same.
    settings[fillModeKey] =
        text(fillModeKey, reading->fillModeText).value_or(std::to_string(defaultFillMode));
    settings[colorKey] = text(colorKey, reading->color);
    return settings;
}

Outcome PlasmaWorkspace::restoreNativeSettings(const NativePictureSettings& settings,
                                               const Display& display) {
    WallpaperWrite values;
    for (const auto& [name, value] : settings) {
        std::optional<QString>* target = name == imageKey      ? &values.image
                                         : name == fillModeKey ? &values.fillMode
                                         : name == colorKey    ? &values.color
                                                               : nullptr;
        if (!target) {
            return Outcome::failure(translated(platform_messages::plasmaUnknownSettings));
        }
        if (value) {
            *target = QString::fromStdString(*value);
        } else {
            // Unset again: a fresh desktop's Image stays absent, so Plasma keeps showing
            // the look-and-feel's default.
            values.removed << QString::fromStdString(name);
        }
    }
    return write(values, display);
}

Outcome PlasmaWorkspace::setDesktopImageURL(const Url& url, const Display& display,
                                            const DesktopPictureOptions& options) {
    if (!url.isFileURL()) {
        return Outcome::failure(translated(platform_messages::plasmaNotAFile));
    }
    WallpaperWrite values;
    values.image = imageValueForPath(url.path());
    const std::optional<int> fillMode = fillModeForOptions(options);
    if (fillMode) {
        values.fillMode = QString::number(*fillMode);
    }
    // A stretched picture covers the whole screen, so its colour never shows: the user's
    // colour is then left exactly as it is rather than replaced by one nobody sees.
    if (options.fillColor && fillMode != stretchFillMode) {
        values.color = QString::fromStdString(formatConfigColor(*options.fillColor));
    }
    return write(values, display);
}

Outcome PlasmaWorkspace::write(const WallpaperWrite& values, const Display& display) {
    const auto screen = numbering_(display);
    if (!screen) {
        return Outcome::failure(translated(platform_messages::plasmaNoScreen));
    }
    // Whatever happens below, what was read before no longer holds.
    kept_.clear();
    const ScriptResult result = shell_.evaluate(writeWallpaperScript(*screen, values));
    if (!result.succeeded()) {
        return Outcome::failure(result.error());
    }
    const auto answer = parseWallpaperAnswer(result.value());
    if (!answer) {
        return Outcome::failure(translated(platform_messages::plasmaUnreadableAnswer));
    }
    if (!answer->found) {
        return Outcome::failure(translated(platform_messages::plasmaNoDesktop));
    }
    if (!answer->written) {
        // Another plugin (a slideshow, say) is in use: switching it away would lose the
        // user's own setting, so nothing is changed.
        return Outcome::failure(
            fillIn(translated(platform_messages::plasmaOtherPlugin), answer->plugin.toStdString()));
    }
    return Outcome::success();
}

}  // namespace quillhaven::plasma
