// The item and node block codecs beyond the reference blocks of stream/FORMAT.md: other versions, the
// older forms, hostile counts and sizes, and texts the blocks cannot hold.

#include "byte_helpers.h"

#include "stream/error.h"
#include "stream/item_block.h"
#include "stream/node_block.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

using stream::ListRow;
using stream::TreeNode;

std::string decodeError(const std::function<void()>& decode) {
    try {
        decode();
    } catch (const Error& error) {
        return error.what();
    }
    return "(decoded)";
}

TEST(ItemBlockDecoding, AnotherVersionGivesNoRowsAndNoError) {
    EXPECT_TRUE(stream::decodeItemBlock(hex("02 31 00 00 00 01 00 00 00 FF")).empty());
    EXPECT_TRUE(stream::decodeItemBlock(hex("00")).empty());
}

TEST(ItemBlockDecoding, ANegativeRowCountReadsNoRows) {
    EXPECT_TRUE(stream::decodeItemBlock(hex("01 00 00 00 00 FF FF FF FF")).empty());
}

TEST(ItemBlockDecoding, CountsThatPointPastTheBlockAreStreamReadErrors) {
    // Two billion rows announced, one row's worth of bytes present.
    const Bytes rows = hex("01 00 00 00 00 FF FF FF 7F 00000000 FFFFFFFF FFFFFFFF 00000000 00000000 00");
    EXPECT_EQ(decodeError([&] { stream::decodeItemBlock(rows); }), "Stream read error");
    // A row announcing two billion sub-items.
    const Bytes subItems =
        hex("01 00 00 00 00 01 00 00 00 00000000 FFFFFFFF FFFFFFFF FFFFFF7F 00000000 00 00");
    EXPECT_EQ(decodeError([&] { stream::decodeItemBlock(subItems); }), "Stream read error");
    // A caption longer than what is left, and a missing sub-item image index.
    EXPECT_EQ(decodeError([&] {
                  stream::decodeItemBlock(hex("01 00000000 01000000 00000000 FFFFFFFF "
                                              "FFFFFFFF 00000000 00000000 05 4100"));
              }),
              "Stream read error");
    EXPECT_EQ(decodeError([&] {
                  stream::decodeItemBlock(hex("01 00000000 01000000 00000000 FFFFFFFF "
                                              "FFFFFFFF 01000000 00000000 00 00 FF"));
              }),
              "Stream read error");
    EXPECT_EQ(decodeError([&] { stream::decodeItemBlock({}); }), "Stream read error");
}

TEST(ItemBlockDecoding, FieldsAreSetAsStored) {
    std::vector<ListRow> rows(2);
    rows[0] = {.caption = "a",
               .subItems = {{.text = "x", .imageIndex = 7},
                            {.text = "", .imageIndex = -300},
                            {.text = std::string(200, 'q'), .imageIndex = 3}}};
    rows[1] = {
        .caption = "", .subItems = {}, .imageIndex = -5, .stateIndex = 2, .overlayIndex = 3, .data = 99};
    EXPECT_EQ(stream::decodeItemBlock(stream::encodeItemBlock(rows)), rows);
}

TEST(OlderItemBlock, RowsAreNameStringsWithOptionalImageIndexes) {
    const Bytes withImages = hex("2C000000 01000000 00000000 FFFFFFFF FFFFFFFF 01000000 00000000 "
                                 "07 433A5C44617461 05 2A2E6A7067 0500");
    const std::vector<ListRow> rows = stream::decodeOlderItemBlock(withImages);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].caption, "C:\\Data");
    ASSERT_EQ(rows[0].subItems.size(), 1u);
    EXPECT_EQ(rows[0].subItems[0].text, "*.jpg");
    EXPECT_EQ(rows[0].subItems[0].imageIndex, 5);

    // Without the index part the sub-items keep -1; bytes after the stated size are not looked at.
    const Bytes withoutImages = hex("2A000000 01000000 00000000 FFFFFFFF FFFFFFFF 01000000 00000000 "
                                    "07 433A5C44617461 05 2A2E6A7067 0500");
    EXPECT_EQ(stream::decodeOlderItemBlock(withoutImages)[0].subItems[0].imageIndex, -1);
}

TEST(OlderItemBlock, SizesAndCountsMustStayInsideTheBlock) {
    EXPECT_EQ(decodeError([] { stream::decodeOlderItemBlock(hex("FFFFFF7F 01000000")); }),
              "Stream read error");
    EXPECT_EQ(decodeError([] { stream::decodeOlderItemBlock(hex("03000000")); }), "Stream read error");
    EXPECT_EQ(decodeError([] { stream::decodeOlderItemBlock(hex("FFFFFFFF")); }), "Stream read error");
    // The row count reaches past the stated size although more bytes follow it.
    EXPECT_EQ(decodeError([] {
                  stream::decodeOlderItemBlock(hex("08000000 02000000 00000000 FFFFFFFF FFFFFFFF 00000000 "
                                                   "00000000 00"));
              }),
              "Stream read error");
    // Image indexes begun but not complete.
    EXPECT_EQ(decodeError([] {
                  stream::decodeOlderItemBlock(hex("1F000000 01000000 00000000 FFFFFFFF FFFFFFFF 01000000 "
                                                   "00000000 00 00 05"));
              }),
              "Stream read error");
}

