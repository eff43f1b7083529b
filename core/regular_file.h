#pragma once

#include <QString>

#include <cstdio>
#include <memory>

namespace quillhaven {

// Opens a picture for reading without ever blocking: a FIFO or a device would stall a plain
// open or read, so the file is opened non-blocking and kept only when it is a regular file
// (a link to one is followed). Every decoder opens its picture this way, so a file swapped
// for a FIFO between two opens is refused as well.

// The open descriptor, or -1.
int openRegularFile(const QString& path);
struct StreamCloser {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};
using RegularStream = std::unique_ptr<std::FILE, StreamCloser>;

// The same as a stdio stream for C decoders, or null.
RegularStream openRegularStream(const QString& path);

}  // namespace quillhaven
