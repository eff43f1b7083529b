#pragma once

// The desktop picture on GNOME, read and written in the process through GSettings (schema
// org.gnome.desktop.background). GNOME shows one picture on every monitor, so the display
// passed in is ignored.
//
// Reading: the picture GNOME shows now, picture-uri-dark while org.gnome.desktop.interface
// color-scheme is prefer-dark and picture-uri otherwise. A local file comes back as a file
// URL whatever it holds (a missing file or an XML slideshow is refused by the apply flow's
// still-picture test); another scheme comes back as a URL of that scheme, which the apply
// flow refuses as not local.
//
// Options: picture-options maps to scaling and clipping by the table in
// gnome_background_style.h, primary-color to the fill colour. secondary-color,
// color-shading-type and picture-opacity are never written, so they need no restoring.
//
// Setting: both picture keys, picture-options and primary-color are written in one delayed
// apply. The native settings are the user's own values of those four keys, exactly as
// stored and with the unset ones unset; a restore writes them back the same way, so the
// light and dark pictures, their spelling and every key left at its default come back.

#include <memory>
#include <string>

#include "controller/desktop_services.h"

namespace quillhaven::gnome {

class BackgroundSettings;

// Also tells when the background changes: GSettings signals every write to its keys, from
// any program, on the main loop.
class GnomeWorkspace : public Workspace, public PictureChangeNotifier {
public:
    GnomeWorkspace();
    ~GnomeWorkspace() override;

    // Whether the background schema is installed; without it nothing can be read or set.
    bool isAvailable() const { return settings_ != nullptr; }

    // An XML background reads as the picture it shows on the display now (the size that
    // fits it, the slide the clock points at); one that cannot be used reads as none, and
    // lastReadFailure() names it.
    std::optional<Url> desktopImageURL(const Display& display) override;
    std::string lastReadFailure() override { return lastReadFailure_; }
    std::optional<DesktopPictureOptions> desktopImageOptions(const Display& display) override;
    Outcome setDesktopImageURL(const Url& url, const Display& display,
                               const DesktopPictureOptions& options) override;
    std::optional<NativePictureSettings> nativeSettings(const Display& display) override;
    Outcome restoreNativeSettings(const NativePictureSettings& settings,
                                  const Display& display) override;
    std::optional<std::string> pictureChangeBlocker(const Display& display) override;
    bool watch(Task changed) override;

private:
    std::unique_ptr<BackgroundSettings> settings_;
    std::string lastReadFailure_;
};

// The URL for a picture-uri value: a file URL for a local file URI or a bare absolute path;
// for a URI of another scheme, a URL of that scheme with the rest as its path; for a file URI
// naming another host, a URL without a scheme. None for an empty or scheme-less value.
std::optional<Url> urlForPictureUri(const std::string& uri);

}  // namespace quillhaven::gnome
