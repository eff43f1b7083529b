#include "platform/xdg_autostart_login_item.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>
#include <QTextStream>
#include <filesystem>
#include <system_error>

#include "core/app_paths.h"
#include "core/whole_file_save.h"

namespace quillhaven {

namespace {

QString qPath(const std::string& path) {
    return QString::fromStdString(path);
}

std::string runningProgramPath() {
    if (QCoreApplication::instance()) {
        return QCoreApplication::applicationFilePath().toStdString();
    }
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

// Whether the [Desktop Entry] group of the file switches the entry off.
bool isSwitchedOff(QFile& file) {
    QTextStream stream(&file);
    bool inMainGroup = false;
    while (!stream.atEnd()) {
        const QString line = stream.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inMainGroup || equals < 0) {
            continue;
        }
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if ((key == QLatin1String("Hidden") && value == QLatin1String("true")) ||
            (key == QLatin1String("X-GNOME-Autostart-enabled") &&
             value == QLatin1String("false"))) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string desktopEntryExecArgument(const std::string& program) {
    static const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
    const bool needsQuotes = program.find_first_of(reserved) != std::string::npos;
    std::string argument;
    if (needsQuotes) {
        argument += '"';
    }
    for (char c : program) {
        if (needsQuotes && (c == '"' || c == '`' || c == '$' || c == '\\')) {
            argument += '\\';
        }
        if (c == '%') {
            argument += '%';  // a lone % would start a field code
        }
        argument += c;
    }
    if (needsQuotes) {
        argument += '"';
    }
    // The Exec value is itself a string value, whose own escapes come on top.
    std::string value;
    for (char c : argument) {
        switch (c) {
            case '\\':
                value += "\\\\";
                break;
            case '\n':
                value += "\\n";
                break;
            case '\t':
                value += "\\t";
                break;
            case '\r':
                value += "\\r";
                break;
            default:
                value += c;
        }
    }
    return value;
}

XdgAutostartLoginItem::XdgAutostartLoginItem(std::string desktopFilePath,
                                             std::string executablePath)
    : desktopFilePath_(std::move(desktopFilePath)), executablePath_(std::move(executablePath)) {}

std::string XdgAutostartLoginItem::installedProgramPath() {
#ifdef QUILLHAVEN_INSTALLED_PROGRAM
    return QUILLHAVEN_INSTALLED_PROGRAM;
#else
    return {};
#endif
}

XdgAutostartLoginItem XdgAutostartLoginItem::forProgram(const Environment& environment,
                                                        std::string programPath,
                                                        const std::string& installedProgram) {
    std::string desktopFile = app_paths::autostartEntry(environment);
    if (auto appImage = environment.nonEmptyValue("APPIMAGE")) {
        return XdgAutostartLoginItem(std::move(desktopFile), *appImage);
    }
    if (programPath.empty()) {
        programPath = runningProgramPath();
    }
    std::error_code sameFileError;
    if (!installedProgram.empty() &&
        std::filesystem::equivalent(programPath, installedProgram, sameFileError)) {
        return XdgAutostartLoginItem(std::move(desktopFile), installedProgram);
    }
    std::error_code error;
    const auto absolute = std::filesystem::absolute(programPath, error);
    return XdgAutostartLoginItem(std::move(desktopFile), error ? programPath : absolute.string());
}

std::string XdgAutostartLoginItem::desktopEntry() const {
    // After-the-panel keys: a tray icon needs the panel's tray to exist when it starts.
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Version=1.0\n"
           "Name=Quillhaven\n"
           "Comment=Hides the camera notch in the desktop picture\n"
           "Comment[ja]=ノッチを壁紙になじませます\n"
           "Exec=" +
           desktopEntryExecArgument(executablePath_) +
           "\n"
           "Terminal=false\n"
           "NoDisplay=true\n"
           "X-GNOME-Autostart-enabled=true\n"
           "X-GNOME-Autostart-Delay=3\n"
           "X-KDE-autostart-after=panel\n"
           "X-KDE-autostart-phase=2\n"
           "X-LXQt-Need-Tray=true\n";
}

Outcome XdgAutostartLoginItem::registerItem() {
    const std::filesystem::path file(desktopFilePath_);
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error) {
        return Outcome::failure(file.parent_path().string() + ": " + error.message());
    }
    QSaveFile saveFile(qPath(desktopFilePath_));
    if (!saveFile.open(QIODevice::WriteOnly)) {
        return Outcome::failure(desktopFilePath_ + ": " + saveFile.errorString().toStdString());
    }
    const std::string entry = desktopEntry();
    saveFile.write(entry.data(), static_cast<qint64>(entry.size()));
    if (const Outcome saved = commitWholeFile(saveFile); !saved.succeeded()) {
        return Outcome::failure(desktopFilePath_ + ": " + saved.errorDescription());
    }
    return Outcome::success();
}

Outcome XdgAutostartLoginItem::unregisterItem() {
    std::error_code error;
    if (std::filesystem::is_directory(desktopFilePath_, error)) {
        return Outcome::failure(desktopFilePath_ + ": " +
                                std::make_error_code(std::errc::is_a_directory).message());
    }
    std::filesystem::remove(desktopFilePath_, error);
    // An entry that is already gone (or whose folder cannot exist) is the wished state.
    if (error && error != std::errc::no_such_file_or_directory &&
        error != std::errc::not_a_directory) {
        return Outcome::failure(desktopFilePath_ + ": " + error.message());
    }
    return Outcome::success();
}

LoginItemStatus XdgAutostartLoginItem::status() {
    QFile file(qPath(desktopFilePath_));
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return LoginItemStatus::notRegistered;
    }
    return isSwitchedOff(file) ? LoginItemStatus::notRegistered : LoginItemStatus::enabled;
}

}  // namespace quillhaven
