#include "environment.h"

#include <QDir>
#include <QProcessEnvironment>

namespace quillhaven {

Environment::Environment(std::map<std::string, std::string> variables)
    : variables_(std::move(variables)) {}

Environment Environment::process() {
    const QProcessEnvironment system = QProcessEnvironment::systemEnvironment();
    std::map<std::string, std::string> variables;
    for (const QString& name : system.keys()) {
        variables[name.toStdString()] = system.value(name).toStdString();
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

namespace {

std::string homeFolder(const Environment& environment) {
    if (auto home = environment.nonEmptyValue("HOME")) {
        return *home;
    }
    return QDir::homePath().toStdString();
}

// Relative values are ignored, as the base-directory rules ask.
std::string baseFolder(const Environment& environment, const char* variable,
                       const char* defaultUnderHome) {
    if (auto folder = environment.nonEmptyValue(variable); folder && folder->front() == '/') {
        return *folder;
    }
    return homeFolder(environment) + "/" + defaultUnderHome;
}

}  // namespace

std::string xdgConfigHome(const Environment& environment) {
    return baseFolder(environment, "XDG_CONFIG_HOME", ".config");
}

std::string xdgDataHome(const Environment& environment) {
    return baseFolder(environment, "XDG_DATA_HOME", ".local/share");
}

std::string quillhavenConfigFolder(const Environment& environment) {
    return xdgConfigHome(environment) + "/Quillhaven";
}

std::string quillhavenDataFolder(const Environment& environment) {
    return xdgDataHome(environment) + "/Quillhaven";
}

}  // namespace quillhaven
