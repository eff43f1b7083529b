#include "platform/json_file.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "core/whole_file_save.h"

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
    if (!saveFile.open(QIODevice::WriteOnly) || saveFile.write(bytes) != bytes.size()) {
        return Outcome::failure(path + ": " + saveFile.errorString().toStdString());
    }
    if (const Outcome saved = commitWholeFile(saveFile); !saved.succeeded()) {
        return Outcome::failure(path + ": " + saved.errorDescription());
    }
    return Outcome::success();
}

}  // namespace

JsonFileContents readJsonFile(const std::string& path) {
    const QString qPath = QString::fromStdString(path);
    if (!QFileInfo::exists(qPath)) {
        return {JsonFileContents::State::missing, {}};
    }
    // Opened non-blocking so that a FIFO put in the file's place cannot stall the caller;
    // only a regular file of sensible size is read.
    const int fd = ::open(QFile::encodeName(qPath).constData(),
                          O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return {JsonFileContents::State::unreadable, {}};
    }
    struct stat status {};
    QFile file;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > maxJsonFileBytes ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {JsonFileContents::State::unreadable, {}};
    }
    // The file may still grow after the check: never read more than the bound.
    const QByteArray bytes = file.read(maxJsonFileBytes + 1);
    if (bytes.size() > maxJsonFileBytes) {
        return {JsonFileContents::State::unreadable, {}};
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
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
