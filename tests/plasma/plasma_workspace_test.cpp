// The Plasma workspace against a fake Plasma shell on a private session bus. The fake runs
// the scripts it receives, so these tests check what the scripts really do to the desktops.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QUrl>
#include <chrono>
#include <memory>

#include "controller/wallpaper_controller.h"
#include "platform/file_change_notifier.h"
#include "platform/plasma/fill_mode_mapping.h"
#include "platform/plasma/plasma_workspace.h"
#include "tests/doubles/fake_desktop.h"
#include "tests/plasma/plasma_test_bus.h"

namespace quillhaven::plasma {
namespace {

using testing::FakePlasmaShell;
using testing::imageDesktop;
using testing::imageSetting;
using testing::pluginDesktop;
using testing::PrivateSessionBus;
using testing::readShellState;
using testing::writeShellState;

Display displayAt(const std::string& connector, double x, double y) {
    Display display;
    display.connector = connector;
    display.isPrimary = x == 0 && y == 0;
    display.geometry = Rect{x, y, 1512, 982};
    display.devicePixelRatio = 2;
    return display;
}

const Display mainDisplay = displayAt("eDP-1", 0, 0);
const Display sideDisplay = displayAt("HDMI-A-1", 1512, 0);

QString fileValue(const QString& path) {
    return QUrl::fromLocalFile(path).toString();
}

class PlasmaWorkspaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        ASSERT_TRUE(bus_.isRunning()) << "dbus-daemon did not start";
        statePath_ = folder_.filePath(QStringLiteral("shell.json"));
        connectionName_ = QStringLiteral("plasma-test-%1").arg(++connectionCount_);
        connection_ = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(bus_.address(), connectionName_));
        ASSERT_TRUE(connection_->isConnected());
        const std::vector<Display> displays{mainDisplay, sideDisplay};
        workspace_ = std::make_unique<PlasmaWorkspace>(
            PlasmaShellClient(*connection_),
            [displays](const Display& display) { return plasmaScreenNumber(display, displays); });
    }

    void TearDown() override {
        workspace_.reset();
        connection_.reset();
        QDBusConnection::disconnectFromBus(connectionName_);
    }

    // Writes the desktops and starts the shell; a test may start it only when it needs it.
    void startShell(const QJsonArray& desktops, bool locked = false, const QString& applets = {},
                    bool hung = false) {
        writeShellState(statePath_, QJsonObject{{QStringLiteral("desktops"), desktops},
                                                {QStringLiteral("locked"), locked},
                                                {QStringLiteral("hung"), hung}});
        shell_ = std::make_unique<FakePlasmaShell>(bus_.address(), statePath_, applets);
        ASSERT_TRUE(shell_->isReady()) << "fake Plasma shell did not start";
    }

    QJsonObject state() const { return readShellState(statePath_); }
    QString picture(const QString& name) const { return folder_.filePath(name); }

    QTemporaryDir folder_;
    PrivateSessionBus bus_;
    QString statePath_;
    QString connectionName_;
    std::unique_ptr<QDBusConnection> connection_;
    std::unique_ptr<FakePlasmaShell> shell_;
    std::unique_ptr<PlasmaWorkspace> workspace_;
    static inline int connectionCount_ = 0;
};

DesktopPictureOptions controllerOptions() {
    return DesktopPictureOptions{ImageScaling::axesIndependently, false, Color::black()};
}

TEST_F(PlasmaWorkspaceTest, ReadsThePictureAndOptionsOfEachDisplaysOwnScreen) {
    startShell(QJsonArray{imageDesktop(1, fileValue(picture("side.jpg")), 3, "10,20,30"),
                          imageDesktop(0, fileValue(picture("main picture.jpg")), 6, "#ff8000")});

    EXPECT_EQ(workspace_->desktopImageURL(mainDisplay),
              Url::fileURLWithPath(picture("main picture.jpg").toStdString()));
    const auto options = workspace_->desktopImageOptions(mainDisplay);
    ASSERT_TRUE(options.has_value());
    EXPECT_EQ(*options, optionsForFillMode(6, Color{1, 128 / 255.0, 0, 1}));

    EXPECT_EQ(workspace_->desktopImageURL(sideDisplay),
              Url::fileURLWithPath(picture("side.jpg").toStdString()));
    EXPECT_EQ(workspace_->desktopImageOptions(sideDisplay),
              optionsForFillMode(3, Color{10 / 255.0, 20 / 255.0, 30 / 255.0, 1}));
}

