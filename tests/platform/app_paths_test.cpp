// Where Quillhaven keeps its files, for a given environment.

#include "core/app_paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/platform/test_support.h"

namespace quillhaven {
namespace {

using testing::environmentWith;

TEST(AppPaths, EveryFileLivesUnderTheXdgFolders) {
    const Environment environment = environmentWith({{"XDG_CONFIG_HOME", "/x/cfg"},
                                                     {"XDG_DATA_HOME", "/x/data"},
                                                     {"XDG_RUNTIME_DIR", "/run/user/4242"}});
    EXPECT_EQ(app_paths::preferencesFile(environment), "/x/cfg/Quillhaven/Quillhaven.conf");
    EXPECT_EQ(app_paths::generatedFolder(environment), "/x/data/Quillhaven/Generated");
    EXPECT_EQ(app_paths::virtualDesktopFile(environment), "/x/cfg/Quillhaven/virtual-desktop.json");
    EXPECT_EQ(app_paths::dataFolder(environment), "/x/data/Quillhaven");
    EXPECT_EQ(app_paths::gnomeBackgroundRecord(environment),
              "/x/cfg/Quillhaven/gnome-background.conf");
    EXPECT_EQ(app_paths::autostartEntry(environment), "/x/cfg/autostart/quillhaven.desktop");
    EXPECT_EQ(app_paths::instanceLock(environment), "/run/user/4242/quillhaven.lock");
}

TEST(AppPaths, RelativeOrEmptyVariablesFallBackToTheHomeFolder) {
    const Environment environment = environmentWith({{"HOME", "/home/u"},
                                                     {"XDG_CONFIG_HOME", "relative"},
                                                     {"XDG_DATA_HOME", ""},
                                                     {"XDG_RUNTIME_DIR", "run"}});
    EXPECT_EQ(app_paths::preferencesFile(environment), "/home/u/.config/Quillhaven/Quillhaven.conf");
    EXPECT_EQ(app_paths::generatedFolder(environment),
              "/home/u/.local/share/Quillhaven/Generated");
    // Without a usable runtime folder the lock stays with the preferences.
    EXPECT_EQ(app_paths::instanceLock(environment), "/home/u/.config/Quillhaven/quillhaven.lock");
}

TEST(AppPaths, WithoutHomeTheAccountsHomeFolderIsUsed) {
    const std::string config = app_paths::xdgConfigHome(environmentWith({}));
    EXPECT_TRUE(config.ends_with("/.config")) << config;
    EXPECT_EQ(config.front(), '/');
}

TEST(AppPaths, TheProcessEnvironmentIsReadAsItIs) {
    setenv("QUILLHAVEN_PATHS_PROBE", "a=b", 1);
    EXPECT_EQ(Environment::process().value("QUILLHAVEN_PATHS_PROBE"), "a=b");
    unsetenv("QUILLHAVEN_PATHS_PROBE");
    EXPECT_EQ(Environment::process().value("QUILLHAVEN_PATHS_PROBE"), std::nullopt);
}

}  // namespace
}  // namespace quillhaven
