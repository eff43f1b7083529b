// Fuzz target: arbitrary bytes as the preferences file, read through the INI store key by
// key and through the controller's restore, which reads the stored original (picture,
// scaling, clipping, archived fill colour) and puts it back. The same bytes also go to the
// colour archive directly: whatever it accepts must archive again to the same colour.

#include <QCoreApplication>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>

#include "color_archive.h"
#include "fake_desktop.h"
#include "fuzz_support.h"
#include "ini_preference_store.h"
#include "preference_keys.h"
#include "wallpaper_controller.h"
#include "wallpaper_processor.h"

namespace {

using namespace quillhaven;

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void checkArchiveRoundTrip(const Data& data) {
    TextColorArchive archive;
    const std::optional<Color> color = archive.unarchive(data);
    if (!color) {
        return;
    }
    const std::optional<Data> again = archive.archive(*color);
    if (!again) {
        fuzz::fail("an unarchived colour cannot be archived");
    }
    const std::optional<Color> back = archive.unarchive(*again);
    if (!back || !sameBits(back->red, color->red) || !sameBits(back->green, color->green) ||
        !sameBits(back->blue, color->blue) || !sameBits(back->alpha, color->alpha)) {
        fuzz::fail("a colour does not survive archiving");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path file = fuzz::scratchFolder() / "Quillhaven.conf";
    static const auto processor = std::make_shared<const WallpaperProcessor>(
        Url::directoryURLWithPath((fuzz::scratchFolder() / "Generated").string()));
    checkArchiveRoundTrip(Data(data, data + size));

    fuzz::writeInput(file, data, size);
    auto store = std::make_shared<IniPreferenceStore>(file.string());
    for (const char* key :
         {preference_keys::enabled, preference_keys::originalWallpaper,
          preference_keys::originalImageScaling, preference_keys::originalAllowClipping,
          preference_keys::originalFillColor}) {
        (void)store->boolForKey(key);
        (void)store->integerForKey(key);
        (void)store->stringForKey(key);
        (void)store->hasObjectForKey(key);
        if (const std::optional<Data> stored = store->dataForKey(key)) {
            checkArchiveRoundTrip(*stored);
        }
    }

    testing::FakeDesktop desktop(testing::ManualScheduler::BackgroundMode::manual);
    desktop.displays->setScreens({testing::FakeDisplayService::notchedDisplay()});
    DesktopServices services = desktop.services();
    services.defaults = store;
    const auto controller = WallpaperController::create(services, processor);
    controller->restoreOriginalWallpaper();
    if (controller->isBusy()) {
        fuzz::fail("a restore left the controller busy");
    }
    return 0;
}
