#pragma once

// The desktop used where Quillhaven has no backend for the running desktop environment:
// it cannot read or set the desktop picture, so every apply ends with "could not get the
// current wallpaper" and nothing on the real desktop is touched.

#include "desktop_services.h"

namespace quillhaven {

class UnsupportedWorkspace : public Workspace {
public:
    std::optional<Url> desktopImageURL(const Display& display) override;
    std::optional<DesktopImageOptions> desktopImageOptions(const Display& display) override;
    Outcome setDesktopImageURL(const Url& url, const Display& display,
                               const DesktopImageOptions& options) override;
};

// One notched display of the built-in virtual geometry, held in memory. It stands in for
// the real display list until a display backend answers for the session, so that the
// apply flow reaches the picture and reports that it cannot read it.
class StandInDisplayService : public DisplayService {
public:
    std::vector<Display> screens() override;
};

}  // namespace quillhaven
