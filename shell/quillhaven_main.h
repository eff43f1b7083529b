#pragma once

// The process entry: one application object and one delegate for the life of the process.

#include <memory>

namespace quillhaven {

class AppDelegate;

namespace QuillhavenMain {

// The only strong reference to the delegate. Set once by main() and never cleared.
inline std::shared_ptr<AppDelegate> retainedDelegate;

// Runs the app: silences Qt's own messages, makes sure only one instance runs (a second one
// returns 0 at once, touching nothing), creates the application object and the delegate,
// and runs the event loop. Returns when the loop ends, which only a quit command or the
// self-test causes. Qt needs the argument vector, so it is passed in.
int main(int& argc, char** argv);

}  // namespace QuillhavenMain
}  // namespace quillhaven
