// The command line and the D-Bus service of the real binary, on a private session bus, with
// the virtual desktop in temporary folders.

#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QJsonObject>
#include <QRandomGenerator>

#include "tests/e2e/app_process.h"
#include "tests/e2e/private_bus.h"
#include "tests/support/app_sandbox.h"

namespace quillhaven::e2e {
namespace {

using namespace std::chrono_literals;

const QString effectOn = QStringLiteral("ノッチを目立たなくしています");
const QString restored = QStringLiteral("元の壁紙に戻しました");
const QString processing = QStringLiteral("壁紙を処理しています…");
const QString summary = QStringLiteral("ノッチあり・400 × 260");
const QString busyError = QStringLiteral("io.github.quillhaven.Quillhaven.Error.Busy");

class BusTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::ensureCoreApplication(); }

    void SetUp() override {
        ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
        world.setEnvironment(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
        original = world.makePicture(QStringLiteral("original.png"), QColor(30, 120, 90));
        world.writeDesktop(original, QJsonObject{{"scaling", 3}});
    }

    void TearDown() override {
        for (const auto& app : apps) {
            stop(*app);
        }
    }

    QProcess& startApp(const QStringList& arguments = {}) {
        apps.push_back(world.start(arguments));
        EXPECT_TRUE(waitUntil([&] { return bus.appRuns(); }, 30s)) << "the app took no bus name";
        bus.record(recorder);
        return *apps.back();
    }

    bool showsGeneratedPicture() const {
        return world.shownPicture().startsWith(world.generatedFolder() + QStringLiteral("/"));
    }

    PrivateBus bus;
    AppWorld world;
    SignalRecorder recorder;
    QString original;
    std::vector<std::unique_ptr<QProcess>> apps;
};

TEST_F(BusTest, CommandLineWithoutARunningApp) {
    const auto help = world.run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: quillhaven"))) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(QStringLiteral("--status")));

    const auto version = world.run({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("quillhaven 0.1.0\n"));

    for (const QStringList& bad : {QStringList{QStringLiteral("--bogus")},
                                   QStringList{QStringLiteral("--status"), QStringLiteral("-x")},
                                   QStringList{QStringLiteral("--enable"),
                                               QStringLiteral("--disable")},
                                   QStringList{QStringLiteral("picture.png")}}) {
        const auto usage = world.run(bad);
        EXPECT_EQ(usage.exitCode, 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(usage.out.isEmpty());
        EXPECT_TRUE(usage.err.contains(QStringLiteral("Usage: quillhaven")));
    }

    for (const char* command : {"--status", "--reprocess"}) {
        const auto none = world.run({QString::fromLatin1(command)});
        EXPECT_EQ(none.exitCode, 1) << command;
        EXPECT_TRUE(none.err.contains(QStringLiteral("not running"))) << none.err.toStdString();
    }
    // None of it started an app or touched the desktop.
    EXPECT_FALSE(bus.appRuns());
    EXPECT_EQ(world.shownPicture(), original);
    EXPECT_FALSE(world.preference(QStringLiteral("quillHaven.enabled")).has_value());
}

TEST_F(BusTest, CommandsRoundTripThroughTheRunningApp) {
    QProcess& app = startApp();

    auto status = world.run({QStringLiteral("--status")});
    EXPECT_EQ(status.exitCode, 0);
    EXPECT_EQ(status.out, QStringLiteral("準備完了\n") + summary + QStringLiteral("\n"));

    const auto enable = world.run({QStringLiteral("--enable")});
    EXPECT_EQ(enable.exitCode, 0) << enable.err.toStdString();
    EXPECT_EQ(enable.out, effectOn + QStringLiteral("\n"));
    EXPECT_TRUE(showsGeneratedPicture());
    EXPECT_EQ(bus.property(QStringLiteral("Enabled")), QVariant(true));
    EXPECT_TRUE(waitDelivering([&] { return recorder.statuses.size() >= 2; }, 10s));
    EXPECT_EQ(recorder.statuses, (QStringList{processing, effectOn}));

    status = world.run({QStringLiteral("--status")});
    EXPECT_EQ(status.out, effectOn + QStringLiteral("\n") + summary + QStringLiteral("\n"));

    const QString firstGenerated = world.shownPicture();
    const auto reprocess = world.run({QStringLiteral("--reprocess")});
    EXPECT_EQ(reprocess.exitCode, 0);
    EXPECT_TRUE(showsGeneratedPicture());
    EXPECT_NE(world.shownPicture(), firstGenerated);
    EXPECT_EQ(world.generatedFiles().size(), 1);

    // A bare second launch still leaves quietly, and the first one keeps running.
    const auto second = world.run({});
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_TRUE(second.out.isEmpty() && second.err.isEmpty());
    EXPECT_EQ(app.state(), QProcess::Running);

    const auto disable = world.run({QStringLiteral("--disable")});
    EXPECT_EQ(disable.exitCode, 0);
    EXPECT_EQ(disable.out, restored + QStringLiteral("\n"));
    EXPECT_EQ(world.shownPicture(), original);
    EXPECT_EQ(world.desktopImage()["options"].toObject()["scaling"].toInt(), 3);
    EXPECT_TRUE(waitDelivering([&] { return recorder.statuses.endsWith(restored); }, 10s));

    const auto reprocessOff = world.run({QStringLiteral("--reprocess")});
    EXPECT_EQ(reprocessOff.exitCode, 1);
    EXPECT_TRUE(reprocessOff.err.contains(QStringLiteral("effect is off")));

    // Diagnostics only when asked for.
    world.setEnvironment(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("quillhaven.*=true"));
    const auto logged = world.run({QStringLiteral("--status")});
    EXPECT_TRUE(logged.err.contains(QStringLiteral("quillhaven.shell"))) << logged.err.toStdString();
    EXPECT_TRUE(status.err.isEmpty());

    const QDBusMessage quit = bus.call(QStringLiteral("Quit"), {false});
    EXPECT_EQ(quit.type(), QDBusMessage::ReplyMessage) << quit.errorMessage().toStdString();
    ASSERT_TRUE(app.waitForFinished(10'000));
    EXPECT_EQ(app.exitCode(), 0);
    EXPECT_TRUE(app.readAllStandardError().isEmpty()) << "the app logs nothing by default";
    EXPECT_FALSE(bus.appRuns());
}

TEST_F(BusTest, EnableStartsTheAppWhenNoneRuns) {
    QProcess& app = startApp({QStringLiteral("--enable")});
    EXPECT_TRUE(waitUntil([&] { return showsGeneratedPicture(); }, 60s));
    EXPECT_TRUE(waitUntil([&] { return world.run({QStringLiteral("--status")}).out.startsWith(effectOn); },
                          30s));

    // Quitting with a restore puts the user's picture back first.
    EXPECT_EQ(bus.call(QStringLiteral("Quit"), {true}).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(app.waitForFinished(10'000));
    EXPECT_EQ(app.exitCode(), 0);
    EXPECT_EQ(world.shownPicture(), original);
}

TEST_F(BusTest, ABusyAppAnswersWithItsBusyStateInsteadOfRenderingAgain) {
    // A large noisy photo on a large panel keeps a render busy for a while.
    QImage photo(3000, 2000, QImage::Format_RGB32);
    QRandomGenerator random(12);
    for (int y = 0; y < photo.height(); ++y) {
        auto* line = reinterpret_cast<quint32*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x) {
            line[x] = 0xff000000u | (random.generate() & 0xffffffu);
        }
    }
    const QString large = world.path(QStringLiteral("large.jpg"));
    ASSERT_TRUE(photo.save(large, "JPEG", 95));
    world.writeDesktop(large, QJsonObject{{"scaling", 3}}, QSize(2560, 1600), 2);
    startApp();

    bus.send(QStringLiteral("Enable"));
    const QDBusMessage reprocess = bus.call(QStringLiteral("Reprocess"));
    EXPECT_EQ(reprocess.errorName(), busyError);
    const auto disable = world.run({QStringLiteral("--disable")});
    EXPECT_EQ(disable.exitCode, 3) << disable.out.toStdString();
    EXPECT_TRUE(disable.err.contains(QStringLiteral("being processed"))) << disable.err.toStdString();
    EXPECT_EQ(bus.property(QStringLiteral("Busy")), QVariant(true));
    EXPECT_EQ(bus.property(QStringLiteral("Status")), QVariant(processing));

    ASSERT_TRUE(waitDelivering([&] { return !bus.property(QStringLiteral("Busy")).toBool(); }, 120s));
    // One render ran, and the refused disable left the effect on.
    waitDelivering([&] { return recorder.statuses.endsWith(effectOn); }, 10s);
    EXPECT_EQ(recorder.busyStarts, 1);
    EXPECT_EQ(bus.property(QStringLiteral("Enabled")), QVariant(true));
    EXPECT_TRUE(showsGeneratedPicture());
    EXPECT_EQ(world.generatedFiles().size(), 1);
}

TEST_F(BusTest, CommandsFiredAtOnceEachGetTheirOwnAnswer) {
    startApp();
    std::vector<std::pair<bool, std::unique_ptr<QProcess>>> commands;
    for (int i = 0; i < 20; ++i) {
        const bool enable = i % 2 == 0;
        commands.emplace_back(enable, world.start({enable ? QStringLiteral("--enable")
                                                          : QStringLiteral("--disable")}));
    }
    for (auto& [enable, process] : commands) {
        ASSERT_TRUE(process->waitForFinished(120'000));
        const QString out = QString::fromUtf8(process->readAllStandardOutput());
        const int code = process->exitCode();
        // Done with its own line, or refused while another's render ran; never the other
        // command's status.
        if (code == 0 && enable) {
            EXPECT_EQ(out, effectOn + QStringLiteral("\n"));
        } else if (code == 0) {
            EXPECT_TRUE(out == restored + QStringLiteral("\n") ||
                        out == QStringLiteral("元の壁紙の記録がありません\n"))
                << out.toStdString();
        } else {
            EXPECT_EQ(code, 3) << (enable ? "enable: " : "disable: ") << out.toStdString();
        }
    }
}

}  // namespace
}  // namespace quillhaven::e2e
