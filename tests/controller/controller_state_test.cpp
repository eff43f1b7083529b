// Construction, the change notices of the observed state, the effect switch and the
// display summary.

#include "controller/preference_keys.h"
#include "tests/controller/controller_test_support.h"

namespace quillhaven::testing {
namespace {

namespace keys = preference_keys;
using namespace std::chrono_literals;


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
    EXPECT_FALSE(shownGenerated());
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
    EXPECT_EQ(desktop.defaults->value(keys::enabled), InMemoryKeyValueStore::Value(false));
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
    expectEndState(Notices(before).enabled(true).error(false).status(effectOn).busy(false).list());
    EXPECT_TRUE(shownGenerated());
}

TEST(ObservedStateTest, NotifiesOncePerChangeAndNeverWithoutOne) {
    ObservedState state(ControllerState{});
    int heard = 0;
    state.setObserver([&] { ++heard; });
    state.update([](ControllerState& s) {
        s.isEnabled = true;
        s.statusMessage = "一";
        s.hasError = true;
    });
    EXPECT_EQ(heard, 1);
    state.update([](ControllerState& s) { s.statusMessage = "一"; });
    EXPECT_EQ(heard, 1);
    // An observer that replaces itself finishes, and only the new one hears the next change.
    int replaced = 0;
    state.setObserver([&] {
        ++heard;
        state.setObserver([&] { ++replaced; });
    });
    state.update([](ControllerState& s) { s.isBusy = true; });
    state.update([](ControllerState& s) { s.isBusy = false; });
    EXPECT_EQ(heard, 2);
    EXPECT_EQ(replaced, 1);
    EXPECT_FALSE(state.value().isBusy);
}

TEST_F(StatusOperations, SetEffectEnabledClearsTheErrorFirstThenAppliesOrRestores) {
    show(userPicture());
    desktop.loginItem->failNextCall("拒否");
    create();
    controller->setLaunchAtLogin(true);
    ASSERT_TRUE(controller->hasError());
    notices.clear();
    Snapshot before = snapshot();
    controller->setEffectEnabled(true);
    drain();
    expectEndState(Notices(before)
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
    expectEndState(Notices(before)
                           .error(false)
                           .enabled(false)
                           .error(false)
                           .status("元の壁紙に戻しました")
                           .list());
    EXPECT_EQ(desktop.workspace->picture("builtin"), userPicture());
}

// The summary describes one reading of the display list, even when the list changes while
// it is being built.
TEST_F(DisplaySummary, IsBuiltFromASingleReadingOfTheDisplays) {
    auto displays = std::make_shared<ChangingDisplays>();
    DesktopServices services = desktop.services();
    services.displays = displays;
    displays->queued = {{FakeDisplayService::plainDisplay("external", 1920, 1080, 1, 100, 0)}};
    auto changing = WallpaperController::create(services, processor);
    EXPECT_EQ(changing->screenSummary(), "ノッチなし・1920 × 1080");
    EXPECT_EQ(displays->reads, 1);
}

}  // namespace
}  // namespace quillhaven::testing
