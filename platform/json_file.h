#pragma once

// Reading and atomically writing one JSON document.

#include <QJsonObject>
#include <string>

#include "controller/desktop_services.h"

namespace quillhaven {

struct JsonFileContents {
    enum class State {
        missing,     // no file at the path
        unreadable,  // a file that cannot be opened or holds no JSON object
        loaded,
    };
    State state = State::missing;
    QJsonObject root;
};

// The largest file read; anything larger is unreadable without being read.
inline constexpr qint64 maxJsonFileBytes = qint64{1} << 20;

// Reads a regular file of at most maxJsonFileBytes. Something else at the path (a FIFO, a
// device, a folder) is unreadable and never blocks the caller; so is a document nested
// deeper than the JSON parser allows.
JsonFileContents readJsonFile(const std::string& path);

// Writes through a temporary file renamed over the old one, creating the folder first.
// A failure names the path and the system's reason.
Outcome writeJsonFile(const std::string& path, const QJsonObject& root);

// Copies a file (for example a resource) to `destination` atomically.
Outcome copyFileAtomically(const QString& source, const std::string& destination);

}  // namespace quillhaven
