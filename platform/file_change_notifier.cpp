#include "platform/file_change_notifier.h"

#include <QFileInfo>
#include <QFileSystemWatcher>

namespace quillhaven {

FileChangeNotifier::FileChangeNotifier(std::string filePath)
    : filePath_(std::move(filePath)), context_(std::make_unique<QObject>()) {}

FileChangeNotifier::~FileChangeNotifier() = default;

bool FileChangeNotifier::watch(Task changed) {
    changed_ = std::move(changed);
    if (!watcher_) {
        watcher_ = new QFileSystemWatcher(context_.get());
        QObject::connect(watcher_, &QFileSystemWatcher::directoryChanged, context_.get(),
                         [this] { somethingChanged(); });
        QObject::connect(watcher_, &QFileSystemWatcher::fileChanged, context_.get(),
                         [this] { somethingChanged(); });
    }
    const QString file = QString::fromStdString(filePath_);
    const QString folder = QFileInfo(file).absolutePath();
    if (!watcher_->directories().contains(folder) && !watcher_->addPath(folder)) {
        return false;
    }
    if (QFileInfo::exists(file) && !watcher_->files().contains(file)) {
        watcher_->addPath(file);
    }
    lastStamp_ = fileStamp(filePath_);
    return true;
}

void FileChangeNotifier::somethingChanged() {
    // A file renamed over the old one is a new file: watch it again.
    const QString file = QString::fromStdString(filePath_);
    if (QFileInfo::exists(file) && !watcher_->files().contains(file)) {
        watcher_->addPath(file);
    }
    std::optional<FileStamp> stamp = fileStamp(filePath_);
    if (stamp == lastStamp_) {
        return;
    }
    lastStamp_ = stamp;
    if (changed_) {
        changed_();
    }
}

}  // namespace quillhaven
