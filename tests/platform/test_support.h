#pragma once

// Helpers shared by the platform tests: whole-file reads and writes, and a folder path
// blocked by a plain file (a write below it fails even for root, unlike chmod).

#include <QTemporaryDir>
#include <functional>
#include <map>
#include <string>

#include "core/environment.h"
#include "tests/support/app_sandbox.h"
#include "tests/support/temp_folder.h"

namespace quillhaven::testing {

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& contents);
bool fileExists(const std::string& path);

Environment environmentWith(std::map<std::string, std::string> variables);

// Puts a plain file at `path`, so that nothing can be created below it.
void blockWithFile(const std::string& path);


}  // namespace quillhaven::testing
