#include "tests/e2e/private_bus.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QThread>

namespace quillhaven::e2e {
namespace {

const QString service = QStringLiteral("io.github.quillhaven.Quillhaven");
const QString path = QStringLiteral("/Quillhaven");
const QString interface = QStringLiteral("io.github.quillhaven.Quillhaven");
const QString connectionName = QStringLiteral("quillhaven-test");

QDBusMessage methodCall(const QString& iface, const QString& method) {
    return QDBusMessage::createMethodCall(service, path, iface, method);
}

}  // namespace

PrivateBus::PrivateBus() : connection_(connectionName) {
    if (bus_.isRunning()) {
        connection_ = QDBusConnection::connectToBus(bus_.address(), connectionName);
    }
}

PrivateBus::~PrivateBus() {
    QDBusConnection::disconnectFromBus(connectionName);
}

bool PrivateBus::appRuns() {
    return connection_.isConnected() && connection_.interface()->isServiceRegistered(service);
}

QDBusMessage PrivateBus::call(const QString& method, const QVariantList& arguments) {
    QDBusMessage message = methodCall(interface, method);
    message.setArguments(arguments);
    return connection_.call(message, QDBus::Block, 30'000);
}

void PrivateBus::send(const QString& method) {
    connection_.asyncCall(methodCall(interface, method));
}

QVariant PrivateBus::property(const QString& name) {
    QDBusMessage message = methodCall(QStringLiteral("org.freedesktop.DBus.Properties"),
                                      QStringLiteral("Get"));
    message << interface << name;
    const QDBusMessage reply = connection_.call(message);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return {};
    }
    return qdbus_cast<QDBusVariant>(reply.arguments().constFirst()).variant();
}

void PrivateBus::record(SignalRecorder& recorder) {
    connection_.connect(service, path, interface, QStringLiteral("StatusChanged"), &recorder,
                        SLOT(statusChanged(QString)));
    connection_.connect(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                        QStringLiteral("PropertiesChanged"), &recorder,
                        SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
}

bool waitDelivering(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > limit.count()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    return true;
}

}  // namespace quillhaven::e2e
