#include "shell/status_item.h"

#include <QIcon>
#include <QMenu>

#include "shell/menu_bar_icon.h"

namespace quillhaven {

StatusItem::StatusItem(QMenu* menu) {
    trayIcon_.setContextMenu(menu);
    trayIcon_.setToolTip(QString::fromUtf8(MenuBarIcon::accessibilityDescription));
    retryTimer_.setInterval(retryInterval);
    QObject::connect(&retryTimer_, &QTimer::timeout, &trayIcon_, [this] { retry(); });
}

void StatusItem::setImage(const QIcon& icon) {
    trayIcon_.setIcon(icon);
    if (!presented_) {
        presented_ = true;
        present();
    }
}

void StatusItem::present() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        trayIcon_.show();
        return;
    }
    retryTimer_.start();
}

void StatusItem::retry() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        retryTimer_.stop();
        // Hiding first makes Qt register the icon afresh with the tray that just appeared.
        trayIcon_.hide();
        trayIcon_.show();
        return;
    }
    if (--retriesLeft_ <= 0) {
        retryTimer_.stop();
    }
}

}  // namespace quillhaven
