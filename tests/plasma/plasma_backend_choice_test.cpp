// When Quillhaven talks to Plasma, and what it is then handed.

#include <gtest/gtest.h>

#include "desktop_backend.h"
#include "plasma_workspace.h"
#include "qscreen_display_service.h"

namespace quillhaven {
namespace {

using Kind = DesktopBackendKind;

using Variables = std::map<std::string, std::string>;

Kind choose(Variables variables) {
    return chooseDesktopBackend(Environment(std::move(variables))).kind;
}

TEST(PlasmaBackendChoiceTest, AKdeSessionOrTheVariableChoosesPlasma) {
    EXPECT_EQ(choose({{"QUILLHAVEN_DESKTOP", "plasma"}}), Kind::plasma);
    EXPECT_EQ(choose({{"XDG_CURRENT_DESKTOP", "KDE"}, {"WAYLAND_DISPLAY", "wayland-0"}}),
              Kind::plasma);
    EXPECT_EQ(choose({{"XDG_CURRENT_DESKTOP", "KDE"}, {"DISPLAY", ":0"}}), Kind::plasma);
    // The variable wins over the session, and a headless run stays virtual.
    EXPECT_EQ(
        choose(
            {{"XDG_CURRENT_DESKTOP", "KDE"}, {"DISPLAY", ":0"}, {"QUILLHAVEN_DESKTOP", "virtual"}}),
        Kind::virtualDesktop);
    EXPECT_EQ(choose({{"XDG_CURRENT_DESKTOP", "KDE"}}), Kind::virtualDesktop);
    EXPECT_EQ(choose({{"XDG_CURRENT_DESKTOP", "XFCE"}, {"DISPLAY", ":0"}}), Kind::unsupported);
}

TEST(PlasmaBackendChoiceTest, PlasmaGetsItsWorkspaceAndTheRealScreens) {
    const Environment requested(Variables{{"QUILLHAVEN_DESKTOP", "plasma"}});
    const Environment folders(Variables{{"XDG_CONFIG_HOME", "/nonexistent/config"},
                                        {"XDG_DATA_HOME", "/nonexistent/data"}});
    const DesktopServices services = makeDesktopServices(chooseDesktopBackend(requested), folders);
    EXPECT_TRUE(std::dynamic_pointer_cast<plasma::PlasmaWorkspace>(services.workspace));
    EXPECT_TRUE(std::dynamic_pointer_cast<QScreenDisplayService>(services.displays));
}

}  // namespace
}  // namespace quillhaven
