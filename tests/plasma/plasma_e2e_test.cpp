// The real app on an X server of its own (Xvfb) in a KDE session whose shell is the fake
// Plasma shell on a private bus, with QUILLHAVEN_NOTCH_HEIGHT giving the screen a notch.
// It applies, follows a newly chosen picture, and restores that picture with its own fill
// mode and colour.

#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <functional>

#include "tests/plasma/plasma_test_bus.h"
#include "tests/support/app_sandbox.h"

namespace quillhaven {
namespace {

using testing::FakePlasmaShell;
using testing::imageDesktop;
using testing::imageSetting;
using testing::PrivateSessionBus;
using testing::readShellState;
using testing::writeShellState;

constexpr int processTimeoutInMilliseconds = 10000;

// An X server on the first free display number, for as long as the object lives.
class VirtualScreen {
public:
    VirtualScreen() {
        server_.setStandardErrorFile(QProcess::nullDevice());
        server_.start(QStringLiteral("Xvfb"),
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                       QStringLiteral("0"), QStringLiteral("1512x982x24"),
                       QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!server_.waitForStarted(processTimeoutInMilliseconds)) {
            return;
        }
        while (!server_.canReadLine() && server_.waitForReadyRead(processTimeoutInMilliseconds)) {
        }
        const QString number = QString::fromUtf8(server_.readLine()).trimmed();
        if (!number.isEmpty()) {
            display_ = QStringLiteral(":") + number;
        }
    }
    ~VirtualScreen() {
        server_.terminate();
        if (!server_.waitForFinished(processTimeoutInMilliseconds)) {
            server_.kill();
            server_.waitForFinished();
        }
    }
    const QString& display() const { return display_; }

private:
    QProcess server_;
    QString display_;
};

// Polls until the condition holds or the limit passes; the app works on real timers here.
bool waitUntil(const std::function<bool()>& condition, int limitInMilliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > limitInMilliseconds) {
            return false;
        }
        QThread::msleep(100);
    }
    return true;
}

class PlasmaEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        ASSERT_FALSE(screen_.display().isEmpty()) << "Xvfb did not start";
        ASSERT_TRUE(bus_.isRunning()) << "dbus-daemon did not start";
        for (const char* folder : {"home", "config/Quillhaven", "data", "cache", "state"}) {
            QDir().mkpath(path(folder));
        }
        QDir().mkpath(path("runtime"));
        QFile::setPermissions(path("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner);
        statePath_ = path("plasma-shell.json");
    }

    QString path(const QString& relative) const { return root_.filePath(relative); }
    QString path(const char* relative) const { return path(QString::fromUtf8(relative)); }

    QString makePicture(const QString& name, Qt::GlobalColor color) const {
        QImage picture(640, 400, QImage::Format_RGB32);
        picture.fill(color);
        picture.save(path(name));
        return path(name);
    }

    QProcessEnvironment appEnvironment() const {
        QProcessEnvironment environment =
            testing::sandboxEnvironment(root_.path(), {"QUILLHAVEN_DESKTOP", "QT_QPA_PLATFORM"});
        environment.insert("DISPLAY", screen_.display());
        environment.insert("QT_QPA_PLATFORM", "xcb");
        // The backend is found from the session, as on a real KDE desktop.
        environment.insert("XDG_CURRENT_DESKTOP", "KDE");
        environment.insert("DBUS_SESSION_BUS_ADDRESS", bus_.address());
        environment.insert("QUILLHAVEN_NOTCH_HEIGHT", "64");
        return environment;
    }

    std::unique_ptr<QProcess> startApp(const QStringList& arguments) const {
        auto app = std::make_unique<QProcess>();
        app->setProcessEnvironment(appEnvironment());
        app->setWorkingDirectory(path("home"));
        app->setProcessChannelMode(QProcess::ForwardedChannels);
        app->start(QStringLiteral(QUILLHAVEN_BINARY), arguments);
        app->waitForStarted(processTimeoutInMilliseconds);
        return app;
    }

    QString shownImage() const { return imageSetting(readShellState(statePath_), 0, "Image"); }
    bool showsGeneratedPicture() const {
        const QString shown = QUrl(shownImage()).toLocalFile();
        return shown.startsWith(path("data/Quillhaven/Generated/")) && QFile::exists(shown);
    }
    QVariant preference(const char* key) const {
        QSettings settings(path("config/Quillhaven/Quillhaven.conf"), QSettings::IniFormat);
        return settings.value(QString::fromLatin1(key));
    }
    void choosePicture(const QString& picture, int fillMode, const QString& color) {
        QJsonObject state = readShellState(statePath_);
        QJsonArray desktops = state.value("desktops").toArray();
        desktops[0] = imageDesktop(0, QUrl::fromLocalFile(picture).toString(), fillMode, color);
        state.insert("desktops", desktops);
        writeShellState(statePath_, state);
    }

    QTemporaryDir root_;
    VirtualScreen screen_;
    PrivateSessionBus bus_;
    QString statePath_;
};

