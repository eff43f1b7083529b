#include "tests/support/app_sandbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QDeadlineTimer>
#include <QFile>
#include <QTimer>
#include <algorithm>

namespace quillhaven::testing {

void ensureCoreApplication() {
    if (QCoreApplication::instance()) {
        return;
    }
    static int argc = 1;
    static char name[] = "quillhaven-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* const application = new QCoreApplication(argc, argv);
    static_cast<void>(application);
}

bool runEventLoopUntil(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    // Wakes the loop at the deadline, should nothing else arrive. Re-armed on every turn:
    // a timer may fire a little early, and waiting after it would then never end.
    QTimer guard;
    guard.setSingleShot(true);
    guard.setTimerType(Qt::PreciseTimer);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        guard.start(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

QProcessEnvironment sandboxEnvironment(const QString& root,
                                       std::initializer_list<const char*> removed) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS",
                             "XDG_CURRENT_DESKTOP", "QUILLHAVEN_SHOW_MENU_FOR_SCREENSHOT"}) {
        environment.remove(QString::fromLatin1(name));
    }
    for (const char* name : removed) {
        environment.remove(QString::fromLatin1(name));
    }
    const auto folder = [&](const char* name) {
        const QString path = QDir(root).filePath(QString::fromLatin1(name));
        QDir().mkpath(path);
        return path;
    };
    environment.insert(QStringLiteral("HOME"), folder("home"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder("config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), folder("data"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), folder("cache"));
    environment.insert(QStringLiteral("XDG_STATE_HOME"), folder("state"));
    const QString runtime = folder("runtime");
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    return environment;
}

}  // namespace quillhaven::testing
