#include "platform/plasma/plasma_shell_client.h"
#include "core/translation.h"

#include <QDBusMessage>

namespace quillhaven::plasma {

PlasmaShellClient::PlasmaShellClient(QDBusConnection connection)
    : connection_(std::move(connection)),
      unansweredAt_(std::make_shared<std::optional<std::chrono::steady_clock::time_point>>()) {}

ScriptResult PlasmaShellClient::evaluate(const QString& script) const {
    if (!connection_.isConnected()) {
        const QDBusError error = connection_.lastError();
        const QString text = error.message().isEmpty()
                                 ? QStringLiteral("D-Bus session bus unavailable")
                                 : error.message();
        return ScriptResult::failure(text.toStdString());
    }
    using Clock = std::chrono::steady_clock;
    if (*unansweredAt_ &&
        Clock::now() - **unansweredAt_ < std::chrono::milliseconds(unansweredPauseInMilliseconds)) {
        return ScriptResult::failure(noAnswerError);
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
        QStringLiteral("org.kde.PlasmaShell"), QStringLiteral("evaluateScript"));
    call << script;
    const QDBusMessage reply = connection_.call(call, QDBus::Block, callTimeoutInMilliseconds);
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        unansweredAt_->reset();
        return ScriptResult(reply.arguments().constFirst().toString());
    }
    if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
        reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.Timeout")) {
        *unansweredAt_ = Clock::now();
        return ScriptResult::failure(noAnswerError);
    }
    unansweredAt_->reset();
    // The bus's own failures get our words; a refusal from the shell itself ("Widgets are
    // locked") is passed on as the shell said it.
    if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
        reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner")) {
        return ScriptResult::failure(translated(platform_messages::plasmaAway));
    }
    if (reply.errorName().startsWith(QLatin1String("org.freedesktop.DBus.Error.")) &&
        reply.errorName() != QLatin1String("org.freedesktop.DBus.Error.Failed")) {
        return ScriptResult::failure(
            std::string(translated(platform_messages::plasmaUnreachablePrefix)) +
            reply.errorName().toStdString());
    }
    QString text = reply.errorMessage();
    if (text.isEmpty()) {
        text = reply.errorName();
    }
    if (text.isEmpty()) {
        text = QStringLiteral("Plasma shell gave no answer");
    }
    return ScriptResult::failure(text.toStdString());
}

}  // namespace quillhaven::plasma
