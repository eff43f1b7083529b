#include "controller/native_settings.h"

#include <sstream>

namespace quillhaven {

namespace {

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> unescaped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) {
            return std::nullopt;
        }
        if (text[i] == '\\') {
            out += '\\';
        } else if (text[i] == 'n') {
            out += '\n';
        } else {
            return std::nullopt;
        }
    }
    return out;
}

}  // namespace

std::string encodeNativeSettings(const NativePictureSettings& settings) {
    std::string text;
    for (const auto& [name, value] : settings) {
        text += name;
        if (value) {
            text += '=' + escaped(*value);
        }
        text += '\n';
    }
    return text;
}

std::optional<NativePictureSettings> decodeNativeSettings(const std::string& text) {
    NativePictureSettings settings;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty()) {
            continue;
        }
        const auto equals = line.find('=');
        const std::string name = line.substr(0, equals);
        if (name.empty() || settings.count(name) != 0) {
            return std::nullopt;
        }
        if (equals == std::string::npos) {
            settings[name] = std::nullopt;
            continue;
        }
        auto value = unescaped(line.substr(equals + 1));
        if (!value) {
            return std::nullopt;
        }
        settings[name] = std::move(*value);
    }
    return settings;
}

NativePictureSettings userSettingsToRecord(const NativePictureSettings& now,
                                           const std::optional<NativePictureSettings>& saved,
                                           const std::optional<NativePictureSettings>& applied) {
    NativePictureSettings user = now;
    if (!saved || !applied) {
        return user;
    }
    for (auto& [name, value] : user) {
        const auto ours = applied->find(name);
        const auto earlier = saved->find(name);
        if (ours != applied->end() && ours->second == value && earlier != saved->end()) {
            value = earlier->second;
        }
    }
    return user;
}

}  // namespace quillhaven
