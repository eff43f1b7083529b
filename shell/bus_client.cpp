#include "shell/bus_client.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QThread>
#include <QVariantMap>
#include <cstdio>

#include "core/log.h"
#include "core/log_categories.h"
#include "shell/bus_names.h"

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
                  const QVariantList& arguments = {}, int timeout = 10'000) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(QString::fromLatin1(BusNames::service),
                                       QString::fromLatin1(BusNames::objectPath), interface, method);
    message.setArguments(arguments);
    return bus.call(message, QDBus::Block, timeout);
}

// What went wrong with a call, in our words: the bus's own messages (Qt's "Did not receive
// a reply…") say nothing useful to someone at a terminal.
QString failureOf(const QDBusMessage& reply) {
    const QString name = reply.errorName();
    if (name == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
        name == QLatin1String("org.freedesktop.DBus.Error.Timeout")) {
        return QStringLiteral("the running Quillhaven did not answer in time");
    }
    if (name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
        name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner")) {
        return QStringLiteral("Quillhaven stopped running");
    }
    if (name.startsWith(QLatin1String(BusNames::interface))) {
        return reply.errorMessage();
    }
    return QStringLiteral("the running Quillhaven cannot be reached (%1)").arg(name);
}

// All properties, or nothing when the call fails.
std::optional<QVariantMap> properties(QDBusConnection& bus) {
    const QDBusMessage reply =
        call(bus, QString::fromLatin1(BusNames::propertiesInterface), QStringLiteral("GetAll"),
             {QString::fromLatin1(BusNames::interface)});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        complain(QStringLiteral("cannot read the state of the running Quillhaven: ") +
                 failureOf(reply));
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
    // The instance answers once the render the command started (if any) has ended, with
    // that command's own outcome and status line.
    const QDBusMessage reply = call(bus, QString::fromLatin1(BusNames::interface),
                                    QString::fromLatin1(methodFor(command)), {},
                                    renderWaitMilliseconds);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        complain(failureOf(reply));
        return reply.errorName() == QLatin1String(BusNames::busyError) ? busy : failed;
    }
    const QVariantList answer = reply.arguments();
    if (answer.size() == 2) {
        printLine(stdout, answer.at(1).toString());
        return answer.at(0).toBool() ? done : failed;
    }
    // An instance of an earlier version answers at once: wait for its state instead.
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

void announceLaunch() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !serviceRuns(bus)) {
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(BusNames::service), QString::fromLatin1(BusNames::objectPath),
        QString::fromLatin1(BusNames::interface), QStringLiteral("Activate"));
    // Nobody waits for the answer: the running instance shows its window or does nothing.
    call.setAutoStartService(false);
    bus.call(call, QDBus::Block, 2000);
}

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
        qCInfo(logShell) << "reading the status";
        return printStatus(bus);
    }
    qCInfo(logShell) << "calling" << methodFor(command);
    return sendCommand(bus, command);
}

}  // namespace quillhaven::BusClient
