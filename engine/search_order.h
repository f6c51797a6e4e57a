#pragma once

// The order in which found files go to the comparer: by creation day, then by size, each sort
// keeping the order of equal rows, so that files of equal size stand together and, among them,
// the earliest created comes first. Both front ends order their rows with these functions.

#include "platform/local_time.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace corvane::engine {

// What a searched-file row is ordered by. A text that cannot be read gives the least value.
struct SearchOrderKey {
    int64_t size = INT64_MIN;
    int64_t day = INT64_MIN;
};

// Called between pieces of a long sort, every 65,536 rows of each pass; returning false stops
// the sort. A window turns its event loop here, so that a sort of a million rows never holds it.
using BetweenPieces = std::function<bool()>;

// Re-sorts `order` (row numbers into `keys`) by ascending day, keeping the order of equal rows.
// Returns false, with `order` as it was, when `between` stopped it.
bool sortByCreationDay(std::vector<uint32_t>& order, const std::vector<SearchOrderKey>& keys,
                       const BetweenPieces& between = {});
// Re-sorts `order` by ascending size, keeping the order of equal rows; as above.
bool sortBySize(std::vector<uint32_t>& order, const std::vector<SearchOrderKey>& keys,
                const BetweenPieces& between = {});
// Rows 0..n-1 put through both re-sorts: the comparer's order.
std::vector<uint32_t> searchOrder(const std::vector<SearchOrderKey>& keys);

// Puts `items` (a vector or deque) into `order`: item i becomes the former item order[i]. In
// place, cycle by cycle, so that a list of a million rows is not held twice.
template <typename Items> void applyOrder(Items& items, const std::vector<uint32_t>& order) {
    std::vector<bool> placed(items.size());
    for (size_t start = 0; start < items.size(); ++start) {
        if (placed[start]) {
            continue;
        }
        auto first = std::move(items[start]);
        size_t at = start;
        for (;;) {
            placed[at] = true;
            const size_t from = order[at];
            if (from == start) {
                items[at] = std::move(first);
                break;
            }
            items[at] = std::move(items[from]);
            at = from;
        }
    }
}

// Days since 1 January 1970 (negative before).
int64_t dayNumber(const platform::CivilDate& date);
// A size text as the scanner writes it (signed decimal).
std::optional<int64_t> parseSizeText(std::string_view text);
// A yyyy-MM-dd date text.
std::optional<platform::CivilDate> parseIsoDate(std::string_view text);

} // namespace corvane::engine
