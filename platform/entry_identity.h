#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace corvane::platform {

// What makes a directory entry the one it is: the folder that holds it (device and inode) and
// its name there. Two paths that name one entry (through a bind mount, a linked folder or a
// repeated separator) have the same identity; two hard links of one file are two entries.
struct EntryIdentity {
    uint64_t folderDevice = 0;
    uint64_t folderInode = 0;
    std::string name;
    friend bool operator==(const EntryIdentity&, const EntryIdentity&) = default;
};

// The identity of the entry `path` names (its final name is not followed); nothing when its
// folder cannot be reached.
std::optional<EntryIdentity> entryIdentityOf(const std::string& path);

} // namespace corvane::platform
