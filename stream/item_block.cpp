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

[[noreturn]] void failRead() {
    throw Error(std::string(kStreamReadError));
}

enum class RowForm { Current, Older };

// Steps over `count` rows without keeping them, failing as reading them would, and returns how many
// sub-items they hold. The image indexes of the sub-items follow the rows, so this finds where they
// begin; and once every row is known to be there, a count can no longer promise more than the block
// holds.
uint64_t skipRows(BlockCursor& in, int32_t count, RowForm form) {
    // A text's length: UTF-16 code units in the current form, bytes of a name string in the older.
    const size_t unitBytes = form == RowForm::Current ? 2 : 1;
    uint64_t subItems = 0;
    for (int32_t i = 0; i < count; ++i) {
        in.take(12); // image, state and overlay index
        const int32_t subItemCount = in.i32();
        in.take(4); // data
        in.take(unitBytes * in.u8());
        for (int32_t j = 0; j < subItemCount; ++j) {
            in.take(unitBytes * in.u8());
        }
        subItems += static_cast<uint64_t>(std::max(subItemCount, 0));
    }
    return subItems;
}

} // namespace

std::optional<std::string> findTooLongText(std::span<const ListRow> rows) {
    for (const ListRow& row : rows) {
        if (utf16Length(row.caption) > kMaxBlockTextUnits) {
            return row.caption;
        }
        for (const ListSubItem subItem : row.subItems) {
            if (utf16Length(subItem.text) > kMaxBlockTextUnits) {
                return subItem.text;
            }
        }
    }
    return std::nullopt;
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
        for (const ListSubItem subItem : row.subItems) {
            const std::u16string text = blockText(subItem.text);
            out.u8(static_cast<uint8_t>(text.size()));
            out.units(text);
            size += 3 + sizedLength(subItem.text);
        }
    }
    for (const ListRow& row : rows) {
        for (const ListSubItem subItem : row.subItems) {
            out.i16(subItem.imageIndex);
        }
    }
    out.i32At(1, static_cast<int32_t>(size));
    return out.take();
}

std::vector<ListRow> decodeItemBlock(std::span<const uint8_t> block) {
    BlockCursor in(block);
    if (in.u8() != kVersion) {
        return {};
    }
    in.i32(); // the size: not needed to read the rows
    const int32_t count = std::max(in.i32(), 0);
    BlockCursor images = in;
    const uint64_t subItems = skipRows(images, count, RowForm::Current);
    if (subItems > images.remaining() / 2) {
        failRead();
    }
    // Every row and sub-item is known to be there: what is reserved, the block holds.
    std::vector<ListRow> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        ListRow row;
        row.imageIndex = in.i32();
        row.stateIndex = in.i32();
        row.overlayIndex = in.i32();
        const int32_t subItemCount = in.i32();
        row.data = in.i32();
        row.caption = in.utf16Text(in.u8());
        row.subItems.reserve(static_cast<size_t>(std::max(subItemCount, 0)), 0);
        for (int32_t j = 0; j < subItemCount; ++j) {
            const std::string text = in.utf16Text(in.u8());
            row.subItems.append(text, images.i16());
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<ListRow> decodeOlderItemBlock(std::span<const uint8_t> block) {
    BlockCursor outer(block);
    const int32_t total = outer.i32();
    if (total < 4) {
        failRead();
    }
    BlockCursor in(outer.take(static_cast<size_t>(total) - 4));
    const int32_t count = std::max(in.i32(), 0);
    BlockCursor images = in;
    const uint64_t subItems = skipRows(images, count, RowForm::Older);
    // The image indexes are optional; begun, they must be complete.
    const bool hasImages = !images.atEnd();
    if (hasImages && subItems > images.remaining() / 2) {
        failRead();
    }
    std::vector<ListRow> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        ListRow row;
        row.imageIndex = in.i32();
        row.stateIndex = in.i32();
        row.overlayIndex = in.i32();
        const int32_t subItemCount = in.i32();
        row.data = in.i32();
        row.caption = in.shortText();
        row.subItems.reserve(static_cast<size_t>(std::max(subItemCount, 0)), 0);
        for (int32_t j = 0; j < subItemCount; ++j) {
            const std::string text = in.shortText();
            row.subItems.append(text, hasImages ? images.i16() : int16_t{-1});
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace corvane::stream
