#include "unsupported_desktop.h"

#include "virtual_desktop_json.h"

namespace quillhaven {

std::optional<Url> UnsupportedWorkspace::desktopImageURL(const Display&) {
    return std::nullopt;
}

std::optional<DesktopImageOptions> UnsupportedWorkspace::desktopImageOptions(const Display&) {
    return std::nullopt;
}

Outcome UnsupportedWorkspace::setDesktopImageURL(const Url&, const Display&,
                                                 const DesktopImageOptions&) {
    return Outcome::failure("このデスクトップ環境の壁紙には対応していません");
}

std::vector<Display> StandInDisplayService::screens() {
    return {builtInVirtualDisplay()};
}

}  // namespace quillhaven
