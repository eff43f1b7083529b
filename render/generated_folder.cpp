// The generated folder: where it lies, which files belong to it, and its clean-up.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <filesystem>
#include <vector>

#include "core/log_categories.h"
#include "render/wallpaper_processor.h"

namespace quillhaven {

namespace {

bool isUpperHex(std::string_view text) {
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)) && (c < 'A' || c > 'F')) {
            return false;
        }
    }
    return true;
}

// The names this renderer gives its files: "quillhaven-" + an upper-case UUID + ".png", and
// the temporary file a write goes through, the same name + "." + six letters or digits (left
// behind only when the process dies during a write).
bool isOwnFileName(std::string_view name) {
    constexpr std::string_view prefix = "quillhaven-";
    if (!name.starts_with(prefix)) {
        return false;
    }
    name.remove_prefix(prefix.size());
    for (const std::size_t length : {8, 4, 4, 4, 12}) {
        if (name.size() < length + 1 || !isUpperHex(name.substr(0, length))) {
            return false;
        }
        name.remove_prefix(length);
        if (length != 12) {
            if (name.front() != '-') {
                return false;
            }
            name.remove_prefix(1);
        }
    }
    if (!name.starts_with(".png")) {
        return false;
    }
    name.remove_prefix(4);
    if (name.empty()) {
        return true;
    }
    if (name.size() != 7 || name.front() != '.') {
        return false;
    }
    for (const char c : name.substr(1)) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

}  // namespace

WallpaperProcessor::WallpaperProcessor(Url outputDirectory)
    : outputDirectory_(std::move(outputDirectory)) {}

bool WallpaperProcessor::isGeneratedWallpaper(const Url& url) const {
    const std::string candidate = url.standardized().path();
    const std::string prefix = outputDirectory_.standardized().path() + "/";
    return candidate.starts_with(prefix);
}

void WallpaperProcessor::removeOldGeneratedWallpapers(const std::optional<Url>& keeping) const {
    // Only regular files with the renderer's own names go; anything else the user put in the
    // folder (other files, folders, links) stays. The folder is opened without following a
    // link, and every entry is examined and removed relative to that open folder, so a link
    // can never lead the removal anywhere else.
    const int folder = ::open(outputDirectory_.path().c_str(),
                              O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) {
        // No folder yet is no failure; anything else leaves old pictures behind.
        if (errno != ENOENT) {
            qCWarning(logRender, "Generated folder %s not cleaned: %s",
                      outputDirectory_.path().c_str(), std::strerror(errno));
        }
        return;
    }
    const int listingHandle = ::dup(folder);
    DIR* listing = listingHandle < 0 ? nullptr : ::fdopendir(listingHandle);
    if (listing == nullptr) {
        if (listingHandle >= 0) {
            ::close(listingHandle);
        }
        ::close(folder);
        return;
    }
    // Collect first: removing while listing would disturb the listing.
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(listing)) {
        if (isOwnFileName(entry->d_name)) {
            names.emplace_back(entry->d_name);
        }
    }
    ::closedir(listing);
    for (const std::string& name : names) {
        if (keeping && outputDirectory_.appendingPathComponent(name).isSameLocation(*keeping)) {
            continue;
        }
        struct stat status {};
        if (::fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(status.st_mode)) {
            continue;
        }
        // A failure leaves the file; the rest go on.
        if (::unlinkat(folder, name.c_str(), 0) != 0) {
            qCWarning(logRender, "Old generated picture %s not removed: %s", name.c_str(),
                      std::strerror(errno));
        }
    }
    ::close(folder);
}

}  // namespace quillhaven
