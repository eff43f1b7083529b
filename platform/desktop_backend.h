#pragma once

// The one place that decides which desktop Quillhaven talks to and builds the services the
// controller is handed. The environment variable QUILLHAVEN_DESKTOP names the backend
// ("virtual", "gnome"); when it is unset, the virtual desktop is used wherever there is no
// graphical session (no WAYLAND_DISPLAY and no DISPLAY, or QT_QPA_PLATFORM=offscreen), and
// GNOME when XDG_CURRENT_DESKTOP names it or a desktop built on it.

#include <memory>
#include <string>

#include "controller/desktop_services.h"
#include "core/environment.h"

namespace quillhaven {

enum class DesktopBackendKind {
    // The JSON-file desktop (virtual_desktop.h).
    virtualDesktop,
    // GNOME and the desktops built on it: GSettings (gnome/gnome_workspace.h).
    gnome,
    // KDE Plasma: the shell's wallpaper scripting over D-Bus (plasma/plasma_workspace.h).
    plasma,
    // No backend for this desktop: the picture cannot be read (unsupported_desktop.h).
    unsupported,
};

struct DesktopBackendChoice {
    DesktopBackendKind kind = DesktopBackendKind::unsupported;
    // The backend's name as QUILLHAVEN_DESKTOP spells it.
    std::string name;
    // Why it was chosen, in a few words.
    std::string reason;
};

DesktopBackendChoice chooseDesktopBackend(const Environment& environment);

// The services for that backend: INI preferences, the text colour archive, the XDG
// autostart entry, and `scheduler` (a QtScheduler built here, on the calling thread, when
// none is given; call it on the main thread after the application object exists).
DesktopServices makeDesktopServices(const DesktopBackendChoice& choice,
                                    const Environment& environment,
                                    std::shared_ptr<Scheduler> scheduler = nullptr);

// The services for the running process and its environment.
DesktopServices makeDesktopServices();

}  // namespace quillhaven
