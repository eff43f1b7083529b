// The original-wallpaper record (its keys, types and stale cases) and the restore flow,
// outcome by outcome.

#include <filesystem>
#include <limits>

#include "controller/original_record.h"
#include "controller/preference_keys.h"
#include "tests/controller/controller_test_support.h"

namespace quillhaven::testing {
namespace {

namespace keys = preference_keys;
using Type = InMemoryKeyValueStore::ValueType;
using Value = InMemoryKeyValueStore::Value;

using OriginalRecord = ControllerTest;
using RestoreFlow = ControllerTest;
using RestoreFlowInFlight = ControllerInFlightTest;

TEST_F(OriginalRecord, EachReportedOptionIsRecordedAndAbsentOnesAreNot) {
    create();
    struct Case {
        const char* name;
        DesktopPictureOptions options;
        std::optional<Value> scaling;
        std::optional<Value> clipping;
    };
    const std::vector<Case> cases{
        {"both", {ImageScaling::proportionallyUpOrDown, false, {}}, Value(std::int64_t{3}),
         Value(false)},
        {"zero and true", {ImageScaling::proportionallyDown, true, {}}, Value(std::int64_t{0}),
         Value(true)},
        {"a scaling without a name", {static_cast<ImageScaling>(-5), {}, {}},
         Value(std::int64_t{-5}), std::nullopt},
        {"nothing", {}, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* key :
             {keys::originalImageScaling, keys::originalAllowClipping, keys::originalFillColor}) {
            desktop.defaults->removeObject(key);
        }
        show(userPicture(), c.options);
        controller->applyCurrentWallpaper(false);
        drain();
        EXPECT_EQ(desktop.defaults->value(keys::originalImageScaling), c.scaling);
        EXPECT_EQ(desktop.defaults->value(keys::originalAllowClipping), c.clipping);
        EXPECT_FALSE(desktop.defaults->contains(keys::originalFillColor));
    }
}

TEST_F(OriginalRecord, FillColourIsArchivedAndAColourThatCannotBeIsDropped) {
    create();
    const Color colour{0.1, 0.2, 0.30000000000000004, 0.75};
    show(userPicture(), DesktopPictureOptions{{}, {}, colour});
    controller->applyCurrentWallpaper(false);
    drain();
    ASSERT_EQ(desktop.defaults->typeOf(keys::originalFillColor), Type::data);
    EXPECT_EQ(
        desktop.colorArchive->unarchive(*desktop.defaults->dataForKey(keys::originalFillColor)),
        colour);

    // A colour the archive refuses leaves the earlier entry in place, silently.
    show(userPicture(),
         DesktopPictureOptions{{}, {}, Color{std::numeric_limits<double>::quiet_NaN(), 0, 0, 1}});
    controller->applyCurrentWallpaper(false);
    drain();
    EXPECT_EQ(
        desktop.colorArchive->unarchive(*desktop.defaults->dataForKey(keys::originalFillColor)),
        colour);
    EXPECT_EQ(controller->statusMessage(), "ノッチを目立たなくしています");

    // No options at all: no option entry is written.
    desktop.defaults->clearWrites();
    show(userPicture(), std::nullopt);
    controller->applyCurrentWallpaper(false);
    drain();
    for (const auto& write : desktop.defaults->writes()) {
        EXPECT_NE(write.key, keys::originalFillColor);
        EXPECT_NE(write.key, keys::originalImageScaling);
    }
}

TEST_F(OriginalRecord, AStalePathReadsAsMissingAndStaysStored) {
    using State = RecordedOriginal::State;
    EXPECT_EQ(classifyRecordedPath(desktop.preferences()->originalRecord()).state, State::none);
    const Url picture = userPicture("soon-gone.png");
    desktop.defaults->setString(picture.path(), keys::originalWallpaper);
    EXPECT_EQ(classifyRecordedPath(desktop.preferences()->originalRecord()).state, State::usable);
    std::filesystem::remove(picture.path());
    EXPECT_EQ(classifyRecordedPath(desktop.preferences()->originalRecord()).state, State::missing);
    EXPECT_EQ(storedString(keys::originalWallpaper), picture.path());
    desktop.defaults->setString("", keys::originalWallpaper);
    EXPECT_EQ(classifyRecordedPath(desktop.preferences()->originalRecord()).state, State::unusable);
}

TEST_F(OriginalRecord, AnOlderFillColourStaysBesideANewerPictureAndIsRestored) {
    const Color red{1, 0, 0, 1};
    show(userPicture("first.png"), DesktopPictureOptions{ImageScaling::none, {}, red});
    create();
    controller->applyCurrentWallpaper(false);
    drain();
    // The user picks a picture whose options carry only a clipping flag.
    const Url second = userPicture("second.png");
    show(second, DesktopPictureOptions{{}, false, {}});
    controller->applyCurrentWallpaper(false);
    drain();
    EXPECT_EQ(storedString(keys::originalWallpaper), second.path());
    desktop.workspace->clearRecord();
    controller->restoreOriginalWallpaper();
    ASSERT_EQ(desktop.workspace->setCalls().size(), 1u);
    EXPECT_EQ(desktop.workspace->setCalls()[0].url, second);
    EXPECT_EQ(desktop.workspace->setCalls()[0].options,
              (DesktopPictureOptions{ImageScaling::none, false, red}));
}

TEST_F(RestoreFlow, RestoredPutsThePictureBackAndForgetsEverything) {
    createAndApply();
    const Snapshot before = snapshot();
    controller->restoreOriginalWallpaper();
    expectEndState(Notices(before).enabled(false).error(false).status("元の壁紙に戻しました").list());
    ASSERT_EQ(desktop.workspace->setCalls().size(), 1u);
    const auto& call = desktop.workspace->setCalls()[0];
    EXPECT_EQ(call.url, userPicture());
    EXPECT_EQ(call.displayIdentifier, "builtin");
    EXPECT_EQ(call.options, userOptions());
    EXPECT_EQ(desktop.defaults->value(keys::enabled), Value(false));
    EXPECT_EQ(desktop.defaults->keys(), std::set<std::string>{keys::enabled});
    EXPECT_FALSE(shownGenerated());
    EXPECT_TRUE(generatedFiles().empty());

    // The next apply records afresh.
    controller->applyCurrentWallpaper(false);
    drain();
    EXPECT_EQ(storedString(keys::originalWallpaper), userPicture().path());
}

TEST_F(RestoreFlow, NoMainDisplayIsADisablingError) {
    createAndApply();
    desktop.displays->setScreens({});
    const Snapshot before = snapshot();
    controller->restoreOriginalWallpaper();
    expectEndState(Notices(before)
                           .enabled(false)
                           .error(true)
                           .status("メインディスプレイを取得できませんでした")
                           .busy(false)
                           .list());
    EXPECT_FALSE(desktop.defaults->boolForKey(keys::enabled));
    EXPECT_TRUE(desktop.defaults->contains(keys::originalWallpaper));
    EXPECT_TRUE(shownGenerated());
    EXPECT_EQ(generatedFiles().size(), 1u);
}

TEST_F(RestoreFlow, NoRecordTurnsTheEffectOffWithoutAnErrorAndAMissingPictureIsWaitedFor) {
    const std::string gone = (picturesFolder / "gone.png").string();
    for (bool stale : {false, true}) {
        SCOPED_TRACE(stale ? "stale" : "absent");
        createAndApply();
        const Url generated = *shownGenerated();
        desktop.defaults->removeObject(keys::originalWallpaper);
        if (stale) {
            desktop.defaults->setString(gone, keys::originalWallpaper);
        }
        forgetHistory();
        const Snapshot before = snapshot();
        controller->restoreOriginalWallpaper();
        if (stale) {
            // The picture may come back (a disk mounted again): nothing is forgotten, the
            // effect stays on, and the restore is tried again at every check.
            expectEndState(
                Notices(before).error(true).status("元の壁紙が見つかりません: " + gone).busy(false).list());
        } else {
            expectEndState(Notices(before).enabled(false).status("元の壁紙の記録がありません").list());
            EXPECT_FALSE(desktop.defaults->boolForKey(keys::enabled));
        }
        EXPECT_EQ(desktop.defaults->contains(keys::originalWallpaper), stale);
        EXPECT_TRUE(desktop.defaults->contains(keys::originalImageScaling));
        EXPECT_TRUE(desktop.workspace->setCalls().empty());
        EXPECT_EQ(shownGenerated(), generated);
        EXPECT_EQ(generatedFiles().size(), 1u);
        controller.reset();
        desktop.defaults->removeObject(keys::enabled);
        std::filesystem::remove_all(generatedFolder);
    }
}

TEST_F(RestoreFlow, FailedSetKeepsRecordFlagAndFilesForALaterTry) {
    createAndApply();
    const Url generated = *shownGenerated();
    desktop.workspace->failNextSet("アクセスが拒否されました");
    const Snapshot before = snapshot();
    controller->restoreOriginalWallpaper();
    expectEndState(Notices(before)
                           .error(true)
                           .status("元の壁紙に戻せませんでした: アクセスが拒否されました")
                           .busy(false)
                           .list());
    EXPECT_TRUE(controller->isEnabled());
    EXPECT_TRUE(desktop.defaults->boolForKey(keys::enabled));
    EXPECT_TRUE(desktop.defaults->writes().empty());
    EXPECT_EQ(shownGenerated(), generated);
    EXPECT_EQ(generatedFiles().size(), 1u);
    EXPECT_EQ(desktop.workspace->picture("builtin"), generated);

    controller->restoreOriginalWallpaper();
    EXPECT_EQ(controller->statusMessage(), "元の壁紙に戻しました");
    EXPECT_EQ(desktop.workspace->picture("builtin"), userPicture());
}

TEST_F(RestoreFlow, StoredZeroAndFalsePassAndAPathAloneGivesEmptyOptions) {
    create();
    const Url picture = userPicture();
    desktop.defaults->setString(picture.path(), keys::originalWallpaper);
    controller->restoreOriginalWallpaper();
    ASSERT_EQ(desktop.workspace->setCalls().size(), 1u);
    EXPECT_EQ(desktop.workspace->setCalls()[0].options, DesktopPictureOptions{});

    desktop.defaults->setString(picture.path(), keys::originalWallpaper);
    desktop.defaults->setInteger(0, keys::originalImageScaling);
    desktop.defaults->setBool(false, keys::originalAllowClipping);
    desktop.defaults->setData(Data{'x'}, keys::originalFillColor);  // cannot be decoded
    controller->restoreOriginalWallpaper();
    ASSERT_EQ(desktop.workspace->setCalls().size(), 2u);
    EXPECT_EQ(desktop.workspace->setCalls()[1].options,
              (DesktopPictureOptions{ImageScaling::proportionallyDown, false, {}}));
    EXPECT_EQ(controller->statusMessage(), "元の壁紙に戻しました");
}

// The record can name a file in the generated folder (when the display showed a generated
// picture and nothing of the user's was known). Restoring it must not then delete the very
// file just put on the desktop.
TEST_F(RestoreFlow, ARestoredPictureInsideTheGeneratedFolderIsKept) {
    std::filesystem::create_directories(generatedFolder);
    const auto recorded = generatedFolder / "quillhaven-00000000-0000-4000-8000-00000000000B.png";
    const auto other = generatedFolder / "quillhaven-00000000-0000-4000-8000-00000000000C.png";
    writePng(recorded, 32, 20, 0, 0, 0);
    writePng(other, 32, 20, 0, 0, 0);
    create();
    desktop.defaults->setString(recorded.string(), keys::originalWallpaper);
    controller->restoreOriginalWallpaper();
    EXPECT_EQ(controller->statusMessage(), "元の壁紙に戻しました");
    EXPECT_EQ(desktop.workspace->picture("builtin"), Url::fileURLWithPath(recorded.string()));
    EXPECT_EQ(generatedFiles(), std::vector{recorded});
}

TEST_F(RestoreFlowInFlight, ARestoreDuringARenderDoesNothingAtAll) {
    createAndApply();
    show(userPicture("other.png"));
    controller->applyCurrentWallpaper(false);
    forgetHistory();
    controller->restoreOriginalWallpaper();
    controller->setEffectEnabled(false);
    EXPECT_TRUE(notices.empty());
    EXPECT_TRUE(desktop.defaults->writes().empty());
    EXPECT_TRUE(desktop.workspace->setCalls().empty());
    EXPECT_TRUE(controller->isBusy());
}

}  // namespace
}  // namespace quillhaven::testing
