#include "platform/virtual_desktop.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <limits>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include "controller/wallpaper_controller.h"
#include "core/environment.h"
#include "platform/sample_wallpaper.h"
#include "platform/virtual_desktop_json.h"
#include "tests/doubles/fake_desktop.h"
#include "tests/platform/test_support.h"
#include "tests/support/file_size_limit.h"

namespace quillhaven {
namespace {

using testing::environmentWith;

using testing::fileExists;
using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

class VirtualDesktopTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::string jsonPath = folder / "config/Quillhaven/virtual-desktop.json";
    std::string dataFolder = folder / "data/Quillhaven";
    VirtualDesktop desktop{jsonPath, dataFolder};

    Display display(const std::string& id) {
        Display d = builtInVirtualDisplay();
        d.connector = id;
        return d;
    }
    std::string picture(const std::string& name) {
        const std::string path = folder / name;
        writeFile(path, "picture");
        return path;
    }
    QJsonObject readJson() {
        return QJsonDocument::fromJson(QByteArray::fromStdString(readFile(jsonPath))).object();
    }
};

TEST_F(VirtualDesktopTest, FirstUseCreatesTheNotchedDisplayShowingTheCopiedSample) {
    const std::vector<Display> screens = desktop.screens();
    ASSERT_EQ(screens.size(), 1u);
    EXPECT_EQ(screens[0], builtInVirtualDisplay());
    EXPECT_EQ(screens[0].connector, "eDP-1");
    EXPECT_EQ(screens[0].notchHeight, 64u);

    const std::string sample = dataFolder + "/sample-wallpaper.png";
    EXPECT_EQ(desktop.samplePicturePath(), sample);
    const QImage image(QString::fromStdString(sample));
    ASSERT_FALSE(image.isNull()) << "the sample is a readable picture";
    EXPECT_GE(image.width(), 3000);
    EXPECT_EQ(desktop.desktopImageURL(screens[0]), Url::fileURLWithPath(sample));
    const DesktopPictureOptions expected{ImageScaling::proportionallyUpOrDown, true,
                                         Color::black()};
    EXPECT_EQ(desktop.desktopImageOptions(screens[0]), expected);

    // The file has the documented shape.
    const QJsonObject entry = readJson().value("displays").toArray().at(0).toObject();
    EXPECT_EQ(entry.value("geometry").toObject().value("width").toDouble(), 1512);
    EXPECT_EQ(entry.value("devicePixelRatio").toDouble(), 2);
    EXPECT_EQ(entry.value("notchHeight").toInteger(), 64);
    EXPECT_TRUE(entry.value("builtIn").toBool());
    const QJsonObject image_ = entry.value("desktopImage").toObject();
    EXPECT_EQ(image_.value("url").toString(),
              QUrl::fromLocalFile(QString::fromStdString(sample)).toString());
    EXPECT_EQ(image_.value("options").toObject().value("fillColor").toString(), "#000000ff");
    EXPECT_EQ(image_.value("options").toObject().value("scaling").toInteger(), 3);
}

TEST_F(VirtualDesktopTest, AnExistingSampleIsNotReplaced) {
    writeFile(dataFolder + "/sample-wallpaper.png", "mine");
    desktop.screens();
    EXPECT_EQ(readFile(dataFolder + "/sample-wallpaper.png"), "mine");
}

TEST_F(VirtualDesktopTest, ASampleThatCannotBeCopiedLeavesNoFileBehindAndIsTriedAgain) {
    // A file where the data folder should be: the sample cannot be copied.
    writeFile(folder / "data", "not a folder");
    ASSERT_EQ(desktop.screens().size(), 1u);
    EXPECT_FALSE(fileExists(jsonPath)) << "a desktop showing a missing sample was written";

    std::filesystem::remove(folder / "data");
    ASSERT_EQ(desktop.screens().size(), 1u);
    EXPECT_TRUE(fileExists(dataFolder + "/sample-wallpaper.png"));
    EXPECT_TRUE(fileExists(jsonPath));
}

// Files written before displays were described in the window system's terms: frames with
// the origin at the lower left, a top inset and the areas beside a notch.
TEST_F(VirtualDesktopTest, EditsMadeByHandAreSeenAtTheNextCallAndEarlierFilesReadAsTheyAre) {
    desktop.screens();
    writeFile(jsonPath, R"({"displays": [
      {"id": "external", "frame": {"x": -1920, "y": 0, "width": 1920, "height": 1080},
       "backingScaleFactor": 1, "auxiliaryTopLeftArea": null,
       "desktopImage": {"url": "https://example.com/a.png"}},
      {"id": "built-in", "frame": {"x": 0, "y": 0, "width": 1512.5, "height": 982},
       "safeAreaInsets": {"top": 32},
       "auxiliaryTopLeftArea": {"x": 0, "y": 950, "width": 660, "height": 32},
       "desktopImage": {"url": "file:///home/u/My%20Pictures/%E5%A4%95.png",
                        "options": {"allowClipping": 1, "fillColor": "#ff000080",
                                    "scaling": 1.5}}},
      {"frame": {}},
      {"id": "bare", "frame": {"width": 800, "height": 600},
       "desktopImage": {"url": "/plain/path.png", "options": {"fillColor": "red"}}}
    ]})");
    const std::vector<Display> screens = desktop.screens();
    ASSERT_EQ(screens.size(), 3u) << "an entry without an id is not a display";
    // Turned the right way up: the external monitor's top is 98 pixels above the panel's.
    EXPECT_EQ(screens[0].geometry, (Rect{-1920, -98, 1920, 1080}));
    EXPECT_FALSE(screens[0].isPrimary);
    EXPECT_EQ(screens[0].notchHeight, std::nullopt);
    EXPECT_EQ(screens[1].geometry, (Rect{0, 0, 1512.5, 982}));
    EXPECT_TRUE(screens[1].isPrimary);
    EXPECT_EQ(screens[1].devicePixelRatio, 1) << "a missing scale reads 1";
    EXPECT_EQ(screens[1].notchHeight, std::nullopt) << "a notch needs both areas beside it";

    const auto remote = desktop.desktopImageURL(screens[0]);
    ASSERT_TRUE(remote.has_value());
    EXPECT_FALSE(remote->isFileURL()) << "kept so the apply flow can refuse it";
    EXPECT_EQ(remote->scheme(), "https");
    EXPECT_EQ(desktop.desktopImageOptions(screens[0]), DesktopPictureOptions{});

    EXPECT_EQ(desktop.desktopImageURL(screens[1]),
              Url::fileURLWithPath("/home/u/My Pictures/夕.png"));
    // A fractional scaling is no scaling mode; a number for the flag reads as a boolean.
    const DesktopPictureOptions edited{std::nullopt, true, Color{1, 0, 0, 128 / 255.0}};
    EXPECT_EQ(desktop.desktopImageOptions(screens[1]), edited);

    EXPECT_EQ(desktop.desktopImageURL(screens[2]), Url::fileURLWithPath("/plain/path.png"));
    EXPECT_EQ(desktop.desktopImageOptions(screens[2]), DesktopPictureOptions{})
        << "a colour name is not a colour the file format holds";

    writeFile(jsonPath, R"({"displays": [{"id": "built-in",
       "frame": {"x": 0, "y": 0, "width": 1512, "height": 982}, "backingScaleFactor": 2,
       "safeAreaInsets": {"top": 32}, "auxiliaryTopLeftArea": {}, "auxiliaryTopRightArea": {}}]})");
    const std::vector<Display> earlier = desktop.screens();
    ASSERT_EQ(earlier.size(), 1u);
    EXPECT_EQ(earlier[0].notchHeight, 64u);
    EXPECT_TRUE(earlier[0].isBuiltIn);

    writeFile(jsonPath, R"({"displays": [{"connector": "eDP-1"}]})");
    EXPECT_EQ(desktop.desktopImageURL(display("eDP-1")), std::nullopt);
    EXPECT_EQ(desktop.desktopImageOptions(display("eDP-1")), std::nullopt);
    EXPECT_EQ(desktop.desktopImageURL(display("gone")), std::nullopt);
}

