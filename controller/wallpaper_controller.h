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

#include "desktop_services.h"
#include "wallpaper_processor.h"

namespace quillhaven {

class WallpaperController : public std::enable_shared_from_this<WallpaperController> {
public:
    // How often the poll checks for a newly chosen picture.
    static constexpr Scheduler::Duration pollInterval = std::chrono::milliseconds(5000);
    // How long a change notice waits for further ones before the check runs.
    static constexpr Scheduler::Duration changeSettleDelay = std::chrono::milliseconds(200);
    static constexpr double cornerRadiusInPoints = 16.0;
    // The options a generated picture is shown with: stretched to the display on both axes
    // (the picture already has the display's exact size), no clipping, black fill.
    static DesktopPictureOptions generatedPictureOptions() {
        return DesktopPictureOptions{ImageScaling::axesIndependently, false, Color::black()};
    }

    // Builds the controller and runs its start-up: reads the persisted flag and the login
    // item, builds the display summary, applies at once when the flag is on, and starts the
    // poll. A factory because a render started during start-up holds the controller.
    static std::shared_ptr<WallpaperController> create(
        DesktopServices services, std::shared_ptr<const WallpaperProcessor> processor);

    WallpaperController(const WallpaperController&) = delete;
    WallpaperController& operator=(const WallpaperController&) = delete;
    ~WallpaperController();

    // Called after every assignment to one of the six observed fields, even when the value
    // did not change. May be replaced at any time.
    void setOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

    bool isEnabled() const { return isEnabled_; }
    bool isBusy() const { return isBusy_; }
    const std::string& statusMessage() const { return statusMessage_; }
    bool hasError() const { return hasError_; }
    bool launchAtLogin() const { return launchAtLogin_; }
    const std::string& screenSummary() const { return screenSummary_; }
    // The shell may clear the error flag; like every assignment it notifies.
    void setHasError(bool value);

    // ---- Operations offered to the shell ----
    void applyCurrentWallpaper(bool force);
    void restoreOriginalWallpaper();
    void setLaunchAtLogin(bool enabled);
    // Clears the error flag, then applies (on) or restores (off).
    void setEffectEnabled(bool on);

    // ---- Operations used among the controller's own parts (public for tests) ----
    void markEnabled(const std::string& message);
    void showError(const std::string& message, bool disableEffect);
    std::optional<Display> primaryScreen() const;
    static bool hasNotch(const Display& display);
    void updateScreenSummary();
    std::optional<Url> savedOriginalWallpaperURL() const;
    void checkForChanges();
    // Whether the desktop's change notices are being followed (besides the poll).
    bool isWatchingChanges() const { return isWatchingChanges_; }
    // The generated picture this process last set, if any.
    const std::optional<Url>& generatedWallpaperURL() const { return generatedWallpaperURL_; }
    // Whether a restore that could not land is being tried again at every check.
    bool isRestorePending() const { return isRestorePending_; }

private:
    WallpaperController(DesktopServices services,
                        std::shared_ptr<const WallpaperProcessor> processor);
    void start();
    void startMonitoring();
    void pictureMayHaveChanged();
    void notify();
    void setIsEnabled(bool value);
    void setIsBusy(bool value);
    void setStatusMessage(const std::string& value);
    void setLaunchAtLoginField(bool value);
    void setScreenSummary(const std::string& value);
    void startRenderingJob(const WallpaperProcessingRequest& request, const Display& display,
                           const Url& shownAtStart);
    void finishRenderingJob(const ProcessingResult& result, const Display& display,
                            const Url& shownAtStart);
    bool userChosePictureDuringRender(const Display& display, const Url& shownAtStart);
    DesktopPictureOptions recordedOriginalOptions() const;
    bool recordOriginal(const Url& current, const Display& display);
    void noteAppliedSettings(const Display& display);
    void noteUserSettingsChanges(const Display& display);
    bool restoreLanded(const Display& display, const std::optional<NativePictureSettings>& saved,
                       const Url& original);
    bool shouldRetryRestore(const Display& display);

    std::function<void()> onChange_;
    bool isEnabled_ = false;
    bool isBusy_ = false;
    std::string statusMessage_;
    bool hasError_ = false;
    bool launchAtLogin_ = false;
    std::string screenSummary_;
    DesktopServices services_;
    std::shared_ptr<const WallpaperProcessor> processor_;
    std::shared_ptr<RepeatingTimer> pollTimer_;
    std::optional<Url> generatedWallpaperURL_;
    bool isWatchingChanges_ = false;
    bool isRestorePending_ = false;
    // What the desktop held at the last check while the processed picture showed.
    struct DesktopSeen {
        std::optional<DesktopPictureOptions> options;
        std::optional<NativePictureSettings> settings;
        friend bool operator==(const DesktopSeen&, const DesktopSeen&) = default;
    };
    std::optional<DesktopSeen> lastSeen_;
    std::uint64_t changeNotices_ = 0;
};

}  // namespace quillhaven
