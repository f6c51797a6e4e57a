#pragma once

#include <string>
#include <string_view>

namespace corvane::testing {

// A temporary folder for one test, removed with everything in it when the object goes.
class TempTree {
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The folder itself, without a trailing separator.
    const std::string& root() const { return root_; }
    // root() + "/" + relative.
    std::string path(std::string_view relative) const;

    // Creates a file (and its parent folders) holding exactly `contents`; returns its full path.
    std::string writeFile(std::string_view relative, std::string_view contents) const;
    // Creates a folder and its parents; returns its full path.
    std::string makeDir(std::string_view relative) const;

private:
    std::string root_;
};

} // namespace corvane::testing
