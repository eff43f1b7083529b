#include "core/regular_file.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillhaven {

int openRegularFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return -1;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

RegularStream openRegularStream(const QString& path) {
    const int fd = openRegularFile(path);
    if (fd < 0) {
        return nullptr;
    }
    RegularStream stream(::fdopen(fd, "rb"));
    if (!stream) {
        ::close(fd);
    }
    return stream;
}

}  // namespace quillhaven
