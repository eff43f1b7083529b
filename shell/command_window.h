#pragma once

// The app's interface where no tray shows its icon (GNOME without an AppIndicator
// extension, say): a small window with the menu's entries in the menu's order, made from
// the very same actions, so texts, check marks, enabled states and shortcuts always match
// the menu and choosing an entry does exactly what the menu does.

#include <QWidget>
#include <vector>

class QAction;

namespace quillhaven {

class CommandWindow : public QWidget {
public:
    // One entry per action in order; a null action stands for a separator. Disabled-only
    // actions without a command (the title, the display and status lines) show as text.
    CommandWindow(const std::vector<QAction*>& entries, const std::vector<QAction*>& lines);
};

}  // namespace quillhaven
