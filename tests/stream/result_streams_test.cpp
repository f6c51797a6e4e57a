// The result files' streams as declarations produce them, byte for byte as stream/FORMAT.md shows them.

#include "byte_helpers.h"
#include "stream_test_classes.h"

#include "stream/item_block.h"
#include "stream/node_block.h"
#include "stream/stream_reader.h"
#include "stream/stream_writer.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

using stream::ListRow;
using stream::TreeNode;

const Bytes kItemBlockExample = hex(
    "01 31 00 00 00 01 00 00 00 00 00 00 00 FF FF FF FF FF FF FF FF 01 00 00 00 00 00 00 00 07 43 00 3A 00 5C"
    " 00 44 00 61 00 74 00 61 00 05 2A 00 2E 00 6A 00 70 00 67 00 FF FF");

Bytes nodeBlockExample() {
    return cat({hex("01 01 00 00 00"),
                hex("29 00 00 00 00 00 00 00 00 00 00 00 03 00 00 00 FF FF FF FF 00 00 00 00 01 00 00 00 08"),
                utf16le(u"C:\\a.txt"),
                hex("29 00 00 00 00 00 00 00 00 00 00 00 01 00 00 00 FF FF FF FF 00 00 00 00 00 00 00 00 08"),
                utf16le(u"C:\\b.txt")});
}

std::vector<TreeNode> exampleTree() {
    return {{.text = "C:\\a.txt", .level = 0, .stateIndex = stream::kStateUnchecked, .hasChildren = true},
            {.text = "C:\\b.txt", .level = 1, .stateIndex = stream::kStateChecked}};
}

TEST(ResultStreams, ListView1AtTheDesignBoundsIs273BytesWithThe57ByteItemBlock) {
    ListView list = designListView1();
    const Bytes stream = stream::writeRootRecordToBytes(refOf(&list));

    const Bytes expected = cat({
        ascii("TPF0"),
        name("TListView"),
        name("ListView1"),
        name("Left"),
        hex("02 08"),
        name("Top"),
        hex("02 28"),
        name("Width"),
        hex("03 89 01"),
        name("Height"),
        hex("02 51"),
        name("Anchors"),
        hex("0B"),
        name("akLeft"),
        name("akTop"),
        name("akRight"),
        hex("00"),
        name("Columns"),
        hex("0E"),
        hex("01"),
        name("AutoSize"),
        hex("09"),
        name("Caption"),
        hex("06"),
        name("Path"),
        hex("00"),
        hex("01"),
        name("AutoSize"),
        hex("09"),
        name("Caption"),
        hex("06"),
        name("File Type"),
        hex("00"),
        hex("00"),
        name("Items.ItemData"),
        hex("0A 39 00 00 00"),
        kItemBlockExample,
        name("ReadOnly"),
        hex("09"),
        name("TabOrder"),
        hex("02 01"),
        name("ViewStyle"),
        hex("07"),
        name("vsReport"),
        hex("00 00"),
    });
    EXPECT_EQ(kItemBlockExample.size(), 57u);
    EXPECT_EQ(stream.size(), 273u);
    EXPECT_EQ(stream, expected);
}

TEST(ResultStreams, ListView1ReadsBackIntoAnotherList) {
    ListView original = designListView1();
    const Bytes bytes = stream::writeRootRecordToBytes(refOf(&original));

    ListView loaded;
    loaded.rows = {{.caption = "left over"}};
    stream::readRootRecordFromBytes(bytes, refOf(&loaded));
    EXPECT_EQ(loaded.name, "ListView1");
    EXPECT_EQ(loaded.left, 8);
    EXPECT_EQ(loaded.top, 40);
    EXPECT_EQ(loaded.width, 393);
    EXPECT_EQ(loaded.height, 81);
    EXPECT_EQ(loaded.anchors, uint32_t{akLeft | akTop | akRight});
    ASSERT_EQ(loaded.columns.size(), 2u);
    EXPECT_EQ(loaded.columns[1].caption, "File Type");
    EXPECT_TRUE(loaded.columns[1].autoSize);
    EXPECT_EQ(loaded.rows, original.rows);
    EXPECT_TRUE(loaded.readOnly);
    EXPECT_EQ(loaded.tabOrder, 1);
    EXPECT_EQ(loaded.viewStyle, 3);
    EXPECT_EQ(loaded.loadingCalls, 1);
    EXPECT_EQ(loaded.loadedCalls, 1);
}

TEST(ResultStreams, AnEmptyListHasNoItemEntryAndLeavesTheRowsOnRead) {
    ListView list = designListView1();
    list.rows.clear();
    list.columns.clear();
    const Bytes bytes = stream::writeRootRecordToBytes(refOf(&list));
    // The empty collection is still written, as 0E 00; no "Items.ItemData" entry follows it.
    const Bytes columnsEntry = cat({name("Columns"), hex("0E 00"), name("ReadOnly")});
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), columnsEntry.begin(), columnsEntry.end()), bytes.end());

    ListView shown;
    shown.rows = {{.caption = "C:\\Shown"}};
    shown.columns = {{.caption = "Kept"}};
    stream::readRootRecordFromBytes(bytes, refOf(&shown));
    ASSERT_EQ(shown.rows.size(), 1u);
    EXPECT_EQ(shown.rows[0].caption, "C:\\Shown");
    ASSERT_EQ(shown.columns.size(), 1u);
    EXPECT_EQ(shown.columns[0].caption, "Kept");
}

