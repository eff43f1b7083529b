#pragma once

// Runs a script in Plasma's shell through its D-Bus method
// org.kde.PlasmaShell.evaluateScript (service org.kde.plasmashell, object /PlasmaShell).

#include <QDBusConnection>
#include <QString>
#include <optional>
#include <string>

namespace quillhaven::plasma {

struct ScriptResult {
    std::optional<QString> output;  // what the script printed; none on failure
    std::string error;              // the D-Bus error text on failure
};

class PlasmaShellClient {
public:
    // How long a call may take before it counts as failed; the shell answers scripts in
    // milliseconds, so this only bounds a hung shell.
    static constexpr int callTimeoutInMilliseconds = 10000;

    explicit PlasmaShellClient(QDBusConnection connection);

    // A refused script ("Widgets are locked"), a script error, a missing shell or a bus
    // failure all come back as the error text the bus or the shell gave.
    ScriptResult evaluate(const QString& script) const;

private:
    QDBusConnection connection_;
};

}  // namespace quillhaven::plasma
