#pragma once

// A QMenu exported over D-Bus as com.canonical.dbusmenu, the menu protocol of
// StatusNotifierItem trays (KDE, GNOME's AppIndicator extension, XFCE, waybar…): the tray
// asks for the layout, shows it, and reports a chosen entry back as an event, which
// triggers the very QAction the menu holds.

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QStringList>
#include <QVariantMap>

class QAction;
class QMenu;

namespace quillhaven {

// One entry and its children: (ia{sv}av).
struct DBusMenuLayoutItem {
    int id = 0;
    QVariantMap properties;
    QVariantList children;  // each a QDBusVariant holding a DBusMenuLayoutItem
};

// An entry's properties: (ia{sv}).
struct DBusMenuItemProperties {
    int id = 0;
    QVariantMap properties;
};
using DBusMenuItemPropertiesList = QList<DBusMenuItemProperties>;

// An entry's removed properties: (ias).
struct DBusMenuItemKeys {
    int id = 0;
    QStringList keys;
};
using DBusMenuItemKeysList = QList<DBusMenuItemKeys>;

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemProperties& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemKeys& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemKeys& item);

// Registers the types above with Qt's D-Bus type system; called before first use.
void registerDBusMenuTypes();

class DBusMenuAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

public:
    // `host` is the exported object; `menu` (not owned) must outlive it. Entry ids are the
    // actions' places in the menu, from 1; 0 is the root.
    DBusMenuAdaptor(QObject* host, QMenu* menu);

    uint version() const { return 3; }
    QString textDirection() const { return QStringLiteral("ltr"); }
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

public slots:
    // Types spelt out in full in slots and signals: Qt's D-Bus finds them by those names.
    uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                   quillhaven::DBusMenuLayoutItem& layout);
    QList<quillhaven::DBusMenuItemProperties> GetGroupProperties(const QList<int>& ids,
                                                                 const QStringList& propertyNames);
    QDBusVariant GetProperty(int id, const QString& name);
    void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
    bool AboutToShow(int id);
    QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

signals:
    void ItemsPropertiesUpdated(const QList<quillhaven::DBusMenuItemProperties>& updated,
                                const QList<quillhaven::DBusMenuItemKeys>& removed);
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

private:
    QVariantMap propertiesOf(const QAction& action) const;
    QAction* actionFor(int id) const;
    void announceChanges();

    QMenu* menu_;
    uint revision_ = 1;
    bool announcementQueued_ = false;
};

}  // namespace quillhaven

Q_DECLARE_METATYPE(quillhaven::DBusMenuLayoutItem)
Q_DECLARE_METATYPE(quillhaven::DBusMenuItemProperties)
Q_DECLARE_METATYPE(quillhaven::DBusMenuItemKeys)
