#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>
#include <vector>

namespace corvane::testing {

namespace fs = std::filesystem;

TempTree::TempTree() {
    std::string templ = (fs::temp_directory_path() / "corvane-test-XXXXXX").string();
    std::vector<char> buffer(templ.begin(), templ.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    root_ = buffer.data();
}

TempTree::~TempTree() {
    std::error_code ignored;
    // Give back permissions that a test may have taken away, so that the removal works.
    for (auto it =
             fs::recursive_directory_iterator(root_, fs::directory_options::skip_permission_denied, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
    }
    fs::remove_all(root_, ignored);
}

std::string TempTree::path(std::string_view relative) const {
    std::string result = root_;
    result += '/';
    result += relative;
    return result;
}

std::string TempTree::writeFile(std::string_view relative, std::string_view contents) const {
    const std::string full = path(relative);
    fs::create_directories(fs::path(full).parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + full);
    }
    return full;
}

std::string TempTree::makeDir(std::string_view relative) const {
    const std::string full = path(relative);
    fs::create_directories(full);
    return full;
}

} // namespace corvane::testing
