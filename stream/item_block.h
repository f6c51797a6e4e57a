#pragma once

// The rows of a list as plain data, and the byte block a list view stores them in ("Items.ItemData";
// the older "Items.Data" is only read). A list control binds its block properties to these codecs, so
// a live list and plain data give the same bytes.

#include "stream/block_limits.h"
#include "stream/list_sub_items.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace corvane::stream {

// One row, with the values the program's rows hold as defaults.
struct ListRow {
    std::string caption{};
    ListSubItems subItems{};
    int32_t imageIndex = 0;
    int32_t stateIndex = -1;
    int32_t overlayIndex = -1;
    int32_t data = 0;

    friend bool operator==(const ListRow&, const ListRow&) = default;
};

// The version 1 item block of `rows`. A text longer than kMaxBlockTextUnits is never cut (a cut path
// names another file): it fails with "Stream write error"; check first with findTooLongText.
std::vector<uint8_t> encodeItemBlock(std::span<const ListRow> rows);

// The rows of an item block. A version other than 1 gives no rows and no error. Fails with "Stream
// read error" when the block ends before its rows do, before anything is reserved for counts that it
// cannot hold. The rows take memory of about a small multiple of the block's size, whatever it holds.
std::vector<ListRow> decodeItemBlock(std::span<const uint8_t> block);

// The rows of an older list block ("Items.Data"). Fails with "Stream read error" when the sizes or
// counts in it point past its end.
std::vector<ListRow> decodeOlderItemBlock(std::span<const uint8_t> block);

// The first caption or sub-item that a block cannot hold whole, or nothing.
std::optional<std::string> findTooLongText(std::span<const ListRow> rows);

} // namespace corvane::stream
