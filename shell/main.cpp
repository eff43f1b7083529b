#include <cstdio>
#include <cstdlib>

#include "shell/quillhaven_main.h"

int main(int argc, char** argv) {
    const int status = quillhaven::QuillhavenMain::main(argc, argv);
    // Quitting ends the process here: no destructor runs afterwards, so a render still in
    // flight cannot outlive the objects it reports to. Preferences are written at once on
    // every change, so nothing is pending.
    std::fflush(nullptr);
    std::_Exit(status);
}
