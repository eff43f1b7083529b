#include "shell/bus_service.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QTimer>
#include <QVariantMap>
#include <utility>

#include "core/log.h"
#include "core/log_categories.h"
#include "shell/app_delegate.h"
#include "shell/bus_names.h"

namespace quillhaven {

BusService::BusService(std::shared_ptr<AppDelegate> delegate) : delegate_(std::move(delegate)) {
    announced_ = read();
    delegate_->addStateObserver([this] { announceChanges(); });
}

bool BusService::publish(QDBusConnection connection) {
    if (!connection.isConnected()) {
        qCInfo(logShell) << "no session bus:" << connection.lastError().message();
        return false;
    }
    const QString path = QString::fromLatin1(BusNames::objectPath);
    if (!connection.registerObject(path, this,
                                   QDBusConnection::ExportAllSlots |
                                       QDBusConnection::ExportAllSignals |
                                       QDBusConnection::ExportAllProperties)) {
        qCWarning(logShell) << "cannot export" << path;
        return false;
    }
    if (!connection.registerService(QString::fromLatin1(BusNames::service))) {
        qCWarning(logShell) << "cannot own" << BusNames::service << ":"
                          << connection.lastError().message();
        connection.unregisterObject(path);
        return false;
    }
    connection_ = std::make_unique<QDBusConnection>(connection);
    qCInfo(logShell) << "owns" << BusNames::service << "on" << connection.name();
    return true;
}

void BusService::withdraw() {
    if (connection_) {
        connection_->unregisterService(QString::fromLatin1(BusNames::service));
        connection_.reset();
    }
}

BusService::Snapshot BusService::read() const {
    const WallpaperController& controller = delegate_->controller();
    return Snapshot{controller.isEnabled(), controller.isBusy(),
                    QString::fromStdString(controller.statusMessage()),
                    QString::fromStdString(controller.screenSummary())};
}

bool BusService::enabled() const {
    return delegate_->controller().isEnabled();
}

bool BusService::busy() const {
    return delegate_->controller().isBusy();
}

QString BusService::status() const {
    return QString::fromStdString(delegate_->controller().statusMessage());
}

QString BusService::screenSummary() const {
    return QString::fromStdString(delegate_->controller().screenSummary());
}

bool BusService::refuseWhileBusy(const char* method) {
    // A command's answer is the state its render left: it goes out before the next command
    // can change that state (the state observer that also sends it runs a turn later).
    answerPending();
    if (!busy()) {
        qCInfo(logShell) << method;
        return false;
    }
    qCInfo(logShell) << method << "refused: busy";
    if (calledFromDBus()) {
        sendErrorReply(QString::fromLatin1(BusNames::busyError),
                       QStringLiteral("A wallpaper is being processed; nothing was done"));
    }
    return true;
}

bool BusService::Enable(QString& status) {
    if (refuseWhileBusy("Enable")) {
        return false;
    }
    delegate_->controller().setEffectEnabled(true);
    return answerWhenDone(true, status);
}

bool BusService::Disable(QString& status) {
    if (refuseWhileBusy("Disable")) {
        return false;
    }
    delegate_->controller().setEffectEnabled(false);
    return answerWhenDone(false, status);
}

bool BusService::Reprocess(QString& status) {
    if (refuseWhileBusy("Reprocess")) {
        return false;
    }
    if (!enabled()) {
        if (calledFromDBus()) {
            sendErrorReply(QString::fromLatin1(BusNames::effectOffError),
                           QStringLiteral("The effect is off; there is nothing to reprocess"));
        }
        return false;
    }
    delegate_->refreshWallpaper();
    return answerWhenDone(true, status);
}

bool BusService::outcomeMatches(bool wantEnabled) const {
    // An error means the command did not do what was asked, even where the effect happens
    // to be in the state asked for (a restore that failed while the effect was already off).
    const WallpaperController& controller = delegate_->controller();
    return !controller.hasError() && controller.isEnabled() == wantEnabled;
}

bool BusService::answerWhenDone(bool wantEnabled, QString& status) {
    if (busy() && calledFromDBus()) {
        // The render goes on in the instance; the answer follows when it ends.
        setDelayedReply(true);
        pending_.push_back(PendingAnswer{message(), wantEnabled});
        return false;
    }
    status = this->status();
    return outcomeMatches(wantEnabled);
}

void BusService::answerPending() {
    if (busy() || pending_.empty() || !connection_) {
        return;
    }
    const QString now = status();
    for (const PendingAnswer& answer : std::exchange(pending_, {})) {
        connection_->send(answer.request.createReply(
            QVariantList{outcomeMatches(answer.wantEnabled), now}));
    }
}

void BusService::Quit(bool restore) {
    // Restoring is refused while a render runs, as the menu greys it out; quitting while
    // keeping the wallpaper is always possible.
    if (restore && refuseWhileBusy("Quit(restore)")) {
        return;
    }
    qCInfo(logShell) << "Quit, restore:" << restore;
    // On the next turn, after this call's reply has been queued.
    std::weak_ptr<AppDelegate> weakDelegate = delegate_;
    QTimer::singleShot(0, this, [weakDelegate, restore] {
        if (const auto delegate = weakDelegate.lock()) {
            if (restore) {
                delegate->restoreAndQuit();
            } else {
                delegate->quitKeepingWallpaper();
            }
        }
    });
}

void BusService::Activate() {
    qCDebug(logShell) << "Activate";
    delegate_->launchedAgain();
}

void BusService::announceChanges() {
    answerPending();
    const Snapshot now = read();
    QVariantMap changed;
    if (now.enabled != announced_.enabled) {
        changed.insert(QStringLiteral("Enabled"), now.enabled);
    }
    if (now.busy != announced_.busy) {
        changed.insert(QStringLiteral("Busy"), now.busy);
    }
    if (now.status != announced_.status) {
        changed.insert(QStringLiteral("Status"), now.status);
    }
    if (now.screenSummary != announced_.screenSummary) {
        changed.insert(QStringLiteral("ScreenSummary"), now.screenSummary);
    }
    const bool statusChanged = now.status != announced_.status;
    announced_ = now;
    if (changed.isEmpty() || !connection_) {
        return;
    }
    qCDebug(logShell) << "changed:" << changed;
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromLatin1(BusNames::objectPath),
        QString::fromLatin1(BusNames::propertiesInterface), QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(BusNames::interface) << changed << QStringList();
    connection_->send(signal);
    if (statusChanged) {
        emit StatusChanged(now.status);
    }
}

}  // namespace quillhaven
