// The compact list of strings the scan and the comparer keep their paths in: it must give back
// every entry byte for byte, whatever bytes and lengths, and keep views of its entries valid while
// it grows.

#include "engine/string_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::testing {
namespace {

using engine::StringList;

// Entries of every kind: empty, bytes that are not text, a NUL inside, line breaks, and lengths
// on both sides of where the stored length takes a second and a third byte, and of a block.
std::vector<std::string> awkwardEntries() {
    std::vector<std::string> entries{"", "/a", std::string("nul\0inside", 10), "two\nlines", "\xff\xfe\x80"};
    for (const size_t length : {127u, 128u, 129u, 16383u, 16384u, 300000u, (1u << 20) + 3}) {
        std::string text(length, 'x');
        text.front() = 'A';
        text.back() = 'Z';
        entries.push_back(text);
    }
    return entries;
}

TEST(StringList, GivesBackEveryEntryByteForByteWithATrailingNul) {
    const std::vector<std::string> entries = awkwardEntries();
    StringList list;
    for (const std::string& entry : entries) {
        list.push_back(entry);
    }
    ASSERT_EQ(list.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(list[i], entries[i]) << "entry " << i;
        EXPECT_EQ(list.c_str(i)[entries[i].size()], '\0') << "entry " << i;
    }
    EXPECT_EQ(std::vector<std::string>(list.begin(), list.end()), entries);
    EXPECT_EQ(StringList(entries), list);
    EXPECT_THROW(list.at(entries.size()), std::out_of_range);
}

TEST(StringList, ViewsOfEntriesStayValidWhileTheListGrows) {
    StringList list;
    list.push_back("first");
    const std::string_view first = list[0];
    // Appending an entry of the list itself, many times, over many blocks.
    for (int i = 0; i < 200000; ++i) {
        list.push_back(list[static_cast<size_t>(i)]);
    }
    EXPECT_EQ(first, "first");
    EXPECT_EQ(first.data(), list[0].data());
    EXPECT_EQ(list.back(), "first");
    // Moving the list moves its blocks: the views still name the same bytes.
    const StringList moved = std::move(list);
    EXPECT_EQ(first.data(), moved[0].data());
}

TEST(StringList, RemovedEntriesGiveTheirRoomToTheNext) {
    std::mt19937 random(2712);
    StringList list;
    std::vector<std::string> model;
    for (int step = 0; step < 20000; ++step) {
        const unsigned what = random() % 10;
        if (what < 7 || model.empty()) {
            std::string entry(random() % (what == 0 ? 5000 : 90), static_cast<char>('a' + random() % 26));
            list.push_back(entry);
            model.push_back(entry);
        } else if (what < 9) {
            list.pop_back();
            model.pop_back();
        } else {
            const size_t keep = random() % (model.size() + 1);
            list.resize(keep);
            model.resize(keep);
        }
    }
    ASSERT_EQ(std::vector<std::string>(list.begin(), list.end()), model);
    // Growing appends empty entries.
    list.resize(model.size() + 2);
    EXPECT_EQ(list.back(), "");
    EXPECT_EQ(list.size(), model.size() + 2);
    list.clear();
    EXPECT_TRUE(list.empty());
    list.push_back("again");
    EXPECT_EQ(list.front(), "again");
}

TEST(StringList, CopiesAreEqualAndIndependent) {
    StringList list{"a", "bb", std::string_view("c\0c", 3)};
    StringList copy = list;
    EXPECT_EQ(copy, list);
    copy.push_back("d");
    EXPECT_NE(copy, list);
    copy = list;
    EXPECT_EQ(copy, list);
    StringList other{"x"};
    swap(other, copy);
    EXPECT_EQ(other, list);
    EXPECT_EQ(copy, (StringList{"x"}));
}

TEST(StringList, APathCostsItsBytesAndLittleMore) {
    // A million paths as a search keeps them: one block of bytes and a position each, not a
    // string object and a heap block each (about 128 bytes for a path of 74).
    StringList list;
    std::string path = "/home/user/pictures/2026/holidays/sea/IMG_00000000.jpg/and/some/more/x";
    size_t bytes = 0;
    for (int i = 0; i < 100000; ++i) {
        std::snprintf(path.data() + 42, 9, "%08d", i);
        path[50] = '.';
        list.push_back(path);
        bytes += path.size();
    }
    EXPECT_LT(list.bytesHeld(), bytes + 100000 * 12 + (1u << 20));
}

} // namespace
} // namespace corvane::testing
