#pragma once

// Qt's translation tools find user-facing texts by the QT_TRANSLATE_NOOP marker. The
// controller links no Qt, so the marker is defined here exactly as Qt defines it: it marks
// a text for extraction and leaves it unchanged. Every catalogue uses the context
// "Quillhaven".
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

#include <string>

namespace quillhaven {

// The text with its first "%1" replaced by `value`: texts that name a file or a display
// keep the name's place in the catalogue, so a translation can move it.
inline std::string fillIn(const std::string& text, const std::string& value) {
    const std::string& pattern = text;
    const auto at = pattern.find("%1");
    if (at == std::string::npos) {
        return pattern;
    }
    return pattern.substr(0, at) + value + pattern.substr(at + 2);
}

}  // namespace quillhaven
