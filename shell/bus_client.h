#pragma once

// The command-line side of the D-Bus service: sends one command to the running instance,
// waits until it has finished any render the command started, and prints the outcome.

#include "command_line.h"

namespace quillhaven::BusClient {

// Exit statuses of a command.
inline constexpr int done = 0;
inline constexpr int failed = 1;
inline constexpr int busy = 3;

// Runs --enable, --disable, --reprocess or --status against the running instance. Needs an
// application object. Prints the status line (and for --status the notch summary) on
// stdout, and problems on stderr.
int run(CommandLine::Command command);

}  // namespace quillhaven::BusClient
