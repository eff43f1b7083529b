#include "unsupported_desktop.h"

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

}  // namespace quillhaven
