// Following a newly chosen picture through the desktop's own change notices: the real
// virtual desktop, its file watcher, the Qt scheduler and a real render, with the poll
// switched off so that only a notice can start the work.

#include <gtest/gtest.h>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QUrl>

#include "controller/color_archive.h"
#include "controller/stored_preferences.h"
#include "controller/preference_keys.h"
#include "controller/wallpaper_controller.h"
#include "platform/file_change_notifier.h"
#include "platform/qt_scheduler.h"
#include "platform/virtual_desktop.h"
#include "tests/doubles/fake_login_item_service.h"
#include "tests/doubles/in_memory_key_value_store.h"
#include "tests/platform/test_support.h"

namespace quillhaven {
namespace {

// The Qt scheduler without its repeating timers.
class SchedulerWithoutPoll : public QtScheduler {
public:
    std::shared_ptr<RepeatingTimer> scheduleRepeating(Duration, Task) override {
        return std::make_shared<RepeatingTimer>();
    }
};

class FollowChangesTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::ensureCoreApplication();
        desktop_ = std::make_shared<VirtualDesktop>(jsonPath_, folder_ / "data");
        desktop_->screens();  // creates the file with the built-in display
        defaults_->setBool(true, preference_keys::enabled);
        DesktopServices services{std::make_shared<StoredPreferences>(
                                     defaults_, std::make_shared<TextColorArchive>()),
                                 desktop_,
                                 desktop_,
                                 std::make_shared<testing::FakeLoginItemService>(),
                                 std::make_shared<SchedulerWithoutPoll>(),
                                 std::make_shared<FileChangeNotifier>(jsonPath_)};
        controller_ = WallpaperController::create(
            services, std::make_shared<const WallpaperProcessor>(
                          Url::directoryURLWithPath(folder_ / "Generated")));
        controller_->setOnChange([this] {
            if (controller_->isBusy() && !wasBusy_) {
                ++renders_;
            }
            wasBusy_ = controller_->isBusy();
        });
        wasBusy_ = controller_->isBusy();
        renders_ = wasBusy_ ? 1 : 0;
        ASSERT_TRUE(testing::runEventLoopUntil([this] { return isShowingGenerated(); }, 30000));
    }

    std::string picture(const char* name, Qt::GlobalColor color) {
        QImage image(64, 40, QImage::Format_RGB32);
        image.fill(color);
        const std::string path = folder_ / name;
        image.save(QString::fromStdString(path));
        return path;
    }

    // Shows a picture the way an editor or another program saves the file: a new file
    // renamed over the old one.
    void choose(const std::string& path) {
        QFile in(QString::fromStdString(jsonPath_));
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        QJsonObject root = QJsonDocument::fromJson(in.readAll()).object();
        QJsonArray displays = root.value("displays").toArray();
        QJsonObject display = displays.at(0).toObject();
        display["desktopImage"] = QJsonObject{
            {"url", QUrl::fromLocalFile(QString::fromStdString(path)).toString()}};
        displays.replace(0, display);
        root["displays"] = displays;
        QSaveFile out(QString::fromStdString(jsonPath_));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(QJsonDocument(root).toJson());
        ASSERT_TRUE(out.commit());
    }

    bool isShowingGenerated() {
        const auto shown = desktop_->desktopImageURL(desktop_->screens().at(0));
        return !controller_->isBusy() && controller_->isEnabled() && shown &&
               shown->path().find("/Generated/") != std::string::npos;
    }

    testing::TempFolder folder_;
    std::string jsonPath_ = folder_ / "virtual-desktop.json";
    std::shared_ptr<VirtualDesktop> desktop_;
    std::shared_ptr<testing::InMemoryKeyValueStore> defaults_ =
        std::make_shared<testing::InMemoryKeyValueStore>();
    std::shared_ptr<WallpaperController> controller_;
    int renders_ = 0;
    bool wasBusy_ = false;
};

TEST_F(FollowChangesTest, AReplacedFileLeadsToOneRenderOfThePictureChosenLast) {
    ASSERT_EQ(renders_, 1) << "the start-up render";
    const std::string first = picture("first.png", Qt::red);
    const std::string second = picture("second.png", Qt::green);
    const std::string last = picture("last.png", Qt::blue);
    choose(first);
    choose(second);
    choose(last);
    ASSERT_TRUE(testing::runEventLoopUntil(
        [&] {
            return isShowingGenerated() &&
                   defaults_->stringForKey(preference_keys::originalWallpaper) == last;
        },
        30000));
    // The notice our own change of the file causes is checked and leads nowhere.
    testing::runEventLoopUntil([] { return false; }, 600);
    EXPECT_EQ(renders_, 2);
    EXPECT_TRUE(isShowingGenerated());
}

TEST(FileChangeNotifierTest, AFolderThatDoesNotExistCannotBeWatched) {
    testing::ensureCoreApplication();
    testing::TempFolder folder;
    FileChangeNotifier notifier(folder / "missing/settings.json");
    EXPECT_FALSE(notifier.watch([] {}));
}

}  // namespace
}  // namespace quillhaven
