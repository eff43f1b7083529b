// The apply flow, row by row: every refusal, the shortcut, the recording decision and the
// rendering job's outcomes, with the state each ends in.

#include <filesystem>
#include <fstream>

#include "controller/preference_keys.h"
#include "tests/controller/controller_test_support.h"

namespace quillhaven::testing {
namespace {

namespace keys = preference_keys;
using Type = InMemoryKeyValueStore::ValueType;

const char* const processing = "壁紙を処理しています…";

using ApplyFlow = ControllerTest;
using ApplyFlowInFlight = ControllerInFlightTest;

TEST_F(ApplyFlow, SuccessRecordsRendersSetsAndReportsInOrder) {
    const Url picture = userPicture();
    show(picture);
    create();
    const Snapshot before = snapshot();
    controller->applyCurrentWallpaper(false);
    drain();

    expectEndState(Notices(before)
                           .busy(true)
                           .status(processing)
                           .error(false)
                           .enabled(true)
                           .error(false)
                           .status(effectOn)
                           .busy(false)
                           .list());
    EXPECT_TRUE(desktop.defaults->boolForKey(keys::enabled));
    EXPECT_EQ(storedString(keys::originalWallpaper), picture.path());
    EXPECT_EQ(desktop.defaults->integerForKey(keys::originalImageScaling), 3);
    EXPECT_EQ(desktop.defaults->typeOf(keys::originalAllowClipping), Type::boolean);
    EXPECT_TRUE(desktop.defaults->boolForKey(keys::originalAllowClipping));
    EXPECT_EQ(desktop.defaults->typeOf(keys::originalFillColor), Type::data);

    // The generated picture is the only file in the folder, shown on the built-in display
    // with exactly the three fixed options, at the display's pixel size.
    ASSERT_TRUE(shownGenerated());
    const Url generated = *shownGenerated();
    EXPECT_TRUE(processor->isGeneratedWallpaper(generated));
    EXPECT_EQ(generatedFiles(), std::vector{std::filesystem::path(generated.path())});
    EXPECT_EQ(desktop.workspace->picture("builtin"), generated);
    ASSERT_EQ(desktop.workspace->setCalls().size(), 1u);
    const auto& call = desktop.workspace->setCalls()[0];
    EXPECT_EQ(call.displayIdentifier, "builtin");
    EXPECT_EQ(call.options, (DesktopPictureOptions{ImageScaling::axesIndependently, false,
                                                   Color::black()}));
    EXPECT_EQ(pictureSize(generated), std::make_pair(128, 80));
}

TEST_F(ApplyFlow, RefusalsBeforeRecordingTurnTheEffectOffAndRecordNothing) {
    struct Case {
        const char* name;
        std::vector<Display> displays;
        bool hasPicture;
        const char* message;
        bool staysOn = false;  // a desktop that cannot be read now may be back in a moment
    };
    auto withNotch = [&](std::optional<std::uint32_t> pixels) {
        Display display = builtin;
        display.notchHeight = pixels;
        return display;
    };
    const std::vector<Case> cases{
        {"no display", {}, true, "メインディスプレイを取得できませんでした"},
        {"no notch", {withNotch(std::nullopt)}, true, "メインディスプレイにノッチが見つかりません"},
        {"a notch of no rows", {withNotch(0)}, true, "メインディスプレイにノッチが見つかりません"},
        {"a notch as tall as the panel", {withNotch(80)}, true,
         "メインディスプレイにノッチが見つかりません"},
        {"no current picture", {builtin}, false, "現在の壁紙を取得できませんでした", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        desktop.defaults->setBool(true, keys::enabled);
        desktop.displays->setScreens(c.displays);
        show(userPicture());
        if (!c.hasPicture) {
            desktop.workspace->setPicture("builtin", std::nullopt);
        }
        // Construction already tries and fails the same way; the second try must end alike.
        create();
        forgetHistory();
        const Snapshot before = snapshot();
        controller->applyCurrentWallpaper(false);
        expectEndState(Notices(before)
                           .enabled(c.staysOn)
                           .error(true)
                           .status(c.message)
                           .busy(false)
                           .list());
        EXPECT_EQ(desktop.defaults->boolForKey(keys::enabled), c.staysOn);
        EXPECT_FALSE(desktop.defaults->contains(keys::originalWallpaper));
        EXPECT_FALSE(shownGenerated());
        EXPECT_TRUE(desktop.workspace->setCalls().empty());
        EXPECT_EQ(desktop.scheduler->backgroundTasksStarted(), 0u);
        controller.reset();
        notices.clear();
    }
}

TEST_F(ApplyFlow, PicturesThatCannotBeProcessedAreRecordedThenRefusedWithTheirReason) {
    const auto gif = picturesFolder / "animated.gif";
    writeTwoFrameGif(gif);
    const auto text = picturesFolder / "notes.png";
    std::ofstream(text) << "not a picture";
    const auto slides = picturesFolder / "slides.xml";
    std::ofstream(slides) << "<background></background>";
    const auto gone = picturesFolder / "gone.jpg";
    const std::string stillOnly = "静止画の壁紙だけに対応しています";
    const std::string unreadable = "壁紙のファイルを読み込めません: ";
    const std::vector<std::pair<Url, std::string>> pictures{
        {Url::fileURLWithPath(gif.string()), stillOnly},
        {Url::fileURLWithPath(slides.string()), stillOnly},
        {Url::fileURLWithPath(text.string()), unreadable + text.string()},
        {Url::fileURLWithPath(gone.string()), unreadable + gone.string()},
        {Url("https", "/example.org/picture.png"), stillOnly}};
    create();
    for (const auto& [picture, message] : pictures) {
        SCOPED_TRACE(picture.displayString());
        show(picture, DesktopPictureOptions{ImageScaling::none, {}, {}});
        forgetHistory();
        const Snapshot before = snapshot();
        controller->applyCurrentWallpaper(false);
        expectEndState(
            Notices(before).enabled(false).error(true).status(message).busy(false).list());
        // A URL names no local path; the record keeps the last one.
        EXPECT_EQ(storedString(keys::originalWallpaper),
                  picture.isFileURL() ? picture.path() : gone.string());
        EXPECT_EQ(desktop.defaults->integerForKey(keys::originalImageScaling), 2);
        EXPECT_EQ(desktop.scheduler->backgroundTasksStarted(), 0u);
        EXPECT_TRUE(desktop.workspace->setCalls().empty());
    }
}

TEST_F(ApplyFlow, AnOriginalThatCannotBeRecordedIsNeverReplaced) {
    // An earlier picture's record, then a store that can no longer write.
    const Url earlier = userPicture("earlier.png");
    desktop.defaults->setString(earlier.path(), keys::originalWallpaper);
    const Url picture = userPicture();
    show(picture);
    create();
    desktop.defaults->setFailsWrites(true);
    forgetHistory();
    const Snapshot before = snapshot();
    controller->applyCurrentWallpaper(false);
    drain();

    expectEndState(Notices(before)
                       .enabled(false)
                       .error(true)
                       .status("元の壁紙を記録できないため、壁紙を変更しません")
                       .busy(false)
                       .list());
    EXPECT_EQ(desktop.workspace->picture("builtin"), picture);
    EXPECT_EQ(desktop.scheduler->backgroundTasksStarted(), 0u);
    EXPECT_EQ(storedString(keys::originalWallpaper), earlier.path());
}

TEST_F(ApplyFlow, RenderingFailureReportsTheRenderersTextAndLeavesThePictureAlone) {
    // The generated folder cannot be created: a file stands where its parent should be.
    std::ofstream(temp.path() / "blocker") << "x";
    processor = std::make_shared<WallpaperProcessor>(
        Url::directoryURLWithPath((temp.path() / "blocker" / "Generated").string()));
    const Url picture = userPicture();
    show(picture);
    create();
    const Snapshot before = snapshot();
    controller->applyCurrentWallpaper(false);
    drain();

    WallpaperProcessingRequest request{picture, {64, 40}, 2, 8, 16};
    const std::string expected =
        processor->processSynchronously(request).error().localizedDescription();
    ASSERT_FALSE(expected.empty());
    expectEndState(Notices(before)
                           .busy(true)
                           .status(processing)
                           .error(false)
                           .enabled(false)
                           .error(true)
                           .status(expected)
                           .busy(false)
                           .busy(false)
                           .list());
    EXPECT_FALSE(desktop.defaults->boolForKey(keys::enabled));
    EXPECT_EQ(storedString(keys::originalWallpaper), picture.path());
    EXPECT_TRUE(desktop.workspace->setCalls().empty());
    EXPECT_EQ(desktop.workspace->picture("builtin"), picture);
    EXPECT_FALSE(shownGenerated());
}

TEST_F(ApplyFlow, FailedSetKeepsTheGeneratedFileAndTheOldState) {
    createAndApply();
    const Url firstGenerated = *shownGenerated();
    const Url newPicture = userPicture("new.png");
    show(newPicture);
    desktop.workspace->failNextSet("デスクトップを変更できません");
    const Snapshot before = snapshot();
    controller->applyCurrentWallpaper(false);
    drain();

    expectEndState(Notices(before)
                           .busy(true)
                           .status(processing)
                           .error(false)
                           .enabled(false)
                           .error(true)
                           .status("デスクトップを変更できません")
                           .busy(false)
                           .busy(false)
                           .list());
    EXPECT_FALSE(desktop.defaults->boolForKey(keys::enabled));
    EXPECT_EQ(desktop.workspace->picture("builtin"), newPicture);
    // The new render and the earlier one both stay: nothing is deleted after a failure.
    EXPECT_EQ(generatedFiles().size(), 2u);
    EXPECT_EQ(storedString(keys::originalWallpaper), newPicture.path());
}

TEST_F(ApplyFlow, GeneratedPictureStillShowingOnlyMarksEnabled) {
    createAndApply();
    const auto filesBefore = generatedFiles();
    const Snapshot before = snapshot();
    controller->applyCurrentWallpaper(false);
    expectEndState(Notices(before).enabled(true).error(false).status(effectOn).list());
    EXPECT_EQ(desktop.scheduler->backgroundTasksStarted(), 1u);
    EXPECT_EQ(generatedFiles(), filesBefore);
    // Only the enabled flag was written; the record is untouched.
    ASSERT_EQ(desktop.defaults->writes().size(), 1u);
    EXPECT_EQ(desktop.defaults->writes()[0].key, keys::enabled);
}

TEST_F(ApplyFlow, ForcedReprocessRendersTheRecordedOriginalWithoutRerecording) {
    createAndApply();
    const Url firstGenerated = *shownGenerated();
    controller->applyCurrentWallpaper(true);
    drain();
    ASSERT_TRUE(shownGenerated());
    EXPECT_NE(*shownGenerated(), firstGenerated);
    EXPECT_EQ(generatedFiles(),
              std::vector{std::filesystem::path(shownGenerated()->path())});
    for (const auto& write : desktop.defaults->writes()) {
        EXPECT_TRUE(write.key == keys::enabled || write.key == keys::appliedDesktopSettings)
            << write.key;
    }
    EXPECT_EQ(storedString(keys::originalWallpaper), userPicture().path());
    // Rendered from the user's picture, not from the generated one.
    EXPECT_EQ(pictureSize(*shownGenerated()), std::make_pair(128, 80));
}

TEST_F(ApplyFlow, AfterARestartTheGeneratedPictureIsRenderedAgainFromTheRecord) {
    createAndApply();
    const Url oldGenerated = *shownGenerated();
    controller.reset();
    forgetHistory();

    create();  // the persisted flag is on: construction applies
    drain();
    ASSERT_TRUE(controller->isEnabled()) << controller->statusMessage();
    EXPECT_NE(shownGenerated(), oldGenerated);
    EXPECT_FALSE(std::filesystem::exists(oldGenerated.path()));
    for (const auto& write : desktop.defaults->writes()) {
        EXPECT_TRUE(write.key == keys::enabled || write.key == keys::appliedDesktopSettings)
            << write.key;
    }
}

TEST_F(ApplyFlow, AGeneratedPictureIsNeverRecordedAndARecordItCannotUseIsKeptAndNamed) {
    const std::string gone = (picturesFolder / "gone.png").string();
    struct Case {
        std::optional<std::string> record;
        std::optional<std::string> status;  // none: processed as it is
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt},
        {gone, "元の壁紙が見つかりません: " + gone},
        {"../../../../etc/passwd", "元の壁紙の記録を使えません: ../../../../etc/passwd"},
        {"", "元の壁紙の記録を使えません: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record.value_or("no record"));
        std::filesystem::create_directories(generatedFolder);
        const auto leftover = generatedFolder / "quillhaven-00000000-0000-4000-8000-00000000000A.png";
        writePng(leftover, 32, 20, 0, 0, 0);
        if (c.record) {
            desktop.defaults->setString(*c.record, keys::originalWallpaper);
        }
        show(Url::fileURLWithPath(leftover.string()));
        create();
        const std::size_t renders = desktop.scheduler->backgroundTasksStarted();
        controller->applyCurrentWallpaper(false);
        drain();
        EXPECT_EQ(storedString(keys::originalWallpaper), c.record);
        if (c.status) {
            EXPECT_EQ(controller->statusMessage(), *c.status);
            EXPECT_TRUE(controller->hasError());
            EXPECT_EQ(desktop.scheduler->backgroundTasksStarted(), renders);
        } else {
            EXPECT_TRUE(controller->isEnabled()) << controller->statusMessage();
        }
        controller.reset();
        desktop.defaults->removeObject(keys::originalWallpaper);
        desktop.defaults->removeObject(keys::enabled);
        std::filesystem::remove_all(generatedFolder);
        forgetHistory();
    }
}

TEST_F(ApplyFlow, SiblingFolderSharingTheGeneratedPrefixHoldsUserPictures) {
    const auto sibling = temp.path() / "Generated-old";
    std::filesystem::create_directories(sibling);
    writePng(sibling / "mine.png", 32, 20, 200, 10, 10);
    createAndApply();
    const Url mine = Url::fileURLWithPath((sibling / "mine.png").string());
    show(mine);
    controller->applyCurrentWallpaper(true);
    drain();
    EXPECT_EQ(storedString(keys::originalWallpaper), mine.path());
    EXPECT_TRUE(std::filesystem::exists(sibling / "mine.png"));
}

TEST_F(ApplyFlow, OptionsOfTheOriginalNeverLeakIntoTheGeneratedPicture) {
    show(userPicture(),
         DesktopPictureOptions{ImageScaling::proportionallyDown, true, Color{1, 0, 0, 1}});
    create();
    controller->applyCurrentWallpaper(false);
    drain();
    ASSERT_EQ(desktop.workspace->setCalls().size(), 1u);
    EXPECT_EQ(desktop.workspace->setCalls()[0].options,
              (DesktopPictureOptions{ImageScaling::axesIndependently, false, Color::black()}));
}

TEST_F(ApplyFlowInFlight, CallsWhileRenderingChangeNothingAndNotifyNobody) {
    show(userPicture());
    create();
    controller->applyCurrentWallpaper(false);
    ASSERT_TRUE(controller->isBusy());
    EXPECT_EQ(controller->statusMessage(), processing);
    forgetHistory();
    controller->applyCurrentWallpaper(false);
    controller->applyCurrentWallpaper(true);
    controller->restoreOriginalWallpaper();
}

TEST_F(ApplyFlowInFlight, JobSetsThePictureOnTheDisplayItStartedWith) {
    show(userPicture());
    create();
    controller->applyCurrentWallpaper(false);
    // While rendering, the built-in panel moves aside and an external display takes over.
    Display moved = builtin;
    moved.geometry.x = -64;
    moved.isPrimary = false;
    Display external = FakeDisplayService::plainDisplay("external");
    external.isPrimary = true;
    desktop.displays->setScreens({external, moved});
    desktop.scheduler->runBackgroundTasks();
    desktop.scheduler->runUntilIdle();
    ASSERT_EQ(desktop.workspace->setCalls().size(), 1u);
    EXPECT_EQ(desktop.workspace->setCalls()[0].displayIdentifier, "builtin");
    EXPECT_TRUE(controller->isEnabled());
}

TEST_F(ApplyFlowInFlight, APictureChosenDuringTheRenderIsRecordedAndProcessedInstead) {
    show(userPicture());
    create();
    controller->applyCurrentWallpaper(false);
    const Url chosen = userPicture("chosen.png", 20, 32);
    show(chosen);
    desktop.scheduler->runBackgroundTasks();
    desktop.scheduler->runUntilIdle();
    // The first render is not set over the new choice; the new picture is rendered instead.
    EXPECT_TRUE(desktop.workspace->setCalls().empty());
    EXPECT_TRUE(controller->isBusy());
    EXPECT_EQ(storedString(keys::originalWallpaper), chosen.path());
    EXPECT_EQ(desktop.scheduler->backgroundTasksStarted(), 2u);

    desktop.scheduler->runBackgroundTasks();
    desktop.scheduler->runUntilIdle();
    ASSERT_EQ(desktop.workspace->setCalls().size(), 1u);
    EXPECT_EQ(std::optional<Url>(desktop.workspace->setCalls()[0].url),
              shownGenerated());
    EXPECT_TRUE(controller->isEnabled());
    EXPECT_FALSE(controller->isBusy());
    EXPECT_EQ(generatedFiles().size(), 1u);

    // Switching the effect off brings back the picture chosen last.
    controller->setEffectEnabled(false);
    EXPECT_EQ(desktop.workspace->picture("builtin"), chosen);
}

TEST_F(ApplyFlowInFlight, TheJobKeepsTheControllerAliveUntilItEnds) {
    show(userPicture());
    create();
    controller->applyCurrentWallpaper(false);
    std::weak_ptr<WallpaperController> weak = controller;
    controller.reset();
    EXPECT_FALSE(weak.expired());
    desktop.scheduler->runBackgroundTasks();
    desktop.scheduler->runUntilIdle();
    EXPECT_TRUE(weak.expired());
    // It finished its work before going away.
    EXPECT_TRUE(desktop.defaults->boolForKey(keys::enabled));
    EXPECT_EQ(generatedFiles().size(), 1u);
}

}  // namespace
}  // namespace quillhaven::testing
