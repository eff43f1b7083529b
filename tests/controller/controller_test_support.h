#pragma once

// Shared fixture for the controller tests: the in-memory desktop, a real WallpaperProcessor
// writing into a fresh temporary folder, small synthetic pictures, and a recorder that
// takes a snapshot of the six observed fields at every change notice.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "controller/wallpaper_controller.h"
#include "render/wallpaper_processor.h"
#include "tests/doubles/fake_desktop.h"
#include "tests/support/temp_folder.h"

namespace quillhaven::testing {

inline constexpr const char* effectOn = "ノッチを目立たなくしています";

// The observed state at one moment.
using Snapshot = ControllerState;
}  // namespace quillhaven::testing
namespace quillhaven {
void PrintTo(const ControllerState& state, std::ostream* out);
}  // namespace quillhaven
namespace quillhaven::testing {
inline Snapshot snapshotOf(const WallpaperController& controller) { return controller.state(); }

// Builds an expected end state from the one before, one field at a time.
class Notices {
public:
    explicit Notices(Snapshot start) : current_(std::move(start)) {}
    Notices& enabled(bool value) {
        return push([&] { current_.isEnabled = value; });
    }
    Notices& busy(bool value) {
        return push([&] { current_.isBusy = value; });
    }
    Notices& status(std::string value) {
        return push([&] { current_.statusMessage = value; });
    }
    Notices& error(bool value) {
        return push([&] { current_.hasError = value; });
    }
    Notices& login(bool value) {
        return push([&] { current_.launchAtLogin = value; });
    }
    Notices& summary(std::string value) {
        return push([&] { current_.screenSummary = value; });
    }
    const std::vector<Snapshot>& list() const { return list_; }

private:
    template <typename Change>
    Notices& push(Change change) {
        change();
        list_.push_back(current_);
        return *this;
    }
    Snapshot current_;
    std::vector<Snapshot> list_;
};

// Writes a small PNG of one colour (red, green, blue, 0-255).
void writePng(const std::filesystem::path& path, int width, int height, int red, int green,
              int blue);
// A two-frame GIF: one file holding more than one image.
void writeTwoFrameGif(const std::filesystem::path& path);
// The pixel size of a written picture, or (-1, -1) when it cannot be read.
std::pair<int, int> pictureSize(const Url& url);

class ControllerTest : public ::testing::Test {
protected:
    explicit ControllerTest(
        ManualScheduler::BackgroundMode mode = ManualScheduler::BackgroundMode::threads);
    void TearDown() override;

    // A user picture in the pictures folder (created on first use).
    Url userPicture(const std::string& name = "user.png", int width = 32, int height = 20);
    // Options a user picture typically carries.
    static DesktopPictureOptions userOptions();
    // Shows `picture` on the built-in display with `options`.
    void show(const Url& picture, std::optional<DesktopPictureOptions> options = userOptions());

    void create();
    void listen();
    Snapshot snapshot() const;
    // Runs the main loop and waits for background renders until nothing is left.
    void drain();
    // Starts with the effect off, turns it on with the user's picture and waits for the
    // render; then forgets the notices, preference writes and workspace calls made so far.
    void createAndApply();
    void forgetHistory();
    // The processed picture the built-in display shows, none when it shows another.
    std::optional<Url> shownGenerated() const;
    // Checks where a flow ended: the state its last change notice showed.
    void expectEndState(const std::vector<Snapshot>& expected) const {
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(snapshot(), expected.back());
    }

    std::vector<std::filesystem::path> generatedFiles() const;
    std::optional<std::string> storedString(const std::string& key) const;

    TempFolder temp;
    std::filesystem::path generatedFolder;
    std::filesystem::path picturesFolder;
    FakeDesktop desktop;
    std::shared_ptr<WallpaperProcessor> processor;
    Display builtin;
    std::shared_ptr<WallpaperController> controller;
    std::vector<Snapshot> notices;
};

// The same fixture with background work that runs only when the test says so, to look at
// the controller while a render is in flight.
class ControllerInFlightTest : public ControllerTest {
protected:
    ControllerInFlightTest() : ControllerTest(ManualScheduler::BackgroundMode::manual) {}
};

}  // namespace quillhaven::testing
