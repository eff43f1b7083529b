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

#include "core/result.h"

namespace quillhaven {

// Succeeds when committed. Otherwise nothing was renamed, and the failure says why.
inline Outcome commitWholeFile(QSaveFile& file) {
    const qint64 written = file.pos();
    struct stat status {};
    const bool whole = file.flush() && ::fstat(file.handle(), &status) == 0 &&
                       status.st_size == written;
    if (!whole) {
        file.cancelWriting();
        return Outcome::failure(std::strerror(ENOSPC));
    }
    if (!file.commit()) {
        return Outcome::failure(file.errorString().toStdString());
    }
    return Outcome::success();
}

}  // namespace quillhaven
