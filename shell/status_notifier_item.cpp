#include "shell/status_notifier_item.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QImage>
#include <QMenu>
#include <QtEndian>

#include "core/log_categories.h"
#include "shell/dbus_menu.h"

namespace quillhaven {

QDBusArgument& operator<<(QDBusArgument& argument, const SniPixmap& pixmap) {
    argument.beginStructure();
    argument << pixmap.width << pixmap.height << pixmap.bytes;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, SniPixmap& pixmap) {
    argument.beginStructure();
    argument >> pixmap.width >> pixmap.height >> pixmap.bytes;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const SniToolTip& toolTip) {
    argument.beginStructure();
    argument << toolTip.iconName << toolTip.pixmaps << toolTip.title << toolTip.text;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, SniToolTip& toolTip) {
    argument.beginStructure();
    argument >> toolTip.iconName >> toolTip.pixmaps >> toolTip.title >> toolTip.text;
    argument.endStructure();
    return argument;
}

namespace {

// The sizes trays ask for, drawn from the icon's strokes at each.
SniPixmaps pixmapsOf(const QIcon& icon) {
    SniPixmaps pixmaps;
    for (const int side : {16, 22, 24, 32, 48, 64}) {
        const QImage image =
            icon.pixmap(side, side).toImage().convertToFormat(QImage::Format_ARGB32);
        SniPixmap pixmap{image.width(), image.height(), {}};
        pixmap.bytes.resize(static_cast<qsizetype>(image.width()) * image.height() * 4);
        auto* out = reinterpret_cast<quint32*>(pixmap.bytes.data());
        for (int y = 0; y < image.height(); ++y) {
            const auto* row = reinterpret_cast<const quint32*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                *out++ = qToBigEndian(row[x]);
            }
        }
        pixmaps.append(pixmap);
    }
    return pixmaps;
}

}  // namespace

StatusNotifierItem::StatusNotifierItem(QMenu* menu, QDBusConnection connection)
    : menu_(menu), connection_(std::move(connection)) {
    qDBusRegisterMetaType<SniPixmap>();
    qDBusRegisterMetaType<SniPixmaps>();
    qDBusRegisterMetaType<SniToolTip>();
    static int instances = 0;
    serviceName_ = QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
                       .arg(QCoreApplication::applicationPid())
                       .arg(++instances);
    menuHost_ = std::make_unique<QObject>();
    new DBusMenuAdaptor(menuHost_.get(), menu_);
    connection_.registerObject(QString::fromLatin1(menuObjectPath), menuHost_.get(),
                               QDBusConnection::ExportAdaptors);
    connection_.registerObject(QString::fromLatin1(itemPath), this,
                               QDBusConnection::ExportAllSlots |
                                   QDBusConnection::ExportAllSignals |
                                   QDBusConnection::ExportAllProperties);
    if (!connection_.registerService(serviceName_)) {
        qCWarning(logShell) << "tray item name not taken:" << connection_.lastError().message();
    }
    watcher_ = std::make_unique<QDBusServiceWatcher>(
        QString::fromLatin1(watcherService), connection_,
        QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration);
    connect(watcher_.get(), &QDBusServiceWatcher::serviceRegistered, this,
            [this] { registerWithHost(); });
    connect(watcher_.get(), &QDBusServiceWatcher::serviceUnregistered, this,
            [this] { registered_ = false; });
    registerWithHost();
}

StatusNotifierItem::~StatusNotifierItem() {
    connection_.unregisterObject(QString::fromLatin1(itemPath));
    connection_.unregisterObject(QString::fromLatin1(menuObjectPath));
    connection_.unregisterService(serviceName_);
}

void StatusNotifierItem::setIcon(const QIcon& icon) {
    pixmaps_ = pixmapsOf(icon);
    emit NewIcon();
}

void StatusNotifierItem::registerWithHost() {
    if (!connection_.interface() ||
        !connection_.interface()->isServiceRegistered(QString::fromLatin1(watcherService))) {
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(watcherService), QStringLiteral("/StatusNotifierWatcher"),
        QString::fromLatin1(watcherService), QStringLiteral("RegisterStatusNotifierItem"));
    call << serviceName_;
    // Asynchronous: a tray host that hangs must not freeze the app.
    auto* pending = new QDBusPendingCallWatcher(connection_.asyncCall(call, 2000), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, pending] {
        pending->deleteLater();
        if (pending->isError()) {
            qCWarning(logShell) << "tray host refused the item:" << pending->error().message();
            return;
        }
        registered_ = true;
        emit registeredWithHost();
    });
}

void StatusNotifierItem::ContextMenu(int x, int y) {
    menu_->popup(QPoint(x, y));
}

void StatusNotifierItem::Activate(int x, int y) {
    menu_->popup(QPoint(x, y));
}

void StatusNotifierItem::SecondaryActivate(int, int) {}

void StatusNotifierItem::Scroll(int, const QString&) {}

}  // namespace quillhaven
