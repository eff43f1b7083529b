#pragma once

// What a file looks like from outside: which file it is, its size and when it was last
// changed. Two equal stamps mean, for practical purposes, that nobody wrote the file in
// between; a file replaced by renaming another over it gets a new identity. One stat call,
// so cheap enough to ask on every poll.

#include <cstdint>
#include <optional>
#include <string>

namespace quillhaven {

struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNanoseconds = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// None when the path names nothing that can be looked at.
std::optional<FileStamp> fileStamp(const std::string& path);

}  // namespace quillhaven
