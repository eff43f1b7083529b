#include "bus_client.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QThread>
#include <QVariantMap>
#include <cstdio>

#include "bus_names.h"
#include "logging.h"

namespace quillhaven::BusClient {
namespace {

using CommandLine::Command;

// How long a command waits for a render it started.
constexpr int renderWaitMilliseconds = 120'000;
constexpr int pollMilliseconds = 100;
// How long a command waits for the bus name of an instance that holds the lock.
constexpr int nameWaitMilliseconds = 10'000;

void printLine(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

void complain(const QString& text) {
    printLine(stderr, QStringLiteral("quillhaven: ") + text);
}

QDBusMessage call(QDBusConnection& bus, const QString& interface, const QString& method,
                  const QVariantList& arguments = {}) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(QString::fromLatin1(BusNames::service),
                                       QString::fromLatin1(BusNames::objectPath), interface, method);
    message.setArguments(arguments);
    return bus.call(message, QDBus::Block, 10'000);
}

// All properties, or nothing when the call fails.
std::optional<QVariantMap> properties(QDBusConnection& bus) {
    const QDBusMessage reply =
        call(bus, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"),
             {QString::fromLatin1(BusNames::interface)});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        complain(QStringLiteral("cannot read the state of the running Quillhaven: ") +
                 reply.errorMessage());
        return std::nullopt;
    }
    return qdbus_cast<QVariantMap>(reply.arguments().constFirst());
}

const char* methodFor(Command command) {
    switch (command) {
        case Command::enable:
            return "Enable";
        case Command::disable:
            return "Disable";
        default:
            return "Reprocess";
    }
}

int printStatus(QDBusConnection& bus) {
    const auto state = properties(bus);
    if (!state) {
        return failed;
    }
    printLine(stdout, state->value(QStringLiteral("Status")).toString());
    printLine(stdout, state->value(QStringLiteral("ScreenSummary")).toString());
    return done;
}

int sendCommand(QDBusConnection& bus, Command command) {
    const QDBusMessage reply =
        call(bus, QString::fromLatin1(BusNames::interface), QString::fromLatin1(methodFor(command)));
    if (reply.type() == QDBusMessage::ErrorMessage) {
        complain(reply.errorMessage());
        return reply.errorName() == QLatin1String(BusNames::busyError) ? busy : failed;
    }
    // The render the command started (if any) runs in the instance; wait for its outcome.
    QDeadlineTimer deadline(renderWaitMilliseconds);
    std::optional<QVariantMap> state = properties(bus);
    while (state && state->value(QStringLiteral("Busy")).toBool() && !deadline.hasExpired()) {
        QThread::msleep(pollMilliseconds);
        state = properties(bus);
    }
    if (!state) {
        return failed;
    }
    printLine(stdout, state->value(QStringLiteral("Status")).toString());
    if (state->value(QStringLiteral("Busy")).toBool()) {
        complain(QStringLiteral("still processing the wallpaper; giving up waiting"));
        return failed;
    }
    const bool wantEnabled = command != Command::disable;
    return state->value(QStringLiteral("Enabled")).toBool() == wantEnabled ? done : failed;
}

bool serviceRuns(QDBusConnection& bus) {
    return bus.interface()->isServiceRegistered(QString::fromLatin1(BusNames::service));
}

}  // namespace

int run(Command command, bool instanceIsStarting) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        complain(QStringLiteral("%1 (no D-Bus session bus: %2)")
                     .arg(instanceIsStarting ? QStringLiteral("Quillhaven cannot be reached")
                                             : QStringLiteral("Quillhaven is not running"),
                          bus.lastError().message()));
        return failed;
    }
    QDeadlineTimer deadline(instanceIsStarting ? nameWaitMilliseconds : 0);
    while (!serviceRuns(bus) && !deadline.hasExpired()) {
        QThread::msleep(pollMilliseconds);
    }
    if (!serviceRuns(bus)) {
        complain(instanceIsStarting
                     ? QStringLiteral("Quillhaven runs but cannot be reached over D-Bus")
                     : QStringLiteral("Quillhaven is not running"));
        return failed;
    }
    if (command == Command::status) {
        qCInfo(logCli) << "reading the status";
        return printStatus(bus);
    }
    qCInfo(logCli) << "calling" << methodFor(command);
    return sendCommand(bus, command);
}

}  // namespace quillhaven::BusClient
