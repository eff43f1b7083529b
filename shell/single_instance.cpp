#include "shell/single_instance.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <csignal>

namespace quillhaven::SingleInstance {

std::unique_ptr<QLockFile> acquire(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    auto lock = std::make_unique<QLockFile>(path);
    // Never treat a live holder's lock as stale because of its age; a dead holder's lock
    // is still recognised (by its process id) and taken over.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0) && lock->error() == QLockFile::LockFailedError) {
        // Held, unless its holder is gone and the stale lock could not be replaced (a full
        // disk): then this process is the only one, and runs unguarded.
        qint64 pid = 0;
        QString host;
        QString application;
        if (!lock->getLockInfo(&pid, &host, &application) || pid <= 0 ||
            ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) {
            return nullptr;
        }
    }
    return lock;
}

}  // namespace quillhaven::SingleInstance