TEST(ResultStreams, Listview2WritesAlignAndSortTypeAtTheirPlaces) {
    ListView list;
    list.name = "Listview2";
    list.width = 100;
    list.align = 5;    // alClient
    list.sortType = 1; // stData
    list.tabOrder = 0;
    list.viewStyle = 3;
    list.columns = {{.autoSize = true, .caption = "File Name"}};
    list.rows = {{.caption = "/a", .subItems = {{.text = "12"}, {.text = "1/2/2003"}}}};
    const Bytes bytes = stream::writeRootRecordToBytes(refOf(&list));
    const std::string text(bytes.begin(), bytes.end());
    const size_t align = text.find("\x05"
                                   "Align");
    const size_t columns = text.find("\x07"
                                     "Columns");
    const size_t items = text.find("Items.ItemData");
    const size_t sort = text.find("\x08"
                                  "SortType"
                                  "\x07\x06"
                                  "stData");
    const size_t tabOrder = text.find("\x08"
                                      "TabOrder");
    ASSERT_NE(sort, std::string::npos);
    EXPECT_LT(align, columns);
    EXPECT_LT(columns, items);
    EXPECT_LT(items, sort);
    EXPECT_LT(sort, tabOrder);
    EXPECT_EQ(text.find("Anchors"), std::string::npos); // at its default
}

TEST(ItemBlock, EncodesTheExampleRowByteForByte) {
    const std::vector<ListRow> rows = {{.caption = "C:\\Data", .subItems = {{.text = "*.jpg"}}}};
    EXPECT_EQ(stream::encodeItemBlock(rows), kItemBlockExample);
    EXPECT_EQ(stream::decodeItemBlock(kItemBlockExample), rows);
}

TEST(ItemBlock, SizeFieldCountsTwoBytesPerByteOfText) {
    // "é" is 2 bytes of 8-bit text: the size counts 4 for it although one code unit is stored.
    const std::vector<ListRow> rows = {{.caption = "\xC3\xA9", .subItems = {}}};
    const Bytes block = stream::encodeItemBlock(rows);
    EXPECT_EQ(block[1], 22 + 4);
    EXPECT_EQ(stream::decodeItemBlock(block), rows);
}

TEST(NodeBlock, EncodesTheExampleTreeIn95Bytes) {
    const Bytes block = stream::encodeNodeBlock(exampleTree());
    EXPECT_EQ(block.size(), 95u);
    EXPECT_EQ(block, nodeBlockExample());
    EXPECT_EQ(stream::decodeNodeBlock(nodeBlockExample()), exampleTree());
}

TEST(NodeBlock, ANodeWithAnExpandButtonButNoChildrenIsStoredWithMinusOne) {
    const std::vector<TreeNode> nodes = {{.text = "x", .hasChildren = true}};
    const Bytes block = stream::encodeNodeBlock(nodes);
    EXPECT_EQ(Bytes(block.begin() + 5 + 24, block.begin() + 5 + 28), hex("FF FF FF FF"));
    EXPECT_EQ(stream::decodeNodeBlock(block), nodes);
}

TEST(ResultStreams, TreeStreamKeepsChecksAndResolvesTheImageListInTheMainWindow) {
    Form mainWindow;
    mainWindow.name = "frm_utama";
    auto images = std::make_unique<ImageList>();
    images->name = "ImageList1";
    images->owner = &mainWindow;
    ImageList* imageList = images.get();
    mainWindow.owned.push_back(std::move(images));

    TreeView tree;
    tree.name = "TreeView1";
    tree.owner = &mainWindow;
    tree.width = 300;
    tree.anchors = akLeft | akTop | akRight | akBottom;
    tree.readOnly = true;
    tree.sortType = 2; // stText
    tree.stateImages = imageList;
    tree.tabOrder = 0;
    tree.nodes = exampleTree();
    const Bytes bytes = stream::writeRootRecordToBytes(refOf(&tree));

    const Bytes reference = cat({name("StateImages"), hex("07"), name("frm_utama.ImageList1")});
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), reference.begin(), reference.end()), bytes.end());
    const Bytes tail = cat({name("Items.NodeData"), hex("0A 5F 00 00 00"), nodeBlockExample(), hex("00 00")});
    ASSERT_GE(bytes.size(), tail.size());
    EXPECT_EQ(Bytes(bytes.end() - static_cast<long>(tail.size()), bytes.end()), tail);

    TreeView loaded;
    stream::ReadOptions options;
    options.findWindow = [&](std::string_view n) {
        return n == "frm_utama" ? refOf(&mainWindow) : stream::ObjectRef{};
    };
    stream::readRootRecordFromBytes(bytes, refOf(&loaded), options);
    EXPECT_EQ(loaded.stateImages, imageList);
    EXPECT_EQ(loaded.nodes, exampleTree());
    EXPECT_EQ(loaded.sortType, 2);
    EXPECT_EQ(loaded.indent, 19);
}

} // namespace
} // namespace corvane::testing
