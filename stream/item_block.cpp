#include "stream/item_block.h"

#include "stream/block_cursor.h"
#include "stream/error.h"
#include "stream/messages.h"
#include "stream/text_codec.h"

#include <algorithm>
#include <limits>

namespace corvane::stream {

namespace {

constexpr uint8_t kVersion = 1;

std::u16string blockText(const std::string& text) {
    std::u16string units = utf8ToUtf16(text);
    if (units.size() > kMaxBlockTextUnits) {
        throw Error(std::string(kStreamWriteError));
    }
    return units;
}

// The size field counts 2 bytes per 8-bit character, at most 510 per text. Readers ignore it; it is
// summed modulo 2^32 as a 32-bit field would be.
uint32_t sizedLength(const std::string& text) {
    return static_cast<uint32_t>(std::min<size_t>(2 * text.size(), 2 * kMaxBlockTextUnits));
}

int32_t count32(size_t count) {
    if (count > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
        throw Error(std::string(kStreamWriteError));
    }
    return static_cast<int32_t>(count);
}

} // namespace

const std::string* findTooLongText(std::span<const ListRow> rows) {
    for (const ListRow& row : rows) {
        if (utf16Length(row.caption) > kMaxBlockTextUnits) {
            return &row.caption;
        }
        for (const ListSubItem& subItem : row.subItems) {
            if (utf16Length(subItem.text) > kMaxBlockTextUnits) {
                return &subItem.text;
            }
        }
    }
    return nullptr;
}

std::vector<uint8_t> encodeItemBlock(std::span<const ListRow> rows) {
    BlockBuilder out;
    out.u8(kVersion);
    out.i32(0); // the size, known at the end
    out.i32(count32(rows.size()));
    uint32_t size = 0;
    for (const ListRow& row : rows) {
        const std::u16string caption = blockText(row.caption);
        out.i32(row.imageIndex);
        out.i32(row.stateIndex);
        out.i32(row.overlayIndex);
        out.i32(count32(row.subItems.size()));
        out.i32(row.data);
        out.u8(static_cast<uint8_t>(caption.size()));
        out.units(caption);
        size += 22 + sizedLength(row.caption);
        for (const ListSubItem& subItem : row.subItems) {
            const std::u16string text = blockText(subItem.text);
            out.u8(static_cast<uint8_t>(text.size()));
            out.units(text);
            size += 3 + sizedLength(subItem.text);
        }
    }
    for (const ListRow& row : rows) {
        for (const ListSubItem& subItem : row.subItems) {
            out.i16(subItem.imageIndex);
        }
    }
    out.i32At(1, static_cast<int32_t>(size));
    return out.take();
}

std::vector<ListRow> decodeItemBlock(std::span<const uint8_t> block) {
    std::vector<ListRow> rows;
    BlockCursor in(block);
    if (in.u8() != kVersion) {
        return rows;
    }
    in.i32(); // the size: not needed to read the rows
    const int32_t count = in.i32();
    for (int32_t i = 0; i < count; ++i) {
        ListRow row;
        row.imageIndex = in.i32();
        row.stateIndex = in.i32();
        row.overlayIndex = in.i32();
        const int32_t subItemCount = in.i32();
        row.data = in.i32();
        row.caption = in.utf16Text(in.u8());
        for (int32_t j = 0; j < subItemCount; ++j) {
            ListSubItem subItem;
            subItem.text = in.utf16Text(in.u8());
            row.subItems.push_back(std::move(subItem));
        }
        rows.push_back(std::move(row));
    }
    for (ListRow& row : rows) {
        for (ListSubItem& subItem : row.subItems) {
            subItem.imageIndex = in.i16();
        }
    }
    return rows;
}

std::vector<ListRow> decodeOlderItemBlock(std::span<const uint8_t> block) {
    std::vector<ListRow> rows;
    BlockCursor outer(block);
    const int32_t total = outer.i32();
    if (total < 4) {
        throw Error(std::string(kStreamReadError));
    }
    BlockCursor in(outer.take(static_cast<size_t>(total) - 4));
    const int32_t count = in.i32();
    for (int32_t i = 0; i < count; ++i) {
        ListRow row;
        row.imageIndex = in.i32();
        row.stateIndex = in.i32();
        row.overlayIndex = in.i32();
        const int32_t subItemCount = in.i32();
        row.data = in.i32();
        row.caption = in.shortText();
        for (int32_t j = 0; j < subItemCount; ++j) {
            ListSubItem subItem;
            subItem.text = in.shortText();
            row.subItems.push_back(std::move(subItem));
        }
        rows.push_back(std::move(row));
    }
    if (!in.atEnd()) {
        for (ListRow& row : rows) {
            for (ListSubItem& subItem : row.subItems) {
                subItem.imageIndex = in.i16();
            }
        }
    }
    return rows;
}

} // namespace corvane::stream
