#include "platform/virtual_desktop.h"

#include <QFileInfo>
#include <QJsonArray>

#include "core/app_paths.h"
#include "core/log_categories.h"
#include "core/translation.h"
#include "platform/json_file.h"
#include "platform/messages/platform_messages.h"
#include "platform/sample_wallpaper.h"
#include "platform/virtual_desktop_json.h"

namespace quillhaven {

namespace {

// The parsed file, or none when it cannot be parsed.
std::optional<QJsonObject> loadOrCreate(const std::string& filePath, const std::string& sample) {
    JsonFileContents contents = readJsonFile(filePath);
    if (contents.state == JsonFileContents::State::unreadable ||
        (contents.state == JsonFileContents::State::loaded && contents.root.contains("displays") &&
         !contents.root.value("displays").isArray())) {
        return std::nullopt;
    }
    if (contents.state == JsonFileContents::State::loaded) {
        return contents.root;
    }
    // First run: a notched display showing the sample picture. It is answered from memory
    // either way, but written down only once the sample is in place, so a sample that
    // could not be copied is tried again next time instead of leaving a file that points
    // at nothing. A file that could not be written makes the next set report the error.
    const Outcome sampleInstalled = installSampleWallpaper(sample);
    if (!sampleInstalled.succeeded()) {
        qCWarning(logPlatform, "Sample picture not installed: %s",
                  sampleInstalled.errorDescription().c_str());
    }
    QJsonObject display = displayToJson(builtInVirtualDisplay());
    const DesktopPictureOptions options{ImageScaling::proportionallyUpOrDown, true, Color::black()};
    display["desktopImage"] = QJsonObject{{"url", urlToJson(Url::fileURLWithPath(sample))},
                                          {"options", optionsToJson(options)}};
    QJsonObject root{{"displays", QJsonArray{display}}};
    if (sampleInstalled.succeeded()) {
        if (const Outcome written = writeJsonFile(filePath, root); !written.succeeded()) {
            qCWarning(logPlatform, "Virtual desktop not written: %s",
                      written.errorDescription().c_str());
        }
    }
    return root;
}

// The entry of the display on that connector.
std::optional<QJsonObject> displayEntry(const QJsonObject& root, const std::string& connector) {
    for (const QJsonValue& entry : root.value("displays").toArray()) {
        if (entry.isObject() && entryConnector(entry.toObject()) == connector) {
            return entry.toObject();
        }
    }
    return std::nullopt;
}

}  // namespace

VirtualDesktop::VirtualDesktop(std::string filePath, std::string sampleFolder)
    : filePath_(std::move(filePath)), sampleFolder_(std::move(sampleFolder)) {}

std::shared_ptr<VirtualDesktop> VirtualDesktop::forEnvironment(const Environment& environment) {
    return std::make_shared<VirtualDesktop>(app_paths::virtualDesktopFile(environment),
                                            app_paths::dataFolder(environment));
}

std::string VirtualDesktop::samplePicturePath() const {
    return sampleWallpaperPath(sampleFolder_);
}

std::vector<Display> VirtualDesktop::screens() {
    const auto root = loadOrCreate(filePath_, samplePicturePath());
    if (!root) {
        return {};
    }
    return displaysFromJson(root->value("displays").toArray());
}

std::optional<Url> VirtualDesktop::desktopImageURL(const Display& display) {
    const auto root = loadOrCreate(filePath_, samplePicturePath());
    const auto entry = root ? displayEntry(*root, display.connector) : std::nullopt;
    if (!entry) {
        return std::nullopt;
    }
    return urlFromJson(entry->value("desktopImage").toObject().value("url"));
}

std::optional<DesktopPictureOptions> VirtualDesktop::desktopImageOptions(const Display& display) {
    const auto root = loadOrCreate(filePath_, samplePicturePath());
    const auto entry = root ? displayEntry(*root, display.connector) : std::nullopt;
    if (!entry || !entry->value("desktopImage").isObject()) {
        return std::nullopt;
    }
    return optionsFromJson(entry->value("desktopImage").toObject().value("options").toObject());
}

Outcome VirtualDesktop::setDesktopImageURL(const Url& url, const Display& display,
                                           const DesktopPictureOptions& options) {
    auto root = loadOrCreate(filePath_, samplePicturePath());
    if (!root) {
        return Outcome::failure(
            fillIn(translated(platform_messages::virtualDesktopUnreadable), filePath_));
    }
    if (!url.isFileURL()) {
        return Outcome::failure(
            fillIn(translated(platform_messages::virtualNotAFile), url.displayString()));
    }
    if (!QFileInfo(QString::fromStdString(url.path())).isFile()) {
        return Outcome::failure(
            fillIn(translated(platform_messages::virtualPictureMissing), url.path()));
    }
    QJsonArray displays = root->value("displays").toArray();
    for (qsizetype index = 0; index < displays.size(); ++index) {
        QJsonObject entry = displays.at(index).toObject();
        if (!displays.at(index).isObject() || entryConnector(entry) != display.connector) {
            continue;
        }
        QJsonObject picture = entry.value("desktopImage").toObject();
        picture["url"] = urlToJson(url);
        picture["options"] = optionsToJson(options);
        entry["desktopImage"] = picture;
        displays.replace(index, entry);
        (*root)["displays"] = displays;
        return writeJsonFile(filePath_, *root);
    }
    return Outcome::failure(
        fillIn(translated(platform_messages::virtualDisplayUnknown), display.connector));
}

}  // namespace quillhaven
