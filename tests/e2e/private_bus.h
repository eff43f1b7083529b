#pragma once

// A private D-Bus session bus for one test: a dbus-daemon of its own, a connection of the
// test's own to it, and a recorder of the signals the app sends there.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <chrono>
#include <functional>

#include "tests/support/private_session_bus.h"

namespace quillhaven::e2e {

// Records StatusChanged and PropertiesChanged from the app.
class SignalRecorder : public QObject {
    Q_OBJECT
public:
    QStringList statuses;
    // How many times Busy was announced as true.
    int busyStarts = 0;

public slots:
    void statusChanged(const QString& status) { statuses << status; }
    void propertiesChanged(const QString& /*interface*/, const QVariantMap& changed,
                           const QStringList& /*invalidated*/) {
        if (changed.value(QStringLiteral("Busy")).toBool()) {
            ++busyStarts;
        }
    }
};

class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // The address to hand to the app as DBUS_SESSION_BUS_ADDRESS ("" if the daemon failed).
    const QString& address() const { return bus_.address(); }
    QDBusConnection& connection() { return connection_; }

    // Whether someone owns the app's name.
    bool appRuns();
    // Calls one method of the app and waits for the answer.
    QDBusMessage call(const QString& method, const QVariantList& arguments = {});
    // Sends a call without waiting for the answer.
    void send(const QString& method);
    // One property of the app.
    QVariant property(const QString& name);
    // Starts recording the app's signals into `recorder`.
    void record(SignalRecorder& recorder);

private:
    testing::PrivateSessionBus bus_;
    QDBusConnection connection_;
};

// Polls `condition`, delivering queued signals, until it holds or `limit` passes.
bool waitDelivering(const std::function<bool()>& condition, std::chrono::milliseconds limit);

}  // namespace quillhaven::e2e
