#include "core/app_paths.h"

#include <algorithm>

#include <pwd.h>
#include <unistd.h>

namespace quillhaven::app_paths {

namespace {

std::string homeFolder(const Environment& environment) {
    if (auto home = environment.nonEmptyValue("HOME")) {
        return *home;
    }
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return "/";
}

std::optional<std::string> absoluteValue(const Environment& environment, const char* variable) {
    if (auto folder = environment.nonEmptyValue(variable); folder && folder->front() == '/') {
        return folder;
    }
    return std::nullopt;
}

// Relative values are ignored, as the base-directory rules ask.
std::string baseFolder(const Environment& environment, const char* variable,
                       const char* defaultUnderHome) {
    if (auto folder = absoluteValue(environment, variable)) {
        return *folder;
    }
    return homeFolder(environment) + "/" + defaultUnderHome;
}

}  // namespace

std::string xdgConfigHome(const Environment& environment) {
    return baseFolder(environment, "XDG_CONFIG_HOME", ".config");
}

std::string xdgDataHome(const Environment& environment) {
    return baseFolder(environment, "XDG_DATA_HOME", ".local/share");
}

std::vector<std::string> xdgDataFolders(const Environment& environment) {
    std::vector<std::string> folders{xdgDataHome(environment)};
    const std::string dirs =
        environment.nonEmptyValue("XDG_DATA_DIRS").value_or("/usr/local/share:/usr/share");
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::string folder = dirs.substr(start, end - start);
        if (!folder.empty() && folder.front() == '/') {
            folders.push_back(folder);
        }
        start = end + 1;
    }
    return folders;
}

std::string kdeGlobals(const Environment& environment) {
    return xdgConfigHome(environment) + "/kdeglobals";
}

std::string configFolder(const Environment& environment) {
    return xdgConfigHome(environment) + "/Quillhaven";
}

std::string dataFolder(const Environment& environment) {
    return xdgDataHome(environment) + "/Quillhaven";
}

std::string preferencesFile(const Environment& environment) {
    return configFolder(environment) + "/Quillhaven.conf";
}

std::string generatedFolder(const Environment& environment) {
    return dataFolder(environment) + "/Generated";
}

std::string virtualDesktopFile(const Environment& environment) {
    return configFolder(environment) + "/virtual-desktop.json";
}

std::string gnomeBackgroundRecord(const Environment& environment) {
    return configFolder(environment) + "/gnome-background.conf";
}

std::string plasmaAppletsConfig(const Environment& environment) {
    return xdgConfigHome(environment) + "/plasma-org.kde.plasma.desktop-appletsrc";
}

std::string autostartEntry(const Environment& environment) {
    return xdgConfigHome(environment) + "/autostart/quillhaven.desktop";
}

std::string instanceLock(const Environment& environment) {
    if (auto runtime = absoluteValue(environment, "XDG_RUNTIME_DIR")) {
        return *runtime + "/quillhaven.lock";
    }
    return configFolder(environment) + "/quillhaven.lock";
}

}  // namespace quillhaven::app_paths
