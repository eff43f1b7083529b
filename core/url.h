#pragma once

#include <string>

namespace quillhaven {

// A small URL value: a scheme plus a path. Pictures and folders are named by file URLs
// ("file" scheme, absolute path). Other schemes can be carried (a desktop may report a
// remote picture) but only file URLs name something on disk.
//
// Equality is exact: scheme and path text must match. A directory URL keeps the trailing
// slash it was made with, so compare standardized URLs when the form may differ.
class Url {
public:
    Url() = default;
    Url(std::string scheme, std::string path);

    // A file URL for an absolute path. A relative path is taken against the current
    // working directory.
    static Url fileURLWithPath(const std::string& path);
    // Like fileURLWithPath, but marks the URL as a directory (trailing slash).
    static Url directoryURLWithPath(const std::string& path);

    const std::string& scheme() const { return scheme_; }
    bool isFileURL() const { return scheme_ == "file"; }
    bool isEmpty() const { return scheme_.empty() && path_.empty(); }

    // The path without a trailing slash (except for the root "/").
    std::string path() const;
    // The path exactly as stored, a directory's trailing slash included.
    const std::string& rawPath() const { return path_; }
    bool hasDirectoryPath() const;

    // The last path component, without any trailing slash.
    std::string lastPathComponent() const;
    // This URL with one component appended; `isDirectory` adds a trailing slash.
    Url appendingPathComponent(const std::string& component, bool isDirectory = false) const;

    // Lexical standardizing: removes "." components and resolves ".." against the
    // preceding component, collapses repeated slashes. Symbolic links are not resolved.
    Url standardized() const;

    // Whether both name the same place by their text: the same scheme, and for file URLs the
    // same path once repeated slashes, "." components and a trailing slash are dropped.
    // ".." is not resolved (through a symbolic link it may lead elsewhere) and links are
    // not followed. Other schemes compare exactly.
    bool isSameLocation(const Url& other) const;

    // "scheme://path" for file URLs ("file:///a/b"), "scheme:path" otherwise. The path is
    // not percent-encoded; this is meant for messages and tests, not for exchange.
    std::string displayString() const;

    friend bool operator==(const Url&, const Url&) = default;

private:
    std::string scheme_;
    std::string path_;
};

}  // namespace quillhaven
