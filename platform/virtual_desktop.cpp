#include "virtual_desktop.h"

#include <QFileInfo>
#include <QJsonArray>

#include "environment.h"
#include "json_file.h"
#include "sample_wallpaper.h"
#include "virtual_desktop_json.h"

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
    // First run: a notched display showing the sample picture. Should the file not be
    // writable, the same desktop is still answered from memory.
    installSampleWallpaper(sample);
    QJsonObject display = displayToJson(builtInVirtualDisplay());
    const DesktopImageOptions options{
        {DesktopImageOptionKey::scaling, BoxedNumber{std::int64_t{3}}},
        {DesktopImageOptionKey::allowClipping, BoxedNumber{true}},
        {DesktopImageOptionKey::fillColor, Color::black()},
    };
    display["desktopImage"] = QJsonObject{{"url", urlToJson(Url::fileURLWithPath(sample))},
                                          {"options", optionsToJson(options)}};
    QJsonObject root{{"displays", QJsonArray{display}}};
    writeJsonFile(filePath, root);
    return root;
}

// The entry of the display with that identifier.
std::optional<QJsonObject> displayEntry(const QJsonObject& root, const std::string& identifier) {
    const QString id = QString::fromStdString(identifier);
    for (const QJsonValue& entry : root.value("displays").toArray()) {
        if (entry.isObject() && entry.toObject().value("id") == QJsonValue(id)) {
            return entry.toObject();
        }
    }
    return std::nullopt;
}

}  // namespace

VirtualDesktop::VirtualDesktop(std::string filePath, std::string sampleFolder)
    : filePath_(std::move(filePath)), sampleFolder_(std::move(sampleFolder)) {}

std::shared_ptr<VirtualDesktop> VirtualDesktop::forEnvironment(const Environment& environment) {
    return std::make_shared<VirtualDesktop>(
        quillhavenConfigFolder(environment) + "/virtual-desktop.json",
        quillhavenDataFolder(environment));
}

std::string VirtualDesktop::samplePicturePath() const {
    return sampleWallpaperPath(sampleFolder_);
}

std::vector<Display> VirtualDesktop::screens() {
    std::vector<Display> displays;
    const auto root = loadOrCreate(filePath_, samplePicturePath());
    if (!root) {
        return displays;
    }
    for (const QJsonValue& entry : root->value("displays").toArray()) {
        if (auto display = displayFromJson(entry.toObject())) {
            displays.push_back(std::move(*display));
        }
    }
    return displays;
}

std::optional<Url> VirtualDesktop::desktopImageURL(const Display& display) {
    const auto root = loadOrCreate(filePath_, samplePicturePath());
    const auto entry = root ? displayEntry(*root, display.identifier) : std::nullopt;
    if (!entry) {
        return std::nullopt;
    }
    return urlFromJson(entry->value("desktopImage").toObject().value("url"));
}

std::optional<DesktopImageOptions> VirtualDesktop::desktopImageOptions(const Display& display) {
    const auto root = loadOrCreate(filePath_, samplePicturePath());
    const auto entry = root ? displayEntry(*root, display.identifier) : std::nullopt;
    if (!entry || !entry->value("desktopImage").isObject()) {
        return std::nullopt;
    }
    return optionsFromJson(entry->value("desktopImage").toObject().value("options").toObject());
}

Outcome VirtualDesktop::setDesktopImageURL(const Url& url, const Display& display,
                                           const DesktopImageOptions& options) {
    auto root = loadOrCreate(filePath_, samplePicturePath());
    if (!root) {
        return Outcome::failure("仮想デスクトップのファイル " + filePath_ + " を読み取れません");
    }
    if (!url.isFileURL()) {
        return Outcome::failure("ファイルではない壁紙は設定できません: " + url.displayString());
    }
    if (!QFileInfo(QString::fromStdString(url.path())).isFile()) {
        return Outcome::failure("壁紙のファイルがありません: " + url.path());
    }
    const QString id = QString::fromStdString(display.identifier);
    QJsonArray displays = root->value("displays").toArray();
    for (qsizetype index = 0; index < displays.size(); ++index) {
        QJsonObject entry = displays.at(index).toObject();
        if (!displays.at(index).isObject() || entry.value("id") != QJsonValue(id)) {
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
    return Outcome::failure("ディスプレイ「" + display.identifier +
                            "」は仮想デスクトップにありません");
}

}  // namespace quillhaven
