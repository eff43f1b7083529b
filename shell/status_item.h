#pragma once

// The tray icon that carries the menu. At login the panel may come up after the app, so
// while no system tray is available the item keeps trying to appear for a while; the app
// never quits because of a missing tray.

#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <chrono>

class QIcon;
class QMenu;

namespace quillhaven {

class StatusItem {
public:
    static constexpr std::chrono::milliseconds retryInterval = std::chrono::seconds(2);
    // Two seconds apart, this keeps trying for five minutes.
    static constexpr int maximumRetries = 150;

    // A tray icon with the given menu (not owned) and the product name as its tooltip. It
    // shows itself once it has an image.
    explicit StatusItem(QMenu* menu);
    StatusItem(const StatusItem&) = delete;
    StatusItem& operator=(const StatusItem&) = delete;

    // Replaces the icon.
    void setImage(const QIcon& icon);

    QSystemTrayIcon& trayIcon() { return trayIcon_; }
    // Whether the item is still waiting for a tray to appear.
    bool isWaitingForTray() const { return retryTimer_.isActive(); }

private:
    void present();
    void retry();

    QSystemTrayIcon trayIcon_;
    QTimer retryTimer_;
    int retriesLeft_ = maximumRetries;
    bool presented_ = false;
};

}  // namespace quillhaven
