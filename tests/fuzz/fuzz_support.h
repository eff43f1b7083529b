#pragma once

// Shared by the fuzz targets: a private scratch folder for the files a target writes, and
// a helper that stores one input as a file there.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace quillhaven::fuzz {

// A folder of its own under $TMPDIR (or /tmp), made on first use and reused for every input.
const std::filesystem::path& scratchFolder();

// Writes the bytes to `path`, replacing what was there; aborts when it cannot.
void writeInput(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size);

// Stops the run with a message: an invariant the target checks does not hold.
[[noreturn]] void fail(const std::string& message);

}  // namespace quillhaven::fuzz
