// Without a tray the app shows a window with the menu's entries; with one it never does.

#include <QFrame>
#include <QLabel>
#include <QToolButton>

#include "shell/command_window.h"
#include "tests/shell/shell_fixture.h"

namespace quillhaven::testing {
namespace {

using CommandWindowTest = ShellTest;

// The window's entries top to bottom, in the menu's terms.
std::vector<MenuEntry> windowEntries(const QWidget& window) {
    std::vector<MenuEntry> entries;
    for (const QObject* child : window.children()) {
        if (const auto* button = qobject_cast<const QToolButton*>(child)) {
            entries.push_back(MenuEntry{button->text(), false, button->isChecked(),
                                        button->isEnabled()});
        } else if (const auto* label = qobject_cast<const QLabel*>(child)) {
            entries.push_back(MenuEntry{label->text(), false, false, false});
        } else if (const auto* line = qobject_cast<const QFrame*>(child);
                   line && line->frameShape() == QFrame::HLine) {
            entries.push_back(separator());
        }
    }
    return entries;
}

TEST_F(CommandWindowTest, WithoutATrayTheWindowShowsTheMenuAndDoesWhatItDoes) {
    launch();
    scheduler().advanceBy(AppDelegate::noTrayGrace - std::chrono::milliseconds(1));
    EXPECT_EQ(delegate->commandWindow(), nullptr) << "a tray may still come";
    scheduler().advanceBy(std::chrono::milliseconds(1));
    ASSERT_NE(delegate->commandWindow(), nullptr);
    const QWidget& window = *delegate->commandWindow();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(windowEntries(window), menuEntries());

    // Choosing the switch in the window is choosing it in the menu.
    for (QObject* child : window.children()) {
        auto* button = qobject_cast<QToolButton*>(child);
        if (button && button->defaultAction() == &delegate->effectToggleItem()) {
            button->click();
        }
    }
    finishRender();
    EXPECT_TRUE(controller().isEnabled());
    scheduler().runUntilIdle();
    EXPECT_EQ(windowEntries(window), menuEntries());
    EXPECT_TRUE(window.actions().contains(&delegate->refreshItem())) << "Ctrl+R works there";
}

TEST_F(CommandWindowTest, ASecondLaunchShowsTheWindowOnlyWithoutATray) {
    trayShown = true;
    launch();
    scheduler().advanceBy(AppDelegate::noTrayGrace);
    delegate->launchedAgain();
    EXPECT_EQ(delegate->commandWindow(), nullptr);

    trayShown = false;
    delegate->launchedAgain();
    ASSERT_NE(delegate->commandWindow(), nullptr);
    EXPECT_TRUE(delegate->commandWindow()->isVisible());
}

}  // namespace
}  // namespace quillhaven::testing
