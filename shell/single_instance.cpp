#include "single_instance.h"

#include <QDir>
#include <QFileInfo>

namespace quillhaven::SingleInstance {

std::unique_ptr<QLockFile> acquire(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    auto lock = std::make_unique<QLockFile>(path);
    // Never treat a live holder's lock as stale because of its age; a dead holder's lock
    // is still recognised (by its process id) and taken over.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0) && lock->error() == QLockFile::LockFailedError) {
        return nullptr;
    }
    return lock;
}

}  // namespace quillhaven::SingleInstance
