#pragma once

// Taking file paths apart and putting them together, as bytes.

#include "platform/file_info.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

namespace corvane::platform {

// `folder` and `name` with one separator between them.
inline std::string joinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != kPathSeparator) {
        path += kPathSeparator;
    }
    path += name;
    return path;
}

// The folder part of `path`: "/" for an entry at the root, "." for a bare name.
inline std::string parentFolderOf(const std::string& path) {
    const size_t slash = path.rfind(kPathSeparator);
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string(1, kPathSeparator) : path.substr(0, slash);
}

// What follows the last separator of `path` (all of it when it has none).
inline std::string lastNameOf(const std::string& path) {
    const size_t slash = path.rfind(kPathSeparator);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// `path` made absolute against `folder` (an absolute path), by its text alone: "." parts and
// repeated separators go, ".." parts stay (a link on the way would give them another meaning).
// An absolute path only loses those parts.
inline std::string absolutePath(std::string_view path, std::string_view folder) {
    std::string result;
    if (path.empty() || path.front() != kPathSeparator) {
        result.assign(folder);
    }
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(kPathSeparator, start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        const std::string_view part = path.substr(start, end - start);
        if (!part.empty() && part != ".") {
            if (result.empty() || result.back() != kPathSeparator) {
                result += kPathSeparator;
            }
            result += part;
        }
        start = end + 1;
    }
    return result.empty() ? std::string(1, kPathSeparator) : result;
}

// The process's current folder; empty when the system cannot tell it (it was removed, or its
// path is too long).
inline std::string currentFolder() {
    char* cwd = ::getcwd(nullptr, 0);
    if (!cwd) {
        return {};
    }
    std::string result(cwd);
    std::free(cwd);
    return result;
}

} // namespace corvane::platform
