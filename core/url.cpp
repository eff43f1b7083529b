#include "core/url.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace quillhaven {

namespace {

bool endsWithSlash(const std::string& text) {
    return !text.empty() && text.back() == '/';
}

std::string absolutePath(const std::string& path) {
    if (!path.empty() && path.front() == '/') {
        return path;
    }
    std::error_code error;
    std::string base = std::filesystem::current_path(error).string();
    if (error || base.empty()) {
        base = "/";
    }
    if (!endsWithSlash(base)) {
        base += '/';
    }
    return base + path;
}

}  // namespace

Url::Url(std::string scheme, std::string path)
    : scheme_(std::move(scheme)), path_(std::move(path)) {}

Url Url::fileURLWithPath(const std::string& path) {
    return Url("file", absolutePath(path));
}

Url Url::directoryURLWithPath(const std::string& path) {
    std::string absolute = absolutePath(path);
    if (!endsWithSlash(absolute)) {
        absolute += '/';
    }
    return Url("file", absolute);
}

std::string Url::path() const {
    std::string result = path_;
    while (result.size() > 1 && endsWithSlash(result)) {
        result.pop_back();
    }
    return result;
}

bool Url::hasDirectoryPath() const {
    return endsWithSlash(path_);
}

std::string Url::lastPathComponent() const {
    const std::string trimmed = path();
    if (trimmed == "/") {
        return trimmed;
    }
    const auto slash = trimmed.rfind('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

Url Url::appendingPathComponent(const std::string& component, bool isDirectory) const {
    std::string result = path_;
    if (!result.empty() && !endsWithSlash(result)) {
        result += '/';
    }
    result += component;
    if (isDirectory && !endsWithSlash(result)) {
        result += '/';
    }
    return Url(scheme_, result);
}

Url Url::standardized() const {
    if (path_.empty()) {
        return *this;
    }
    const bool absolute = path_.front() == '/';
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path_.size()) {
        std::size_t end = path_.find('/', start);
        if (end == std::string::npos) {
            end = path_.size();
        }
        const std::string part = path_.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..") {
                parts.pop_back();
            } else if (!absolute) {
                // A relative path keeps leading ".." components; above the root is the root.
                parts.push_back(part);
            }
            continue;
        }
        parts.push_back(part);
    }
    std::string result = absolute ? "/" : "";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            result += '/';
        }
        result += parts[i];
    }
    if (hasDirectoryPath() && !endsWithSlash(result) && !result.empty()) {
        result += '/';
    }
    if (result.empty()) {
        result = ".";
    }
    return Url(scheme_, result);
}

namespace {

// The path without empty and "." components; ".." stays as it is.
std::string withoutRedundantComponents(const std::string& path) {
    std::string result;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        const std::string_view part(path.data() + start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") {
            continue;
        }
        result += '/';
        result += part;
    }
    if (path.empty() || path.front() != '/') {
        return result.empty() ? result : result.substr(1);
    }
    return result.empty() ? "/" : result;
}

}  // namespace

bool Url::isSameLocation(const Url& other) const {
    if (scheme_ != other.scheme_) {
        return false;
    }
    if (!isFileURL()) {
        return path_ == other.path_;
    }
    return withoutRedundantComponents(path_) == withoutRedundantComponents(other.path_);
}

std::string Url::displayString() const {
    if (isFileURL()) {
        return "file://" + path_;
    }
    return scheme_ + ":" + path_;
}

}  // namespace quillhaven
