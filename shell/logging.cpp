#include "shell/logging.h"

namespace quillhaven {

Q_LOGGING_CATEGORY(logApp, "quillhaven.app")
Q_LOGGING_CATEGORY(logBus, "quillhaven.dbus")
Q_LOGGING_CATEGORY(logCli, "quillhaven.cli")

void silenceLoggingByDefault() {
    // Rules set here rank below QT_LOGGING_CONF and QT_LOGGING_RULES, so the user's rules win.
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
}

}  // namespace quillhaven
