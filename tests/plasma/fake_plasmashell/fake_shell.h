#pragma once

// A stand-in for Plasma's shell on a private session bus: org.kde.PlasmaShell.evaluateScript
// really runs the script it receives, with a JavaScript engine, over desktops kept in a JSON
// state file. The file is read before and written (atomically) after every script, so a
// test can arrange and inspect the desktops between calls. With "locked" set in the state,
// every script is refused as Plasma refuses it when widgets are locked; with "hung" set, no
// script is ever answered, as when the shell hangs. With "connectors" (connector name to
// Plasma's screen number) the scripts can ask for a connector's screen, as in Plasma. Given an applets file, the fake saves the
// desktops' settings there after every script that changed them, as plasmashell saves its
// applets configuration.

#include <QDBusContext>
#include <QObject>
#include <QString>

class FakeShell : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.PlasmaShell")

public:
    FakeShell(QString statePath, QString appletsPath)
        : statePath_(std::move(statePath)), appletsPath_(std::move(appletsPath)) {}

public slots:
    QString evaluateScript(const QString& script);

private:
    QString statePath_;
    QString appletsPath_;
};
