#include "platform/gnome/gnome_workspace.h"

#include <gio/gio.h>

#include <QString>
#include <chrono>
#include <cmath>

#include "controller/translation_marker.h"
#include "core/log_categories.h"
#include "core/translation.h"
#include "platform/gnome/background_xml.h"
#include "platform/gnome/gnome_background_settings.h"
#include "platform/gnome/gnome_background_style.h"
#include "platform/gnome/gnome_color_text.h"
#include "platform/messages/platform_messages.h"

namespace quillhaven::gnome {
namespace {

// GNOME's stock backgrounds and every slideshow tool name their XML files so.
bool isBackgroundXml(const std::string& path) {
    return QString::fromStdString(path).endsWith(QLatin1String(".xml"), Qt::CaseInsensitive);
}

std::optional<std::string> fileUriForUrl(const Url& url) {
    const std::string path = url.path();
    if (!url.isFileURL() || path.empty() || path.front() != '/') {
        return std::nullopt;
    }
    gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    if (!uri) {
        return std::nullopt;
    }
    std::string text(uri);
    g_free(uri);
    return text;
}

Outcome outcomeOf(SettingsWrite write) {
    switch (write) {
        case SettingsWrite::taken:
            return Outcome::success();
        case SettingsWrite::notConfirmed:
            return Outcome::failure(translated(platform_messages::gnomeServiceSilent));
        case SettingsWrite::unknownKey:
            break;
    }
    return Outcome::failure(translated(platform_messages::gnomeUnknownSettings));
}

}  // namespace

std::optional<Url> urlForPictureUri(const std::string& uri) {
    if (uri.empty()) {
        return std::nullopt;
    }
    if (uri.front() == '/') {
        return Url("file", uri);
    }
    gchar* scheme = g_uri_parse_scheme(uri.c_str());
    if (!scheme) {
        return std::nullopt;
    }
    const std::string schemeText(scheme);
    g_free(scheme);
    if (g_ascii_strcasecmp(schemeText.c_str(), "file") != 0) {
        gchar* lower = g_ascii_strdown(schemeText.c_str(), -1);
        Url other(lower, uri.substr(schemeText.size() + 1));
        g_free(lower);
        return other;
    }
    gchar* hostname = nullptr;
    gchar* path = g_filename_from_uri(uri.c_str(), &hostname, nullptr);
    const bool local = path && (!hostname || g_ascii_strcasecmp(hostname, "localhost") == 0);
    std::optional<Url> url = local ? Url("file", path) : Url("", uri);
    g_free(path);
    g_free(hostname);
    return url;
}

GnomeWorkspace::GnomeWorkspace() : settings_(BackgroundSettings::open()) {}

GnomeWorkspace::~GnomeWorkspace() = default;

bool GnomeWorkspace::watch(Task changed) {
    if (!settings_) {
        return false;
    }
    settings_->onChange(std::move(changed));
    return true;
}

std::optional<Url> GnomeWorkspace::desktopImageURL(const Display& display) {
    lastReadFailure_.clear();
    if (!settings_) {
        return std::nullopt;
    }
    const BackgroundValues values = settings_->read();
    const std::optional<std::string>& shown =
        settings_->prefersDark() && values.pictureUriDark && !values.pictureUriDark->empty()
            ? values.pictureUriDark
            : values.pictureUri;
    std::optional<Url> url = shown ? urlForPictureUri(*shown) : std::nullopt;
    if (!url || !url->isFileURL() || !isBackgroundXml(url->path())) {
        return url;
    }
    // GNOME picks the size for the monitor as its shell lays it out.
    const QSize monitor(static_cast<int>(std::lround(display.geometry.width)),
                        static_cast<int>(std::lround(display.geometry.height)));
    const Result<std::string> picture =
        pictureShownFromFile(url->path(), monitor, std::chrono::system_clock::now());
    if (!picture.succeeded()) {
        qCWarning(logPlatform, "XML background %s not used: %s", url->path().c_str(),
                  picture.error().c_str());
        lastReadFailure_ = fillIn(translated(platform_messages::gnomeXmlUnusable), url->path());
        return std::nullopt;
    }
    return Url::fileURLWithPath(picture.value());
}

std::optional<DesktopPictureOptions> GnomeWorkspace::desktopImageOptions(const Display&) {
    if (!settings_) {
        return std::nullopt;
    }
    const BackgroundValues values = settings_->read();
    DesktopPictureOptions options;
    if (values.pictureOptions) {
        if (const auto pair = scalingForPictureOptions(*values.pictureOptions)) {
            options.scaling = pair->scaling;
            options.allowClipping = pair->allowClipping;
        }
    }
    if (values.primaryColor) {
        options.fillColor = parseColorText(*values.primaryColor);
    }
    return options;
}

std::optional<NativePictureSettings> GnomeWorkspace::nativeSettings(const Display&) {
    if (!settings_) {
        return std::nullopt;
    }
    return settings_->readUserValues();
}

Outcome GnomeWorkspace::restoreNativeSettings(const NativePictureSettings& settings,
                                              const Display& display) {
    if (!settings_) {
        return Outcome::failure(translated(platform_messages::gnomeSchemaMissing));
    }
    if (const auto blocker = pictureChangeBlocker(display)) {
        return Outcome::failure(*blocker);
    }
    return outcomeOf(settings_->restoreUserValues(settings));
}

std::optional<std::string> GnomeWorkspace::pictureChangeBlocker(const Display&) {
    if (settings_ && settings_->isLocked()) {
        return std::string(translated(platform_messages::gnomeLocked));
    }
    return std::nullopt;
}

Outcome GnomeWorkspace::setDesktopImageURL(const Url& url, const Display&,
                                           const DesktopPictureOptions& options) {
    if (!settings_) {
        return Outcome::failure(translated(platform_messages::gnomeSchemaMissing));
    }
    const auto uri = fileUriForUrl(url);
    if (!uri) {
        return Outcome::failure(translated(platform_messages::gnomeNotLocal));
    }
    // One picture for both colour schemes; the user's own pair comes back through the
    // native settings the controller recorded.
    BackgroundValues target;
    target.pictureUri = *uri;
    target.pictureUriDark = *uri;
    target.pictureOptions = pictureOptionsForOptions(options);
    if (options.fillColor) {
        target.primaryColor = formatColorText(*options.fillColor);
    }
    if (!settings_->canWrite(target)) {
        return Outcome::failure(translated(platform_messages::gnomeLocked));
    }
    return outcomeOf(settings_->write(target));
}

}  // namespace quillhaven::gnome