TEST_F(PlasmaEndToEndTest, AppliesFollowsANewPictureAndRestoresIt) {
    const QString first = makePicture("first picture.png", Qt::darkCyan);
    const QString second = makePicture("セカンド \"picture\".png", Qt::darkMagenta);
    writeShellState(
        statePath_,
        QJsonObject{
            {"desktops",
             QJsonArray{imageDesktop(0, QUrl::fromLocalFile(first).toString(), 6, "12,34,56"),
                        imageDesktop(1, "file:///elsewhere.png", 1, "1,1,1")}}});
    FakePlasmaShell shell(bus_.address(), statePath_);
    ASSERT_TRUE(shell.isReady());
    {
        QSettings settings(path("config/Quillhaven/Quillhaven.conf"), QSettings::IniFormat);
        settings.setValue("quillHaven.enabled", true);
    }

    // Start-up with the effect on applies at once: stretched, so the user's colour (which
    // cannot show) stays; the first picture is recorded.
    auto app = startApp({});
    ASSERT_TRUE(waitUntil([&] { return showsGeneratedPicture(); }, 30000))
        << "shown: " << shownImage().toStdString();
    QJsonObject state = readShellState(statePath_);
    EXPECT_EQ(imageSetting(state, 0, "FillMode"), "0");
    EXPECT_EQ(imageSetting(state, 0, "Color"), "12,34,56");
    EXPECT_EQ(imageSetting(state, 1, "Image"), "file:///elsewhere.png");
    EXPECT_EQ(preference("quillHaven.originalWallpaper").toString(), first);
    const QString firstGenerated = shownImage();
    const QImage generated(QUrl(firstGenerated).toLocalFile());
    EXPECT_EQ(generated.size(), QSize(1512, 982));
    EXPECT_EQ(generated.pixelColor(756, 10), QColor(Qt::black));

    // The user picks another picture; the poll finds it and applies again.
    choosePicture(second, 3, "200,100,50");
    ASSERT_TRUE(
        waitUntil([&] { return showsGeneratedPicture() && shownImage() != firstGenerated; }, 30000))
        << "shown: " << shownImage().toStdString();
    EXPECT_EQ(preference("quillHaven.originalWallpaper").toString(), second);
    app->terminate();
    app->waitForFinished(processTimeoutInMilliseconds);

    // The self-test switches the effect off again, which restores the second picture with
    // its tile fill mode and colour.
    auto selfTest = startApp({QStringLiteral("--self-test")});
    ASSERT_TRUE(selfTest->waitForFinished(90000));
    state = readShellState(statePath_);
    EXPECT_EQ(QUrl(imageSetting(state, 0, "Image")).toLocalFile(), second);
    EXPECT_EQ(imageSetting(state, 0, "FillMode"), "3");
    EXPECT_EQ(imageSetting(state, 0, "Color"), "200,100,50");
    EXPECT_FALSE(preference("quillHaven.originalWallpaper").isValid());
    EXPECT_EQ(state.value("desktops").toArray().at(0).toObject().value("plugin").toString(),
              "org.kde.image");
}

}  // namespace
}  // namespace quillhaven
