#pragma once

#include "engine/string_list.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvane::engine {

// A list of paths in an order of its own without moving them: position i of the list is entry
// order[i] of `paths` (entry i when `order` is empty). A search keeps its found paths where the
// scan put them and orders only their numbers, four bytes a path instead of a copy of its bytes.
struct OrderedPaths {
    const StringList& paths;
    const std::vector<uint32_t>& order;

    size_t size() const { return order.empty() ? paths.size() : order.size(); }
    // Where position `position` is kept in `paths`.
    uint32_t place(size_t position) const {
        return order.empty() ? static_cast<uint32_t>(position) : order[position];
    }
    std::string_view operator[](size_t position) const { return paths[place(position)]; }
    const char* c_str(size_t position) const { return paths.c_str(place(position)); }
};

} // namespace corvane::engine
