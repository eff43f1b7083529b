#pragma once

// The command-line side of the D-Bus service: sends one command to the running instance,
// waits until it has finished any render the command started, and prints the outcome.

#include "shell/command_line.h"

namespace quillhaven::BusClient {

// Exit statuses of a command.
inline constexpr int done = 0;
inline constexpr int failed = 1;
inline constexpr int busy = 3;

// Runs --enable, --disable, --reprocess or --status against the running instance. Needs an
// application object. Prints the status line (and for --status the notch summary) on
// stdout, and problems on stderr. `instanceIsStarting`: another process is known to hold
// the single-instance lock, so its bus name is waited for a few seconds, in case it has
// only just been launched.
int run(CommandLine::Command command, bool instanceIsStarting = false);

// Tells the running instance that the app was launched again (a bare launch), so that one
// without a tray can show its window. Best effort: silent when it cannot be reached.
void announceLaunch();

}  // namespace quillhaven::BusClient
