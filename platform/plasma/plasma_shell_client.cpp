#include "plasma_shell_client.h"

#include <QDBusMessage>

namespace quillhaven::plasma {

PlasmaShellClient::PlasmaShellClient(QDBusConnection connection)
    : connection_(std::move(connection)) {}

ScriptResult PlasmaShellClient::evaluate(const QString& script) const {
    if (!connection_.isConnected()) {
        const QDBusError error = connection_.lastError();
        const QString text = error.message().isEmpty()
                                 ? QStringLiteral("D-Bus session bus unavailable")
                                 : error.message();
        return ScriptResult{std::nullopt, text.toStdString()};
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
        QStringLiteral("org.kde.PlasmaShell"), QStringLiteral("evaluateScript"));
    call << script;
    const QDBusMessage reply = connection_.call(call, QDBus::Block, callTimeoutInMilliseconds);
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        return ScriptResult{reply.arguments().constFirst().toString(), {}};
    }
    QString text = reply.errorMessage();
    if (text.isEmpty()) {
        text = reply.errorName();
    }
    if (text.isEmpty()) {
        text = QStringLiteral("Plasma shell gave no answer");
    }
    return ScriptResult{std::nullopt, text.toStdString()};
}

}  // namespace quillhaven::plasma
