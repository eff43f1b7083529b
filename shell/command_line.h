#pragma once

// The command line of `quillhaven`: what the process is asked to do, and the texts it
// prints for --help, --version and a bad argument.

#include <QStringList>

namespace quillhaven::CommandLine {

enum class Command {
    // No argument: run the tray app (a second launch leaves quietly).
    run,
    // "--self-test" anywhere: one unattended apply-and-restore cycle.
    selfTest,
    help,
    version,
    // Commands for the running instance, over D-Bus.
    enable,
    disable,
    reprocess,
    status,
    // An unknown option, a stray argument or two commands at once.
    usageError,
};

struct Parsed {
    Command command = Command::run;
    // For a usage error: the argument that was not understood.
    QString offendingArgument;
};

// Reads the argument list, program name first. "--self-test" is matched exactly anywhere
// and wins over everything else, as it always has.
Parsed parse(const QStringList& arguments);

// Whether the command talks to a running instance.
bool isInstanceCommand(Command command);

QString usageText();
QString helpText();
QString versionText();

}  // namespace quillhaven::CommandLine
