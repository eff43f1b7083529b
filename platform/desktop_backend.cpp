#include "platform/desktop_backend.h"

#include "controller/color_archive.h"
#include "controller/stored_preferences.h"
#include "core/app_paths.h"
#include "platform/displays/qscreen_display_service.h"
#include "platform/file_change_notifier.h"
#include "platform/gnome/gnome_background_record.h"
#include "platform/gnome/gnome_desktop.h"
#include "platform/gnome/gnome_workspace.h"
#include "platform/ini_preference_store.h"
#include "platform/plasma/plasma_workspace.h"
#include "platform/qt_scheduler.h"
#include "platform/unsupported_desktop.h"
#include "platform/virtual_desktop.h"
#include "platform/xdg_autostart_login_item.h"

namespace quillhaven {

namespace {

bool isHeadless(const Environment& environment) {
    const std::string platform = environment.value("QT_QPA_PLATFORM").value_or("");
    // The platform name comes before any ":options".
    if (platform.substr(0, platform.find(':')) == "offscreen") {
        return true;
    }
    return !environment.nonEmptyValue("WAYLAND_DISPLAY") && !environment.nonEmptyValue("DISPLAY");
}

}  // namespace

DesktopBackendChoice chooseDesktopBackend(const Environment& environment) {
    if (auto requested = environment.nonEmptyValue("QUILLHAVEN_DESKTOP")) {
        if (*requested == "virtual") {
            return {DesktopBackendKind::virtualDesktop, "virtual", "QUILLHAVEN_DESKTOP"};
        }
        if (*requested == "gnome") {
            return {DesktopBackendKind::gnome, "gnome", "QUILLHAVEN_DESKTOP"};
        }
        if (*requested == "plasma") {
            return {DesktopBackendKind::plasma, "plasma", "QUILLHAVEN_DESKTOP"};
        }
        // Real desktop backends add their names here.
        return {DesktopBackendKind::unsupported, *requested,
                "QUILLHAVEN_DESKTOP names an unknown desktop"};
    }
    if (isHeadless(environment)) {
        return {DesktopBackendKind::virtualDesktop, "virtual", "no graphical session"};
    }
    // A graphical session: real desktop backends detect their desktop here.
    if (gnome::isGnomeBasedDesktop(environment.value("XDG_CURRENT_DESKTOP").value_or(""))) {
        return {DesktopBackendKind::gnome, "gnome", "XDG_CURRENT_DESKTOP names a GNOME desktop"};
    }
    // XDG_CURRENT_DESKTOP is "KDE" in a Plasma session.
    if (environment.value("XDG_CURRENT_DESKTOP").value_or("").find("KDE") != std::string::npos) {
        return {DesktopBackendKind::plasma, "plasma", "XDG_CURRENT_DESKTOP names KDE"};
    }
    return {DesktopBackendKind::unsupported, "unsupported",
            "no backend for this graphical session"};
}

DesktopServices makeDesktopServices(const DesktopBackendChoice& choice,
                                    const Environment& environment,
                                    std::shared_ptr<Scheduler> scheduler) {
    DesktopServices services;
    services.defaults = std::make_shared<StoredPreferences>(
        std::make_shared<IniPreferenceStore>(app_paths::preferencesFile(environment)),
        std::make_shared<TextColorArchive>());
    services.loginItem =
        std::make_shared<XdgAutostartLoginItem>(XdgAutostartLoginItem::forProgram(environment));
    services.scheduler = scheduler ? std::move(scheduler) : std::make_shared<QtScheduler>();

    // Each backend supplies the desktop picture and the display list.
    switch (choice.kind) {
        case DesktopBackendKind::virtualDesktop: {
            auto desktop = VirtualDesktop::forEnvironment(environment);
            services.workspace = desktop;
            services.displays = desktop;
            services.changes =
                std::make_shared<FileChangeNotifier>(app_paths::virtualDesktopFile(environment));
            break;
        }
        case DesktopBackendKind::gnome: {
            // GNOME shows one picture on every display; an earlier version's record of the
            // user's light and dark pictures joins the preferences. GSettings signals every
            // change.
            gnome::migrateBackgroundRecord(app_paths::gnomeBackgroundRecord(environment),
                                           *services.defaults);
            auto workspace = std::make_shared<gnome::GnomeWorkspace>();
            services.workspace = workspace;
            services.changes = workspace;
            services.displays = std::make_shared<QScreenDisplayService>();
            break;
        }
        case DesktopBackendKind::plasma: {
            // Each display's picture is its Plasma desktop's image wallpaper; the main
            // display is Plasma's screen 0.
            auto displays = std::make_shared<QScreenDisplayService>();
            // plasmashell saves every wallpaper change to its applets configuration: that
            // file tells when to look, and spares the D-Bus call while it is unchanged.
            const std::string appletsConfig = app_paths::plasmaAppletsConfig(environment);
            services.workspace = std::make_shared<plasma::PlasmaWorkspace>(
                plasma::PlasmaShellClient(QDBusConnection::sessionBus()),
                plasma::screenNumberingFrom(displays), appletsConfig,
                plasma::PackageFolders::forEnvironment(environment));
            services.changes = std::make_shared<FileChangeNotifier>(appletsConfig);
            services.displays = displays;
            break;
        }
        case DesktopBackendKind::unsupported:
            // The real screens, so the menu describes the display truthfully, but a picture
            // that can be neither read nor set.
            services.workspace = std::make_shared<UnsupportedWorkspace>();
            services.displays = std::make_shared<QScreenDisplayService>();
            break;
    }
    return services;
}

DesktopServices makeDesktopServices() {
    const Environment environment = Environment::process();
    return makeDesktopServices(chooseDesktopBackend(environment), environment);
}

}  // namespace quillhaven
