#include "shell/dbus_menu.h"

#include <QAction>
#include <QDBusMetaType>
#include <QMenu>
#include <QTimer>

namespace quillhaven {

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& item) {
    argument.beginStructure();
    argument << item.id << item.properties;
    argument.beginArray(qMetaTypeId<QDBusVariant>());
    for (const QVariant& child : item.children) {
        argument << qvariant_cast<QDBusVariant>(child);
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& item) {
    argument.beginStructure();
    argument >> item.id >> item.properties;
    argument.beginArray();
    item.children.clear();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        item.children.append(QVariant::fromValue(child));
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemProperties& item) {
    argument.beginStructure();
    argument << item.id << item.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemProperties& item) {
    argument.beginStructure();
    argument >> item.id >> item.properties;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemKeys& item) {
    argument.beginStructure();
    argument << item.id << item.keys;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemKeys& item) {
    argument.beginStructure();
    argument >> item.id >> item.keys;
    argument.endStructure();
    return argument;
}

void registerDBusMenuTypes() {
    qDBusRegisterMetaType<DBusMenuLayoutItem>();
    qDBusRegisterMetaType<DBusMenuItemProperties>();
    qDBusRegisterMetaType<DBusMenuItemPropertiesList>();
    qDBusRegisterMetaType<DBusMenuItemKeys>();
    qDBusRegisterMetaType<DBusMenuItemKeysList>();
}

DBusMenuAdaptor::DBusMenuAdaptor(QObject* host, QMenu* menu)
    : QDBusAbstractAdaptor(host), menu_(menu) {
    registerDBusMenuTypes();
    setAutoRelaySignals(true);
    // Any change of an entry (text, check mark, enabled state) is sent as one layout change
    // per turn of the main loop.
    for (QAction* action : menu_->actions()) {
        QObject::connect(action, &QAction::changed, this, [this] { announceChanges(); });
    }
}

QVariantMap DBusMenuAdaptor::propertiesOf(const QAction& action) const {
    QVariantMap properties;
    if (action.isSeparator()) {
        properties.insert(QStringLiteral("type"), QStringLiteral("separator"));
        return properties;
    }
    // An underscore marks an access key in dbusmenu labels; the texts have none.
    QString label = action.text();
    label.replace(QLatin1Char('_'), QLatin1String("__"));
    properties.insert(QStringLiteral("label"), label);
    properties.insert(QStringLiteral("enabled"), action.isEnabled());
    properties.insert(QStringLiteral("visible"), action.isVisible());
    if (action.isCheckable()) {
        properties.insert(QStringLiteral("toggle-type"), QStringLiteral("checkmark"));
        properties.insert(QStringLiteral("toggle-state"), action.isChecked() ? 1 : 0);
    }
    return properties;
}

QAction* DBusMenuAdaptor::actionFor(int id) const {
    const QList<QAction*> actions = menu_->actions();
    return id >= 1 && id <= actions.size() ? actions.at(id - 1) : nullptr;
}

uint DBusMenuAdaptor::GetLayout(int parentId, int, const QStringList&,
                                quillhaven::DBusMenuLayoutItem& layout) {
    layout = DBusMenuLayoutItem{};
    layout.id = parentId;
    if (parentId != 0) {
        if (const QAction* action = actionFor(parentId)) {
            layout.properties = propertiesOf(*action);
        }
        return revision_;
    }
    layout.properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    int id = 1;
    for (const QAction* action : menu_->actions()) {
        DBusMenuLayoutItem child;
        child.id = id++;
        child.properties = propertiesOf(*action);
        layout.children.append(QVariant::fromValue(QDBusVariant(QVariant::fromValue(child))));
    }
    return revision_;
}

QList<quillhaven::DBusMenuItemProperties> DBusMenuAdaptor::GetGroupProperties(
    const QList<int>& ids, const QStringList&) {
    DBusMenuItemPropertiesList list;
    for (const int id : ids) {
        if (const QAction* action = actionFor(id)) {
            list.append(DBusMenuItemProperties{id, propertiesOf(*action)});
        }
    }
    return list;
}

QDBusVariant DBusMenuAdaptor::GetProperty(int id, const QString& name) {
    const QAction* action = actionFor(id);
    return QDBusVariant(action ? propertiesOf(*action).value(name) : QVariant());
}

void DBusMenuAdaptor::Event(int id, const QString& eventId, const QDBusVariant&, uint) {
    QAction* action = actionFor(id);
    if (!action || eventId != QLatin1String("clicked") || !action->isEnabled()) {
        return;
    }
    // After the reply: the action may quit the app.
    QTimer::singleShot(0, action, [action] { action->trigger(); });
}

bool DBusMenuAdaptor::AboutToShow(int) {
    return false;
}

QList<int> DBusMenuAdaptor::AboutToShowGroup(const QList<int>&, QList<int>& idErrors) {
    idErrors.clear();
    return {};
}

void DBusMenuAdaptor::announceChanges() {
    if (announcementQueued_) {
        return;
    }
    announcementQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        announcementQueued_ = false;
        emit LayoutUpdated(++revision_, 0);
    });
}

}  // namespace quillhaven
