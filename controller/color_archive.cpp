#include "controller/color_archive.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

namespace quillhaven {

namespace {

constexpr std::string_view header = "quillhaven-color/1";

void appendComponent(std::string& text, double value) {
    std::array<char, 64> buffer{};
    int length = std::snprintf(buffer.data(), buffer.size(), " %.17g", value);
    text.append(buffer.data(), static_cast<std::size_t>(length));
}

// Reads one " <number>" field, advancing `rest`.
std::optional<double> readComponent(std::string_view& rest) {
    if (rest.size() < 2 || rest.front() != ' ') {
        return std::nullopt;
    }
    rest.remove_prefix(1);
    double value = 0;
    auto [end, error] =
        std::from_chars(rest.data(), rest.data() + rest.size(), value, std::chars_format::general);
    if (error != std::errc() || !std::isfinite(value)) {
        return std::nullopt;
    }
    rest.remove_prefix(static_cast<std::size_t>(end - rest.data()));
    return value;
}

}  // namespace

std::optional<Data> TextColorArchive::archive(const Color& color) {
    const std::array<double, 4> components{color.red, color.green, color.blue, color.alpha};
    std::string text(header);
    for (double component : components) {
        if (!std::isfinite(component)) {
            return std::nullopt;
        }
        appendComponent(text, component);
    }
    text.push_back('\n');
    return Data(text.begin(), text.end());
}

std::optional<Color> TextColorArchive::unarchive(const Data& data) {
    std::string_view rest(reinterpret_cast<const char*>(data.data()), data.size());
    if (rest.substr(0, header.size()) != header) {
        return std::nullopt;
    }
    rest.remove_prefix(header.size());
    std::array<double, 4> components{};
    for (double& component : components) {
        auto value = readComponent(rest);
        if (!value) {
            return std::nullopt;
        }
        component = *value;
    }
    if (rest != "\n") {
        return std::nullopt;
    }
    return Color{components[0], components[1], components[2], components[3]};
}

}  // namespace quillhaven
