// The app's own tray item against a tray host (a fake StatusNotifierWatcher) on a private
// session bus that appears only after the app has started, as a panel does at login.

#include <QAction>
#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QMenu>

#include "shell/dbus_menu.h"
#include "shell/status_notifier_item.h"
#include "tests/shell/shell_fixture.h"
#include "tests/support/app_sandbox.h"
#include "tests/support/private_session_bus.h"

namespace quillhaven::testing {
namespace {

// A tray host: it records the items that register with it.
class FakeWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")

public:
    QStringList items;

public slots:
    void RegisterStatusNotifierItem(const QString& service) { items << service; }
};

// Both ends live in this thread, so a call is sent without blocking and its answer awaited
// while the event loop runs the other end.
QDBusMessage callMenu(QDBusConnection& host, const QString& service, const QString& method,
                      const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, QStringLiteral("/MenuBar"), QStringLiteral("com.canonical.dbusmenu"), method);
    call.setArguments(arguments);
    QDBusPendingCall pending = host.asyncCall(call, 2000);
    runEventLoopUntil([&] { return pending.isFinished(); }, 3000);
    return pending.reply();
}

TEST(StatusNotifierTest, ATrayHostThatComesLateGetsTheItemAndItsMenuWorks) {
    ensureApplication();
    PrivateSessionBus bus;
    ASSERT_TRUE(bus.isRunning());
    QDBusConnection app = QDBusConnection::connectToBus(bus.address(), QStringLiteral("sni-app"));
    QDBusConnection host = QDBusConnection::connectToBus(bus.address(), QStringLiteral("sni-host"));
    QMenu menu;
    QAction* title = menu.addAction(QStringLiteral("Quillhaven"));
    title->setEnabled(false);
    menu.addSeparator();
    QAction* toggle = menu.addAction(QStringLiteral("ノッチを目立たなくする"));
    toggle->setCheckable(true);
    int triggered = 0;
    QObject::connect(toggle, &QAction::triggered, [&] { ++triggered; });

    StatusNotifierItem item(&menu, app);
    EXPECT_FALSE(item.isRegistered());

    // The tray host starts after the app.
    FakeWatcher watcher;
    ASSERT_TRUE(host.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                    QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(host.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
    ASSERT_TRUE(runEventLoopUntil([&] { return item.isRegistered(); }, 2000)) << "within two seconds";
    ASSERT_EQ(watcher.items.size(), 1);

    // The host reads the menu from the item and reports a choice back.
    registerDBusMenuTypes();
    const QString service = watcher.items.front();
    const QDBusMessage layoutReply =
        callMenu(host, service, QStringLiteral("GetLayout"), {0, -1, QStringList()});
    ASSERT_EQ(layoutReply.type(), QDBusMessage::ReplyMessage) << layoutReply.errorMessage().toStdString();
    const auto layout = qdbus_cast<DBusMenuLayoutItem>(layoutReply.arguments().at(1));
    ASSERT_EQ(layout.children.size(), 3);
    std::vector<QVariantMap> entries;
    for (const QVariant& child : layout.children) {
        entries.push_back(qdbus_cast<DBusMenuLayoutItem>(
                              qvariant_cast<QDBusVariant>(child).variant())
                              .properties);
    }
    EXPECT_EQ(entries[0].value(QStringLiteral("label")).toString(), QStringLiteral("Quillhaven"));
    EXPECT_FALSE(entries[0].value(QStringLiteral("enabled")).toBool());
    EXPECT_EQ(entries[1].value(QStringLiteral("type")).toString(), QStringLiteral("separator"));
    EXPECT_EQ(entries[2].value(QStringLiteral("toggle-type")).toString(), QStringLiteral("checkmark"));

    callMenu(host, service, QStringLiteral("Event"),
             {3, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(QString())), 0u});
    EXPECT_TRUE(runEventLoopUntil([&] { return triggered == 1; }, 2000));

    // A tray host that restarts gets the item again.
    host.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    ASSERT_TRUE(runEventLoopUntil([&] { return !item.isRegistered(); }, 2000));
    host.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    EXPECT_TRUE(runEventLoopUntil([&] { return item.isRegistered(); }, 2000));
    EXPECT_EQ(watcher.items.size(), 2);
}

}  // namespace
}  // namespace quillhaven::testing

#include "status_notifier_test.moc"
