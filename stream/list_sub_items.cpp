#include "stream/list_sub_items.h"

namespace corvane::stream {

namespace {

constexpr size_t kImageIndexBytes = 2;

size_t readLength(const std::string& packed, size_t& offset) {
    size_t length = 0;
    for (int shift = 0; offset < packed.size(); shift += 7) {
        const auto byte = static_cast<unsigned char>(packed[offset++]);
        length |= static_cast<size_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) {
            break;
        }
    }
    return length;
}

} // namespace

ListSubItem ListSubItems::Iterator::operator*() const {
    size_t offset = offset_;
    const size_t length = readLength(*packed_, offset);
    ListSubItem item;
    item.text.assign(*packed_, offset, length);
    offset += length;
    const auto low = static_cast<unsigned char>((*packed_)[offset]);
    const auto high = static_cast<unsigned char>((*packed_)[offset + 1]);
    item.imageIndex = static_cast<int16_t>(low | (high << 8));
    return item;
}

ListSubItems::Iterator& ListSubItems::Iterator::operator++() {
    const size_t length = readLength(*packed_, offset_);
    offset_ += length + kImageIndexBytes;
    return *this;
}

ListSubItems::ListSubItems(std::initializer_list<ListSubItem> items) {
    for (const ListSubItem& item : items) {
        push_back(item);
    }
}

ListSubItem ListSubItems::operator[](size_t index) const {
    Iterator at = begin();
    for (size_t i = 0; i < index; ++i) {
        ++at;
    }
    return *at;
}

void ListSubItems::append(std::string_view text, int16_t imageIndex) {
    size_t length = text.size();
    while (length >= 0x80) {
        packed_ += static_cast<char>((length & 0x7F) | 0x80);
        length >>= 7;
    }
    packed_ += static_cast<char>(length);
    packed_.append(text);
    const auto bits = static_cast<uint16_t>(imageIndex);
    packed_ += static_cast<char>(bits & 0xFF);
    packed_ += static_cast<char>(bits >> 8);
    ++count_;
}

void ListSubItems::reserve(size_t count, size_t textBytes) {
    // One length byte each is exact for texts under 128 bytes, which block texts mostly are.
    packed_.reserve(packed_.size() + count * (1 + kImageIndexBytes) + textBytes);
}

} // namespace corvane::stream
