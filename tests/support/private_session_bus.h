#pragma once

// A private D-Bus session bus for tests. Nothing here touches the session bus of the person
// running the tests: the bus is a dbus-daemon of our own with a configuration that lets
// everything through and activates no services, listening in a temporary folder that goes
// with it.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace quillhaven::testing {

class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool isRunning() const { return !address_.isEmpty(); }
    const QString& address() const { return address_; }

private:
    QTemporaryDir folder_;
    QProcess daemon_;
    QString address_;
};

}  // namespace quillhaven::testing
