#include "engine/file_scanner.h"
#include "engine/search_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

namespace corvane::testing {
namespace {

using engine::splitPatternText;
using engine::StringList;

TEST(PatternText, SeparatorsBlanksAndQuotes) {
    EXPECT_EQ(splitPatternText("*.jpg;*.png"), (StringList{"*.jpg", "*.png"}));
    EXPECT_EQ(splitPatternText("*.jpg; *.png"), (StringList{"*.jpg", "*.png"}));
    EXPECT_EQ(splitPatternText("*.jpg *.png"), (StringList{"*.jpg", "*.png"}));
    EXPECT_EQ(splitPatternText("  \t*.jpg"), (StringList{"*.jpg"}));
    EXPECT_EQ(splitPatternText("a;;b"), (StringList{"a", "", "b"}));
    EXPECT_EQ(splitPatternText("*.txt;"), (StringList{"*.txt", ""}));
    EXPECT_EQ(splitPatternText("*.txt; "), (StringList{"*.txt"}));
    EXPECT_EQ(splitPatternText("\"my file;1.txt\";*.doc"), (StringList{"my file;1.txt", "*.doc"}));
    EXPECT_EQ(splitPatternText("\"say \"\"hi\"\"\""), (StringList{"say \"hi\""}));
    EXPECT_EQ(splitPatternText("\"unclosed *.x"), (StringList{"unclosed *.x"}));
    EXPECT_TRUE(splitPatternText("").empty());
    EXPECT_TRUE(splitPatternText("   ").empty());
}

TEST(PatternText, TrailingSeparatorIsAddedOnce) {
    EXPECT_EQ(engine::withTrailingSeparator("/data"), "/data/");
    EXPECT_EQ(engine::withTrailingSeparator("/data/"), "/data/");
    EXPECT_EQ(engine::withTrailingSeparator(""), "/");
}

TEST(SearchOrder, SizeFirstThenCreationDayKeepingTheOrderOfEqualRows) {
    // Rows in the order found: (size, day).
    const std::vector<engine::SearchOrderKey> keys = {
        {300, 5}, {100, 9}, {100, 2}, {300, 5}, {100, 9}, {200, 1},
    };
    EXPECT_EQ(engine::searchOrder(keys), (std::vector<uint32_t>{2, 1, 4, 5, 0, 3}));

    // The two re-sorts separately: by day first, then by size.
    std::vector<uint32_t> order = {0, 1, 2, 3, 4, 5};
    engine::sortByCreationDay(order, keys);
    EXPECT_EQ(order, (std::vector<uint32_t>{5, 2, 0, 3, 1, 4}));
    engine::sortBySize(order, keys);
    EXPECT_EQ(order, (std::vector<uint32_t>{2, 1, 4, 5, 0, 3}));
}

TEST(SearchOrder, AgreesWithAComparisonSortOverTheWholeKeyRange) {
    // Keys that differ in every byte, negative ones and the least value (an unreadable text)
    // among them, and many repeats, so that the order of equal rows shows.
    std::mt19937_64 random(99);
    const std::vector<int64_t> pool = {INT64_MIN, -1,           0, 1, 255, 256, 65536, 3000000000LL,
                                       INT64_MAX, -3000000000LL};
    std::vector<engine::SearchOrderKey> keys(2000);
    for (auto& key : keys) {
        key.size = random() % 3 ? pool[random() % pool.size()] : static_cast<int64_t>(random());
        key.day = static_cast<int64_t>(random() % 5) - 2;
    }
    std::vector<uint32_t> expected(keys.size());
    std::iota(expected.begin(), expected.end(), 0u);
    std::stable_sort(expected.begin(), expected.end(),
                     [&](uint32_t a, uint32_t b) { return keys[a].day < keys[b].day; });
    std::stable_sort(expected.begin(), expected.end(),
                     [&](uint32_t a, uint32_t b) { return keys[a].size < keys[b].size; });
    EXPECT_EQ(engine::searchOrder(keys), expected);

    // The rows themselves put in that order, in place.
    std::vector<std::string> rows, rowsInOrder;
    for (size_t i = 0; i < keys.size(); ++i) {
        rows.push_back("row " + std::to_string(i));
    }
    for (uint32_t row : expected) {
        rowsInOrder.push_back(rows[row]);
    }
    engine::applyOrder(rows, expected);
    EXPECT_EQ(rows, rowsInOrder);
}

TEST(SearchOrder, InPiecesTheSameOrderAndAStoppedSortChangesNothing) {
    // Enough rows for several pieces in every pass; sizes past 32 bits take the wider path.
    std::mt19937_64 random(7);
    for (const int64_t sizeRange : {int64_t{5000}, int64_t{1} << 40}) {
        std::vector<engine::SearchOrderKey> keys(300000);
        for (auto& key : keys) {
            key.size = static_cast<int64_t>(random() % static_cast<uint64_t>(sizeRange));
            key.day = static_cast<int64_t>(random() % 3000);
        }
        std::vector<uint32_t> found(keys.size());
        std::iota(found.begin(), found.end(), 0u);
        std::shuffle(found.begin(), found.end(), random); // some earlier order shown

        std::vector<uint32_t> atOnce = found;
        engine::sortByCreationDay(atOnce, keys);
        engine::sortBySize(atOnce, keys);

        std::vector<uint32_t> inPieces = found;
        int calls = 0;
        const engine::BetweenPieces goOn = [&] { return ++calls, true; };
        EXPECT_TRUE(engine::sortByCreationDay(inPieces, keys, goOn));
        EXPECT_TRUE(engine::sortBySize(inPieces, keys, goOn));
        EXPECT_EQ(inPieces, atOnce);
        EXPECT_GE(calls, 2 * 3 * static_cast<int>(keys.size() >> 16)); // each sort: keys, count, move

        for (const int stopAt : {1, 5, 12}) {
            std::vector<uint32_t> stopped = found;
            int left = stopAt;
            EXPECT_FALSE(engine::sortBySize(stopped, keys, [&] { return --left > 0; }));
            EXPECT_EQ(stopped, found) << "stopped at call " << stopAt;
        }
    }
}

TEST(SearchOrder, TextsReadBack) {
    EXPECT_EQ(engine::parseSizeText("3000000000"), 3000000000LL);
    EXPECT_EQ(engine::parseSizeText("-1294967296"), -1294967296LL);
    EXPECT_FALSE(engine::parseSizeText("12a"));
    EXPECT_FALSE(engine::parseSizeText(""));

    const auto date = engine::parseIsoDate("1999-12-31");
    ASSERT_TRUE(date);
    EXPECT_EQ(engine::isoDateText(*date), "1999-12-31");
    EXPECT_FALSE(engine::parseIsoDate("1999-13-01"));
    EXPECT_FALSE(engine::parseIsoDate("99-12-31"));

    EXPECT_EQ(engine::dayNumber({1970, 1, 1}), 0);
    EXPECT_EQ(engine::dayNumber({1969, 12, 31}), -1);
    EXPECT_EQ(engine::dayNumber({2000, 3, 1}) - engine::dayNumber({2000, 2, 28}), 2); // a leap year
    EXPECT_EQ(engine::dayNumber({1900, 3, 1}) - engine::dayNumber({1900, 2, 28}), 1); // not one
}

} // namespace
} // namespace corvane::testing
