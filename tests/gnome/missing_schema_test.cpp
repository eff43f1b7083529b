// The GNOME backend on a machine without GNOME's background schema. Runs in its own process
// (GSettings keeps its schema list for the life of a process) with XDG_DATA_DIRS hiding the
// system's schemas and GSETTINGS_SCHEMA_DIR naming a folder with an unrelated one.

#include <gio/gio.h>
#include <gtest/gtest.h>

#include "controller/messages.h"
#include "controller/wallpaper_controller.h"
#include "platform/gnome/gnome_workspace.h"
#include "platform/messages/platform_messages.h"
#include "tests/doubles/fake_desktop.h"

namespace quillhaven::gnome {
namespace {

TEST(GnomeWithoutSchema, CannotReadOrSetThePictureAndSaysWhy) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    ASSERT_NE(source, nullptr) << "the unrelated test schema was not compiled";
    GSettingsSchema* unrelated =
        g_settings_schema_source_lookup(source, "org.quillhaven.test.unrelated", TRUE);
    ASSERT_NE(unrelated, nullptr);
    g_settings_schema_unref(unrelated);

    GnomeWorkspace workspace;
    EXPECT_FALSE(workspace.isAvailable());
    EXPECT_FALSE(workspace.desktopImageURL(Display{}));
    EXPECT_FALSE(workspace.desktopImageOptions(Display{}));
    const Outcome outcome = workspace.setDesktopImageURL(Url::fileURLWithPath("/tmp/p.png"),
                                                         Display{}, DesktopPictureOptions{});
    EXPECT_FALSE(outcome.succeeded());
    EXPECT_EQ(outcome.errorDescription(), platform_messages::gnomeSchemaMissing);
}

TEST(GnomeWithoutSchema, TheControllerReportsThatThePictureCannotBeRead) {
    quillhaven::testing::FakeDesktop desktop;
    desktop.displays->setScreens(
        {quillhaven::testing::FakeDisplayService::notchedDisplay("builtin", 64, 40, 2, 8)});
    auto services = desktop.services();
    services.workspace = std::make_shared<GnomeWorkspace>();
    auto controller = WallpaperController::create(
        services, std::make_shared<WallpaperProcessor>(Url::directoryURLWithPath("/nonexistent")));
    controller->setEffectEnabled(true);
    EXPECT_FALSE(controller->isEnabled());
    EXPECT_EQ(controller->statusMessage(), messages::noCurrentWallpaper);
}

}  // namespace
}  // namespace quillhaven::gnome
