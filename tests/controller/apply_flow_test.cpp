// The apply flow, row by row: every refusal, the shortcut, the recording decision and the
// rendering job's outcomes, with the exact change notices of each.

#include <filesystem>
#include <fstream>

#include "controller_test_support.h"
#include "preference_keys.h"

namespace quillhaven::testing {
namespace {

namespace keys = preference_keys;
using Type = InMemoryPreferenceStore::ValueType;

const char* const processing = "壁紙を処理しています…";
const char* const effectOn = "ノッチを目立たなくしています";

using ApplyFlow = ControllerTest;
using ApplyFlowInFlight = ControllerInFlightTest;

TEST_F(ApplyFlow, SuccessRecordsRendersSetsAndReportsInOrder) {
    const Url picture = userPicture();
    show(picture);
    create();
    const Snapshot before = snapshot();
    controller->applyCurrentWallpaper(false);
    drain();

    EXPECT_EQ(notices, Notices(before)
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
    ASSERT_TRUE(controller->generatedWallpaperURL());
    const Url generated = *controller->generatedWallpaperURL();
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
    Display oneArea = builtin;
    oneArea.auxiliaryTopRightArea.reset();
    Display noInset = builtin;
    noInset.safeAreaInsets.top = 0;
    Display leftMissing = builtin;
    leftMissing.auxiliaryTopLeftArea.reset();
    const std::vector<Case> cases{
        {"no display", {}, true, "メインディスプレイを取得できませんでした"},
        {"no inset", {noInset}, true, "メインディスプレイにノッチが見つかりません"},
        {"left area missing", {leftMissing}, true, "メインディスプレイにノッチが見つかりません"},
        {"one area only", {oneArea}, true, "メインディスプレイにノッチが見つかりません"},
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
        create();
        // Construction already tried and failed; make the flag true again to see the
        // refusal from a known state.
        controller->markEnabled(effectOn);
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
        EXPECT_FALSE(controller->generatedWallpaperURL());
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
        processor->processSynchronously(request).failure().localizedDescription();
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
    EXPECT_FALSE(controller->generatedWallpaperURL());
}

TEST_F(ApplyFlow, FailedSetKeepsTheGeneratedFileAndTheOldState) {
    createAndApply();
    const Url firstGenerated = *controller->generatedWallpaperURL();
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
    EXPECT_EQ(controller->generatedWallpaperURL(), firstGenerated);
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
    EXPECT_EQ(notices, Notices(before).enabled(true).error(false).status(effectOn).list());
    EXPECT_EQ(desktop.scheduler->backgroundTasksStarted(), 1u);
    EXPECT_EQ(generatedFiles(), filesBefore);
    // Only the enabled flag was written; the record is untouched.
    ASSERT_EQ(desktop.defaults->writes().size(), 1u);
    EXPECT_EQ(desktop.defaults->writes()[0].key, keys::enabled);
}

TEST_F(ApplyFlow, ForcedReprocessRendersTheRecordedOriginalWithoutRerecording) {
    createAndApply();
    const Url firstGenerated = *controller->generatedWallpaperURL();
    controller->applyCurrentWallpaper(true);
    drain();
    ASSERT_TRUE(controller->generatedWallpaperURL());
    EXPECT_NE(*controller->generatedWallpaperURL(), firstGenerated);
    EXPECT_EQ(generatedFiles(),
              std::vector{std::filesystem::path(controller->generatedWallpaperURL()->path())});
    for (const auto& write : desktop.defaults->writes()) {
        EXPECT_TRUE(write.key == keys::enabled || write.key == keys::appliedDesktopSettings)
            << write.key;
    }
    EXPECT_EQ(storedString(keys::originalWallpaper), userPicture().path());
    // Rendered from the user's picture, not from the generated one.
    EXPECT_EQ(pictureSize(*controller->generatedWallpaperURL()), std::make_pair(128, 80));
}

TEST_F(ApplyFlow, AfterARestartTheGeneratedPictureIsRenderedAgainFromTheRecord) {
    createAndApply();
    const Url oldGenerated = *controller->generatedWallpaperURL();
    controller.reset();
    forgetHistory();

    create();  // the persisted flag is on: construction applies
    drain();
    ASSERT_TRUE(controller->isEnabled()) << controller->statusMessage();
    EXPECT_NE(controller->generatedWallpaperURL(), oldGenerated);
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
    EXPECT_TRUE(notices.empty());
    EXPECT_TRUE(desktop.defaults->writes().empty());
    EXPECT_EQ(desktop.workspace->urlReads(), 0u);
    EXPECT_EQ(desktop.scheduler->backgroundTasksStarted(), 1u);
}

TEST_F(ApplyFlowInFlight, JobSetsThePictureOnTheDisplayItStartedWith) {
    show(userPicture());
    create();
    controller->applyCurrentWallpaper(false);
    // While rendering, the built-in panel moves aside and an external display takes over.
    Display moved = builtin;
    moved.frame.x = -64;
    desktop.displays->setScreens({FakeDisplayService::plainDisplay("external"), moved});
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
              controller->generatedWallpaperURL());
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

TEST_F(ApplyFlowInFlight, MarkEnabledDuringARenderLeavesItBusy) {
    show(userPicture());
    create();
    controller->applyCurrentWallpaper(false);
    controller->markEnabled(effectOn);
    EXPECT_TRUE(controller->isBusy());
}

}  // namespace
}  // namespace quillhaven::testing
