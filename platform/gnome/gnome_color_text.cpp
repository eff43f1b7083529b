#include "platform/gnome/gnome_color_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quillhaven::gnome {
namespace {

std::optional<unsigned> hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return static_cast<unsigned>(c - '0');
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<unsigned>(c - 'a' + 10);
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<unsigned>(c - 'A' + 10);
    }
    return std::nullopt;
}

double clampUnit(double value) {
    if (!(value > 0)) {  // also catches NaN
        return 0;
    }
    return std::min(value, 1.0);
}

}  // namespace

std::optional<Color> parseColorText(const std::string& text) {
    if (text.size() < 4 || text.front() != '#') {
        return std::nullopt;
    }
    const std::size_t digits = text.size() - 1;
    if (digits % 3 != 0 || digits / 3 > 4) {
        return std::nullopt;
    }
    const std::size_t perComponent = digits / 3;
    const double maximum = std::pow(16.0, static_cast<double>(perComponent)) - 1;
    double components[3] = {0, 0, 0};
    for (std::size_t c = 0; c < 3; ++c) {
        unsigned value = 0;
        for (std::size_t i = 0; i < perComponent; ++i) {
            const auto digit = hexDigit(text[1 + c * perComponent + i]);
            if (!digit) {
                return std::nullopt;
            }
            value = value * 16 + *digit;
        }
        components[c] = static_cast<double>(value) / maximum;
    }
    return Color{components[0], components[1], components[2], 1};
}

std::string formatColorText(const Color& color) {
    const double components[3] = {clampUnit(color.red), clampUnit(color.green),
                                  clampUnit(color.blue)};
    bool wholeBytes = true;
    for (double component : components) {
        const double scaled = component * 255;
        wholeBytes = wholeBytes && std::abs(scaled - std::round(scaled)) < 1e-6;
    }
    char text[16];
    if (wholeBytes) {
        std::snprintf(text, sizeof text, "#%02x%02x%02x",
                      static_cast<unsigned>(componentByte(components[0])),
                      static_cast<unsigned>(componentByte(components[1])),
                      static_cast<unsigned>(componentByte(components[2])));
    } else {
        std::snprintf(text, sizeof text, "#%04x%04x%04x",
                      static_cast<unsigned>(std::lround(components[0] * 65535)),
                      static_cast<unsigned>(std::lround(components[1] * 65535)),
                      static_cast<unsigned>(std::lround(components[2] * 65535)));
    }
    return text;
}

bool sameColor(const Color& a, const Color& b) {
    const auto step = [](double component) { return std::lround(clampUnit(component) * 65535); };
    return step(a.red) == step(b.red) && step(a.green) == step(b.green) &&
           step(a.blue) == step(b.blue);
}

}  // namespace quillhaven::gnome
