#pragma once

// The login item as an XDG autostart entry: $XDG_CONFIG_HOME/autostart/quillhaven.desktop.
// Registering writes the entry (atomically), unregistering removes it, and the status is
// read from the file each time, so a change made in the desktop's settings (which hide an
// entry with Hidden=true or X-GNOME-Autostart-enabled=false) shows at the next query.

#include <string>

#include "controller/desktop_services.h"

namespace quillhaven {

class Environment;

class XdgAutostartLoginItem : public LoginItemService {
public:
    // `executablePath` is what the entry starts: an absolute path.
    XdgAutostartLoginItem(std::string desktopFilePath, std::string executablePath);

    // The entry for this process: $XDG_CONFIG_HOME/autostart/quillhaven.desktop, starting
    // $APPIMAGE when the program runs from an AppImage; else `installedProgram` when
    // `programPath` (the running program when empty) is that same file, that is when it
    // runs from its install prefix; else the absolute `programPath`, as from a build folder.
    // The installed path is kept as installed, so an entry still works after a symbolic
    // link in it is pointed elsewhere (a package upgrade, a stow folder).
    static XdgAutostartLoginItem forProgram(const Environment& environment,
                                            std::string programPath = {},
                                            const std::string& installedProgram =
                                                installedProgramPath());

    // Where `cmake --install` puts the program: <prefix>/bin/quillhaven ("" when unknown).
    static std::string installedProgramPath();

    const std::string& desktopFilePath() const { return desktopFilePath_; }
    const std::string& executablePath() const { return executablePath_; }

    // The text of the entry that registering writes.
    std::string desktopEntry() const;

    Outcome registerItem() override;
    Outcome unregisterItem() override;
    // enabled when the entry exists and is not switched off; notRegistered otherwise.
    LoginItemStatus status() override;

private:
    std::string desktopFilePath_;
    std::string executablePath_;
};

// The program as one argument of an Exec line, quoted when it holds a reserved character,
// with the escapes of a string value applied.
std::string desktopEntryExecArgument(const std::string& program);

}  // namespace quillhaven
