#pragma once

// Runs a script in Plasma's shell through its D-Bus method
// org.kde.PlasmaShell.evaluateScript (service org.kde.plasmashell, object /PlasmaShell).

#include <QDBusConnection>
#include <QString>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "core/result.h"
#include "platform/messages/platform_messages.h"

namespace quillhaven::plasma {

// What the script printed, or why it could not run (the shell's own words or ours).
using ScriptResult = Result<QString>;

class PlasmaShellClient {
public:
    // How long a call may take before it counts as failed. The shell answers scripts in
    // milliseconds; the calls run on the main thread, so a hung shell must not freeze the
    // menu for longer than this.
    static constexpr int callTimeoutInMilliseconds = 1500;
    // After a call went unanswered, further calls fail at once for this long with the same
    // error, so that one user action (which makes several calls) waits only once.
    static constexpr int unansweredPauseInMilliseconds = 10000;
    // The error of a call that went unanswered.
    static constexpr const char* noAnswerError = platform_messages::plasmaNoAnswer;

    explicit PlasmaShellClient(QDBusConnection connection);

    // A refused script ("Widgets are locked"), a script error, a missing shell or a bus
    // failure all come back as the error text the bus or the shell gave; a shell that does
    // not answer in time as noAnswerError.
    ScriptResult evaluate(const QString& script) const;

private:
    QDBusConnection connection_;
    // When the last unanswered call gave up; shared by the copies of one client.
    std::shared_ptr<std::optional<std::chrono::steady_clock::time_point>> unansweredAt_;
};

}  // namespace quillhaven::plasma
