#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::engine {

// An ordered list of strings, kept compactly: the bytes of all entries one after another in a few
// large blocks, and one position per entry. A search holds a million paths at once; as one
// std::string each they would take about half as much again, and a growing vector of them is
// copied whole each time it doubles.
//
// Entries are the exact bytes they were given (any byte, a NUL or a line break included); each
// is followed by a NUL in the store, so that c_str() hands a path to the system without a copy.
// Entries are read as std::string_view. Appending never moves the bytes of entries already
// held, so the views of them stay valid until those entries are removed or the list is
// cleared, assigned or destroyed; moving a list moves its blocks, and views stay valid too.
class StringList {
public:
    using value_type = std::string_view;
    using size_type = size_t;

    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;

        const_iterator() = default;
        std::string_view operator*() const { return (*list_)[index_]; }
        std::string_view operator[](difference_type n) const { return (*list_)[index_ + n]; }
        const_iterator& operator++() { return ++index_, *this; }
        const_iterator operator++(int) { return {list_, index_++}; }
        const_iterator& operator--() { return --index_, *this; }
        const_iterator operator--(int) { return {list_, index_--}; }
        const_iterator& operator+=(difference_type n) { return index_ += n, *this; }
        const_iterator& operator-=(difference_type n) { return index_ -= n, *this; }
        friend const_iterator operator+(const_iterator it, difference_type n) { return it += n; }
        friend const_iterator operator+(difference_type n, const_iterator it) { return it += n; }
        friend const_iterator operator-(const_iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const const_iterator& a, const const_iterator& b) {
            return static_cast<difference_type>(a.index_) - static_cast<difference_type>(b.index_);
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.index_ == b.index_;
        }
        friend auto operator<=>(const const_iterator& a, const const_iterator& b) {
            return a.index_ <=> b.index_;
        }

    private:
        friend class StringList;
        const_iterator(const StringList* list, size_t index) : list_(list), index_(index) {}
        const StringList* list_ = nullptr;
        size_t index_ = 0;
    };
    using iterator = const_iterator;

    StringList() = default;
    StringList(std::initializer_list<std::string_view> entries);
    // A list of the same strings, for callers that hold them as std::string.
    StringList(const std::vector<std::string>& entries); // NOLINT(google-explicit-constructor)
    template <typename InputIt> StringList(InputIt first, InputIt last) {
        for (; first != last; ++first) {
            push_back(*first);
        }
    }
    StringList(const StringList& other);
    StringList& operator=(const StringList& other);
    StringList(StringList&& other) noexcept = default;
    StringList& operator=(StringList&& other) noexcept = default;
    ~StringList() = default;

    size_t size() const { return positions_.size(); }
    bool empty() const { return positions_.empty(); }

    std::string_view operator[](size_t index) const;
    // The same, checked: throws std::out_of_range past the end.
    std::string_view at(size_t index) const;
    std::string_view front() const { return (*this)[0]; }
    std::string_view back() const { return (*this)[size() - 1]; }
    // Entry `index`, followed by a NUL; a NUL inside the entry ends it early for C functions.
    const char* c_str(size_t index) const { return (*this)[index].data(); }

    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    void push_back(std::string_view entry);
    void emplace_back(std::string_view entry) { push_back(entry); }
    // Removes the last entry; its bytes are taken again by the next entry appended.
    void pop_back() { resize(size() - 1); }
    // Keeps the first `count` entries (the bytes of the others are given back to the list), or
    // appends empty ones up to `count`.
    void resize(size_t count);
    void clear();
    // Room for `count` entries' positions. The bytes come in blocks as they are needed.
    void reserve(size_t count);
    void shrink_to_fit();
    void swap(StringList& other) noexcept;

    // Bytes held for the entries and their positions: what the list costs.
    size_t bytesHeld() const;

    friend bool operator==(const StringList& a, const StringList& b);

private:
    struct Block {
        std::unique_ptr<char[]> bytes;
        uint32_t capacity = 0;
        uint32_t used = 0;
    };
    // Where an entry starts: its block and its offset there. The entry is stored as its length
    // (7 bits a byte, low bits first, the high bit marking that more follow), its bytes and a NUL.
    static uint64_t positionOf(size_t block, uint32_t offset) { return uint64_t{block} << 32 | offset; }

    // Room for `bytes` more bytes in the last block, opening a new block when it has none.
    char* room(size_t bytes);

    std::vector<Block> blocks_;
    // Chunked, so that a list of a million entries grows without copying its positions.
    std::deque<uint64_t> positions_;
};

inline void swap(StringList& a, StringList& b) noexcept {
    a.swap(b);
}

} // namespace corvane::engine
