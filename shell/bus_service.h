#pragma once

// The running app on the session bus: io.github.quillhaven.Quillhaven, object /Quillhaven.
// Its methods are the menu's commands, its read-only properties the controller's state, and
// it sends StatusChanged and the standard PropertiesChanged when that state changes. A
// command that would start or skip a render while one runs is refused with the Busy error.
//
// Enable, Disable and Reprocess answer with their own outcome once it is known (after the
// render they started, if any): whether it did what was asked, and the status line it left.
// Commands sent at once from several clients therefore each get their own answer.

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <memory>
#include <vector>

namespace quillhaven {

class AppDelegate;

class BusService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.quillhaven.Quillhaven")
    Q_PROPERTY(bool Enabled READ enabled)
    Q_PROPERTY(bool Busy READ busy)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QString ScreenSummary READ screenSummary)

public:
    // Follows the delegate's state from now on; call after launching has finished.
    explicit BusService(std::shared_ptr<AppDelegate> delegate);

    // Exports the object and takes the bus name. False (with the reason logged) when there is
    // no bus or the name is taken; the app then runs without the service.
    bool publish(QDBusConnection connection);
    // Gives the name back. A blocking call, so every reply sent before it has left too.
    void withdraw();

    bool enabled() const;
    bool busy() const;
    QString status() const;
    QString screenSummary() const;

public slots:
    bool Enable(QString& status);
    bool Disable(QString& status);
    bool Reprocess(QString& status);
    // Quits, putting the user's wallpaper back first when `restore` is true.
    void Quit(bool restore);
    // The app was launched again: without a tray its window comes up.
    void Activate();

signals:
    void StatusChanged(const QString& status);

private:
    struct Snapshot {
        bool enabled = false;
        bool busy = false;
        QString status;
        QString screenSummary;
    };

    Snapshot read() const;
    // Answers the current call with the Busy error when a render runs; true when it did.
    bool refuseWhileBusy(const char* method);
    // Sends the changes since the last snapshot.
    void announceChanges();
    // Answers the current call with the command's outcome now, or once the render it
    // started has ended. `wantEnabled` is the effect's state the command asks for.
    bool answerWhenDone(bool wantEnabled, QString& status);
    bool outcomeMatches(bool wantEnabled) const;
    void answerPending();

    struct PendingAnswer {
        QDBusMessage request;
        bool wantEnabled = false;
    };

    std::shared_ptr<AppDelegate> delegate_;
    Snapshot announced_;
    std::unique_ptr<QDBusConnection> connection_;
    std::vector<PendingAnswer> pending_;
};

}  // namespace quillhaven
