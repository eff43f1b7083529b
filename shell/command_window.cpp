#include "shell/command_window.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace quillhaven {

namespace {

QLabel* lineFor(QAction* action, QWidget* parent) {
    auto* label = new QLabel(action->text(), parent);
    QObject::connect(action, &QAction::changed, label,
                     [label, action] { label->setText(action->text()); });
    return label;
}

QToolButton* buttonFor(QAction* action, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // Reachable with Tab and chosen with Space, as a menu entry is with the arrow keys.
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

}  // namespace

CommandWindow::CommandWindow(const std::vector<QAction*>& entries,
                             const std::vector<QAction*>& lines) {
    setWindowTitle(QStringLiteral("Quillhaven"));
    // Wide enough for the title and the longest line (a display summary or an error).
    setMinimumWidth(320);
    auto* layout = new QVBoxLayout(this);
    for (QAction* action : entries) {
        if (action == nullptr) {
            auto* separator = new QFrame(this);
            separator->setFrameShape(QFrame::HLine);
            layout->addWidget(separator);
        } else if (std::find(lines.begin(), lines.end(), action) != lines.end()) {
            layout->addWidget(lineFor(action, this));
        } else {
            layout->addWidget(buttonFor(action, this));
            // The menu's shortcuts (Ctrl+R, Ctrl+Q) work in the window too.
            addAction(action);
        }
    }
}

}  // namespace quillhaven
