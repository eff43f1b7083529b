// fake-plasmashell --state FILE [--applets FILE]
// Serves org.kde.plasmashell on the session bus named by DBUS_SESSION_BUS_ADDRESS and
// prints "ready" once the name is owned.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QStringList>
#include <cstdio>

#include "tests/plasma/fake_plasmashell/fake_shell.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const qsizetype stateIndex = arguments.indexOf(QStringLiteral("--state"));
    if (stateIndex < 0 || stateIndex + 1 >= arguments.size()) {
        std::fprintf(stderr, "usage: fake-plasmashell --state FILE\n");
        return 2;
    }
    const qsizetype appletsIndex = arguments.indexOf(QStringLiteral("--applets"));
    const QString applets =
        appletsIndex >= 0 && appletsIndex + 1 < arguments.size() ? arguments.at(appletsIndex + 1)
                                                                 : QString();
    FakeShell shell(arguments.at(stateIndex + 1), applets);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/PlasmaShell"), &shell,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.kde.plasmashell"))) {
        std::fprintf(stderr, "fake-plasmashell: cannot serve on the session bus\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
