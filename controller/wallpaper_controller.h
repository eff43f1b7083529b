#pragma once

// The one object that owns the system's state: whether the effect is on, whether a render
// is in flight, the status line, the login item and the display summary. It decides when
// to apply, re-apply or restore, and reaches the desktop only through DesktopServices.
// Every method runs on the main thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "controller/change_monitor.h"
#include "controller/controller_state.h"
#include "controller/desktop_services.h"
#include "render/wallpaper_processor.h"

namespace quillhaven {

class WallpaperController : public std::enable_shared_from_this<WallpaperController> {
public:
    // Builds the controller and runs its start-up: reads the persisted flag and the login
    // item, builds the display summary, applies at once when the flag is on, and starts
    // following the desktop. A factory because a render started during start-up holds the
    // controller.
    static std::shared_ptr<WallpaperController> create(
        DesktopServices services, std::shared_ptr<const WallpaperProcessor> processor);

    WallpaperController(const WallpaperController&) = delete;
    WallpaperController& operator=(const WallpaperController&) = delete;
    ~WallpaperController();

    // Called once after every change of the state. May be replaced at any time.
    void setOnChange(std::function<void()> onChange) { state_.setObserver(std::move(onChange)); }

    const ControllerState& state() const { return state_.value(); }
    bool isEnabled() const { return state().isEnabled; }
    bool isBusy() const { return state().isBusy; }
    const std::string& statusMessage() const { return state().statusMessage; }
    bool hasError() const { return state().hasError; }
    bool launchAtLogin() const { return state().launchAtLogin; }
    const std::string& screenSummary() const { return state().screenSummary; }

    void applyCurrentWallpaper(bool force);
    void restoreOriginalWallpaper();
    void setLaunchAtLogin(bool enabled);
    // Clears the error, then applies (on) or restores (off).
    void setEffectEnabled(bool on);

private:
    WallpaperController(DesktopServices services,
                        std::shared_ptr<const WallpaperProcessor> processor);
    void start();
    std::optional<Display> currentDisplay() const;
    // The display an apply or restore works on; none (reported) when there is none, and
    // none (silently) while a render runs.
    std::optional<Display> displayToWorkOn();
    void showSummaryOf(const std::optional<Display>& display);
    void markEnabled(const std::string& message);
    void showError(const std::string& message, bool disableEffect);
    void storeEnabled(bool enabled);

    // Applying (apply_flow.cpp).
    void startRenderingJob(const WallpaperProcessingRequest& request, const Display& display,
                           const Url& shownAtStart);
    void finishRenderingJob(const ProcessingResult& result, const Display& display,
                            const Url& shownAtStart);
    bool userChosePictureDuringRender(const Display& display, const Url& shownAtStart);

    // The record of the user's picture (record_keeping.cpp).
    bool recordOriginal(const Url& current, const Display& display);
    void noteAppliedSettings(const Display& display);
    void noteUserSettingsChanges(const Display& display);

    // Restoring (restore_flow.cpp).
    bool restoreLanded(const Display& display, const std::optional<NativePictureSettings>& saved,
                       const Url& original);
    bool shouldRetryRestore(const Display& display);

    // Following the desktop (follow_flow.cpp).
    void checkForChanges();

    ObservedState state_;
    DesktopServices services_;
    std::shared_ptr<const WallpaperProcessor> processor_;
    std::unique_ptr<ChangeMonitor> monitor_;
    // The generated picture this process last set, if any.
    std::optional<Url> generatedWallpaperURL_;
    // A restore that could not land is tried again at every check.
    bool isRestorePending_ = false;
    // What the desktop held at the last check while the processed picture showed.
    struct DesktopSeen {
        std::optional<DesktopPictureOptions> options;
        std::optional<NativePictureSettings> settings;
        friend bool operator==(const DesktopSeen&, const DesktopSeen&) = default;
    };
    std::optional<DesktopSeen> lastSeen_;
};

}  // namespace quillhaven
