#include "tests/fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace quillhaven::fuzz {

const std::filesystem::path& scratchFolder() {
    static const std::filesystem::path folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && base[0] == '/' ? base : "/tmp") +
                              "/quillhaven-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            fail("cannot create a scratch folder");
        }
        // Removed at exit; a crash leaves it for inspection.
        std::atexit([] {
            std::error_code error;
            std::filesystem::remove_all(scratchFolder(), error);
        });
        return std::filesystem::path(pattern);
    }();
    return folder;
}

void writeInput(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) {
        fail("cannot write the input file " + path.string());
    }
}

void fail(const std::string& message) {
    std::fprintf(stderr, "fuzz target invariant broken: %s\n", message.c_str());
    std::abort();
}

}  // namespace quillhaven::fuzz
