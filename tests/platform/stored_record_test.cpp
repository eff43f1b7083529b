// Records of the user's own picture as earlier versions wrote them to the preferences file
// must keep restoring exactly: the same picture, and each stored option with its value.

#include <gtest/gtest.h>

#include "controller/stored_preferences.h"
#include "controller/wallpaper_controller.h"
#include "platform/ini_preference_store.h"
#include "tests/doubles/fake_desktop.h"
#include "tests/platform/test_support.h"

namespace quillhaven {
namespace {

struct StoredRecordCase {
    const char* fixture;
    DesktopPictureOptions expected;
};

class StoredRecordTest : public ::testing::TestWithParam<StoredRecordCase> {};

// The fixture with its placeholder picture path pointed at a real file.
std::string installFixture(const testing::TempFolder& folder, const std::string& name,
                           const std::string& picture) {
    std::string text = testing::readFile(std::string(QUILLHAVEN_RECORD_FIXTURES) + "/" + name);
    const std::string placeholder = "/QUILLHAVEN_FIXTURE/picture.png";
    text.replace(text.find(placeholder), placeholder.size(), picture);
    const std::string path = folder / "Quillhaven.conf";
    testing::writeFile(path, text);
    return path;
}

TEST_P(StoredRecordTest, RestoresThePictureWithEveryStoredOption) {
    testing::TempFolder folder;
    const std::string picture = folder / "mine.jpg";
    testing::writeFile(picture, "picture");
    auto store = std::make_shared<IniPreferenceStore>(
        installFixture(folder, GetParam().fixture, picture));
    // The flag is switched off first so that start-up applies nothing; the record stays.
    store->setBool(false, "quillHaven.enabled");

    testing::FakeDesktop desktop;
    desktop.displays->setScreens({testing::FakeDisplayService::notchedDisplay()});
    DesktopServices services = desktop.services();
    services.defaults = std::make_shared<StoredPreferences>(store, desktop.colorArchive);
    auto controller = WallpaperController::create(
        services, std::make_shared<const WallpaperProcessor>(
                      Url::directoryURLWithPath(folder / "Generated")));

    controller->restoreOriginalWallpaper();

    ASSERT_EQ(desktop.workspace->setCalls().size(), 1u);
    const auto& call = desktop.workspace->setCalls().front();
    EXPECT_EQ(call.url, Url::fileURLWithPath(picture));
    EXPECT_EQ(call.options, GetParam().expected);
    // A successful restore forgets the whole record.
    for (const char* key :
         {"quillHaven.originalWallpaper", "quillHaven.originalImageScaling",
          "quillHaven.originalAllowClipping", "quillHaven.originalFillColor"}) {
        EXPECT_FALSE(store->hasObjectForKey(key)) << key;
    }
}

INSTANTIATE_TEST_SUITE_P(
    EarlierVersions, StoredRecordTest,
    ::testing::Values(
        StoredRecordCase{"full.conf",
                         {ImageScaling::proportionallyUpOrDown, true, Color{0.2, 0.4, 0.6, 1}}},
        // Zero and false are values, not absences; the colour's components are exact.
        StoredRecordCase{"zeros.conf",
                         {ImageScaling::proportionallyDown, false,
                          Color{0.1234567, 1.0 / 3.0, 0, 0.5}}},
        StoredRecordCase{"path-only.conf", {}},
        // A scaling no name is given to is passed back as it was stored.
        StoredRecordCase{"unnamed-scaling.conf", {static_cast<ImageScaling>(7), {}, {}}}),
    [](const ::testing::TestParamInfo<StoredRecordCase>& param) {
        std::string name = param.param.fixture;
        name = name.substr(0, name.find('.'));
        std::erase(name, '-');
        return name;
    });

}  // namespace
}  // namespace quillhaven