TEST_F(PlasmaWorkspaceTest, ReadingsAreKeptWhileTheAppletsConfigurationIsUnchanged) {
    const QString applets = folder_.filePath(QStringLiteral("appletsrc"));
    startShell(QJsonArray{imageDesktop(0, fileValue(picture("mine.jpg")), 6, "1,2,3")}, false,
               applets);
    const std::vector<Display> displays{mainDisplay};
    PlasmaWorkspace keeping(
        PlasmaShellClient(*connection_),
        [displays](const Display& display) { return plasmaScreenNumber(display, displays); },
        applets.toStdString());
    auto scriptRuns = [&] { return state().value(QStringLiteral("calls")).toInt(); };

    // No applets file yet: nothing to tell a change by, so every read asks the shell.
    keeping.desktopImageURL(mainDisplay);
    keeping.desktopImageURL(mainDisplay);
    EXPECT_EQ(scriptRuns(), 2);

    // Setting a picture makes the shell save its configuration; from then on polls that
    // find it unchanged cost no script.
    const Url generated = Url::fileURLWithPath(picture("generated.png").toStdString());
    ASSERT_TRUE(keeping.setDesktopImageURL(generated, mainDisplay, controllerOptions()).succeeded());
    EXPECT_EQ(keeping.desktopImageURL(mainDisplay), generated);
    // The colour, which a stretched picture never shows, is still the user's.
    EXPECT_EQ(keeping.desktopImageOptions(mainDisplay),
              optionsForFillMode(0, *parseConfigColor("1,2,3")));
    for (int poll = 0; poll < 5; ++poll) {
        EXPECT_EQ(keeping.desktopImageURL(mainDisplay), generated);
    }
    EXPECT_EQ(scriptRuns(), 4) << "two reads and the set";

    // The user picks another picture; plasmashell saves it, and the next read sees it.
    QJsonObject chosen = state();
    chosen[QStringLiteral("desktops")] =
        QJsonArray{imageDesktop(0, fileValue(picture("chosen.jpg")), 3, "9,9,9")};
    writeShellState(statePath_, chosen);
    EXPECT_EQ(keeping.desktopImageURL(mainDisplay), generated) << "not saved yet";
    testing::writeShellState(applets, QJsonObject{{QStringLiteral("saved"), true}});
    EXPECT_EQ(keeping.desktopImageURL(mainDisplay),
              Url::fileURLWithPath(picture("chosen.jpg").toStdString()));
}

