#include "platform/desktop_backend.h"

#include <gtest/gtest.h>

#include "platform/displays/qscreen_display_service.h"
#include "platform/ini_preference_store.h"
#include "platform/plasma/plasma_workspace.h"
#include "platform/unsupported_desktop.h"
#include "platform/virtual_desktop.h"
#include "platform/xdg_autostart_login_item.h"
#include "tests/doubles/fake_display_service.h"
#include "tests/doubles/manual_scheduler.h"
#include "tests/platform/test_support.h"

namespace quillhaven {
namespace {

using testing::environmentWith;

using Kind = DesktopBackendKind;

Kind choose(std::map<std::string, std::string> variables) {
    return chooseDesktopBackend(Environment(std::move(variables))).kind;
}

TEST(DesktopBackendChoice, QuillhavenDesktopNamesTheBackend) {
    EXPECT_EQ(choose({{"QUILLHAVEN_DESKTOP", "virtual"}, {"WAYLAND_DISPLAY", "wayland-0"}}),
              Kind::virtualDesktop);
    const auto unknown = chooseDesktopBackend(environmentWith({{"QUILLHAVEN_DESKTOP", "amiga"}}));
    EXPECT_EQ(unknown.kind, Kind::unsupported);
    EXPECT_EQ(unknown.name, "amiga");
}

TEST(DesktopBackendChoice, WithoutItTheVirtualDesktopServesOnlyHeadlessSessions) {
    EXPECT_EQ(choose({}), Kind::virtualDesktop);
    EXPECT_EQ(choose({{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QUILLHAVEN_DESKTOP", ""}}),
              Kind::virtualDesktop);
    EXPECT_EQ(choose({{"DISPLAY", ":0"}}), Kind::unsupported);
    EXPECT_EQ(choose({{"WAYLAND_DISPLAY", "wayland-0"}}), Kind::unsupported);
    EXPECT_EQ(choose({{"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "offscreen"}}), Kind::virtualDesktop);
    EXPECT_EQ(choose({{"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "offscreen:size=10x10"}}),
              Kind::virtualDesktop);
    EXPECT_EQ(choose({{"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "xcb"}}), Kind::unsupported);
}

Environment graphicalSession(const char* currentDesktop) {
    Environment environment({{"WAYLAND_DISPLAY", "wayland-0"}, {"HOME", "/nonexistent"}});
    if (currentDesktop) {
        environment.set("XDG_CURRENT_DESKTOP", currentDesktop);
    }
    return environment;
}

TEST(DesktopBackendChoice, GnomeBasedSessionsChooseGnome) {
    for (const char* desktop : {"GNOME", "ubuntu:GNOME", "Unity", "Budgie:GNOME"}) {
        EXPECT_EQ(chooseDesktopBackend(graphicalSession(desktop)).kind, Kind::gnome) << desktop;
    }
    for (const char* desktop : {"X-Cinnamon", "MATE", "XFCE", ""}) {
        EXPECT_EQ(chooseDesktopBackend(graphicalSession(desktop)).kind, Kind::unsupported)
            << desktop;
    }
    EXPECT_EQ(chooseDesktopBackend(graphicalSession(nullptr)).kind, Kind::unsupported);
}

TEST(DesktopBackendChoice, KdeSessionsChoosePlasma) {
    EXPECT_EQ(choose({{"XDG_CURRENT_DESKTOP", "KDE"}, {"WAYLAND_DISPLAY", "wayland-0"}}),
              Kind::plasma);
    EXPECT_EQ(choose({{"XDG_CURRENT_DESKTOP", "KDE"}, {"DISPLAY", ":0"}}), Kind::plasma);
}

TEST(DesktopBackendChoice, TheVariableWinsOverTheSessionAndHeadlessRunsStayVirtual) {
    EXPECT_EQ(choose({{"QUILLHAVEN_DESKTOP", "plasma"}}), Kind::plasma);
    Environment forced({{"QUILLHAVEN_DESKTOP", "gnome"}, {"QT_QPA_PLATFORM", "offscreen"}});
    EXPECT_EQ(chooseDesktopBackend(forced).kind, Kind::gnome);
    Environment gnomeOnKde = graphicalSession("KDE");
    gnomeOnKde.set("QUILLHAVEN_DESKTOP", "gnome");
    EXPECT_EQ(chooseDesktopBackend(gnomeOnKde).kind, Kind::gnome);
    EXPECT_EQ(
        choose(
            {{"XDG_CURRENT_DESKTOP", "KDE"}, {"DISPLAY", ":0"}, {"QUILLHAVEN_DESKTOP", "virtual"}}),
        Kind::virtualDesktop);
    // A desktop session variable without a graphical session is a headless run.
    EXPECT_EQ(choose({{"XDG_CURRENT_DESKTOP", "KDE"}}), Kind::virtualDesktop);
    EXPECT_EQ(choose({{"XDG_CURRENT_DESKTOP", "GNOME"}}), Kind::virtualDesktop);
}

TEST(DesktopBackendServices, PlasmaGetsItsWorkspaceAndTheRealScreens) {
    testing::ensureCoreApplication();  // the session bus wants an application object
    const Environment folders({{"XDG_CONFIG_HOME", "/nonexistent/config"},
                               {"XDG_DATA_HOME", "/nonexistent/data"}});
    const DesktopServices services =
        makeDesktopServices(chooseDesktopBackend(environmentWith({{"QUILLHAVEN_DESKTOP", "plasma"}})),
                            folders, std::make_shared<testing::ManualScheduler>());
    EXPECT_TRUE(std::dynamic_pointer_cast<plasma::PlasmaWorkspace>(services.workspace));
    EXPECT_TRUE(std::dynamic_pointer_cast<QScreenDisplayService>(services.displays));
}

TEST(DesktopBackendServices, TheVirtualBackendWiresEveryServiceIntoTheXdgFolders) {
    testing::TempFolder folder;
    const Environment environment(
        {{"XDG_CONFIG_HOME", folder / "config"}, {"XDG_DATA_HOME", folder / "data"}});
    auto scheduler = std::make_shared<testing::ManualScheduler>();
    const DesktopServices services = makeDesktopServices(
        chooseDesktopBackend(environmentWith({{"QUILLHAVEN_DESKTOP", "virtual"}})), environment,
        scheduler);
    EXPECT_EQ(services.scheduler, scheduler);
    services.defaults->setEnabled(true);
    EXPECT_NE(testing::readFile(folder / "config/Quillhaven/Quillhaven.conf")
                  .find("quillHaven.enabled=true"),
              std::string::npos);
    auto loginItem = std::dynamic_pointer_cast<XdgAutostartLoginItem>(services.loginItem);
    ASSERT_TRUE(loginItem);
    EXPECT_EQ(loginItem->desktopFilePath(), folder / "config/autostart/quillhaven.desktop");

    auto desktop = std::dynamic_pointer_cast<VirtualDesktop>(services.workspace);
    ASSERT_TRUE(desktop);
    EXPECT_EQ(std::dynamic_pointer_cast<VirtualDesktop>(services.displays), desktop);
    const auto screens = services.displays->screens();
    ASSERT_EQ(screens.size(), 1u);
    EXPECT_EQ(services.workspace->desktopImageURL(screens[0]),
              Url::fileURLWithPath(folder / "data/Quillhaven/sample-wallpaper.png"));
}

TEST(DesktopBackendServices, TheUnsupportedBackendCannotReadThePictureAndTouchesNoFile) {
    testing::TempFolder folder;
    const Environment environment({{"XDG_CONFIG_HOME", folder / "config"},
                                   {"XDG_DATA_HOME", folder / "data"},
                                   {"DISPLAY", ":0"}});
    const DesktopServices services =
        makeDesktopServices(chooseDesktopBackend(environment), environment,
                            std::make_shared<testing::ManualScheduler>());
    // The displays are the real screens; only the picture is out of reach.
    EXPECT_TRUE(std::dynamic_pointer_cast<QScreenDisplayService>(services.displays));
    const Display screen = testing::FakeDisplayService::notchedDisplay();
    EXPECT_EQ(services.workspace->desktopImageURL(screen), std::nullopt);
    EXPECT_EQ(services.workspace->desktopImageOptions(screen), std::nullopt);
    EXPECT_FALSE(services.workspace->setDesktopImageURL(Url::fileURLWithPath("/x.png"), screen, {})
                     .succeeded());
    EXPECT_FALSE(testing::fileExists(folder / "config"));
    EXPECT_FALSE(testing::fileExists(folder / "data"));
}

}  // namespace
}  // namespace quillhaven
