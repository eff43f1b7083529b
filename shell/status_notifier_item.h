#pragma once

// The tray icon published by the app itself as a StatusNotifierItem, for trays that appear
// after the app has started (the panel coming up late at login, an AppIndicator extension
// switched on later, a tray host that restarts). Qt decides once per process whether a tray
// exists, so its own icon can never reach such a tray; this item registers with the tray
// host (org.kde.StatusNotifierWatcher) whenever one appears on the session bus.

#include <QDBusArgument>
#include <QDBusConnection>
#include <QIcon>
#include <QObject>
#include <QString>
#include <memory>

class QDBusServiceWatcher;
class QMenu;

namespace quillhaven {

// One picture of the icon: (iiay), ARGB32 in network byte order.
struct SniPixmap {
    int width = 0;
    int height = 0;
    QByteArray bytes;
};
using SniPixmaps = QList<SniPixmap>;

// The tooltip: (sa(iiay)ss).
struct SniToolTip {
    QString iconName;
    SniPixmaps pixmaps;
    QString title;
    QString text;
};

QDBusArgument& operator<<(QDBusArgument& argument, const SniPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, SniPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& argument, const SniToolTip& toolTip);
const QDBusArgument& operator>>(const QDBusArgument& argument, SniToolTip& toolTip);

class StatusNotifierItem : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(QList<quillhaven::SniPixmap> IconPixmap READ iconPixmap)
    Q_PROPERTY(quillhaven::SniToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menuPath)

public:
    static constexpr const char* watcherService = "org.kde.StatusNotifierWatcher";
    static constexpr const char* itemPath = "/StatusNotifierItem";
    static constexpr const char* menuObjectPath = "/MenuBar";

    // Publishes the item and its menu (not owned) on `connection` and registers with the
    // tray host now, if there is one, and every time one appears.
    StatusNotifierItem(QMenu* menu, QDBusConnection connection);
    ~StatusNotifierItem() override;

    void setIcon(const QIcon& icon);
    // Whether a tray host has taken the item.
    bool isRegistered() const { return registered_; }

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return QStringLiteral("quillhaven"); }
    QString title() const { return QStringLiteral("Quillhaven"); }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString iconName() const { return {}; }
    SniPixmaps iconPixmap() const { return pixmaps_; }
    SniToolTip toolTip() const { return SniToolTip{{}, {}, title(), {}}; }
    bool itemIsMenu() const { return true; }
    QDBusObjectPath menuPath() const { return QDBusObjectPath(QString::fromLatin1(menuObjectPath)); }

public slots:
    void ContextMenu(int x, int y);
    void Activate(int x, int y);
    void SecondaryActivate(int x, int y);
    void Scroll(int delta, const QString& orientation);

signals:
    void NewIcon();
    void NewToolTip();
    void NewStatus(const QString& status);
    // The item has been registered with a tray host.
    void registeredWithHost();

private:
    void registerWithHost();

    QMenu* menu_;
    QDBusConnection connection_;
    QString serviceName_;
    std::unique_ptr<QObject> menuHost_;
    std::unique_ptr<QDBusServiceWatcher> watcher_;
    SniPixmaps pixmaps_;
    bool registered_ = false;
};

}  // namespace quillhaven

Q_DECLARE_METATYPE(quillhaven::SniPixmap)
Q_DECLARE_METATYPE(quillhaven::SniToolTip)
