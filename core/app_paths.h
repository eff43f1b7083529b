#pragma once

// Every place on disk Quillhaven reads or writes, in one list. Each follows the XDG base
// directory rules for the given environment, so tests and the app agree on the layout and
// a made-up environment moves all of it at once.

#include <string>
#include <vector>

#include "core/environment.h"

namespace quillhaven::app_paths {

// The XDG base folders: the variable when it holds an absolute path, otherwise the
// default under the home folder ($HOME, or the account's home when HOME is unset).
std::string xdgConfigHome(const Environment& environment);
std::string xdgDataHome(const Environment& environment);
// Where shared data is looked up, most important first: $XDG_DATA_HOME, then each absolute
// folder of $XDG_DATA_DIRS (/usr/local/share and /usr/share when it is unset or empty).
std::vector<std::string> xdgDataFolders(const Environment& environment);

// $XDG_CONFIG_HOME/Quillhaven and $XDG_DATA_HOME/Quillhaven.
std::string configFolder(const Environment& environment);
std::string dataFolder(const Environment& environment);

// The preferences: configFolder/Quillhaven.conf.
std::string preferencesFile(const Environment& environment);
// The processed pictures: dataFolder/Generated.
std::string generatedFolder(const Environment& environment);
// The virtual desktop: configFolder/virtual-desktop.json; its sample picture in dataFolder.
std::string virtualDesktopFile(const Environment& environment);
// The GNOME backend's record of the user's own background values:
// configFolder/gnome-background.conf.
std::string gnomeBackgroundRecord(const Environment& environment);
// Where KDE Plasma keeps its desktops' settings, the wallpaper among them:
// $XDG_CONFIG_HOME/plasma-org.kde.plasma.desktop-appletsrc.
std::string plasmaAppletsConfig(const Environment& environment);
// KDE's global settings (colour scheme, look-and-feel): $XDG_CONFIG_HOME/kdeglobals.
std::string kdeGlobals(const Environment& environment);
// The login item: $XDG_CONFIG_HOME/autostart/quillhaven.desktop.
std::string autostartEntry(const Environment& environment);
// The single-instance lock: in $XDG_RUNTIME_DIR (per user, cleared at logout) when that is
// an absolute path, else in configFolder.
std::string instanceLock(const Environment& environment);

}  // namespace quillhaven::app_paths
