#include "core/environment.h"

#include <unistd.h>

namespace quillhaven {

Environment::Environment(std::map<std::string, std::string> variables)
    : variables_(std::move(variables)) {}

Environment Environment::process() {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string text(*entry);
        const auto equals = text.find('=');
        if (equals != std::string::npos) {
            variables.emplace(text.substr(0, equals), text.substr(equals + 1));
        }
    }
    return Environment(std::move(variables));
}

std::optional<std::string> Environment::value(const std::string& name) const {
    const auto found = variables_.find(name);
    if (found == variables_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<std::string> Environment::nonEmptyValue(const std::string& name) const {
    auto result = value(name);
    if (result && result->empty()) {
        return std::nullopt;
    }
    return result;
}

}  // namespace quillhaven