TEST_F(VirtualDesktopTest, DisplaysNoScreenCouldHaveAreLeftOut) {
    desktop.screens();
    const char* entries[] = {
        R"("id": "odd", "frame": {"width": -1512, "height": -982})",
        R"("id": "odd", "frame": {"width": 1512, "height": 982}, "backingScaleFactor": 1e-300)",
        R"("connector": "odd", "geometry": {"width": 0, "height": 0})",
        R"("connector": "odd", "geometry": {"width": 1512, "height": 982}, "devicePixelRatio": 0)",
        R"("connector": "odd", "geometry": {"width": 1512, "height": 982}, "devicePixelRatio": -2)",
        R"("connector": "odd", "geometry": {"width": 1512, "height": 982}, "notchHeight": 982)",
    };
    for (const char* entry : entries) {
        writeFile(jsonPath, std::string(R"({"displays": [{)") + entry + "}]}");
        EXPECT_TRUE(desktop.screens().empty()) << entry;
    }
}

TEST_F(VirtualDesktopTest, AFileThatCannotBeParsedReadsAsNoDisplaysAndIsNeverWritten) {
    const std::string target = picture("new.png");
    for (const std::string& garbage :
         {std::string("{\"displays\": [ {\"id\": \"built-in\""), std::string("[1, 2]"),
          std::string("{\"displays\": \"built-in\"}"), std::string("\x00\x01", 2)}) {
        writeFile(jsonPath, garbage);
        EXPECT_TRUE(desktop.screens().empty()) << garbage;
        EXPECT_EQ(desktop.desktopImageURL(display("eDP-1")), std::nullopt);
        EXPECT_EQ(desktop.desktopImageOptions(display("eDP-1")), std::nullopt);
        const Outcome set =
            desktop.setDesktopImageURL(Url::fileURLWithPath(target), display("eDP-1"), {});
        EXPECT_FALSE(set.succeeded());
        EXPECT_NE(set.errorDescription().find(jsonPath), std::string::npos);
        EXPECT_EQ(readFile(jsonPath), garbage);
    }
}

