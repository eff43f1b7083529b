#include "platform/xdg_autostart_login_item.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/environment.h"
#include "tests/platform/test_support.h"

namespace quillhaven {
namespace {

using testing::environmentWith;

using testing::fileExists;
using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

class XdgAutostartTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::string entryPath = folder / "config/autostart/quillhaven.desktop";
    XdgAutostartLoginItem item{entryPath, "/opt/quillhaven/quillhaven"};
};

bool contains(const std::string& text, const std::string& line) {
    return text.find(line) != std::string::npos;
}

TEST_F(XdgAutostartTest, RegisterWritesAnEnabledEntryThatStartsAfterThePanel) {
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered);
    ASSERT_TRUE(item.registerItem().succeeded());
    const std::string entry = readFile(entryPath);
    EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
    for (const char* line :
         {"\nType=Application\n", "\nName=Quillhaven\n", "\nExec=/opt/quillhaven/quillhaven\n",
          "\nTerminal=false\n", "\nX-GNOME-Autostart-enabled=true\n",
          "\nX-KDE-autostart-after=panel\n"}) {
        EXPECT_TRUE(contains(entry, line)) << line << " missing from\n" << entry;
    }
    EXPECT_EQ(item.status(), LoginItemStatus::enabled);

    // Registering again switches back on an entry that the desktop had hidden.
    writeFile(entryPath, entry + "Hidden=true\n");
    ASSERT_EQ(item.status(), LoginItemStatus::notRegistered);
    ASSERT_TRUE(item.registerItem().succeeded());
    EXPECT_EQ(item.status(), LoginItemStatus::enabled);
}

TEST_F(XdgAutostartTest, UnregisterRemovesTheEntryAndAnAbsentEntryCountsAsSuccess) {
    ASSERT_TRUE(item.registerItem().succeeded());
    EXPECT_TRUE(item.unregisterItem().succeeded());
    EXPECT_FALSE(fileExists(entryPath));
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered);
    EXPECT_TRUE(item.unregisterItem().succeeded());
}

TEST_F(XdgAutostartTest, StatusFollowsTheKeysThatSwitchAnEntryOff) {
    struct Case {
        const char* body;
        LoginItemStatus expected;
    };
    const Case cases[] = {
        {"[Desktop Entry]\nExec=q\nHidden=true\n", LoginItemStatus::notRegistered},
        {"[Desktop Entry]\nExec=q\nX-GNOME-Autostart-enabled=false\n",
         LoginItemStatus::notRegistered},
        {"[Desktop Entry]\nExec=q\nHidden = true\n", LoginItemStatus::notRegistered},
        {"[Desktop Entry]\nExec=q\nHidden=false\nX-GNOME-Autostart-enabled=true\n",
         LoginItemStatus::enabled},
        {"[Desktop Entry]\nExec=q\n[Desktop Action x]\nHidden=true\n", LoginItemStatus::enabled},
        {"", LoginItemStatus::enabled},
    };
    for (const Case& c : cases) {
        writeFile(entryPath, c.body);
        EXPECT_EQ(item.status(), c.expected) << c.body;
    }
    std::filesystem::remove(entryPath);
    std::filesystem::create_directories(entryPath);
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered) << "a folder is not an entry";
}

TEST_F(XdgAutostartTest, ABlockedFolderGivesAFailureNamingThePathAndReason) {
    testing::blockWithFile(folder / "config/autostart");
    const Outcome registered = item.registerItem();
    ASSERT_FALSE(registered.succeeded());
    EXPECT_TRUE(contains(registered.errorDescription(), folder / "config/autostart"))
        << registered.errorDescription();
    EXPECT_GT(registered.errorDescription().size(), (folder / "config/autostart: ").string().size());
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered);
    EXPECT_TRUE(item.unregisterItem().succeeded()) << "no entry can exist there";
    EXPECT_EQ(readFile(folder / "config/autostart"), "not a folder\n");

    // A folder in the entry's place can neither be written nor removed.
    XdgAutostartLoginItem blocked(folder / "other", "/q");
    std::filesystem::create_directories(folder / "other/inside");
    EXPECT_FALSE(blocked.registerItem().succeeded());
    const Outcome removed = blocked.unregisterItem();
    EXPECT_FALSE(removed.succeeded());
    EXPECT_TRUE(contains(removed.errorDescription(), folder / "other"));
    EXPECT_TRUE(fileExists(folder / "other/inside"));
}

