// The generated folder: where it lies, which files belong to it, and its clean-up.

#include <filesystem>
#include <vector>

#include "wallpaper_processor.h"

namespace quillhaven {

WallpaperProcessor::WallpaperProcessor(Url outputDirectory)
    : outputDirectory_(std::move(outputDirectory)) {}

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
