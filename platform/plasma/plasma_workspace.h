#pragma once

// The desktop picture on KDE Plasma: the image wallpaper (org.kde.image) of the desktop on
// the Plasma screen that shows a display, read and written through the shell's scripting.

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controller/desktop_services.h"
#include "core/file_stamp.h"
#include "platform/plasma/plasma_shell_client.h"
#include "platform/plasma/wallpaper_package.h"
#include "platform/plasma/wallpaper_scripts.h"

namespace quillhaven::plasma {

// Which Plasma screen shows a display; none when it cannot be told.
using ScreenNumbering = std::function<std::optional<ScreenTarget>(const Display&)>;

// Plasma gives number 0 to its primary screen (the first when none is marked) and numbers
// the others after it. The scripts ask Plasma for the connector's own number first; this
// one stands in where the shell cannot map connectors. None when the display is not listed.
std::optional<ScreenTarget> plasmaScreenNumber(const Display& display,
                                               const std::vector<Display>& all);

// The numbering for the displays a service lists at the time of each call.
ScreenNumbering screenNumberingFrom(std::shared_ptr<DisplayService> displays);

// A picture that Plasma shows through another wallpaper plugin (a slideshow, a colour,
// a picture of the day) is reported with this scheme and the plugin's name as the path:
// not a file, so the apply flow refuses it, and a restore can never target it.
inline constexpr const char* pluginScheme = "plasma-plugin";

// Reading the wallpaper runs a script inside plasmashell, so readings are kept while
// Plasma's applets configuration (`appletsConfigPath`, where plasmashell saves every
// wallpaper change) is unchanged: a poll then costs one stat call instead of a D-Bus round
// trip. A reading is still refreshed after `readingLifetime`, in case plasmashell is slow
// to save, and after every set. Without a path every call asks plasmashell.
class PlasmaWorkspace : public Workspace {
public:
    static constexpr std::chrono::seconds readingLifetime{30};

    // `packages` tells where wallpaper packages are found: an Image that names one (or none
    // at all, the look-and-feel's default) reads as the picture Plasma shows from it.
    PlasmaWorkspace(PlasmaShellClient shell, ScreenNumbering numbering,
                    std::string appletsConfigPath = {}, PackageFolders packages = {});

    std::optional<Url> desktopImageURL(const Display& display) override;
    std::optional<DesktopPictureOptions> desktopImageOptions(const Display& display) override;
    Outcome setDesktopImageURL(const Url& url, const Display& display,
                               const DesktopPictureOptions& options) override;
    // The image wallpaper's Image, FillMode and Color as text, each none when unset.
    std::optional<NativePictureSettings> nativeSettings(const Display& display) override;
    Outcome restoreNativeSettings(const NativePictureSettings& settings,
                                  const Display& display) override;
    std::string lastReadFailure() override { return lastReadFailure_; }

    static constexpr const char* imageKey = "Image";
    static constexpr const char* fillModeKey = "FillMode";
    static constexpr const char* colorKey = "Color";

private:
    struct KeptReading {
        WallpaperReading reading;
        FileStamp configStamp;
        std::chrono::steady_clock::time_point readAt;
    };

    std::optional<WallpaperReading> read(const Display& display);
    Outcome write(const WallpaperWrite& values, const Display& display);

    PlasmaShellClient shell_;
    ScreenNumbering numbering_;
    std::string appletsConfigPath_;
    PackageFolders packages_;
    std::map<std::string, KeptReading> kept_;  // by connector
    std::string lastReadFailure_;
};

}  // namespace quillhaven::plasma
