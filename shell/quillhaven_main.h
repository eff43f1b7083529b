#pragma once

// The process entry: one application object and one delegate for the life of the process.

#include <memory>

namespace quillhaven {

class AppDelegate;

namespace QuillhavenMain {

// The only strong reference to the delegate. Set once by main() and never cleared.
inline std::shared_ptr<AppDelegate> retainedDelegate;

// Runs the program and returns its exit status. --help, --version and bad arguments answer
// at once (0, 0, 2); --status and --reprocess go to the running instance over D-Bus. Else it
// makes sure only one instance runs: a second bare launch returns 0 at once, touching
// nothing, while --enable and --disable are passed on to the first. The instance creates
// the application object, the delegate and the D-Bus service, and runs the event loop until
// a quit command or the self-test ends it. Every logging category is silent unless
// QT_LOGGING_RULES switches it on. Qt needs the argument vector, so it is passed in.
int main(int& argc, char** argv);

}  // namespace QuillhavenMain
}  // namespace quillhaven
