#include "shell/app_delegate.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include "core/translation.h"
#include "shell/command_window.h"
#include "shell/menu_bar_icon.h"
#include "shell/menu_titles.h"
#include "shell/status_item.h"

namespace quillhaven {
namespace {

// A titled item with no action yet. Switches carry a check mark; a shortcut is the Ctrl
// combination of a single letter.
std::unique_ptr<QAction> makeItem(const char* title, const char* shortcut = nullptr,
                                  bool isSwitch = false) {
    auto item = std::make_unique<QAction>(QString::fromStdString(translated(title)));
    item->setCheckable(isSwitch);
    if (shortcut != nullptr) {
        item->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
    }
    return item;
}

}  // namespace

std::shared_ptr<AppDelegate> AppDelegate::create(
    DesktopServices services, ApplicationHooks hooks,
    std::shared_ptr<const WallpaperProcessor> processor) {
    return std::shared_ptr<AppDelegate>(
        new AppDelegate(std::move(services), std::move(hooks), std::move(processor)));
}

AppDelegate::AppDelegate(DesktopServices services, ApplicationHooks hooks,
                         std::shared_ptr<const WallpaperProcessor> processor)
    : hooks_(std::move(hooks)), scheduler_(services.scheduler) {
    // The controller applies at once when the persisted flag is on, before the menu exists;
    // nobody listens yet, and the first menu update reads whatever state it has reached.
    controller_ = WallpaperController::create(std::move(services), std::move(processor));
    menu_ = std::make_unique<QMenu>();
    titleItem_ = makeItem(menu_titles::appName);
    screenItem_ = makeItem("");
    effectToggleItem_ = makeItem(menu_titles::toggleEffect, nullptr, true);
    statusTextItem_ = makeItem("");
    loginToggleItem_ = makeItem(menu_titles::launchAtLogin, nullptr, true);
    refreshItem_ = makeItem(menu_titles::reprocess, "Ctrl+R");
    quitKeepingWallpaperItem_ = makeItem(menu_titles::quitKeepingWallpaper, "Ctrl+Q");
    restoreAndQuitItem_ = makeItem(menu_titles::restoreAndQuit);
    menuRefreshScheduled_ = false;
}

AppDelegate::~AppDelegate() {
    // A render still in flight keeps the controller alive; it must not call back into a
    // delegate that is gone.
    controller_->setOnChange(nullptr);
}

void AppDelegate::applicationDidFinishLaunching() {
    // Qt menus have no automatic enabling: each item's enabled flag is what was last set.
    titleItem_->setEnabled(false);
    screenItem_->setEnabled(false);
    statusTextItem_->setEnabled(false);

    const std::weak_ptr<AppDelegate> weakSelf = weak_from_this();
    const auto wire = [&weakSelf](QAction& item, void (AppDelegate::*action)()) {
        QObject::connect(&item, &QAction::triggered, &item, [weakSelf, action, &item] {
            // Qt flips a check mark by itself when the item is chosen. The mark shows the
            // controller's state and only the refresh writes it, so the flip is undone.
            if (item.isCheckable()) {
                item.setChecked(!item.isChecked());
            }
            if (const auto self = weakSelf.lock()) {
                ((*self).*action)();
            }
        });
    };
    wire(*effectToggleItem_, &AppDelegate::toggleEffect);
    wire(*loginToggleItem_, &AppDelegate::toggleLaunchAtLogin);
    wire(*refreshItem_, &AppDelegate::refreshWallpaper);
    wire(*quitKeepingWallpaperItem_, &AppDelegate::quitKeepingWallpaper);
    wire(*restoreAndQuitItem_, &AppDelegate::restoreAndQuit);

    menu_->addAction(titleItem_.get());
    menu_->addAction(screenItem_.get());
    menu_->addSeparator();
    menu_->addAction(effectToggleItem_.get());
    menu_->addAction(statusTextItem_.get());
    menu_->addSeparator();
    menu_->addAction(loginToggleItem_.get());
    menu_->addAction(refreshItem_.get());
    menu_->addSeparator();
    menu_->addAction(quitKeepingWallpaperItem_.get());
    menu_->addAction(restoreAndQuitItem_.get());

    statusItem_ = std::make_unique<StatusItem>(menu_.get());
    // Without a tray (and never during the unattended self-test) the window stands in.
    if (!hooks_.arguments.contains(QString::fromLatin1(selfTestArgument), Qt::CaseSensitive)) {
        scheduler_->postAfter(noTrayGrace, [weakSelf] {
            if (const auto self = weakSelf.lock(); self && !self->hasTray()) {
                self->showCommandWindow();
            }
        });
    }

    controller_->setOnChange([weakSelf] {
        if (const auto self = weakSelf.lock()) {
            self->requestMenuRefresh();
        }
    });

    updateMenuState();

    if (hooks_.arguments.contains(QString::fromLatin1(selfTestArgument), Qt::CaseSensitive)) {
        runSelfTest();
    }
}

void AppDelegate::requestMenuRefresh() {
    if (menuRefreshScheduled_) {
        return;
    }
    menuRefreshScheduled_ = true;
    scheduler_->post([weakSelf = weak_from_this()] {
        if (const auto self = weakSelf.lock()) {
            self->menuRefreshScheduled_ = false;
            self->updateMenuState();
        }
    });
}

void AppDelegate::updateMenuState() {
    const WallpaperController& state = *controller_;
    if (statusItem_) {
        statusItem_->setImage(MenuBarIcon::make(state.isEnabled()));
    }
    screenItem_->setText(QString::fromStdString(state.screenSummary()));
    effectToggleItem_->setChecked(state.isEnabled());
    effectToggleItem_->setEnabled(!state.isBusy());
    statusTextItem_->setText(QString::fromStdString(state.statusMessage()));
    loginToggleItem_->setChecked(state.launchAtLogin());
    loginToggleItem_->setEnabled(!state.isBusy());
    refreshItem_->setEnabled(state.isEnabled() && !state.isBusy());
    restoreAndQuitItem_->setEnabled(!state.isBusy());
    // A copy: an observer may add another.
    const auto observers = stateObservers_;
    for (const auto& observer : observers) {
        observer();
    }
}

void AppDelegate::addStateObserver(std::function<void()> observer) {
    stateObservers_.push_back(std::move(observer));
}

// Choosing a checkable item flips its mark at once. The menu is redrawn from the state
// afterwards even when the state did not move (a toggle refused while busy), so the mark
// never shows what did not happen.
bool AppDelegate::hasTray() const {
    if (hooks_.hasTray) {
        return hooks_.hasTray();
    }
    return statusItem_ && statusItem_->isShown();
}

void AppDelegate::launchedAgain() {
    if (!hasTray()) {
        showCommandWindow();
    }
}

void AppDelegate::showCommandWindow() {
    if (!hooks_.windowsCanShow) {
        return;
    }
    if (!commandWindow_) {
        commandWindow_ = std::make_unique<CommandWindow>(
            std::vector<QAction*>{titleItem_.get(), screenItem_.get(), nullptr,
                                  effectToggleItem_.get(), statusTextItem_.get(), nullptr,
                                  loginToggleItem_.get(), refreshItem_.get(), nullptr,
                                  quitKeepingWallpaperItem_.get(), restoreAndQuitItem_.get()},
            std::vector<QAction*>{titleItem_.get(), screenItem_.get(), statusTextItem_.get()});
    }
    commandWindow_->show();
    commandWindow_->raise();
    commandWindow_->activateWindow();
}

void AppDelegate::toggleEffect() {
    controller_->setEffectEnabled(!controller_->isEnabled());
    requestMenuRefresh();
}

void AppDelegate::toggleLaunchAtLogin() {
    controller_->setLaunchAtLogin(!controller_->launchAtLogin());
    requestMenuRefresh();
}

void AppDelegate::refreshWallpaper() {
    if (controller_->isEnabled()) {
        controller_->applyCurrentWallpaper(true);
    }
}

void AppDelegate::quitKeepingWallpaper() {
    terminate();
}

void AppDelegate::restoreAndQuit() {
    controller_->restoreOriginalWallpaper();
    terminate();
}

void AppDelegate::terminate() {
    if (hooks_.terminate) {
        hooks_.terminate();
    }
}

}  // namespace quillhaven
