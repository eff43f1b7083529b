#include "gnome_workspace.h"

#include <gio/gio.h>

#include "gnome_background_settings.h"
#include "gnome_background_style.h"
#include "gnome_color_text.h"
#include "platform_messages.h"

namespace quillhaven::gnome {
namespace {

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

// A picture-options value from the record is written back only if GNOME defines it.
std::optional<std::string> validPictureOptions(const std::optional<std::string>& value) {
    if (value && scalingForPictureOptions(*value)) {
        return value;
    }
    return std::nullopt;
}

// The colour text to write for a requested colour: the user's own spelling when it names the
// same colour, else the canonical form.
std::string colorTextFor(const Color& color, const std::optional<std::string>& userText) {
    if (userText) {
        if (const auto userColor = parseColorText(*userText);
            userColor && sameColor(*userColor, color)) {
            return *userText;
        }
    }
    return formatColorText(color);
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

GnomeWorkspace::GnomeWorkspace(std::string recordPath)
    : settings_(BackgroundSettings::open()), recordPath_(std::move(recordPath)) {}

GnomeWorkspace::~GnomeWorkspace() = default;

bool GnomeWorkspace::watch(Task changed) {
    if (!settings_) {
        return false;
    }
    settings_->onChange(std::move(changed));
    return true;
}

std::optional<Url> GnomeWorkspace::desktopImageURL(const Display&) {
    if (!settings_) {
        return std::nullopt;
    }
    const BackgroundValues values = settings_->read();
    const std::optional<std::string>& shown =
        settings_->prefersDark() && values.pictureUriDark && !values.pictureUriDark->empty()
            ? values.pictureUriDark
            : values.pictureUri;
    return shown ? urlForPictureUri(*shown) : std::nullopt;
}

std::optional<DesktopPictureOptions> GnomeWorkspace::desktopImageOptions(const Display&) {
    if (!settings_) {
        return std::nullopt;
    }
    BackgroundValues values = settings_->read();
    // When the user has chosen a new picture with a tool that leaves picture-options and
    // primary-color alone, those keys still hold what this backend wrote for the generated
    // picture. They are not the user's: report the user's own values from the record.
    if (const auto record = loadBackgroundRecord(recordPath_);
        record && (values.pictureUri != record->applied.pictureUri ||
                   values.pictureUriDark != record->applied.pictureUriDark)) {
        if (values.pictureOptions == record->applied.pictureOptions &&
            record->saved.pictureOptions) {
            values.pictureOptions = record->saved.pictureOptions;
        }
        if (values.primaryColor == record->applied.primaryColor && record->saved.primaryColor) {
            values.primaryColor = record->saved.primaryColor;
        }
    }
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

Outcome GnomeWorkspace::setDesktopImageURL(const Url& url, const Display&,
                                           const DesktopPictureOptions& options) {
    if (!settings_) {
        return Outcome::failure(platform_messages::gnomeSchemaMissing);
    }
    const auto uri = fileUriForUrl(url);
    if (!uri) {
        return Outcome::failure(platform_messages::gnomeNotLocal);
    }
    const std::optional<BackgroundRecord> record = loadBackgroundRecord(recordPath_);
    const BackgroundValues user = userValuesToSave(settings_->read(), record);
    // Putting back one of the user's pictures restores the pair it belongs to.
    const bool restoring = uri == user.pictureUri || uri == user.pictureUriDark;

    BackgroundValues target;
    target.pictureUri = restoring ? user.pictureUri.value_or(*uri) : *uri;
    target.pictureUriDark = restoring ? user.pictureUriDark.value_or(*uri) : *uri;
    target.pictureOptions = pictureOptionsForOptions(options);
    if (!target.pictureOptions && restoring) {
        target.pictureOptions = validPictureOptions(user.pictureOptions);
    }
    if (options.fillColor) {
        target.primaryColor = colorTextFor(*options.fillColor, user.primaryColor);
    } else if (restoring) {
        target.primaryColor = user.primaryColor;
    }
    if (!settings_->canWrite(target)) {
        return Outcome::failure(platform_messages::gnomeLocked);
    }

    if (restoring) {
        settings_->write(target);
        removeBackgroundRecord(recordPath_);
    } else {
        // Noted before the keys change, so the user's values survive a crash in between. A
        // record that cannot be written is not a reason to refuse the picture.
        saveBackgroundRecord(recordPath_, BackgroundRecord{user, target});
        settings_->write(target);
    }
    return Outcome::success();
}

}  // namespace quillhaven::gnome
