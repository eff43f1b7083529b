#include "tests/platform/test_support.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace quillhaven::testing {

std::string readFile(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream contents;
    contents << stream.rdbuf();
    return contents.str();
}

void writeFile(const std::string& path, const std::string& contents) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream << contents;
}

bool fileExists(const std::string& path) {
    return std::filesystem::exists(path);
}

Environment environmentWith(std::map<std::string, std::string> variables) {
    return Environment(std::move(variables));
}

void blockWithFile(const std::string& path) {
    writeFile(path, "not a folder\n");
}


}  // namespace quillhaven::testing