// Files that would stall or exhaust a reader: a FIFO in the file's place, a huge file, a
// document nested too deep. Each reads quickly as no displays and is left as it is.
TEST_F(VirtualDesktopTest, HostileFilesAreRefusedQuicklyAndNeverWritten) {
    const std::string target = picture("new.png");
    const auto expectRefused = [&](const std::string& what) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(desktop.screens().empty()) << what;
        EXPECT_EQ(desktop.desktopImageURL(display("eDP-1")), std::nullopt) << what;
        const Outcome set =
            desktop.setDesktopImageURL(Url::fileURLWithPath(target), display("eDP-1"), {});
        EXPECT_FALSE(set.succeeded()) << what;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << what;
    };
    std::filesystem::create_directories(std::filesystem::path(jsonPath).parent_path());

    ASSERT_EQ(mkfifo(jsonPath.c_str(), 0600), 0);
    expectRefused("FIFO");
    EXPECT_TRUE(std::filesystem::is_fifo(jsonPath));
    std::filesystem::remove(jsonPath);

    // 100 MB: a valid start, then padding (sparse, so the test stays quick).
    writeFile(jsonPath, "{\"displays\": []}");
    std::filesystem::resize_file(jsonPath, 100u << 20);
    expectRefused("100 MB");
    EXPECT_EQ(std::filesystem::file_size(jsonPath), 100u << 20);

    // Just above the bound, in valid JSON.
    writeFile(jsonPath, "{\"displays\": [], \"pad\": \"" + std::string(1u << 20, 'x') + "\"}");
    expectRefused("just over 1 MiB");

    const std::string deep = std::string(200000, '[') + std::string(200000, ']');
    const std::string nested = "{\"displays\": [], \"deep\": " + deep + "}";
    writeFile(jsonPath, nested);
    expectRefused("deeply nested");
    EXPECT_EQ(readFile(jsonPath), nested);
}

