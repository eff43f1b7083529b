#pragma once

// A delegate on in-memory doubles: a notched display showing a small real picture, a
// manual scheduler whose background work runs only when the test says so, a generated
// folder in a fresh temporary directory, and a terminate hook that only counts.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "controller/messages.h"
#include "controller/preference_keys.h"
#include "shell/app_delegate.h"
#include "tests/doubles/fake_desktop.h"

namespace quillhaven {

// Reaches the delegate's private steps.
struct AppDelegateProbe {
    static void requestMenuRefresh(AppDelegate& delegate) { delegate.requestMenuRefresh(); }
    static void finishSelfTestWhenReady(AppDelegate& delegate, int remainingChecks) {
        delegate.finishSelfTestWhenReady(remainingChecks);
    }
};

namespace testing {

// One menu entry as the user sees it.
struct MenuEntry {
    QString title;
    bool isSeparator = false;
    bool isChecked = false;
    bool isEnabled = false;
    friend bool operator==(const MenuEntry&, const MenuEntry&) = default;
};

inline std::ostream& operator<<(std::ostream& out, const MenuEntry& entry) {
    if (entry.isSeparator) {
        return out << "----";
    }
    return out << '"' << entry.title.toStdString() << '"' << (entry.isChecked ? " [x]" : " [ ]")
               << (entry.isEnabled ? " enabled" : " disabled");
}

inline MenuEntry item(const char* title, bool isChecked, bool isEnabled) {
    return MenuEntry{QString::fromUtf8(title), false, isChecked, isEnabled};
}
inline MenuEntry item(const std::string& title, bool isChecked, bool isEnabled) {
    return item(title.c_str(), isChecked, isEnabled);
}
inline MenuEntry separator() {
    return MenuEntry{QString(), true, false, true};
}

// The one application object of the test process, on the offscreen platform. Never
// destroyed, so no widget outlives it.
inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "quillhaven-shell-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* const application = new QApplication(argc, argv);
    (void)application;
}

class ShellTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensureApplication(); }

    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        const QString path = folder.filePath(QStringLiteral("picture.png"));
        QImage picture(60, 40, QImage::Format_RGB32);
        picture.fill(QColor(40, 120, 200));
        ASSERT_TRUE(picture.save(path));
        pictureURL = Url::fileURLWithPath(path.toStdString());
        desktop.displays->setScreens({display});
        desktop.workspace->setPicture(display.connector, pictureURL, originalOptions);
    }

    // A render left in flight holds the controller, which holds the scheduler that holds
    // the render: let it end so that the cycle is broken and nothing leaks.
    void TearDown() override {
        do {
            scheduler().runUntilIdle();
        } while (scheduler().runBackgroundTasks() > 0);
        scheduler().runUntilIdle();
    }

    // Builds the delegate (the controller starts up here) and finishes launching.
    void launch(QStringList arguments = {QStringLiteral("quillhaven")}) {
        ApplicationHooks hooks;
        hooks.terminate = [this] { ++terminations; };
        hooks.reportSelfTest = [this](int status, const QString& reason) {
            selfTestVerdicts.emplace_back(status, reason);
        };
        hooks.arguments = std::move(arguments);
        hooks.hasTray = [this] { return trayShown; };
        const auto processor = std::make_shared<const WallpaperProcessor>(
            Url::directoryURLWithPath(folder.filePath(QStringLiteral("Generated")).toStdString()));
        delegate = AppDelegate::create(desktop.services(), std::move(hooks), processor);
        delegate->applicationDidFinishLaunching();
    }

    WallpaperController& controller() { return delegate->controller(); }
    ManualScheduler& scheduler() { return *desktop.scheduler; }

    // Lets the render in flight finish and its result reach the main loop.
    void finishRender() {
        scheduler().runBackgroundTasks();
        scheduler().runUntilIdle();
    }

    // Switches the effect on and lets everything settle.
    void switchEffectOn() {
        controller().setEffectEnabled(true);
        finishRender();
        ASSERT_TRUE(controller().isEnabled());
    }

    std::vector<MenuEntry> menuEntries() const {
        std::vector<MenuEntry> entries;
        for (const QAction* action : delegate->menu().actions()) {
            if (action->isSeparator()) {
                entries.push_back(separator());
            } else {
                entries.push_back(
                    MenuEntry{action->text(), false, action->isChecked(), action->isEnabled()});
            }
        }
        return entries;
    }

    QTemporaryDir folder;
    Display display = FakeDisplayService::notchedDisplay("builtin", 300, 200, 1, 20);
    DesktopPictureOptions originalOptions{ImageScaling::proportionallyUpOrDown, true, {}};
    Url pictureURL;
    FakeDesktop desktop{ManualScheduler::BackgroundMode::manual};
    int terminations = 0;
    // Whether a tray host shows the icon; the offscreen platform has none.
    bool trayShown = false;
    std::vector<std::pair<int, QString>> selfTestVerdicts;
    std::shared_ptr<AppDelegate> delegate;
};

}  // namespace testing
}  // namespace quillhaven