TEST(NodeBlockDecoding, AnotherVersionGivesNoNodesAndNoError) {
    EXPECT_TRUE(stream::decodeNodeBlock(hex("02 01 00 00 00 29")).empty());
}

TEST(NodeBlockDecoding, ChildCountsThatPointPastTheBlockAreStreamReadErrors) {
    const Bytes node = hex("1D000000 00000000 00000000 03000000 FFFFFFFF 00000000 FFFFFF7F 02 61006200");
    EXPECT_EQ(decodeError([&] {
                  stream::decodeNodeBlock(cat({hex("01 01000000"), node}));
              }),
              "Stream read error");
    EXPECT_EQ(decodeError([&] { stream::decodeNodeBlock(hex("01 FFFFFF7F")); }), "Stream read error");
    EXPECT_TRUE(stream::decodeNodeBlock(hex("01 FFFFFFFF")).empty());
}

TEST(NodeBlockDecoding, ADeepChainOfNodesNeedsNoRecursion) {
    std::vector<TreeNode> chain;
    for (int level = 0; level < 20000; ++level) {
        chain.push_back({.text = "n", .level = level, .hasChildren = level + 1 < 20000});
    }
    EXPECT_EQ(stream::decodeNodeBlock(stream::encodeNodeBlock(chain)), chain);
}

TEST(NodeBlockEncoding, LevelsMustFormATree) {
    EXPECT_THROW(stream::encodeNodeBlock(std::vector<TreeNode>{{.text = "x", .level = 1}}), Error);
    EXPECT_THROW(stream::encodeNodeBlock(std::vector<TreeNode>{{.text = "a"}, {.text = "b", .level = 2}}),
                 Error);
    EXPECT_THROW(stream::encodeNodeBlock(std::vector<TreeNode>{{.text = "a", .level = -1}}), Error);
}

TEST(OlderNodeBlock, RecordsHoldTheirFieldsAndAShortName) {
    const Bytes block = hex("01000000 21000000 00000000 00000000 03000000 FFFFFFFF 00000000 01000000 "
                            "08 433A5C612E747874 "
                            "21000000 00000000 00000000 01000000 FFFFFFFF 00000000 00000000 "
                            "08 433A5C622E747874");
    const std::vector<TreeNode> expected = {
        {.text = "C:\\a.txt", .level = 0, .stateIndex = 3, .hasChildren = true},
        {.text = "C:\\b.txt", .level = 1, .stateIndex = 1},
    };
    EXPECT_EQ(stream::decodeOlderNodeBlock(block), expected);
}

TEST(OlderNodeBlock, ARecordSizeMustHoldItsFieldsAndStayWithin280Bytes) {
    const Bytes tooBig = cat({hex("01000000 19010000"), Bytes(281, 0)});
    EXPECT_EQ(decodeError([&] { stream::decodeOlderNodeBlock(tooBig); }), "Stream read error");
    // A size of 25 leaves no room for the 8 bytes of text its name string announces.
    const Bytes nameOutside = hex("01000000 19000000 00000000 00000000 03000000 FFFFFFFF 00000000 00000000 "
                                  "08 433A5C612E747874");
    EXPECT_EQ(decodeError([&] { stream::decodeOlderNodeBlock(nameOutside); }), "Stream read error");
    EXPECT_EQ(decodeError([] { stream::decodeOlderNodeBlock(hex("01000000 FFFFFFFF")); }),
              "Stream read error");
}

TEST(BlockTexts, TextsLongerThan255CodeUnitsAreRefusedNotCut) {
    const std::string longest(255, 'p');
    const std::string tooLong(256, 'p');
    std::vector<ListRow> rows = {{.caption = longest, .subItems = {{.text = "ok"}}}};
    EXPECT_EQ(stream::findTooLongText(rows), std::nullopt);
    EXPECT_EQ(stream::decodeItemBlock(stream::encodeItemBlock(rows)), rows);

    rows.push_back({.caption = "fine", .subItems = {{.text = tooLong}}});
    ASSERT_NE(stream::findTooLongText(rows), std::nullopt);
    EXPECT_EQ(*stream::findTooLongText(rows), tooLong);
    EXPECT_EQ(decodeError([&] { stream::encodeItemBlock(rows); }), "Stream write error");

    // 128 characters outside the BMP take 256 code units.
    std::string emoji;
    for (int i = 0; i < 128; ++i) {
        emoji += "\xF0\x9F\x98\x80";
    }
    const std::vector<TreeNode> nodes = {{.text = emoji}};
    EXPECT_NE(stream::findTooLongText(nodes), nullptr);
    EXPECT_EQ(decodeError([&] { stream::encodeNodeBlock(nodes); }), "Stream write error");
}

TEST(BlockTexts, FileNamesThatAreNotUtf8ComeBackByteForByte) {
    const std::string latin1Name = "/data/caf\xE9.txt";
    const std::string brokenSequence = "/data/\xE2\x82.txt\xFF";
    const std::vector<ListRow> rows = {{.caption = latin1Name, .subItems = {{.text = brokenSequence}}}};
    EXPECT_EQ(stream::decodeItemBlock(stream::encodeItemBlock(rows)), rows);
    const std::vector<TreeNode> nodes = {{.text = latin1Name, .hasChildren = true},
                                         {.text = brokenSequence, .level = 1}};
    EXPECT_EQ(stream::decodeNodeBlock(stream::encodeNodeBlock(nodes)), nodes);
}

} // namespace
} // namespace corvane::testing
