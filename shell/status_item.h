#pragma once

// The tray icon that carries the menu. Where Qt finds a tray when the app starts, Qt's own
// icon serves. Otherwise the app publishes its own StatusNotifierItem, which any tray host
// that appears later (the panel coming up after the app at login, an AppIndicator
// extension switched on) picks up within moments; an XEmbed tray appearing later is still
// tried every two seconds for a while. The app never quits because of a missing tray.

#include <QDBusConnection>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <chrono>
#include <memory>

class QIcon;
class QMenu;

namespace quillhaven {

class StatusNotifierItem;

class StatusItem {
public:
    static constexpr std::chrono::milliseconds retryInterval = std::chrono::seconds(2);
    // Two seconds apart, this keeps trying for five minutes.
    static constexpr int maximumRetries = 150;

    // A tray icon with the given menu (not owned) and the product name as its tooltip. It
    // shows itself once it has an image.
    explicit StatusItem(QMenu* menu,
                        QDBusConnection bus = QDBusConnection::sessionBus());
    ~StatusItem();
    StatusItem(const StatusItem&) = delete;
    StatusItem& operator=(const StatusItem&) = delete;

    // Replaces the icon.
    void setImage(const QIcon& icon);

    QSystemTrayIcon& trayIcon() { return trayIcon_; }
    // Whether the item is still waiting for a tray to appear.
    bool isWaitingForTray() const { return retryTimer_.isActive(); }
    // Whether a tray shows the icon: Qt's, or a tray host that took the published item.
    bool isShown() const;

private:
    void present();
    void retry();

    QSystemTrayIcon trayIcon_;
    std::unique_ptr<StatusNotifierItem> publishedItem_;
    QTimer retryTimer_;
    int retriesLeft_ = maximumRetries;
    bool presented_ = false;
};

}  // namespace quillhaven
