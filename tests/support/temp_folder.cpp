#include "tests/support/temp_folder.h"

#include <random>
#include <system_error>

namespace quillhaven::testing {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::random_device random;
    const fs::path base = fs::temp_directory_path();
    for (;;) {
        path_ = base / ("quillhaven-test-" + std::to_string(random()));
        if (fs::create_directory(path_)) {
            break;
        }
    }
}

TempFolder::~TempFolder() {
    std::error_code error;
    // Restore permissions a test may have taken away, then remove everything.
    for (auto it = fs::recursive_directory_iterator(path_, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    }
    fs::remove_all(path_, error);
}

}  // namespace quillhaven::testing
