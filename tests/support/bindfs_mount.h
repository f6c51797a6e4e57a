#pragma once

// A folder seen through a second file system for one test: `bindfs SOURCE TARGET`, a FUSE view
// whose files have their own device and whose renames reach the folder beneath, as a second mount
// of a network share does. Taken away when the object goes (lazily when it is busy). Needs root,
// /dev/fuse and bindfs (bootstrap installs it); elsewhere mounted() is false and why() says why.

#include <string>

namespace corvane::testing {

class BindfsMount {
public:
    // `target` must be an existing folder.
    BindfsMount(const std::string& source, const std::string& target);
    ~BindfsMount();
    BindfsMount(const BindfsMount&) = delete;
    BindfsMount& operator=(const BindfsMount&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& why() const { return why_; }

    // Takes the view away now, so that a test can look at the folder beneath alone.
    void unmount();

private:
    std::string target_;
    bool mounted_ = false;
    std::string why_;
};

} // namespace corvane::testing