TEST(XdgAutostartProgram, ExecNamesTheAppImageOrTheAbsoluteProgram) {
    Environment environment({{"XDG_CONFIG_HOME", "/cfg"}, {"HOME", "/home/u"}});
    const auto plain = XdgAutostartLoginItem::forProgram(environment, "/usr/bin/quillhaven");
    EXPECT_EQ(plain.desktopFilePath(), "/cfg/autostart/quillhaven.desktop");
    EXPECT_EQ(plain.executablePath(), "/usr/bin/quillhaven");

    const auto relative = XdgAutostartLoginItem::forProgram(environment, "build/quillhaven");
    EXPECT_EQ(relative.executablePath(),
              (std::filesystem::current_path() / "build/quillhaven").string());

    const auto running = XdgAutostartLoginItem::forProgram(environment);
    EXPECT_EQ(running.executablePath(), std::filesystem::read_symlink("/proc/self/exe").string());

    environment.set("APPIMAGE", "/home/u/Apps/Quillhaven.AppImage");
    EXPECT_EQ(XdgAutostartLoginItem::forProgram(environment, "/tmp/.mount_x/usr/bin/quillhaven")
                  .executablePath(),
              "/home/u/Apps/Quillhaven.AppImage");
}

TEST(XdgAutostartProgram, ExecNamesTheInstalledProgramWhenRunningFromTheInstallPrefix) {
    // An installed program reached through a link, as /usr/local/bin links into a stow
    // folder: the entry keeps the installed name, so it survives the link being repointed.
    TempFolder folder;
    writeFile(folder / "stow/quillhaven-0.1.0/bin/quillhaven", "program");
    std::filesystem::create_directories(folder / "prefix/bin");
    std::filesystem::create_symlink(folder / "stow/quillhaven-0.1.0/bin/quillhaven",
                                    folder / "prefix/bin/quillhaven");
    writeFile(folder / "build/quillhaven", "program");
    Environment environment({{"XDG_CONFIG_HOME", folder / "config"}});
    const std::string installed = folder / "prefix/bin/quillhaven";

    const auto fromPrefix = XdgAutostartLoginItem::forProgram(
        environment, folder / "stow/quillhaven-0.1.0/bin/quillhaven", installed);
    EXPECT_EQ(fromPrefix.executablePath(), installed);

    // From a build folder (or with no install location known) the running program is named.
    const auto fromBuild =
        XdgAutostartLoginItem::forProgram(environment, folder / "build/quillhaven", installed);
    EXPECT_EQ(fromBuild.executablePath(), folder / "build/quillhaven");
    EXPECT_EQ(XdgAutostartLoginItem::forProgram(environment, folder / "build/quillhaven", "")
                  .executablePath(),
              folder / "build/quillhaven");

    // An entry written by an earlier version, naming a build folder, still counts as
    // registered; registering again from the install points it at the installed program.
    writeFile(fromPrefix.desktopFilePath(),
              "[Desktop Entry]\nType=Application\nVersion=1.0\nName=Quillhaven\n"
              "Exec=/home/u/src/quillhaven/build/quillhaven\nTerminal=false\nNoDisplay=true\n"
              "X-GNOME-Autostart-enabled=true\nX-KDE-autostart-after=panel\n");
    auto item = fromPrefix;
    EXPECT_EQ(item.status(), LoginItemStatus::enabled);
    ASSERT_TRUE(item.registerItem().succeeded());
    EXPECT_TRUE(contains(readFile(item.desktopFilePath()), "\nExec=" + installed + "\n"));
    EXPECT_EQ(item.status(), LoginItemStatus::enabled);
}

TEST(XdgAutostartProgram, ExecQuotesReservedCharactersAndEscapesTheValue) {
    EXPECT_EQ(desktopEntryExecArgument("/usr/bin/quillhaven"), "/usr/bin/quillhaven");
    EXPECT_EQ(desktopEntryExecArgument("/home/u/My Apps/quillhaven"),
              "\"/home/u/My Apps/quillhaven\"");
    // Inside quotes \ " ` $ take a backslash, and the value doubles every backslash.
    EXPECT_EQ(desktopEntryExecArgument("/a b/$x\"`\\"), R"("/a b/\\$x\\"\\`\\\\")");
    EXPECT_EQ(desktopEntryExecArgument("/opt/100%/q"), "/opt/100%%/q");

    // The entry carries the quoted form.
    TempFolder folder;
    XdgAutostartLoginItem item(folder / "q.desktop", "/home/u/My Apps/quillhaven");
    ASSERT_TRUE(item.registerItem().succeeded());
    EXPECT_TRUE(
        contains(readFile(folder / "q.desktop"), "\nExec=\"/home/u/My Apps/quillhaven\"\n"));
}

}  // namespace
}  // namespace quillhaven
