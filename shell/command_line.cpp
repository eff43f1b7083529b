#include "shell/command_line.h"


namespace quillhaven::CommandLine {

Parsed parse(const QStringList& arguments) {
    const QString selfTest = QStringLiteral("--self-test");
    if (arguments.mid(1).contains(selfTest, Qt::CaseSensitive)) {
        return {Command::selfTest, {}};
    }
    static const std::pair<const char*, Command> names[] = {
        {"--help", Command::help},       {"-h", Command::help},
        {"--version", Command::version}, {"--enable", Command::enable},
        {"--disable", Command::disable}, {"--reprocess", Command::reprocess},
        {"--status", Command::status},
    };
    Parsed parsed;
    bool seenCommand = false;
    for (const QString& argument : arguments.mid(1)) {
        Command found = Command::usageError;
        for (const auto& [name, command] : names) {
            if (argument == QLatin1String(name)) {
                found = command;
            }
        }
        // Two commands at once are refused, except a repeated one.
        if (found == Command::usageError || (seenCommand && found != parsed.command)) {
            return {Command::usageError, argument};
        }
        parsed.command = found;
        seenCommand = true;
    }
    return parsed;
}

bool isInstanceCommand(Command command) {
    return command == Command::enable || command == Command::disable ||
           command == Command::reprocess || command == Command::status;
}

QString usageText() {
    return QStringLiteral(
        "Usage: quillhaven [--enable | --disable | --reprocess | --status | --self-test]\n"
        "       quillhaven --help | --version\n");
}

QString helpText() {
    return usageText() + QStringLiteral(
        "\n"
        "Without an option, starts the tray app (nothing happens when it already runs).\n"
        "\n"
        "Commands for the running Quillhaven (over D-Bus):\n"
        "  --enable      switch the effect on; starts Quillhaven first when none runs\n"
        "  --disable     switch the effect off and put your own wallpaper back; starts\n"
        "                Quillhaven first when none runs\n"
        "  --reprocess   process the current wallpaper again (only while the effect is on)\n"
        "  --status      print the status line and the notched panel's summary\n"
        "\n"
        "  --self-test   run one unattended apply-and-restore cycle, then quit\n"
        "  -h, --help    show this help and exit\n"
        "  --version     show the version and exit\n"
        "\n"
        "Exit status: 0 when done; 1 when no Quillhaven runs, it cannot be reached or the\n"
        "command failed; 2 on bad arguments; 3 when Quillhaven is busy processing a\n"
        "wallpaper and the command was not carried out.\n");
}

QString versionText() {
    return QStringLiteral("quillhaven %1\n").arg(QLatin1String(QUILLHAVEN_VERSION));
}

}  // namespace quillhaven::CommandLine