TEST_F(PlasmaWorkspaceTest, EverySaveOfTheAppletsConfigurationIsNoticed) {
    const QString applets = folder_.filePath(QStringLiteral("appletsrc"));
    startShell(QJsonArray{imageDesktop(0, fileValue(picture("mine.jpg")), 6, "1,2,3")}, false,
               applets);
    FileChangeNotifier notifier(applets.toStdString());
    int notices = 0;
    ASSERT_TRUE(notifier.watch([&] { ++notices; }));
    auto waitForNotices = [&](int count) {
        QDeadlineTimer deadline(5000);
        while (notices < count && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        return notices >= count;
    };
    // The first save creates the file; the next replaces it by renaming a new one over it.
    for (const char* name : {"one.png", "two.png"}) {
        const int before = notices;
        ASSERT_TRUE(workspace_
                        ->setDesktopImageURL(Url::fileURLWithPath(picture(name).toStdString()),
                                             mainDisplay, controllerOptions())
                        .succeeded());
        EXPECT_TRUE(waitForNotices(before + 1)) << name;
    }
    // Another file in the same folder is not a change.
    const int before = notices;
    testing::writeShellState(folder_.filePath(QStringLiteral("other.json")), QJsonObject{});
    QDeadlineTimer settle(300);
    while (!settle.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(notices, before);
}

TEST_F(PlasmaWorkspaceTest, PlainPathsReadAsTheyAreAndPackagesAsThePictureShown) {
    // A package with two sizes: the 3024 x 1964 panel shows the one Plasma picks.
    for (const char* size : {"1920x1080", "3200x2000"}) {
        QDir().mkpath(picture("Pkg/contents/images"));
        QFile(picture("Pkg/contents/images/") + size + ".png").open(QIODevice::WriteOnly);
    }
    startShell(QJsonArray{imageDesktop(0, picture("plain.png"), 2, "0,0,0"),
                          imageDesktop(1, fileValue(picture("Pkg")) + "/", 2, "0,0,0")});

    EXPECT_EQ(workspace_->desktopImageURL(mainDisplay),
              Url::fileURLWithPath(picture("plain.png").toStdString()));
    EXPECT_EQ(workspace_->desktopImageURL(sideDisplay),
              Url::fileURLWithPath(picture("Pkg/contents/images/3200x2000.png").toStdString()));
}

TEST_F(PlasmaWorkspaceTest, SettingWithTheControllersOptionsStretchesAndLeavesTheUnseenColour) {
    startShell(QJsonArray{imageDesktop(0, fileValue(picture("own.jpg")), 2, "200,10,10"),
                          imageDesktop(1, fileValue(picture("side.jpg")), 1, "1,2,3")});
    const Url generated = Url::fileURLWithPath(picture("quillhaven-1.png").toStdString());

    const Outcome outcome =
        workspace_->setDesktopImageURL(generated, mainDisplay, controllerOptions());

    ASSERT_TRUE(outcome.succeeded()) << outcome.errorDescription();
    const QJsonObject after = state();
    EXPECT_EQ(imageSetting(after, 0, "FillMode"), "0");
    EXPECT_EQ(imageSetting(after, 0, "Color"), "200,10,10");
    EXPECT_EQ(workspace_->desktopImageURL(mainDisplay), generated);
    // The other screen keeps its own settings.
    EXPECT_EQ(imageSetting(after, 1, "Image"), fileValue(picture("side.jpg")));
    EXPECT_EQ(imageSetting(after, 1, "FillMode"), "1");
}

TEST_F(PlasmaWorkspaceTest, EveryFillModeAndColourSurvivesApplyAndRestore) {
    const QString own = fileValue(picture("own.jpg"));
    startShell(QJsonArray{imageDesktop(0, own, 0, "0,0,0")});
    const Url generated = Url::fileURLWithPath(picture("quillhaven-2.png").toStdString());
    const QStringList colours{"0,0,0", "255,255,255", "12,34,56", "1,2,3,128", "#336699"};

    for (int mode = 0; mode <= 6; ++mode) {
        const QString colour = colours.at(mode % colours.size());
        writeShellState(statePath_,
                        QJsonObject{{"desktops", QJsonArray{imageDesktop(0, own, mode, colour)}}});
        const auto original = workspace_->desktopImageURL(mainDisplay);
        const auto options = workspace_->desktopImageOptions(mainDisplay);
        ASSERT_TRUE(original.has_value() && options.has_value()) << "mode " << mode;

        ASSERT_TRUE(workspace_->setDesktopImageURL(generated, mainDisplay, controllerOptions())
                        .succeeded());
        ASSERT_TRUE(workspace_->setDesktopImageURL(*original, mainDisplay, *options).succeeded());

        const QJsonObject after = state();
        EXPECT_EQ(imageSetting(after, 0, "Image"), own) << "mode " << mode;
        EXPECT_EQ(imageSetting(after, 0, "FillMode"), QString::number(mode));
        EXPECT_EQ(parseConfigColor(imageSetting(after, 0, "Color").toStdString()),
                  parseConfigColor(colour.toStdString()))
            << "mode " << mode << " colour " << colour.toStdString();
    }
}

TEST_F(PlasmaWorkspaceTest, NativeSettingsComeBackInTheUsersSpellingAndColoursShowLive) {
    const QString own = fileValue(picture("own.jpg"));
    const Url generated = Url::fileURLWithPath(picture("quillhaven-3.png").toStdString());
    startShell(QJsonArray{imageDesktop(0, own, 1, "#0a141e")});
    for (const char* colour : {"#0a141e", "10,20,30", ""}) {
        SCOPED_TRACE(colour);
        QJsonObject desktop = imageDesktop(0, own, 1, colour);
        if (QString(colour).isEmpty()) {
            // No Color key at all, as on a fresh user: Plasma shows its own default.
            QJsonObject config = desktop.value("config").toObject();
            QJsonObject group = config.value("Wallpaper/org.kde.image/General").toObject();
            group.remove("Color");
            config.insert("Wallpaper/org.kde.image/General", group);
            desktop.insert("config", config);
        }
        writeShellState(statePath_, QJsonObject{{"desktops", QJsonArray{desktop}}});
        const QJsonObject before = state().value("desktops").toArray().at(0).toObject();
        const auto saved = workspace_->nativeSettings(mainDisplay);
        ASSERT_TRUE(saved) << workspace_->lastReadFailure();
        EXPECT_EQ(saved->at("Color"),
                  QString(colour).isEmpty() ? std::nullopt : std::optional<std::string>(colour));

        ASSERT_TRUE(workspace_->setDesktopImageURL(generated, mainDisplay, controllerOptions())
                        .succeeded());
        ASSERT_TRUE(workspace_->restoreNativeSettings(*saved, mainDisplay).succeeded());
        const QJsonObject after = state().value("desktops").toArray().at(0).toObject();
        EXPECT_EQ(after.value("config"), before.value("config"));
        EXPECT_EQ(workspace_->nativeSettings(mainDisplay), saved);
        // No colour was ever written, so none was drawn black.
        EXPECT_FALSE(after.value("live").toObject().contains("Color"));
    }
    // Through the older form of the record, the colour goes out in the form shown live.
    ASSERT_TRUE(workspace_
                    ->setDesktopImageURL(Url::fileURLWithPath(picture("own.jpg").toStdString()),
                                         mainDisplay,
                                         optionsForFillMode(6, *parseConfigColor("10,20,30")))
                    .succeeded());
    EXPECT_EQ(state().value("desktops").toArray().at(0).toObject().value("live").toObject().value(
                  "Color"),
              "#0a141e");
    EXPECT_FALSE(workspace_->restoreNativeSettings({{"picture-uri", "file:///x"}}, mainDisplay)
                     .succeeded());
}

TEST_F(PlasmaWorkspaceTest, AFreshDesktopShowsTheDefaultPackageAndStaysWithoutAnImage) {
    // No Image key at all, as for a new user: Plasma shows the look-and-feel's default.
    for (const char* size : {"1920x1080", "3200x2000"}) {
        QDir().mkpath(picture("wallpapers/Next/contents/images"));
        QFile(picture("wallpapers/Next/contents/images/") + size + ".png").open(QIODevice::WriteOnly);
    }
    QJsonObject fresh = imageDesktop(0, "", 2, "");
    fresh.insert("config", QJsonObject{{"Wallpaper/org.kde.image/General", QJsonObject{}}});
    startShell(QJsonArray{fresh});
    PackageFolders packages;
    packages.wallpapers << picture("wallpapers");
    const std::vector<Display> displays{mainDisplay};
    PlasmaWorkspace stock(
        PlasmaShellClient(*connection_),
        [displays](const Display& display) { return plasmaScreenNumber(display, displays); }, {},
        packages);

    EXPECT_EQ(stock.desktopImageURL(mainDisplay),
              Url::fileURLWithPath(picture("wallpapers/Next/contents/images/3200x2000.png").toStdString()));
    const auto saved = stock.nativeSettings(mainDisplay);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->at("Image"), std::nullopt);
    ASSERT_TRUE(stock.setDesktopImageURL(Url::fileURLWithPath(picture("quillhaven-4.png").toStdString()),
                                         mainDisplay, controllerOptions())
                    .succeeded());
    ASSERT_TRUE(stock.restoreNativeSettings(*saved, mainDisplay).succeeded());
    // The Image key is gone again; the fill mode, which the shell cannot remove without the
    // live wallpaper losing it, stays at Plasma's default.
    const QJsonValue after = state().value("desktops").toArray().at(0).toObject().value("config");
    EXPECT_EQ(after, QJsonObject({{"Wallpaper/org.kde.image/General", QJsonObject{{"FillMode", "2"}}}}))
        << QJsonDocument(after.toObject()).toJson().toStdString();
}

TEST_F(PlasmaWorkspaceTest, PathsWithAwkwardCharactersStayData) {
    startShell(QJsonArray{imageDesktop(0, fileValue(picture("own.jpg")), 2, "0,0,0")});
    const QStringList names{
        QStringLiteral("quote\" and ' apostrophe.png"),
        QStringLiteral("back\\slash \\\" mix.png"),
        QStringLiteral("  spaces  everywhere .png"),
        QStringLiteral("壁紙 ノッチ café.png"),
        QStringLiteral("percent %41 hash # question ?.png"),
        QStringLiteral("line\nbreak\u2028separator.png"),
        QStringLiteral("\"); desktops()[0].wallpaperPlugin = \"evil\"; (\".png"),
    };
    for (const QString& name : names) {
        const Url url = Url::fileURLWithPath(picture(name).toStdString());
        const Outcome outcome =
            workspace_->setDesktopImageURL(url, mainDisplay, controllerOptions());
        ASSERT_TRUE(outcome.succeeded())
            << name.toStdString() << ": " << outcome.errorDescription();
        EXPECT_EQ(workspace_->desktopImageURL(mainDisplay), url) << name.toStdString();
        const QJsonObject after = state();
        EXPECT_EQ(QUrl(imageSetting(after, 0, "Image")).toLocalFile(), picture(name));
        EXPECT_EQ(after.value("desktops").toArray().at(0).toObject().value("plugin").toString(),
                  "org.kde.image");
    }
}

TEST_F(PlasmaWorkspaceTest, AnotherPluginIsReportedAsNotAFileAndNeverOverwritten) {
    startShell(QJsonArray{pluginDesktop(0, "org.kde.slideshow")});
    const QJsonObject before = state();

    const auto url = workspace_->desktopImageURL(mainDisplay);
    ASSERT_TRUE(url.has_value());
    EXPECT_FALSE(url->isFileURL());
    EXPECT_EQ(*url, Url(pluginScheme, "org.kde.slideshow"));
    EXPECT_FALSE(workspace_->desktopImageOptions(mainDisplay).has_value());

    const Outcome outcome = workspace_->setDesktopImageURL(
        Url::fileURLWithPath(picture("own.jpg").toStdString()), mainDisplay, controllerOptions());
    EXPECT_FALSE(outcome.succeeded());
    EXPECT_NE(outcome.errorDescription().find("org.kde.slideshow"), std::string::npos);
    EXPECT_EQ(state().value("desktops"), before.value("desktops"));
    // A URL that is not a file is refused before Plasma is asked.
    EXPECT_FALSE(workspace_->setDesktopImageURL(*url, mainDisplay, {}).succeeded());
}

TEST_F(PlasmaWorkspaceTest, OptionsWithoutEntriesLeaveThoseSettingsAsTheyAre) {
    startShell(QJsonArray{imageDesktop(0, fileValue(picture("own.jpg")), 5, "9,9,9")});
    const Url other = Url::fileURLWithPath(picture("other.jpg").toStdString());

    ASSERT_TRUE(workspace_->setDesktopImageURL(other, mainDisplay, {}).succeeded());

    const QJsonObject after = state();
    EXPECT_EQ(imageSetting(after, 0, "Image"), fileValue(picture("other.jpg")));
    EXPECT_EQ(imageSetting(after, 0, "FillMode"), "5");
    EXPECT_EQ(imageSetting(after, 0, "Color"), "9,9,9");
}

TEST_F(PlasmaWorkspaceTest, ALockedShellRefusesWithItsOwnWords) {
    startShell(QJsonArray{imageDesktop(0, fileValue(picture("own.jpg")), 2, "0,0,0")},
               /*locked=*/true);

    EXPECT_FALSE(workspace_->desktopImageURL(mainDisplay).has_value());
    EXPECT_FALSE(workspace_->desktopImageOptions(mainDisplay).has_value());
    const Outcome outcome = workspace_->setDesktopImageURL(
        Url::fileURLWithPath(picture("x.png").toStdString()), mainDisplay, controllerOptions());
    EXPECT_FALSE(outcome.succeeded());
    EXPECT_EQ(outcome.errorDescription(), "Widgets are locked");
    EXPECT_EQ(imageSetting(state(), 0, "Image"), fileValue(picture("own.jpg")));
}

// The calls run on the main thread: a shell that never answers must cost the menu at most
// one short wait per action, and say so plainly.
TEST_F(PlasmaWorkspaceTest, AHungShellFailsQuicklyWithAClearError) {
    startShell(QJsonArray{imageDesktop(0, fileValue(picture("own.jpg")), 2, "0,0,0")},
               /*locked=*/false, /*applets=*/{}, /*hung=*/true);
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    EXPECT_FALSE(workspace_->desktopImageURL(mainDisplay).has_value());
    const auto firstCall = Clock::now() - start;
    EXPECT_LT(firstCall, std::chrono::milliseconds(2500));
    // The rest of an apply (options, then setting the picture) does not wait again.
    EXPECT_FALSE(workspace_->desktopImageOptions(mainDisplay).has_value());
    const Outcome outcome = workspace_->setDesktopImageURL(
        Url::fileURLWithPath(picture("x.png").toStdString()), mainDisplay, controllerOptions());
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2500));
    EXPECT_FALSE(outcome.succeeded());
    EXPECT_EQ(outcome.errorDescription(), PlasmaShellClient::noAnswerError);
    // The shell saw one call only, and its desktop is unchanged.
    EXPECT_EQ(state()["calls"].toInt(), 1);
    EXPECT_EQ(imageSetting(state(), 0, "Image"), fileValue(picture("own.jpg")));
}

