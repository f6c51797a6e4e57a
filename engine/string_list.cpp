#include "engine/string_list.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace corvane::engine {

namespace {

// Blocks start small, so that a list of a few entries costs little, and double up to this size.
constexpr uint32_t kFirstBlock = 256;
constexpr uint32_t kLargestBlock = 1u << 20;

size_t lengthBytes(size_t length) {
    size_t bytes = 1;
    while (length >= 0x80) {
        length >>= 7;
        ++bytes;
    }
    return bytes;
}

} // namespace

StringList::StringList(std::initializer_list<std::string_view> entries) {
    for (std::string_view entry : entries) {
        push_back(entry);
    }
}

StringList::StringList(const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        push_back(entry);
    }
}

StringList::StringList(const StringList& other) {
    // One block that holds every entry, no more.
    size_t total = 0;
    for (const Block& block : other.blocks_) {
        total += block.used;
    }
    if (total > 0 && total <= std::numeric_limits<uint32_t>::max()) {
        blocks_.push_back({std::make_unique_for_overwrite<char[]>(total), static_cast<uint32_t>(total), 0});
    }
    for (std::string_view entry : other) {
        push_back(entry);
    }
}

StringList& StringList::operator=(const StringList& other) {
    if (this != &other) {
        StringList copy(other);
        swap(copy);
    }
    return *this;
}

std::string_view StringList::operator[](size_t index) const {
    const uint64_t position = positions_[index];
    const char* p = blocks_[position >> 32].bytes.get() + static_cast<uint32_t>(position);
    size_t length = 0;
    for (unsigned shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(*p++);
        length |= static_cast<size_t>(byte & 0x7f) << shift;
        if (byte < 0x80) {
            break;
        }
    }
    return {p, length};
}

std::string_view StringList::at(size_t index) const {
    if (index >= size()) {
        throw std::out_of_range("StringList::at");
    }
    return (*this)[index];
}

char* StringList::room(size_t bytes) {
    if (bytes > std::numeric_limits<uint32_t>::max()) {
        throw std::length_error("StringList: entry too long");
    }
    if (blocks_.empty() || blocks_.back().capacity - blocks_.back().used < bytes) {
        // A block filled early leaves its end unused: at most one entry's worth in a large block.
        uint32_t capacity =
            blocks_.empty() ? kFirstBlock : std::min(blocks_.back().capacity * 2, kLargestBlock);
        capacity = std::max(capacity, static_cast<uint32_t>(bytes));
        if (!blocks_.empty() && blocks_.back().used == 0) {
            blocks_.pop_back(); // an empty block too small for this entry
        }
        blocks_.push_back({std::make_unique_for_overwrite<char[]>(capacity), capacity, 0});
    }
    Block& block = blocks_.back();
    char* at = block.bytes.get() + block.used;
    positions_.push_back(positionOf(blocks_.size() - 1, block.used));
    block.used += static_cast<uint32_t>(bytes);
    return at;
}

void StringList::push_back(std::string_view entry) {
    // The entry may be one of this list's own: appending never moves the bytes it views.
    size_t length = entry.size();
    char* p = room(lengthBytes(length) + length + 1);
    while (length >= 0x80) {
        *p++ = static_cast<char>((length & 0x7f) | 0x80);
        length >>= 7;
    }
    *p++ = static_cast<char>(length);
    if (!entry.empty()) {
        std::memcpy(p, entry.data(), entry.size());
    }
    p[entry.size()] = '\0';
}

void StringList::resize(size_t count) {
    if (count >= size()) {
        while (size() < count) {
            push_back({});
        }
        return;
    }
    // The bytes from the first entry removed on are free again.
    const uint64_t position = positions_[count];
    const size_t block = position >> 32;
    blocks_.resize(block + 1);
    blocks_.back().used = static_cast<uint32_t>(position);
    positions_.resize(count);
}

void StringList::clear() {
    blocks_.clear();
    positions_.clear();
}

void StringList::reserve(size_t) {
    // Positions and bytes come in chunks and blocks as they are needed, without copies.
}

void StringList::shrink_to_fit() {
    positions_.shrink_to_fit();
    if (!blocks_.empty() && blocks_.back().used == 0) {
        blocks_.pop_back();
    }
    blocks_.shrink_to_fit();
}

void StringList::swap(StringList& other) noexcept {
    blocks_.swap(other.blocks_);
    positions_.swap(other.positions_);
}

size_t StringList::bytesHeld() const {
    size_t bytes = positions_.size() * sizeof(uint64_t);
    for (const Block& block : blocks_) {
        bytes += block.capacity;
    }
    return bytes;
}

bool operator==(const StringList& a, const StringList& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

} // namespace corvane::engine
