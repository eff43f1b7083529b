#pragma once

// The app's diagnostics: Qt logging categories under "quillhaven.". Every category, Qt's
// own included, is silent unless QT_LOGGING_RULES switches it on, for example
// QT_LOGGING_RULES="quillhaven.*=true".

#include <QLoggingCategory>

namespace quillhaven {

// Start, launch and quit of the tray app.
Q_DECLARE_LOGGING_CATEGORY(logApp)
// The D-Bus service: the bus name, calls received and state changes sent.
Q_DECLARE_LOGGING_CATEGORY(logBus)
// The command-line client of a running instance.
Q_DECLARE_LOGGING_CATEGORY(logCli)

// Makes every category silent by default. QT_LOGGING_RULES still takes precedence. A fatal
// message always reaches stderr.
void silenceLoggingByDefault();

}  // namespace quillhaven
