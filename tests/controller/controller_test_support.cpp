#include "tests/controller/controller_test_support.h"

#include <QImage>
#include <QImageReader>
#include <QString>

#include <cstdlib>
#include <fstream>
#include <string>

namespace quillhaven {
void PrintTo(const ControllerState& s, std::ostream* out) {
    *out << "{enabled=" << s.isEnabled << " busy=" << s.isBusy << " status=\"" << s.statusMessage
         << "\" error=" << s.hasError << " login=" << s.launchAtLogin << " summary=\""
         << s.screenSummary << "\"}";
}
}  // namespace quillhaven

namespace quillhaven::testing {

void writePng(const std::filesystem::path& path, int width, int height, int red, int green,
              int blue) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(red, green, blue));
    ASSERT_TRUE(image.save(QString::fromStdString(path.string()), "PNG"));
}

void writeTwoFrameGif(const std::filesystem::path& path) {
    const std::string header("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13);
    const std::string palette("\xff\x00\x00\x00\x00\xff", 6);
    const std::string control("\x21\xf9\x04\x00\x0a\x00\x00\x00", 8);
    const std::string frame("\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00", 15);
    std::ofstream(path, std::ios::binary)
        << header + palette + control + frame + control + frame + ";";
}

std::pair<int, int> pictureSize(const Url& url) {
    QImage image(QString::fromStdString(url.path()));
    if (image.isNull()) {
        return {-1, -1};
    }
    return {image.width(), image.height()};
}

ControllerTest::ControllerTest(ManualScheduler::BackgroundMode mode)
    : generatedFolder(temp.path() / "Generated"),
      picturesFolder(temp.path() / "Pictures"),
      desktop(mode),
      processor(std::make_shared<WallpaperProcessor>(
          Url::directoryURLWithPath(generatedFolder.string()))),
      builtin(FakeDisplayService::notchedDisplay("builtin", 64, 40, 2, 8)) {
    std::filesystem::create_directories(picturesFolder);
    desktop.displays->setScreens({builtin});
}

void ControllerTest::TearDown() {
    // Finish any render still in flight so that nothing outlives the test.
    ASSERT_TRUE(desktop.scheduler->drain());
}

Url ControllerTest::userPicture(const std::string& name, int width, int height) {
    std::filesystem::path path = picturesFolder / name;
    if (!std::filesystem::exists(path)) {
        writePng(path, width, height, 40, 120, 200);
    }
    return Url::fileURLWithPath(path.string());
}

DesktopPictureOptions ControllerTest::userOptions() {
    return DesktopPictureOptions{ImageScaling::proportionallyUpOrDown, true,
                                 Color{0.2, 0.4, 0.6, 1}};
}

void ControllerTest::show(const Url& picture, std::optional<DesktopPictureOptions> options) {
    desktop.workspace->setPicture(builtin.connector, picture, std::move(options));
}

void ControllerTest::create() {
    controller = WallpaperController::create(desktop.services(), processor);
    listen();
}

void ControllerTest::listen() {
    // The callback reads the controller that calls it, which may already have been released
    // by the test while a render still holds it.
    WallpaperController* caller = controller.get();
    controller->setOnChange([this, caller] { notices.push_back(snapshotOf(*caller)); });
}

Snapshot ControllerTest::snapshot() const {
    return snapshotOf(*controller);
}

void ControllerTest::drain() {
    ASSERT_TRUE(desktop.scheduler->drain());
}

void ControllerTest::createAndApply() {
    show(userPicture());
    create();
    controller->applyCurrentWallpaper(false);
    drain();
    ASSERT_TRUE(controller->isEnabled()) << controller->statusMessage();
    ASSERT_TRUE(shownGenerated().has_value());
    forgetHistory();
}

std::optional<Url> ControllerTest::shownGenerated() const {
    const auto shown = desktop.workspace->picture(builtin.connector);
    return shown && processor->isGeneratedWallpaper(*shown) ? shown : std::nullopt;
}

void ControllerTest::forgetHistory() {
    notices.clear();
    desktop.defaults->clearWrites();
    desktop.workspace->clearRecord();
}

std::vector<std::filesystem::path> ControllerTest::generatedFiles() const {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(generatedFolder, error)) {
        files.push_back(entry.path());
    }
    return files;
}

std::optional<std::string> ControllerTest::storedString(const std::string& key) const {
    return desktop.defaults->stringForKey(key);
}

}  // namespace quillhaven::testing
