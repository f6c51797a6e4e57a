#include "engine/search_order.h"

#include <algorithm>
#include <charconv>
#include <numeric>

namespace corvane::engine {

namespace {

// Stable sort of `order` by one field of its rows' keys. The key travels with the row number, so
// that a million rows sort without a cache miss per comparison.
void stableSortBy(std::vector<uint32_t>& order, const std::vector<SearchOrderKey>& keys,
                  int64_t SearchOrderKey::*field) {
    std::vector<std::pair<int64_t, uint32_t>> pairs;
    pairs.reserve(order.size());
    for (uint32_t row : order) {
        pairs.emplace_back(keys[row].*field, row);
    }
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < pairs.size(); ++i) {
        order[i] = pairs[i].second;
    }
}

} // namespace

void sortByCreationDay(std::vector<uint32_t>& order, const std::vector<SearchOrderKey>& keys) {
    stableSortBy(order, keys, &SearchOrderKey::day);
}

void sortBySize(std::vector<uint32_t>& order, const std::vector<SearchOrderKey>& keys) {
    stableSortBy(order, keys, &SearchOrderKey::size);
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
