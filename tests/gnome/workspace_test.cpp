// The GNOME workspace against the real GSettings (keyfile backend, Debian's schemas).

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/gnome/gnome_workspace.h"
#include "platform/messages/platform_messages.h"
#include "tests/gnome/gsettings_fixture.h"

namespace quillhaven::gnome::testing {
namespace {

const Display anyDisplay{};

DesktopPictureOptions controllerOptions() {
    return DesktopPictureOptions{ImageScaling::axesIndependently, false, Color::black()};
}

// Counts GSettings change events and the keys each one carried.
struct ChangeEvents {
    explicit ChangeEvents(GSettings* settings) : settings_(settings) {
        handler_ = g_signal_connect_data(settings, "change-event",
                                         reinterpret_cast<GCallback>(&ChangeEvents::onEvent), this,
                                         nullptr, GConnectFlags{});
    }
    ~ChangeEvents() { g_signal_handler_disconnect(settings_, handler_); }
    static gboolean onEvent(GSettings*, gpointer, gint count, gpointer self) {
        static_cast<ChangeEvents*>(self)->keysPerEvent.push_back(count);
        return FALSE;
    }
    std::vector<int> keysPerEvent;

private:
    GSettings* settings_;
    gulong handler_ = 0;
};

void dispatchPendingSignals() {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

class GnomeWorkspaceTest : public GSettingsFixture {
protected:
    void SetUp() override {
        GSettingsFixture::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        workspace = std::make_unique<GnomeWorkspace>();
        light = uriFor(writePicture("light.png"));
        dark = uriFor(writePicture("dark.png", 10, 10, 10));
        generated = writePicture("quillhaven-generated.png", 0, 0, 0);
    }

    std::unique_ptr<GnomeWorkspace> workspace;
    std::string light;
    std::string dark;
    std::filesystem::path generated;
};

TEST_F(GnomeWorkspaceTest, ReadsThePictureGnomeShowsUnderEachColourScheme) {
    ASSERT_TRUE(workspace->isAvailable());
    setUserBackground(light, dark);
    const Url lightUrl = Url("file", temp.string() + "/Pictures/light.png");
    const Url darkUrl = Url("file", temp.string() + "/Pictures/dark.png");
    EXPECT_EQ(workspace->desktopImageURL(anyDisplay), lightUrl);
    setColorScheme("prefer-light");
    EXPECT_EQ(workspace->desktopImageURL(anyDisplay), lightUrl);
    setColorScheme("prefer-dark");
    EXPECT_EQ(workspace->desktopImageURL(anyDisplay), darkUrl);
    // An empty dark key shows the light picture.
    setKey("picture-uri-dark", "");
    EXPECT_EQ(workspace->desktopImageURL(anyDisplay), lightUrl);
    setKey("picture-uri", "");
    EXPECT_FALSE(workspace->desktopImageURL(anyDisplay));
}

TEST_F(GnomeWorkspaceTest, SettingWritesBothPicturesWithStretchedOnBlackInOneApply) {
    setUserBackground(light, dark, "zoom", "#023c88");
    setKey("secondary-color", "#123456");
    setKey("color-shading-type", "vertical");
    dispatchPendingSignals();
    ChangeEvents events(background);

    const Url generatedUrl = Url::fileURLWithPath(generated.string());
    ASSERT_TRUE(
        workspace->setDesktopImageURL(generatedUrl, anyDisplay, controllerOptions()).succeeded());
    dispatchPendingSignals();

    EXPECT_EQ(keys(),
              (BackgroundValues{uriFor(generated), uriFor(generated), "stretched", "#000000"}));
    EXPECT_EQ(key("secondary-color"), "#123456");
    EXPECT_EQ(key("color-shading-type"), "vertical");
    EXPECT_EQ(events.keysPerEvent, std::vector<int>{4});
    // The picture set is the picture read, under either scheme.
    EXPECT_EQ(workspace->desktopImageURL(anyDisplay), generatedUrl);
    setColorScheme("prefer-dark");
    EXPECT_EQ(workspace->desktopImageURL(anyDisplay), generatedUrl);
    EXPECT_EQ(workspace->desktopImageOptions(anyDisplay), controllerOptions());
}

TEST_F(GnomeWorkspaceTest, NativeSettingsComeBackExactlyInEverySpellingAndUnsetStaysUnset) {
    const Url generatedUrl = Url::fileURLWithPath(generated.string());
    const std::string lightPath = temp.string() + "/Pictures/light.png";
    // Spellings of the light picture that GNOME itself loads.
    const std::string spellings[] = {light, lightPath, "file://localhost" + lightPath,
                                     "FILE://" + lightPath};
    for (const std::string& uri : spellings) {
        for (const char* pictureOptions : {"none", "wallpaper", "stretched", "spanned"}) {
            for (const char* color : {"#023C88", "#fA0", "rgb(2,60,136)"}) {
                SCOPED_TRACE(uri + " " + pictureOptions + " " + color);
                setUserBackground(uri, dark, pictureOptions, color);
                const BackgroundValues before = keys();
                const auto saved = workspace->nativeSettings(anyDisplay);
                ASSERT_TRUE(saved);
                ASSERT_TRUE(workspace->setDesktopImageURL(generatedUrl, anyDisplay,
                                                          controllerOptions())
                                .succeeded());
                // The restore comes from a new workspace, as after a restart.
                GnomeWorkspace restarted;
                ASSERT_TRUE(restarted.restoreNativeSettings(*saved, anyDisplay).succeeded());
                EXPECT_EQ(keys(), before);
                EXPECT_EQ(restarted.nativeSettings(anyDisplay), saved);
            }
        }
    }
    // Keys the user never set are reset, not written with their default value.
    for (const char* name : {"picture-uri", "picture-uri-dark", "picture-options", "primary-color"}) {
        g_settings_reset(background, name);
    }
    g_settings_sync();
    const auto unset = workspace->nativeSettings(anyDisplay);
    ASSERT_TRUE(unset);
    EXPECT_EQ(unset->at("picture-uri"), std::nullopt);
    ASSERT_TRUE(
        workspace->setDesktopImageURL(generatedUrl, anyDisplay, controllerOptions()).succeeded());
    ASSERT_TRUE(workspace->restoreNativeSettings(*unset, anyDisplay).succeeded());
    for (const char* name : {"picture-uri", "picture-uri-dark", "picture-options", "primary-color"}) {
        GVariant* user = g_settings_get_user_value(background, name);
        EXPECT_EQ(user, nullptr) << name;
        if (user) {
            g_variant_unref(user);
        }
    }
    EXPECT_FALSE(workspace->restoreNativeSettings({{"secondary-color", "#000000"}}, anyDisplay)
                     .succeeded());
}

TEST_F(GnomeWorkspaceTest, WithoutNativeSettingsTheRestoreStillBringsBackOptionsAndColourValue) {
    const Url generatedUrl = Url::fileURLWithPath(generated.string());
    setUserBackground(light, dark, "wallpaper", "#0000FFFF8001");
    const auto recorded = workspace->desktopImageOptions(anyDisplay);
    ASSERT_TRUE(
        workspace->setDesktopImageURL(generatedUrl, anyDisplay, controllerOptions()).succeeded());
    ASSERT_TRUE(workspace
                    ->setDesktopImageURL(Url("file", temp.string() + "/Pictures/light.png"),
                                         anyDisplay, *recorded)
                    .succeeded());
    // A record of an earlier version without the desktop's settings: the light picture goes
    // under both keys, and the colour keeps its value, not its spelling.
    EXPECT_EQ(keys(), (BackgroundValues{light, light, "wallpaper", "#0000ffff8001"}));
}

TEST_F(GnomeWorkspaceTest, OnlyLocalFilesCanBeSet) {
    setUserBackground(light, dark);
    const BackgroundValues before = keys();
    for (const Url& url : {Url("https", "//example.org/p.png"), Url("file", "relative/p.png")}) {
        const Outcome outcome = workspace->setDesktopImageURL(url, anyDisplay, controllerOptions());
        EXPECT_FALSE(outcome.succeeded());
        EXPECT_EQ(outcome.errorDescription(), platform_messages::gnomeNotLocal);
    }
    EXPECT_EQ(keys(), before);
}

}  // namespace
}  // namespace quillhaven::gnome::testing
