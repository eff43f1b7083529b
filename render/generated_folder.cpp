// The generated folder: where it lies, which files belong to it, and its clean-up.

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "wallpaper_processor.h"

namespace quillhaven {

namespace {

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        return home;
    }
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return "/";
}

// The XDG data home. A relative $XDG_DATA_HOME is invalid by the XDG rules and ignored.
std::string dataHome() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/') {
        return data;
    }
    return Url::directoryURLWithPath(homeFolder()).appendingPathComponent(".local/share").path();
}

}  // namespace

WallpaperProcessor::WallpaperProcessor(std::optional<Url> outputDirectory)
    : outputDirectory_(outputDirectory ? std::move(*outputDirectory) : defaultOutputDirectory()) {}

Url WallpaperProcessor::defaultOutputDirectory() {
    return Url::directoryURLWithPath(dataHome())
        .appendingPathComponent("Quillhaven", true)
        .appendingPathComponent("Generated", true);
}

bool WallpaperProcessor::isGeneratedWallpaper(const Url& url) const {
    const std::string candidate = url.standardized().path();
    const std::string prefix = outputDirectory_.standardized().path() + "/";
    return candidate.starts_with(prefix);
}

void WallpaperProcessor::removeOldGeneratedWallpapers(const std::optional<Url>& keeping) const {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator listing(outputDirectory_.path(), error);
    if (error) {
        return;
    }
    // Collect first: removing while iterating would disturb the listing.
    std::vector<std::pair<Url, fs::path>> entries;
    for (auto it = listing; it != fs::directory_iterator(); it.increment(error)) {
        if (error) {
            break;
        }
        const fs::path& path = it->path();
        entries.emplace_back(outputDirectory_.appendingPathComponent(path.filename().string()),
                             path);
    }
    for (const auto& [url, path] : entries) {
        if (keeping && url == *keeping) {
            continue;
        }
        std::error_code removeError;
        fs::remove_all(path, removeError);  // a failure leaves the entry; the rest go on
    }
}

}  // namespace quillhaven
