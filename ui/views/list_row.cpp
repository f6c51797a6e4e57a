#include "ui/views/list_row.h"

namespace corvane::ui {

namespace {

void appendLength(std::string& out, size_t length) {
    while (length >= 0x80) {
        out += static_cast<char>((length & 0x7f) | 0x80);
        length >>= 7;
    }
    out += static_cast<char>(length);
}

size_t readLength(const std::string& in, size_t& pos) {
    size_t length = 0;
    for (int shift = 0; pos < in.size(); shift += 7) {
        const auto byte = static_cast<unsigned char>(in[pos++]);
        length |= static_cast<size_t>(byte & 0x7f) << shift;
        if ((byte & 0x80) == 0) {
            break;
        }
    }
    return length;
}

void appendImageIndex(std::string& out, int16_t imageIndex) {
    const auto bits = static_cast<uint16_t>(imageIndex);
    out += static_cast<char>(bits & 0xff);
    out += static_cast<char>(bits >> 8);
}

size_t lengthBytes(size_t length) {
    size_t bytes = 1;
    for (; length >= 0x80; length >>= 7) {
        ++bytes;
    }
    return bytes;
}

// A text with its length in front.
std::string entry(std::string_view text) {
    std::string out;
    appendLength(out, text.size());
    out.append(text);
    return out;
}

} // namespace

ListRow::ListRow(std::string_view caption, std::initializer_list<std::string_view> subItems) {
    if (caption.empty() && subItems.size() == 0) {
        return;
    }
    // Sized exactly: the searched-files list makes a million of these.
    size_t total = lengthBytes(caption.size()) + caption.size();
    for (std::string_view text : subItems) {
        total += lengthBytes(text.size()) + text.size() + 2;
    }
    texts_.reserve(total);
    appendLength(texts_, caption.size());
    texts_.append(caption);
    for (std::string_view text : subItems) {
        appendSubItem(text);
    }
}

ListRow::Span ListRow::captionSpan() const {
    size_t pos = 0;
    const size_t size = readLength(texts_, pos);
    return {pos, size, pos + size};
}

ListRow::Span ListRow::subItemSpan(size_t from) const {
    size_t pos = from;
    const size_t size = readLength(texts_, pos);
    return {pos, size, pos + size + 2};
}

std::string_view ListRow::caption() const {
    const Span span = captionSpan();
    return std::string_view(texts_).substr(span.begin, span.size);
}

void ListRow::setCaption(std::string_view caption) {
    std::string rest = texts_.empty() ? std::string() : texts_.substr(captionSpan().end);
    texts_ = caption.empty() && rest.empty() ? std::string() : entry(caption) + rest;
}

int ListRow::subItemCount() const {
    int count = 0;
    for (size_t pos = captionSpan().end; pos < texts_.size(); pos = subItemSpan(pos).end) {
        ++count;
    }
    return count;
}

size_t ListRow::findSubItem(int i) const {
    if (i < 0) {
        return std::string::npos;
    }
    size_t pos = captionSpan().end;
    for (; pos < texts_.size() && i > 0; --i) {
        pos = subItemSpan(pos).end;
    }
    return pos < texts_.size() ? pos : std::string::npos;
}

std::string_view ListRow::subItemText(int i) const {
    const size_t pos = findSubItem(i);
    if (pos == std::string::npos) {
        return {};
    }
    const Span span = subItemSpan(pos);
    return std::string_view(texts_).substr(span.begin, span.size);
}

int16_t ListRow::subItemImageIndex(int i) const {
    const size_t pos = findSubItem(i);
    if (pos == std::string::npos) {
        return -1;
    }
    const size_t at = subItemSpan(pos).end - 2;
    return static_cast<int16_t>(static_cast<unsigned char>(texts_[at]) |
                                static_cast<unsigned char>(texts_[at + 1]) << 8);
}

void ListRow::appendSubItem(std::string_view text, int16_t image) {
    if (texts_.empty()) {
        appendLength(texts_, 0); // the empty caption
    }
    appendLength(texts_, text.size());
    texts_.append(text);
    appendImageIndex(texts_, image);
}

size_t ListRow::reachSubItem(int i) {
    if (texts_.empty()) {
        appendLength(texts_, 0); // the empty caption
    }
    size_t pos = captionSpan().end;
    for (int k = 0;; ++k) {
        if (pos >= texts_.size()) {
            appendSubItem({});
        }
        if (k == i) {
            return pos;
        }
        pos = subItemSpan(pos).end;
    }
}

void ListRow::setSubItemText(int i, std::string_view text) {
    if (i < 0) {
        return;
    }
    const size_t pos = reachSubItem(i);
    const Span span = subItemSpan(pos);
    std::string replaced = texts_.substr(0, pos) + entry(text);
    replaced.append(texts_, span.end - 2, std::string::npos); // its image index and what follows
    texts_ = std::move(replaced);
}

void ListRow::setSubItemImageIndex(int i, int16_t image) {
    if (i < 0) {
        return;
    }
    const size_t at = subItemSpan(reachSubItem(i)).end - 2;
    const auto bits = static_cast<uint16_t>(image);
    texts_[at] = static_cast<char>(bits & 0xff);
    texts_[at + 1] = static_cast<char>(bits >> 8);
}

} // namespace corvane::ui
