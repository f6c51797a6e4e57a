#pragma once

// The sub-items of one list row, packed into one buffer. A row may carry any number of sub-items, and
// a damaged or crafted file may give one row millions of empty ones: kept as separate strings, each
// would cost some 40 bytes for the 3 bytes it takes in an item block. Packed, a sub-item costs its
// text's bytes and 3 to 5 more, so a block never decodes into much more memory than it takes itself.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>

namespace corvane::stream {

// One sub-item as the caller sees it: a text and the image index shown next to it.
struct ListSubItem {
    std::string text{};
    int16_t imageIndex = -1;

    friend bool operator==(const ListSubItem&, const ListSubItem&) = default;
};

class ListSubItems {
public:
    // Visits the sub-items in order; each step gives a ListSubItem by value.
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = ListSubItem;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = ListSubItem;

        Iterator() = default;
        ListSubItem operator*() const;
        Iterator& operator++();
        Iterator operator++(int) {
            Iterator before = *this;
            ++*this;
            return before;
        }
        friend bool operator==(const Iterator& a, const Iterator& b) { return a.offset_ == b.offset_; }

    private:
        friend class ListSubItems;
        Iterator(const std::string* packed, size_t offset) : packed_(packed), offset_(offset) {}

        const std::string* packed_ = nullptr;
        size_t offset_ = 0;
    };
    using iterator = Iterator;
    using const_iterator = Iterator;
    using value_type = ListSubItem;

    ListSubItems() = default;
    ListSubItems(std::initializer_list<ListSubItem> items);

    size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    Iterator begin() const { return Iterator(&packed_, 0); }
    Iterator end() const { return Iterator(&packed_, packed_.size()); }
    ListSubItem front() const { return *begin(); }
    // Steps over the sub-items before `index`: for one sub-item. To visit all, iterate.
    ListSubItem operator[](size_t index) const;

    void push_back(const ListSubItem& item) { append(item.text, item.imageIndex); }
    void append(std::string_view text, int16_t imageIndex);
    // Makes room for `count` more sub-items whose texts take `textBytes` bytes in all.
    void reserve(size_t count, size_t textBytes);

    friend bool operator==(const ListSubItems&, const ListSubItems&) = default;

private:
    // Each sub-item: its text's length (7 bits a byte, low first), its bytes, then its image index
    // (2 bytes, little-endian).
    std::string packed_;
    size_t count_ = 0;
};

} // namespace corvane::stream
