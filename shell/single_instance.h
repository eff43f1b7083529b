#pragma once

// One Quillhaven per user. The first process holds a lock file for its whole life; a
// second one finds it held and leaves without touching anything. Where the lock lives is
// decided with the app's other paths (app_paths::instanceLock). A lock left by a crashed
// process is taken over.

#include <QLockFile>
#include <QString>
#include <memory>

namespace quillhaven::SingleInstance {

// Tries to take the lock. Returns the lock object, to be kept for the life of the process,
// or null when another live process holds it. When the lock cannot be created at all (an
// unwritable folder) the returned object is not locked: the app then runs unguarded rather
// than never starting.
std::unique_ptr<QLockFile> acquire(const QString& path);

}  // namespace quillhaven::SingleInstance
