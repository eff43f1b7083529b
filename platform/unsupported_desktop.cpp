#include "platform/unsupported_desktop.h"

#include "core/translation.h"
#include "platform/messages/platform_messages.h"

namespace quillhaven {

std::optional<Url> UnsupportedWorkspace::desktopImageURL(const Display&) {
    return std::nullopt;
}

std::optional<DesktopPictureOptions> UnsupportedWorkspace::desktopImageOptions(const Display&) {
    return std::nullopt;
}

Outcome UnsupportedWorkspace::setDesktopImageURL(const Url&, const Display&,
                                                 const DesktopPictureOptions&) {
    return Outcome::failure(translated(platform_messages::unsupportedDesktop));
}

}  // namespace quillhaven
