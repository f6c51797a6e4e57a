#pragma once

// One row of a list view as plain data: a caption and sub-items, each text kept as its exact
// bytes (file names need not be UTF-8), and the integer fields a stored list carries per row.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace corvane::ui {

// All texts of a row share one buffer, so that a row costs one allocation and about 48 bytes
// besides its texts. (The rows of found files a search appends are kept more compactly still,
// see ListViewModel::appendFileRow.)
class ListRow {
public:
    ListRow() = default;
    explicit ListRow(std::string_view caption, std::initializer_list<std::string_view> subItems = {});

    std::string_view caption() const;
    void setCaption(std::string_view caption);

    int subItemCount() const;
    // The text of sub-item `i`; empty when there is no such sub-item.
    std::string_view subItemText(int i) const;
    // The image index of sub-item `i`; -1 when there is no such sub-item.
    int16_t subItemImageIndex(int i) const;
    void appendSubItem(std::string_view text, int16_t image = -1);
    // These two add empty sub-items (image index -1) up to `i` when the row has fewer.
    void setSubItemText(int i, std::string_view text);
    void setSubItemImageIndex(int i, int16_t image);

    // The per-row fields of a stored list, with the values the program's rows hold.
    int32_t imageIndex = 0;
    int32_t stateIndex = -1;
    int32_t overlayIndex = -1;
    int32_t data = 0;

    friend bool operator==(const ListRow&, const ListRow&) = default;

private:
    // Where one text sits in texts_.
    struct Span {
        size_t begin = 0; // first byte of the text
        size_t size = 0;
        size_t end = 0; // first byte after the entry (after the image index for a sub-item)
    };
    Span captionSpan() const;
    Span subItemSpan(size_t from) const;
    // Offset of sub-item `i`'s entry; npos when there is no such sub-item.
    size_t findSubItem(int i) const;
    // Offset of sub-item `i`'s entry, adding empty sub-items when the row has fewer.
    size_t reachSubItem(int i);

    // The caption, then each sub-item: every text as a length (7 bits a byte, low first) and its
    // bytes, a sub-item followed by its image index (2 bytes, little-endian). Empty for an empty
    // caption without sub-items, so that equal rows hold equal bytes.
    std::string texts_;
};

} // namespace corvane::ui
