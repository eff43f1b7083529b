// Fuzz target: arbitrary bytes as the user's picture, through the renderer exactly as the
// app drives it (image count, then a full render into the generated folder), on a small
// canvas. A render either fails with one of the renderer's errors or writes a PNG of the
// canvas size whose top band is black; nothing else may happen.

#include <QGuiApplication>
#include <QImage>

#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "render/wallpaper_processor.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using namespace quillhaven;

constexpr int canvasWidth = 40;
constexpr int canvasHeight = 30;
constexpr int bandHeight = 6;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path input = fuzz::scratchFolder() / "picture";
    static const WallpaperProcessor processor(
        Url::directoryURLWithPath((fuzz::scratchFolder() / "Generated").string()));
    fuzz::writeInput(input, data, size);
    const Url source = Url::fileURLWithPath(input.string());

    (void)processor.imageCount(source);
    const WallpaperProcessingRequest request{source, {canvasWidth, canvasHeight}, 1, bandHeight,
                                             4};
    const ProcessingResult result = processor.processSynchronously(request);
    if (result.succeeded()) {
        const QImage written(QString::fromStdString(result.value().path()));
        if (written.size() != QSize(canvasWidth, canvasHeight)) {
            fuzz::fail("the written picture does not have the canvas size");
        }
        for (int y = 0; y < bandHeight; ++y) {
            for (int x = 0; x < canvasWidth; ++x) {
                if (written.pixel(x, y) != qRgb(0, 0, 0)) {
                    fuzz::fail("the top band is not black");
                }
            }
        }
    } else if (!result.error().processingError()) {
        fuzz::fail("a render failed with a file-system error: " +
                   result.error().localizedDescription());
    }
    processor.removeOldGeneratedWallpapers(std::nullopt);
    return 0;
}
