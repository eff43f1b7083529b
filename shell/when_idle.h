#pragma once

// Runs one action as soon as the controller is not busy: at once when it is idle, or else
// after the menu refresh that shows the render's end. Used for --enable and --disable when
// they start the app, since a render begun at start-up would make them do nothing.

#include <functional>
#include <memory>

namespace quillhaven {

class AppDelegate;

// Call after launching has finished.
void runWhenIdle(const std::shared_ptr<AppDelegate>& delegate, std::function<void()> action);

}  // namespace quillhaven
