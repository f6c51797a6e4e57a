#include "engine/search_order.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <memory>
#include <numeric>
#include <utility>

namespace corvane::engine {

namespace {

// How many rows a sort handles between two calls of its caller's BetweenPieces.
constexpr size_t kPieceRows = 1 << 16;

// Counts rows towards the next piece's end and asks the caller there whether to go on.
class Pieces {
public:
    explicit Pieces(const BetweenPieces& between) : between_(between) {}
    bool goOn() {
        if (!between_ || ++done_ < kPieceRows) {
            return true;
        }
        done_ = 0;
        return between_();
    }

private:
    const BetweenPieces& between_;
    size_t done_ = 0;
};

// Stable radix sort of `items` by `bytes` bytes of their keys, from the lowest; a byte that is
// the same in every key costs one counting pass and no moves. False when the caller stopped it
// (`items` then hold the rows in some order).
template <typename Item, typename ByteOf>
bool radixSort(std::vector<Item>& items, int bytes, ByteOf byteOf, Pieces& pieces) {
    // The second buffer is left unwritten until the passes write it: writing megabytes of zeros
    // first would cost as much as a pass, in one go between two pieces.
    const auto spare = std::make_unique_for_overwrite<Item[]>(items.size());
    Item* from = items.data();
    Item* to = spare.get();
    for (int byte = 0; byte < bytes; ++byte) {
        std::array<size_t, 256> start{};
        for (size_t i = 0; i < items.size(); ++i) {
            ++start[byteOf(from[i], byte)];
            if (!pieces.goOn()) {
                return false;
            }
        }
        if (std::find(start.begin(), start.end(), items.size()) != start.end()) {
            continue;
        }
        size_t sum = 0;
        for (size_t& count : start) {
            sum += std::exchange(count, sum);
        }
        for (size_t i = 0; i < items.size(); ++i) {
            to[start[byteOf(from[i], byte)]++] = from[i];
            if (!pieces.goOn()) {
                return false;
            }
        }
        std::swap(from, to);
    }
    if (from != items.data()) {
        std::copy(from, from + items.size(), items.data());
    }
    return true;
}

// Stable sort of `order` by one field of its rows' keys: a radix sort with the row number
// travelling beside its key. Keys are taken from the least one up, so that sizes and days
// usually fit 32 bits and key and row share one 64-bit word; a million rows then sort in a few
// passes over 8 MB. `order` changes only once the sort is through.
bool stableSortBy(std::vector<uint32_t>& order, const std::vector<SearchOrderKey>& keys,
                  int64_t SearchOrderKey::*field, const BetweenPieces& between) {
    if (order.empty()) {
        return true;
    }
    Pieces pieces(between);
    int64_t least = INT64_MAX;
    int64_t most = INT64_MIN;
    for (uint32_t row : order) {
        least = std::min(least, keys[row].*field);
        most = std::max(most, keys[row].*field);
        if (!pieces.goOn()) {
            return false;
        }
    }
    const uint64_t range = static_cast<uint64_t>(most) - static_cast<uint64_t>(least);
    const auto above = [&](uint32_t row) {
        return static_cast<uint64_t>(keys[row].*field) - static_cast<uint64_t>(least);
    };
    int bytes = 1;
    while (bytes < 8 && (range >> (8 * bytes)) != 0) {
        ++bytes;
    }
    if (range <= UINT32_MAX) {
        std::vector<uint64_t> packed;
        packed.reserve(order.size());
        for (uint32_t row : order) {
            packed.push_back(above(row) << 32 | row);
            if (!pieces.goOn()) {
                return false;
            }
        }
        if (!radixSort(
                packed, bytes, [](uint64_t item, int byte) { return (item >> (32 + 8 * byte)) & 0xff; },
                pieces)) {
            return false;
        }
        for (size_t i = 0; i < packed.size(); ++i) {
            order[i] = static_cast<uint32_t>(packed[i]);
        }
    } else {
        std::vector<std::pair<uint64_t, uint32_t>> pairs;
        pairs.reserve(order.size());
        for (uint32_t row : order) {
            pairs.emplace_back(above(row), row);
            if (!pieces.goOn()) {
                return false;
            }
        }
        if (!radixSort(
                pairs, bytes, [](const auto& item, int byte) { return (item.first >> (8 * byte)) & 0xff; },
                pieces)) {
            return false;
        }
        for (size_t i = 0; i < pairs.size(); ++i) {
            order[i] = pairs[i].second;
        }
    }
    return true;
}

} // namespace

bool sortByCreationDay(std::vector<uint32_t>& order, const std::vector<SearchOrderKey>& keys,
                       const BetweenPieces& between) {
    return stableSortBy(order, keys, &SearchOrderKey::day, between);
}

bool sortBySize(std::vector<uint32_t>& order, const std::vector<SearchOrderKey>& keys,
                const BetweenPieces& between) {
    return stableSortBy(order, keys, &SearchOrderKey::size, between);
}

std::vector<uint32_t> searchOrder(const std::vector<SearchOrderKey>& keys) {
    std::vector<uint32_t> order(keys.size());
    std::iota(order.begin(), order.end(), 0u);
    sortByCreationDay(order, keys);
    sortBySize(order, keys);
    return order;
}

int64_t dayNumber(const platform::CivilDate& date) {
    // Days from civil, proleptic Gregorian calendar, counted in 400-year eras.
    const int64_t y = static_cast<int64_t>(date.year) - (date.month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t monthIndex = date.month > 2 ? date.month - 3 : date.month + 9;
    const int64_t dayOfYear = (153 * monthIndex + 2) / 5 + date.day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::optional<int64_t> parseSizeText(std::string_view text) {
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::optional<platform::CivilDate> parseIsoDate(std::string_view text) {
    const auto number = [&](size_t from, size_t length, int& out) {
        const char* first = text.data() + from;
        const auto [end, error] = std::from_chars(first, first + length, out);
        return error == std::errc() && end == first + length;
    };
    platform::CivilDate date;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !number(0, 4, date.year) ||
        !number(5, 2, date.month) || !number(8, 2, date.day) || date.month < 1 || date.month > 12 ||
        date.day < 1 || date.day > 31) {
        return std::nullopt;
    }
    return date;
}

} // namespace corvane::engine
