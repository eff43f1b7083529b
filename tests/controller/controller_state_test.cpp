// Construction, the change notices of the observed fields, the two status operations, the
// effect switch, the choice of main display and the display summary.

#include <cmath>

#include "controller_test_support.h"
#include "preference_keys.h"

namespace quillhaven::testing {
namespace {

namespace keys = preference_keys;
using namespace std::chrono_literals;

const char* const effectOn = "ノッチを目立たなくしています";

using Construction = ControllerTest;
using StatusOperations = ControllerTest;
using DisplaySummary = ControllerTest;

// A display list that changes between two reads, as when a monitor is unplugged: the
// queued answers are given one per read, then `settled` for good.
class ChangingDisplays : public DisplayService {
public:
    std::vector<Display> screens() override {
        ++reads;
        if (queued.empty()) {
            return settled;
        }
        std::vector<Display> answer = queued.front();
        queued.erase(queued.begin());
        return answer;
    }
    std::vector<std::vector<Display>> queued;
    std::vector<Display> settled;
    int reads = 0;
};

TEST_F(Construction, WithTheFlagAbsentAppliesNothingAndStillStartsThePoll) {
    show(userPicture());
    create();
    EXPECT_EQ(snapshot(),
              (Snapshot{false, false, "準備完了", false, false, "ノッチあり・64 × 40"}));
    EXPECT_TRUE(desktop.defaults->writes().empty());
    EXPECT_TRUE(desktop.workspace->setCalls().empty());
    EXPECT_EQ(desktop.scheduler->backgroundTasksStarted(), 0u);
    EXPECT_EQ(desktop.scheduler->timerIntervals(), std::vector<Scheduler::Duration>{5000ms});
    EXPECT_FALSE(controller->generatedWallpaperURL());
}

TEST_F(Construction, LaunchAtLoginIsTrueOnlyForAnEnabledLoginItem) {
    for (auto [status, expected] : {std::pair{LoginItemStatus::enabled, true},
                                    {LoginItemStatus::notRegistered, false},
                                    {LoginItemStatus::requiresApproval, false},
                                    {LoginItemStatus::notFound, false}}) {
        desktop.loginItem->setStatus(status);
        create();
        EXPECT_EQ(controller->launchAtLogin(), expected) << static_cast<int>(status);
    }
}

TEST_F(Construction, WithTheFlagOnAndNoNotchTurnsTheEffectOffBeforeReturning) {
    desktop.defaults->setBool(true, keys::enabled);
    desktop.displays->setScreens({FakeDisplayService::plainDisplay("external", 1920, 1080)});
    create();
    EXPECT_EQ(snapshot(), (Snapshot{false, false, "メインディスプレイにノッチが見つかりません",
                                    true, false, "ノッチなし・1920 × 1080"}));
    EXPECT_EQ(desktop.defaults->value(keys::enabled), InMemoryPreferenceStore::Value(false));
    EXPECT_EQ(desktop.scheduler->timerCount(), 1u);
}

TEST_F(Construction, WithTheFlagOnStartsARenderThatEndsAfterConstruction) {
    desktop.defaults->setBool(true, keys::enabled);
    show(userPicture());
    create();
    EXPECT_TRUE(controller->isBusy());
    EXPECT_TRUE(controller->isEnabled());
    EXPECT_EQ(controller->statusMessage(), "壁紙を処理しています…");
    EXPECT_EQ(desktop.scheduler->timerCount(), 1u);
    const Snapshot before = snapshot();
    drain();
    EXPECT_EQ(notices,
              Notices(before).enabled(true).error(false).status(effectOn).busy(false).list());
    EXPECT_TRUE(controller->generatedWallpaperURL());
}

TEST_F(StatusOperations, MarkEnabledAndShowErrorNotifyInTheirOrder) {
    create();
    Snapshot before = snapshot();
    controller->markEnabled(effectOn);
    EXPECT_EQ(notices, Notices(before).enabled(true).error(false).status(effectOn).list());
    EXPECT_TRUE(desktop.defaults->boolForKey(keys::enabled));

    notices.clear();
    before = snapshot();
    controller->showError("失敗", false);
    EXPECT_EQ(notices, Notices(before).error(true).status("失敗").busy(false).list());
    EXPECT_TRUE(controller->isEnabled());
    EXPECT_TRUE(desktop.defaults->boolForKey(keys::enabled));

    notices.clear();
    before = snapshot();
    controller->showError("停止", true);
    EXPECT_EQ(notices,
              Notices(before).enabled(false).error(true).status("停止").busy(false).list());
    EXPECT_EQ(desktop.defaults->value(keys::enabled), InMemoryPreferenceStore::Value(false));
}

TEST_F(StatusOperations, EveryAssignmentNotifiesEvenWithTheSameValue) {
    create();
    controller->setHasError(false);
    controller->setHasError(false);
    EXPECT_EQ(notices.size(), 2u);
    controller->updateScreenSummary();
    EXPECT_EQ(notices.size(), 3u);
    // A replaced callback is the only one called; with none stored nothing is called.
    int replaced = 0;
    controller->setOnChange([&] { ++replaced; });
    controller->setHasError(true);
    EXPECT_EQ(replaced, 1);
    controller->setOnChange(nullptr);
    controller->markEnabled(effectOn);
    EXPECT_EQ(replaced, 1);
    EXPECT_TRUE(controller->isEnabled());
}

TEST_F(StatusOperations, SetEffectEnabledClearsTheErrorFirstThenAppliesOrRestores) {
    show(userPicture());
    create();
    controller->showError("前の失敗", false);
    notices.clear();
    Snapshot before = snapshot();
    controller->setEffectEnabled(true);
    drain();
    EXPECT_EQ(notices, Notices(before)
                           .error(false)
                           .busy(true)
                           .status("壁紙を処理しています…")
                           .error(false)
                           .enabled(true)
                           .error(false)
                           .status(effectOn)
                           .busy(false)
                           .list());

    notices.clear();
    before = snapshot();
    controller->setEffectEnabled(false);
    EXPECT_EQ(notices, Notices(before)
                           .error(false)
                           .enabled(false)
                           .error(false)
                           .status("元の壁紙に戻しました")
                           .list());
    EXPECT_EQ(desktop.workspace->picture("builtin"), userPicture());
}

TEST_F(DisplaySummary, MainDisplayIsTheOneAtTheOriginElseTheFirst) {
    create();
    EXPECT_EQ(controller->primaryScreen(), builtin);

    desktop.displays->setScreens({});
    EXPECT_FALSE(controller->primaryScreen());
    controller->updateScreenSummary();
    EXPECT_EQ(controller->screenSummary(), "メインディスプレイなし");

    auto at = [](const char* id, double x, double y) {
        return FakeDisplayService::plainDisplay(id, 100, 50, 1, x, y);
    };
    desktop.displays->setScreens({at("left", -100, 0), at("main", 0, 0)});
    EXPECT_EQ(controller->primaryScreen()->identifier, "main");
    desktop.displays->setScreens({at("left", -100, 0), at("near", 0.4, -0.3)});
    EXPECT_EQ(controller->primaryScreen()->identifier, "near");
    desktop.displays->setScreens({at("first", 0.5, 0), at("second", 0, -0.5)});
    EXPECT_EQ(controller->primaryScreen()->identifier, "first");
}

// The summary describes one reading of the display list, even when the list changes while
// it is being built.
TEST_F(DisplaySummary, IsBuiltFromASingleReadingOfTheDisplays) {
    auto displays = std::make_shared<ChangingDisplays>();
    DesktopServices services = desktop.services();
    services.displays = displays;
    auto changing = WallpaperController::create(services, processor);
    displays->queued = {{FakeDisplayService::plainDisplay("external", 1920, 1080, 1, 100, 0)}};
    displays->reads = 0;
    changing->updateScreenSummary();
    EXPECT_EQ(changing->screenSummary(), "ノッチなし・1920 × 1080");
    EXPECT_EQ(displays->reads, 1);
}

TEST_F(DisplaySummary, ShowsTheNotchLabelAndTheTruncatedSize) {
    create();
    struct Case {
        double width, height, inset;
        bool bothAreas;
        const char* summary;
    };
    for (const Case& c : std::vector<Case>{
             {1512, 982, 32, true, "ノッチあり・1512 × 982"},
             {1512.9, 982.99, 32, true, "ノッチあり・1512 × 982"},
             {1512, 982, 0, true, "ノッチなし・1512 × 982"},
             {1512, 982, 32, false, "ノッチあり・1512 × 982"},
             {-3.7, 0.2, 0, false, "ノッチなし・-3 × 0"},
             {std::nan(""), 1e30, 0, false, "ノッチなし・? × ?"},
             {9223372036854774784.0, 1, 0, false, "ノッチなし・9223372036854774784 × 1"},
         }) {
        Display display = FakeDisplayService::notchedDisplay("d", c.width, c.height, 2, c.inset);
        if (!c.bothAreas) {
            display.auxiliaryTopLeftArea.reset();
        }
        desktop.displays->setScreens({display});
        controller->updateScreenSummary();
        EXPECT_EQ(controller->screenSummary(), c.summary);
    }
}

TEST_F(DisplaySummary, TheNotchTestNeedsAnInsetAndBothAreas) {
    Display display = builtin;
    EXPECT_TRUE(WallpaperController::hasNotch(display));
    display.safeAreaInsets.top = 0;
    EXPECT_FALSE(WallpaperController::hasNotch(display));
    display = builtin;
    display.auxiliaryTopLeftArea.reset();
    EXPECT_FALSE(WallpaperController::hasNotch(display));
    display = builtin;
    display.auxiliaryTopRightArea.reset();
    EXPECT_FALSE(WallpaperController::hasNotch(display));
}

}  // namespace
}  // namespace quillhaven::testing
