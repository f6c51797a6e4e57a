#pragma once

// A second path to a file or a folder for one test: `mount --bind SOURCE TARGET`, taken away when
// the object goes (lazily when it is busy). Only root may mount (CI runs the tests as root);
// elsewhere mounted() is false and why() says why.

#include <string>

namespace corvane::testing {

class BindMount {
public:
    // `target` must exist and be of the kind of `source`: a file over a file, a folder over a folder.
    BindMount(const std::string& source, const std::string& target);
    ~BindMount();
    BindMount(const BindMount&) = delete;
    BindMount& operator=(const BindMount&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& why() const { return why_; }

    // Takes the mount away now, so that a test can look at what lies under it.
    void unmount();

private:
    std::string target_;
    bool mounted_ = false;
    std::string why_;
};

} // namespace corvane::testing
