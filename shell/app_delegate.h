#pragma once

// The application delegate: owns the controller, the tray icon, its menu and the eight
// menu items. It assembles the menu when launching finishes, mirrors the controller's
// state in the menu (one coalesced refresh per turn of the main loop), turns menu choices
// into controller operations, and runs the unattended self-test cycle.

#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "controller/desktop_services.h"
#include "controller/wallpaper_controller.h"
#include "render/wallpaper_processor.h"

class QAction;
class QMenu;

namespace quillhaven {

class CommandWindow;
class StatusItem;

// What the delegate needs of the application object besides the tray.
struct ApplicationHooks {
    // Ends the process with status 0. The app leaves its event loop; tests record the call.
    std::function<void()> terminate;
    // The self-test's verdict, given just before it terminates: 0 when the effect was
    // applied and then restored, otherwise 1 with the reason in English.
    std::function<void(int status, const QString& reason)> reportSelfTest;
    // The process's argument list, program name included.
    QStringList arguments;
    // Whether a tray shows the icon; Qt's answer when not given.
    std::function<bool()> hasTray;
    // False where no window can be seen (the offscreen platform of a headless run): the
    // window that stands in for a missing tray is then never made.
    bool windowsCanShow = true;
};

class AppDelegate : public std::enable_shared_from_this<AppDelegate> {
public:
    // The command-line switch that runs one unattended apply-and-restore cycle.
    static constexpr const char* selfTestArgument = "--self-test";
    // How many one-second checks the self-test waits for a render before giving up.
    static constexpr int selfTestChecks = 30;
    static constexpr Scheduler::Duration selfTestCheckInterval = std::chrono::seconds(1);
    // How long the app waits for a tray before it shows its window instead.
    static constexpr Scheduler::Duration noTrayGrace = std::chrono::seconds(5);

    // Builds the controller around the processor (which names the generated folder); the
    // controller runs its own start-up here. Then the empty menu and its eight items.
    static std::shared_ptr<AppDelegate> create(
        DesktopServices services, ApplicationHooks hooks,
        std::shared_ptr<const WallpaperProcessor> processor);

    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;
    ~AppDelegate();

    // Wires and assembles the menu, puts the tray icon up, follows the controller's changes,
    // shows the current state once, and starts the self-test when the arguments ask for it.
    // Called once, after the event loop has started.
    void applicationDidFinishLaunching();

    // Another launch of the app (from the app grid, say) while this one runs: without a tray
    // the window comes up, so the app is never out of reach; with one, nothing happens.
    void launchedAgain();

    // ---- The five menu actions ----
    void toggleEffect();
    void toggleLaunchAtLogin();
    void refreshWallpaper();
    void quitKeepingWallpaper();
    void restoreAndQuit();

    // ---- Read access for the entry point and for tests ----
    WallpaperController& controller() const { return *controller_; }
    QMenu& menu() const { return *menu_; }
    // Empty until launching finishes.
    StatusItem* statusItem() const { return statusItem_.get(); }
    // Empty until the app has shown its window.
    CommandWindow* commandWindow() const { return commandWindow_.get(); }
    QAction& titleItem() const { return *titleItem_; }
    QAction& screenItem() const { return *screenItem_; }
    QAction& effectToggleItem() const { return *effectToggleItem_; }
    QAction& statusTextItem() const { return *statusTextItem_; }
    QAction& loginToggleItem() const { return *loginToggleItem_; }
    QAction& refreshItem() const { return *refreshItem_; }
    QAction& quitKeepingWallpaperItem() const { return *quitKeepingWallpaperItem_; }
    QAction& restoreAndQuitItem() const { return *restoreAndQuitItem_; }
    bool menuRefreshScheduled() const { return menuRefreshScheduled_; }

    // Called after every menu refresh, that is at most once per turn of the main loop after
    // the controller changed, and once when launching finishes. Lets other views of the
    // same state (the D-Bus service) follow it.
    void addStateObserver(std::function<void()> observer);

private:
    friend struct AppDelegateProbe;  // lets tests drive the private steps directly

    AppDelegate(DesktopServices services, ApplicationHooks hooks,
                std::shared_ptr<const WallpaperProcessor> processor);

    // Queues one menu refresh unless one is queued already.
    void requestMenuRefresh();
    // Brings the icon and every dynamic item into line with the controller.
    void updateMenuState();
    // Starts the unattended cycle on a later turn of the main loop.
    void runSelfTest();
    // Waits (one check a second) until the controller is idle, switches the effect off,
    // and quits a second later; gives up without restoring when the count runs out.
    void finishSelfTestWhenReady(int remainingChecks);
    void terminate();
    bool hasTray() const;
    void showCommandWindow();

    ApplicationHooks hooks_;
    std::shared_ptr<Scheduler> scheduler_;
    std::shared_ptr<WallpaperController> controller_;
    std::unique_ptr<StatusItem> statusItem_;
    std::unique_ptr<CommandWindow> commandWindow_;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QAction> titleItem_;
    std::unique_ptr<QAction> screenItem_;
    std::unique_ptr<QAction> effectToggleItem_;
    std::unique_ptr<QAction> statusTextItem_;
    std::unique_ptr<QAction> loginToggleItem_;
    std::unique_ptr<QAction> refreshItem_;
    std::unique_ptr<QAction> quitKeepingWallpaperItem_;
    std::unique_ptr<QAction> restoreAndQuitItem_;
    bool menuRefreshScheduled_ = false;
    std::vector<std::function<void()>> stateObservers_;
};

}  // namespace quillhaven
