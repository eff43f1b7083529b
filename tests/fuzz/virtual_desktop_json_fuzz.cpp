// Fuzz target: arbitrary bytes as the virtual desktop's JSON file, read through the same
// calls the controller makes (screens, picture, options), then one picture change written
// back. A file that reads must keep reading after the write, with the new picture shown;
// a file that does not read must be left byte for byte as it was.

#include <QCoreApplication>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/virtual_desktop.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using namespace quillhaven;

std::string contentsOf(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path folder = fuzz::scratchFolder();
    static const std::filesystem::path file = folder / "virtual-desktop.json";
    static const std::filesystem::path picture = [] {
        const std::filesystem::path path = fuzz::scratchFolder() / "picture.png";
        fuzz::writeInput(path, reinterpret_cast<const std::uint8_t*>("x"), 1);
        return path;
    }();
    fuzz::writeInput(file, data, size);
    VirtualDesktop desktop(file.string(), (folder / "data").string());

    const std::vector<Display> displays = desktop.screens();
    for (const Display& display : displays) {
        (void)desktop.desktopImageURL(display);
        (void)desktop.desktopImageOptions(display);
    }
    if (displays.empty()) {
        Display unknown;
        unknown.connector = "built-in";
        const Outcome outcome = desktop.setDesktopImageURL(Url::fileURLWithPath(picture.string()),
                                                           unknown, DesktopPictureOptions{});
        if (!outcome.succeeded() &&
            contentsOf(file) != std::string(reinterpret_cast<const char*>(data), size)) {
            fuzz::fail("a refused change altered the file");
        }
        return 0;
    }
    const Display& first = displays.front();
    const Url target = Url::fileURLWithPath(picture.string());
    const Outcome outcome = desktop.setDesktopImageURL(target, first, DesktopPictureOptions{});
    if (!outcome.succeeded()) {
        fuzz::fail("a picture change on a readable file failed: " + outcome.errorDescription());
    }
    if (desktop.screens().empty()) {
        fuzz::fail("the file no longer reads after a picture change");
    }
    const std::optional<Url> shown = desktop.desktopImageURL(first);
    if (!shown || shown->path() != target.path()) {
        fuzz::fail("the new picture does not read back");
    }
    return 0;
}
