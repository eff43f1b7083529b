#pragma once

// What tests that start the real app share: one application object for the test process,
// and an environment whose home and XDG folders all lie in a folder of the test's own, so
// nothing reaches the real home, desktop, preferences or login items.

#include <QProcessEnvironment>
#include <QString>
#include <functional>
#include <initializer_list>

namespace quillhaven::testing {

// Creates the process's QCoreApplication once; it lives for the rest of the run.
void ensureCoreApplication();

// Runs the Qt event loop until `done` holds or `timeoutMs` passes; true when done.
bool runEventLoopUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// The system environment with HOME and XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME,
// XDG_STATE_HOME and XDG_RUNTIME_DIR in folders under `root` (created, the runtime folder
// private), without the session's display, bus and desktop, and without the variables in
// `removed`.
QProcessEnvironment sandboxEnvironment(const QString& root,
                                       std::initializer_list<const char*> removed = {});

}  // namespace quillhaven::testing
