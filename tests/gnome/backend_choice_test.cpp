// When the GNOME backend is chosen.

#include <gtest/gtest.h>

#include "desktop_backend.h"

namespace quillhaven {
namespace {

Environment graphicalSession(const char* currentDesktop) {
    Environment environment({{"WAYLAND_DISPLAY", "wayland-0"}, {"HOME", "/nonexistent"}});
    if (currentDesktop) {
        environment.set("XDG_CURRENT_DESKTOP", currentDesktop);
    }
    return environment;
}

TEST(GnomeBackendChoice, GnomeSessionsAndTheOverrideChooseGnome) {
    for (const char* desktop : {"GNOME", "ubuntu:GNOME", "Unity", "Budgie:GNOME"}) {
        EXPECT_EQ(chooseDesktopBackend(graphicalSession(desktop)).kind, DesktopBackendKind::gnome)
            << desktop;
    }
    // The override wins even without a graphical session or on another desktop.
    Environment forced({{"QUILLHAVEN_DESKTOP", "gnome"}, {"QT_QPA_PLATFORM", "offscreen"}});
    EXPECT_EQ(chooseDesktopBackend(forced).kind, DesktopBackendKind::gnome);
    Environment forcedOnKde = graphicalSession("KDE");
    forcedOnKde.set("QUILLHAVEN_DESKTOP", "gnome");
    EXPECT_EQ(chooseDesktopBackend(forcedOnKde).kind, DesktopBackendKind::gnome);
}

TEST(GnomeBackendChoice, OtherSessionsDoNotChooseGnome) {
    for (const char* desktop : {"X-Cinnamon", "MATE", "XFCE", ""}) {
        EXPECT_NE(chooseDesktopBackend(graphicalSession(desktop)).kind, DesktopBackendKind::gnome)
            << desktop;
    }
    EXPECT_NE(chooseDesktopBackend(graphicalSession(nullptr)).kind, DesktopBackendKind::gnome);
    // A GNOME session variable without a graphical session is a headless run.
    Environment headless(std::map<std::string, std::string>{{"XDG_CURRENT_DESKTOP", "GNOME"}});
    EXPECT_EQ(chooseDesktopBackend(headless).kind, DesktopBackendKind::virtualDesktop);
}

}  // namespace
}  // namespace quillhaven
