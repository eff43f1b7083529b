// Fuzz target: arbitrary bytes as the preferences file, read through the INI store key by
// key and through the controller's restore, which reads the stored original (picture,
// scaling, clipping, archived fill colour) and puts it back. The same bytes also go to the
// colour archive directly: whatever it accepts must archive again to the same colour. And
// whatever the store lets QSettings see of the file must load as text, data or geometry,
// never as a value read from a data stream.

#include <QCoreApplication>
#include <QSettings>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "controller/color_archive.h"
#include "controller/preference_keys.h"
#include "controller/stored_preferences.h"
#include "controller/wallpaper_controller.h"
#include "platform/ini_preference_store.h"
#include "platform/ini_variant_filter.h"
#include "render/wallpaper_processor.h"
#include "tests/doubles/fake_desktop.h"
#include "tests/fuzz/fuzz_support.h"

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

// What QSettings makes of INI text without a data stream: text, data, geometry and lists
// of them ("@Invalid()" and an empty list load as no value). A streamed list of text or
// streamed data would pass for plain ones; a stream of any other type is caught.
bool isPlainValue(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::UnknownType:
        case QMetaType::QString:
        case QMetaType::QStringList:
        case QMetaType::QByteArray:
        case QMetaType::QRect:
        case QMetaType::QSize:
        case QMetaType::QPoint:
            return true;
        case QMetaType::QVariantList: {
            const QVariantList list = value.toList();
            return std::all_of(list.begin(), list.end(), isPlainValue);
        }
        default:
            return false;
    }
}

void checkNothingStreamed(const std::uint8_t* data, std::size_t size) {
    const QByteArray safe = withoutVariantValues(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    // A new name each time: QSettings keeps parsed files by name, size and time stamp.
    static unsigned serial = 0;
    const std::filesystem::path file =
        fuzz::scratchFolder() / ("filtered-" + std::to_string(++serial) + ".conf");
    fuzz::writeInput(file, reinterpret_cast<const std::uint8_t*>(safe.constData()),
                     static_cast<std::size_t>(safe.size()));
    {
        QSettings settings(QString::fromStdString(file.string()), QSettings::IniFormat);
        for (const QString& key : settings.allKeys()) {
            // An empty key is loaded all the same but cannot be asked for.
            if (!key.isEmpty() && !isPlainValue(settings.value(key))) {
                fuzz::fail("a value that loads from a data stream got past the filter: " +
                           key.toStdString());
            }
        }
    }
    std::filesystem::remove(file);
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
    checkNothingStreamed(data, size);

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
    services.defaults = std::make_shared<StoredPreferences>(store, desktop.colorArchive);
    const auto controller = WallpaperController::create(services, processor);
    controller->restoreOriginalWallpaper();
    if (controller->isBusy()) {
        fuzz::fail("a restore left the controller busy");
    }
    return 0;
}
