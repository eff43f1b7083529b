#pragma once

// Commits a QSaveFile only when every byte handed to it reached the disk. On a full disk a
// write can come up short without QSaveFile noticing, and its commit would then rename a
// truncated file over the old one. The file's size on disk is checked against the bytes
// written first; a short file is discarded and the old one stays.

#include <QSaveFile>
#include <QString>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace quillhaven {

// True when committed. Otherwise nothing was renamed, and `reason` (when given) says why.
inline bool commitWholeFile(QSaveFile& file, QString* reason = nullptr) {
    const qint64 written = file.pos();
    struct stat status {};
    const bool whole = file.flush() && ::fstat(file.handle(), &status) == 0 &&
                       status.st_size == written;
    if (!whole) {
        file.cancelWriting();
        if (reason != nullptr) {
            *reason = QString::fromLocal8Bit(std::strerror(ENOSPC));
        }
        return false;
    }
    if (!file.commit()) {
        if (reason != nullptr) {
            *reason = file.errorString();
        }
        return false;
    }
    return true;
}

}  // namespace quillhaven
