#include "platform/displays/notch_detection.h"

#include <array>
#include <charconv>
#include <fstream>

namespace quillhaven {

namespace {

// Larger than any panel; rejects typing slips such as an extra digit run.
constexpr std::uint32_t maximumNotchHeight = 10000;

std::optional<std::string> readSmallFile(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        return std::nullopt;
    }
    std::string content;
    std::array<char, 256> buffer{};
    // Device-tree and sysfs files are tiny; cap the read so a wrong path cannot stall us.
    // Each chunk is appended exactly once, the short last one included.
    while (content.size() < 4096) {
        stream.read(buffer.data(), buffer.size());
        content.append(buffer.data(), static_cast<std::size_t>(stream.gcount()));
        if (!stream) {
            break;
        }
    }
    return content;
}

std::string_view trimmed(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (isSpace(text.back()) || text.back() == '\0')) {
        text.remove_suffix(1);
    }
    return text;
}

// A boolean module parameter reads "Y"/"N"; an integer one "1"/"0".
bool parameterIsOn(std::string_view value) {
    value = trimmed(value);
    return value == "Y" || value == "y" || value == "1";
}

}  // namespace

bool isNotchShown(const NotchSources& sources) {
    // The current module name wins when both are present.
    for (const char* module : {"appledrm", "apple_dcp"}) {
        const auto value =
            readSmallFile(sources.sysRoot / "module" / module / "parameters" / "show_notch");
        if (value) {
            return parameterIsOn(*value);
        }
    }
    return false;
}

std::optional<std::uint32_t> deviceTreeNotchHeight(const NotchSources& sources) {
    const auto alias = readSmallFile(sources.procRoot / "device-tree" / "aliases" / "dcp");
    if (!alias) {
        return std::nullopt;
    }
    const std::string_view nodePath = trimmed(*alias);
    if (nodePath.empty() || nodePath.front() != '/' ||
        nodePath.find("..") != std::string_view::npos) {
        return std::nullopt;
    }
    const std::filesystem::path node =
        sources.procRoot / "device-tree" / std::filesystem::path(nodePath).relative_path();
    const auto property = readSmallFile(node / "apple,notch-height");
    if (!property || property->size() != 4) {
        return std::nullopt;
    }
    std::uint32_t height = 0;
    for (const char byte : *property) {
        height = (height << 8) | static_cast<std::uint8_t>(byte);
    }
    if (height == 0 || height > maximumNotchHeight) {
        return std::nullopt;
    }
    return height;
}

std::optional<std::uint32_t> detectBuiltInNotchHeight(const NotchSources& sources) {
    if (!isNotchShown(sources)) {
        return std::nullopt;
    }
    return deviceTreeNotchHeight(sources);
}

bool isBuiltInPanel(std::string_view connectorName, std::size_t screenCount) {
    return connectorName.substr(0, 3) == "eDP" || screenCount == 1;
}

std::optional<std::uint32_t> parseNotchHeightOverride(std::string_view text) {
    text = trimmed(text);
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    if (value == 0 || value > maximumNotchHeight) {
        return std::nullopt;
    }
    return value;
}

}  // namespace quillhaven
