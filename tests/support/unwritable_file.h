#pragma once

// A file that a save must not be able to replace, also when the tests run as root, whom permissions
// do not stop: immutable for root, read-only for anyone else; writable again when the object goes.

#include <string>

namespace corvane::testing {

class UnwritableFile {
public:
    explicit UnwritableFile(std::string path);
    ~UnwritableFile();
    UnwritableFile(const UnwritableFile&) = delete;
    UnwritableFile& operator=(const UnwritableFile&) = delete;

    // Whether the file could be made unwritable; why() says why not.
    bool made() const { return made_; }
    const std::string& why() const { return why_; }

private:
    bool setImmutable(bool on);

    std::string path_;
    bool made_ = false;
    std::string why_;
};

} // namespace corvane::testing