TEST_F(VirtualDesktopTest, SettingAPictureOnAFullDiskFailsAndKeepsTheFileWhole) {
    ASSERT_EQ(desktop.screens().size(), 1u);
    const std::string before = readFile(jsonPath);
    const Url target = Url::fileURLWithPath(picture("new.png"));
    Outcome outcome = Outcome::success();
    {
        const testing::FileSizeLimit fullDisk(64);
        outcome = desktop.setDesktopImageURL(target, display("eDP-1"), {});
    }
    EXPECT_FALSE(outcome.succeeded());
    EXPECT_NE(outcome.errorDescription().find(jsonPath), std::string::npos);
    EXPECT_EQ(readFile(jsonPath), before);
}

TEST_F(VirtualDesktopTest, SettingAPictureRoundTripsEveryOptionKindAndKeepsOtherFields) {
    writeFile(jsonPath, R"({"note": "mine", "displays": [
      {"id": "left", "frame": {"x": -10, "y": 0, "width": 10, "height": 10}, "x-tag": 7},
      {"id": "eDP-1", "frame": {"x": 0, "y": 0, "width": 1512, "height": 982},
       "x-custom": {"keep": true},
       "desktopImage": {"url": "file:///old.png", "x-extra": "kept",
                        "options": {"scaling": 2}}}]})");
    const std::string target = picture("夕焼け #1 100%.png");
    const Url url = Url::fileURLWithPath(target);
    const auto big = std::numeric_limits<std::int64_t>::max();

    const Color color{0.2, 0.4, 0.6, 1};
    const DesktopPictureOptions cases[] = {
        {ImageScaling::axesIndependently, false, Color::black()},
        // Any scaling value over the whole 64-bit range comes back exactly.
        {static_cast<ImageScaling>(big), true, color},
        {std::nullopt, false, std::nullopt},
        {},
    };
    for (const DesktopPictureOptions& options : cases) {
        ASSERT_TRUE(desktop.setDesktopImageURL(url, display("eDP-1"), options).succeeded());
        EXPECT_EQ(desktop.desktopImageURL(display("eDP-1")), url);
        EXPECT_EQ(desktop.desktopImageOptions(display("eDP-1")), options);
    }

    const QJsonObject root = readJson();
    EXPECT_EQ(root.value("note").toString(), "mine");
    const QJsonArray displays = root.value("displays").toArray();
    ASSERT_EQ(displays.size(), 2);
    EXPECT_EQ(displays.at(0).toObject().value("x-tag").toInt(), 7);
    EXPECT_FALSE(displays.at(0).toObject().contains("desktopImage"));
    const QJsonObject builtIn = displays.at(1).toObject();
    EXPECT_TRUE(builtIn.value("x-custom").toObject().value("keep").toBool());
    EXPECT_EQ(builtIn.value("desktopImage").toObject().value("x-extra").toString(), "kept");
    const QString written = builtIn.value("desktopImage").toObject().value("url").toString();
    EXPECT_TRUE(written.startsWith("file:///")) << written.toStdString();
    EXPECT_FALSE(written.contains(' ')) << "written percent-encoded";
    EXPECT_EQ(desktop.screens().size(), 2u);
}

TEST_F(VirtualDesktopTest, SettingFailsClearlyForAnUnknownDisplayOrAnUnusablePicture) {
    desktop.screens();
    const std::string before = readFile(jsonPath);
    const Url target = Url::fileURLWithPath(picture("p.png"));

    const Outcome unknown = desktop.setDesktopImageURL(target, display("unplugged"), {});
    EXPECT_FALSE(unknown.succeeded());
    EXPECT_NE(unknown.errorDescription().find("unplugged"), std::string::npos);

    const Outcome missing = desktop.setDesktopImageURL(Url::fileURLWithPath(folder / "nope.png"),
                                                       display("eDP-1"), {});
    EXPECT_FALSE(missing.succeeded());
    EXPECT_NE(missing.errorDescription().find("nope.png"), std::string::npos);

    EXPECT_FALSE(
        desktop.setDesktopImageURL(Url("https", "//example.com/a.png"), display("eDP-1"), {})
            .succeeded());
    EXPECT_EQ(readFile(jsonPath), before);
}

