#include "shell/status_item.h"

#include <QIcon>
#include <QMenu>

#include "shell/menu_bar_icon.h"
#include "shell/status_notifier_item.h"

namespace quillhaven {

StatusItem::StatusItem(QMenu* menu, QDBusConnection bus) {
    trayIcon_.setContextMenu(menu);
    trayIcon_.setToolTip(QString::fromUtf8(MenuBarIcon::accessibilityDescription));
    retryTimer_.setInterval(retryInterval);
    QObject::connect(&retryTimer_, &QTimer::timeout, &trayIcon_, [this] { retry(); });
    if (!QSystemTrayIcon::isSystemTrayAvailable() && bus.isConnected()) {
        publishedItem_ = std::make_unique<StatusNotifierItem>(menu, bus);
    }
}

StatusItem::~StatusItem() = default;

bool StatusItem::isShown() const {
    return QSystemTrayIcon::isSystemTrayAvailable() ||
           (publishedItem_ && publishedItem_->isRegistered());
}

void StatusItem::setImage(const QIcon& icon) {
    trayIcon_.setIcon(icon);
    if (publishedItem_) {
        publishedItem_->setIcon(icon);
    }
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
        // Qt's icon takes over; two icons would show otherwise.
        publishedItem_.reset();
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