TEST_F(PlasmaWorkspaceTest, AMissingShellFailsWithTheBusError) {
    // No shell started on this bus.
    EXPECT_FALSE(workspace_->desktopImageURL(mainDisplay).has_value());
    EXPECT_FALSE(workspace_->desktopImageOptions(mainDisplay).has_value());
    const Outcome outcome = workspace_->setDesktopImageURL(
        Url::fileURLWithPath(picture("x.png").toStdString()), mainDisplay, controllerOptions());
    EXPECT_FALSE(outcome.succeeded());
    EXPECT_NE(outcome.errorDescription().find("org.kde.plasmashell"), std::string::npos)
        << outcome.errorDescription();
}

// An external monitor is the primary screen, the notched panel sits beside it, and Plasma
// numbers the screens in an order of its own: the panel's desktop, found through its
// connector, is the one processed and the monitor's stays as it was.
TEST_F(PlasmaWorkspaceTest, TheNotchedPanelBesideAnExternalPrimaryIsProcessedOnItsOwnDesktop) {
    const QString mine = picture(QStringLiteral("mine.png"));
    QImage(40, 30, QImage::Format_RGB32).save(mine);
    startShell(QJsonArray{imageDesktop(0, fileValue(mine), 2, "1,2,3"),
                          imageDesktop(1, fileValue(mine), 2, "1,2,3")});
    QJsonObject shellState = state();
    shellState.insert(QStringLiteral("connectors"),
                      QJsonObject{{QStringLiteral("eDP-1"), 0}, {QStringLiteral("HDMI-A-1"), 1}});
    writeShellState(statePath_, shellState);

    quillhaven::testing::FakeDesktop doubles;
    Display external = quillhaven::testing::FakeDisplayService::plainDisplay("HDMI-A-1");
    external.isPrimary = true;
    const Display panel =
        quillhaven::testing::FakeDisplayService::notchedDisplay("eDP-1", 1512, 982, 2, 32, 1920, 0);
    doubles.displays->setScreens({external, panel});
    DesktopServices services = doubles.services();
    services.workspace = std::make_shared<PlasmaWorkspace>(
        PlasmaShellClient(*connection_), screenNumberingFrom(doubles.displays));
    auto controller = WallpaperController::create(
        services, std::make_shared<WallpaperProcessor>(Url::directoryURLWithPath(
                      folder_.filePath(QStringLiteral("Generated")).toStdString())));
    controller->setEffectEnabled(true);
    ASSERT_TRUE(doubles.scheduler->drain());
    ASSERT_TRUE(controller->isEnabled()) << controller->statusMessage();

    const QString processed = imageSetting(state(), 0, QStringLiteral("Image"));
    EXPECT_TRUE(processed.contains(QStringLiteral("/Generated/"))) << processed.toStdString();
    EXPECT_EQ(QImage(QUrl(processed).toLocalFile()).size(), QSize(3024, 1964));
    EXPECT_EQ(imageSetting(state(), 1, QStringLiteral("Image")), fileValue(mine));
}

TEST_F(PlasmaWorkspaceTest, AScreenWithoutADesktopReadsNothingAndCannotBeSet) {
    startShell(QJsonArray{imageDesktop(1, fileValue(picture("side.jpg")), 2, "0,0,0")});

    EXPECT_FALSE(workspace_->desktopImageURL(mainDisplay).has_value());
    const Outcome outcome = workspace_->setDesktopImageURL(
        Url::fileURLWithPath(picture("x.png").toStdString()), mainDisplay, controllerOptions());
    EXPECT_FALSE(outcome.succeeded());
    EXPECT_FALSE(outcome.errorDescription().empty());
    const Display unknown = displayAt("DP-9", -800, 0);
    EXPECT_FALSE(workspace_->desktopImageURL(unknown).has_value());
}

}  // namespace
}  // namespace quillhaven::plasma
