#pragma once

// The desktop picture where Quillhaven has no backend for the running desktop environment:
// it can be neither read nor set, so an apply on a notched display ends with "could not get
// the current wallpaper" and nothing on the real desktop is touched.

#include "controller/desktop_services.h"

namespace quillhaven {

class UnsupportedWorkspace : public Workspace {
public:
    std::optional<Url> desktopImageURL(const Display& display) override;
    std::optional<DesktopPictureOptions> desktopImageOptions(const Display& display) override;
    Outcome setDesktopImageURL(const Url& url, const Display& display,
                               const DesktopPictureOptions& options) override;
};

}  // namespace quillhaven
