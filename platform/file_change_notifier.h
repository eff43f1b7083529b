#pragma once

// Tells when one file changes, for desktops that keep their picture setting in a file (the
// virtual desktop's JSON, Plasma's applets configuration). Programs usually save such a file
// by writing a new one and renaming it over the old, which ends a watch on the file itself,
// so the folder is watched too; a notice is given only when the file's stamp has changed,
// so the other files of a busy folder like ~/.config cost one stat call each.

#include <QObject>
#include <memory>
#include <optional>
#include <string>

#include "controller/desktop_services.h"
#include "core/file_stamp.h"

class QFileSystemWatcher;

namespace quillhaven {

class FileChangeNotifier : public PictureChangeNotifier {
public:
    explicit FileChangeNotifier(std::string filePath);
    ~FileChangeNotifier() override;

    // False when the file's folder cannot be watched (it does not exist, or the system's
    // limit on watches is reached).
    bool watch(Task changed) override;

    const std::string& filePath() const { return filePath_; }

private:
    void somethingChanged();

    std::string filePath_;
    std::unique_ptr<QObject> context_;
    QFileSystemWatcher* watcher_ = nullptr;  // owned by context_
    std::optional<FileStamp> lastStamp_;
    Task changed_;
};

}  // namespace quillhaven
