#include "json_file.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <filesystem>
#include <system_error>

namespace quillhaven {

namespace {

Outcome writeAtomically(const std::string& path, const QByteArray& bytes) {
    const std::filesystem::path file(path);
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error) {
        return Outcome::failure(file.parent_path().string() + ": " + error.message());
    }
    QSaveFile saveFile(QString::fromStdString(path));
    if (!saveFile.open(QIODevice::WriteOnly) || saveFile.write(bytes) != bytes.size() ||
        !saveFile.commit()) {
        return Outcome::failure(path + ": " + saveFile.errorString().toStdString());
    }
    return Outcome::success();
}

}  // namespace

JsonFileContents readJsonFile(const std::string& path) {
    const QString qPath = QString::fromStdString(path);
    if (!QFileInfo::exists(qPath)) {
        return {JsonFileContents::State::missing, {}};
    }
    QFile file(qPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return {JsonFileContents::State::unreadable, {}};
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return {JsonFileContents::State::unreadable, {}};
    }
    return {JsonFileContents::State::loaded, document.object()};
}

Outcome writeJsonFile(const std::string& path, const QJsonObject& root) {
    return writeAtomically(path, QJsonDocument(root).toJson(QJsonDocument::Indented));
}

Outcome copyFileAtomically(const QString& source, const std::string& destination) {
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) {
        return Outcome::failure(source.toStdString() + ": " + file.errorString().toStdString());
    }
    return writeAtomically(destination, file.readAll());
}

}  // namespace quillhaven
