#pragma once

// A snapshot of environment variables, so the code that reads them (folder locations,
// backend choice, the login item's program path) can be handed a made-up environment.
// Plain C++, so the render command can use it too.

#include <map>
#include <optional>
#include <string>

namespace quillhaven {

class Environment {
public:
    Environment() = default;
    explicit Environment(std::map<std::string, std::string> variables);

    // The variables of the running process.
    static Environment process();

    // The value, or none when the variable is unset.
    std::optional<std::string> value(const std::string& name) const;
    // The value, or none when the variable is unset or empty.
    std::optional<std::string> nonEmptyValue(const std::string& name) const;

    void set(const std::string& name, std::string value) { variables_[name] = std::move(value); }
    void unset(const std::string& name) { variables_.erase(name); }

private:
    std::map<std::string, std::string> variables_;
};

}  // namespace quillhaven