TEST_F(VirtualDesktopTest, AnUnwritableFolderStillAnswersTheBuiltInDisplayButCannotSet) {
    testing::blockWithFile(folder / "config/Quillhaven");
    const std::vector<Display> screens = desktop.screens();
    ASSERT_EQ(screens.size(), 1u);
    EXPECT_EQ(screens[0], builtInVirtualDisplay());
    const Outcome set =
        desktop.setDesktopImageURL(Url::fileURLWithPath(picture("p.png")), screens[0], {});
    EXPECT_FALSE(set.succeeded());
    EXPECT_NE(set.errorDescription().find(folder / "config/Quillhaven"), std::string::npos)
        << set.errorDescription();
}

// An external monitor as the primary screen at the origin, the notched panel beside it:
// the panel is the one processed, at its own size, and only its picture changes.
TEST_F(VirtualDesktopTest, TheNotchedPanelBesideAnExternalPrimaryIsTheOneProcessed) {
    const std::string mine = picture("mine.png");
    QImage(40, 30, QImage::Format_RGB32).save(QString::fromStdString(mine));
    const QString url = QUrl::fromLocalFile(QString::fromStdString(mine)).toString();
    writeFile(jsonPath, QJsonDocument(QJsonObject{{"displays", QJsonArray{
        QJsonObject{{"connector", "HDMI-A-1"}, {"primary", true}, {"builtIn", false},
                    {"geometry", QJsonObject{{"x", 0}, {"y", 0}, {"width", 1920}, {"height", 1080}}},
                    {"desktopImage", QJsonObject{{"url", url}}}},
        QJsonObject{{"connector", "eDP-1"}, {"builtIn", true}, {"devicePixelRatio", 1.5},
                    {"geometry", QJsonObject{{"x", 1920}, {"y", 0}, {"width", 2016}, {"height", 1309}}},
                    {"notchHeight", 74}, {"desktopImage", QJsonObject{{"url", url}}}},
    }}}).toJson().toStdString());
    auto shared = std::make_shared<VirtualDesktop>(jsonPath, dataFolder);
    testing::FakeDesktop doubles;
    DesktopServices services = doubles.services();
    services.workspace = shared;
    services.displays = shared;
    auto controller = WallpaperController::create(
        services, std::make_shared<WallpaperProcessor>(
                      Url::directoryURLWithPath(folder / "Generated")));
    controller->setEffectEnabled(true);
    ASSERT_TRUE(doubles.scheduler->drain());
    ASSERT_TRUE(controller->isEnabled()) << controller->statusMessage();
    EXPECT_EQ(controller->screenSummary(), "ノッチあり・2016 × 1309");

    const std::vector<Display> screens = shared->screens();
    EXPECT_EQ(shared->desktopImageURL(screens[0]), Url::fileURLWithPath(mine));
    const auto processed = shared->desktopImageURL(screens[1]);
    ASSERT_TRUE(processed && processed->path() != mine);
    EXPECT_EQ(QImage(QString::fromStdString(processed->path())).size(), QSize(3024, 1964));
}

TEST(VirtualDesktopPaths, FollowTheXdgFolders) {
    const auto desktop = VirtualDesktop::forEnvironment(
        environmentWith({{"XDG_CONFIG_HOME", "/c"}, {"XDG_DATA_HOME", "/d"}}));
    EXPECT_EQ(desktop->filePath(), "/c/Quillhaven/virtual-desktop.json");
    EXPECT_EQ(desktop->samplePicturePath(), "/d/Quillhaven/sample-wallpaper.png");
}

TEST(VirtualDesktopColors, HexTextRoundTripsAtEightBits) {
    EXPECT_EQ(colorFromHex("#000000ff"), Color::black());
    EXPECT_EQ(colorFromHex("#FFFFFF"), (Color{1, 1, 1, 1}));
    EXPECT_EQ(colorFromHex("#12345"), std::nullopt);
    EXPECT_EQ(colorFromHex("#gg0000ff"), std::nullopt);
    EXPECT_EQ(colorToHex(Color{1, 0.5, 0, 1}), "#ff8000ff");
    EXPECT_EQ(colorToHex(Color{2, -1, 0, 0}), "#ff000000") << "clamped";
    const Color color{0.2, 0.4, 0.6, 0.8};
    EXPECT_EQ(colorFromHex(colorToHex(color)), color);
}

}  // namespace
}  // namespace quillhaven
