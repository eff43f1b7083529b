#include "platform/gnome/gnome_desktop.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace quillhaven::gnome {
namespace {

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool namesGnomeDesktop(std::string_view entry) {
    // Desktops whose wallpaper is GNOME's own background setting.
    static constexpr std::array<std::string_view, 4> gnomeBased = {"unity", "budgie", "pantheon",
                                                                   "pop"};
    const std::string lower = lowerCase(entry);
    if (lower == "gnome" || lower.starts_with("gnome-")) {
        return true;
    }
    return std::find(gnomeBased.begin(), gnomeBased.end(), lower) != gnomeBased.end();
}

}  // namespace

bool isGnomeBasedDesktop(std::string_view xdgCurrentDesktop) {
    while (!xdgCurrentDesktop.empty()) {
        const auto colon = xdgCurrentDesktop.find(':');
        if (namesGnomeDesktop(xdgCurrentDesktop.substr(0, colon))) {
            return true;
        }
        if (colon == std::string_view::npos) {
            break;
        }
        xdgCurrentDesktop.remove_prefix(colon + 1);
    }
    return false;
}

}  // namespace quillhaven::gnome
