// The result set as plain data: the entries of its three streams, and the order of its steps.

#include "byte_helpers.h"

#include "stream/class_builder.h"
#include "stream/error.h"
#include "stream/result_set.h"
#include "stream/stream_writer.h"
#include "stream/text_form.h"

#include <gtest/gtest.h>

#include <map>

namespace corvane::testing {
namespace {

using stream::ListRow;
using stream::TreeNode;

std::string hexOf(std::span<const uint8_t> bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

Bytes streamOf(stream::ListViewControl& list) {
    return stream::writeRootRecordToBytes(stream::makeRef(stream::listViewClass(), &list));
}

Bytes streamOf(stream::TreeViewControl& tree) {
    return stream::writeRootRecordToBytes(stream::makeRef(stream::treeViewClass(), &tree));
}

const std::vector<TreeNode> kExampleTree = {
    {.text = "C:\\a.txt", .level = 0, .stateIndex = stream::kStateUnchecked, .hasChildren = true},
    {.text = "C:\\b.txt", .level = 1, .stateIndex = stream::kStateChecked}};

TEST(MainWindowLists, SearchPathStreamIsThe273ByteExample) {
    stream::MainWindowLists lists;
    lists.searchPaths.setRows({{.caption = "C:\\Data", .subItems = {{.text = "*.jpg"}}}});
    const Bytes bytes = streamOf(lists.searchPaths);
    EXPECT_EQ(bytes.size(), 273u);
    EXPECT_EQ(bytes, stream::textToStream(R"(object ListView1: TListView
  Left = 8
  Top = 40
  Width = 393
  Height = 81
  Anchors = [akLeft, akTop, akRight]
  Columns = <
    item
      AutoSize = True
      Caption = 'Path'
    end
    item
      AutoSize = True
      Caption = 'File Type'
    end>
  Items.ItemData = {
    01 31 00 00 00 01 00 00 00 00 00 00 00 FF FF FF FF FF FF FF FF 01 00 00 00 00 00 00 00
    07 43 00 3A 00 5C 00 44 00 61 00 74 00 61 00 05 2A 00 2E 00 6A 00 70 00 67 00 FF FF}
  ReadOnly = True
  TabOrder = 1
  ViewStyle = vsReport
end
)"));
}

TEST(MainWindowLists, SearchedFilesStreamFillsItsPageAndKeepsTheSortKindAfterTheRows) {
    stream::MainWindowLists lists;
    const std::vector<ListRow> rows = {
        {.caption = "/d/a", .subItems = {{.text = "12"}, {.text = "5 Mar 2024"}}},
        {.caption = "/d/b", .subItems = {{.text = "40"}, {.text = "1 Jan 2020"}}}};
    lists.searchedFiles.setRows(rows);
    lists.searchedFiles.setSortType(stream::stData);
    EXPECT_EQ(streamOf(lists.searchedFiles), stream::textToStream(R"(object Listview2: TListView
  Left = 0
  Top = 0
  Width = 389
  Height = 441
  Align = alClient
  Columns = <
    item
      AutoSize = True
      Caption = 'File Name'
    end
    item
      AutoSize = True
      Caption = 'Size'
    end
    item
      AutoSize = True
      Caption = 'Created Date'
    end>
  Items.ItemData = {)" + hexOf(stream::encodeItemBlock(rows)) +
                                                                  R"(}
  ReadOnly = True
  SortType = stData
  TabOrder = 0
  ViewStyle = vsReport
end
)"));
}

TEST(MainWindowLists, DuplicateTreeStreamNamesTheWindowsImageListAndHoldsThe95ByteBlock) {
    stream::MainWindowLists lists;
    lists.duplicates.setSortType(stream::stText);
    lists.duplicates.setNodes(kExampleTree);
    const Bytes nodeBlock =
        cat({hex("01 01000000"), hex("29000000 00000000 00000000 03000000 FFFFFFFF 00000000 01000000 08"),
             utf16le(u"C:\\a.txt"), hex("29000000 00000000 00000000 01000000 FFFFFFFF 00000000 00000000 08"),
             utf16le(u"C:\\b.txt")});
    ASSERT_EQ(nodeBlock.size(), 95u);
    EXPECT_EQ(streamOf(lists.duplicates), stream::textToStream(R"(object TreeView1: TTreeView
  Left = 4
  Top = 34
  Width = 381
  Height = 233
  Anchors = [akLeft, akTop, akRight, akBottom]
  Indent = 19
  ReadOnly = True
  SortType = stText
  StateImages = frm_utama.ImageList1
  TabOrder = 0
  Items.NodeData = {)" + hexOf(nodeBlock) + R"(}
end
)"));
}

TEST(MainWindowLists, EmptyListsAndTreeWriteNoBlocksAndNoSortKindWhileItIsNone) {
    stream::MainWindowLists lists;
    for (const Bytes& bytes : {streamOf(lists.searchPaths), streamOf(lists.searchedFiles)}) {
        const std::string text = stream::streamToText(bytes);
        EXPECT_EQ(text.find("Items."), std::string::npos) << text;
        EXPECT_EQ(text.find("SortType"), std::string::npos) << text;
    }
    const std::string tree = stream::streamToText(streamOf(lists.duplicates));
    EXPECT_EQ(tree.find("Items."), std::string::npos) << tree;
    EXPECT_EQ(tree.find("SortType"), std::string::npos) << tree;
    EXPECT_NE(tree.find("StateImages = frm_utama.ImageList1"), std::string::npos) << tree;
}

// ------------------------------------------------------------------------------------------------
// The steps of Save and Open

// Files in memory, with a log of what happens to them.
struct FakeFiles {
    std::vector<std::string> log;
    std::map<std::string, Bytes> committed;
    std::string failOn;       // creating this file fails
    std::string failCommitOf; // committing this file fails

    class Output final : public stream::ResultFileOutput {
    public:
        Output(FakeFiles& files, std::string path) : files_(files), path_(std::move(path)) {}
        void write(std::span<const uint8_t> bytes) override {
            data_.insert(data_.end(), bytes.begin(), bytes.end());
        }
        void finish() override { files_.log.push_back("finish " + path_); }
        void commit() override {
            files_.log.push_back("commit " + path_);
            if (path_ == files_.failCommitOf) {
                throw Error("cannot commit " + path_);
            }
            older_ = files_.committed[path_];
            files_.committed[path_] = data_;
        }
        void rollBack() noexcept override {
            files_.log.push_back("roll back " + path_);
            files_.committed[path_] = older_;
        }

    private:
        FakeFiles& files_;
        std::string path_;
        Bytes data_;
        Bytes older_;
    };

    stream::CreateResultFile create() {
        return [this](const std::string& path) -> std::unique_ptr<stream::ResultFileOutput> {
            log.push_back("create " + path);
            if (path == failOn) {
                throw Error("cannot create " + path);
            }
            return std::make_unique<Output>(*this, path);
        };
    }
    std::function<void()> between() {
        return [this] { log.push_back("between"); };
    }
};

TEST(ResultSetSteps, SaveCompletesAllThreeFilesBeforeAnyTakesItsName) {
    stream::MainWindowLists lists;
    lists.searchPaths.setRows({{.caption = "/d", .subItems = {{.text = "*.*"}}}});
    FakeFiles files;
    stream::writeResultSet("r.CVN", lists.set(), files.create(), files.between());
    EXPECT_EQ(files.log, (std::vector<std::string>{"create r.CVN", "finish r.CVN", "between",
                                                   "create r.CVN.~SR~", "finish r.CVN.~SR~", "between",
                                                   "create r.CVN.~DF~", "finish r.CVN.~DF~", "commit r.CVN",
                                                   "commit r.CVN.~SR~", "commit r.CVN.~DF~"}));
    EXPECT_EQ(files.committed["r.CVN"], streamOf(lists.searchPaths));
    EXPECT_EQ(files.committed["r.CVN.~SR~"], streamOf(lists.searchedFiles));
    EXPECT_EQ(files.committed["r.CVN.~DF~"], streamOf(lists.duplicates));
}

// Whatever fails, the older set stays as it was: never the paths of one search with the files of another.
TEST(ResultSetSteps, AFailedSaveCommitsNothingOrRollsBackWhatItCommitted) {
    stream::MainWindowLists lists;
    lists.searchPaths.setRows({{.caption = "/d", .subItems = {{.text = "*.*"}}}});
    const std::map<std::string, Bytes> older = {
        {"r.CVN", Bytes{1}}, {"r.CVN.~SR~", Bytes{2}}, {"r.CVN.~DF~", Bytes{3}}};

    FakeFiles failing;
    failing.committed = older;
    failing.failOn = "r.CVN.~SR~";
    EXPECT_THROW(stream::writeResultSet("r.CVN", lists.set(), failing.create(), failing.between()), Error);
    EXPECT_EQ(failing.log,
              (std::vector<std::string>{"create r.CVN", "finish r.CVN", "between", "create r.CVN.~SR~"}));
    EXPECT_EQ(failing.committed, older);

    FakeFiles lastFails;
    lastFails.committed = older;
    lastFails.failCommitOf = "r.CVN.~DF~";
    try {
        stream::writeResultSet("r.CVN", lists.set(), lastFails.create());
        ADD_FAILURE() << "saved";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "cannot commit r.CVN.~DF~");
    }
    const std::vector<std::string> commits(lastFails.log.end() - 5, lastFails.log.end());
    EXPECT_EQ(commits, (std::vector<std::string>{"commit r.CVN", "commit r.CVN.~SR~", "commit r.CVN.~DF~",
                                                 "roll back r.CVN.~SR~", "roll back r.CVN"}));
    EXPECT_EQ(lastFails.committed, older);
}

TEST(ResultSetSteps, SaveChecksEveryTextBeforeCreatingAnyFile) {
    // 127 characters outside the basic plane take 254 UTF-16 code units: one more unit fits, two do not.
    std::string wide;
    for (int i = 0; i < 127; ++i) {
        wide += "\xF0\x9F\x98\x80"; // U+1F600
    }
    stream::MainWindowLists lists;
    lists.searchPaths.setRows({{.caption = "/d", .subItems = {{.text = "*.*"}}}});
    lists.duplicates.setNodes({{.text = "/d/a", .hasChildren = true}, {.text = wide + "b", .level = 1}});
    FakeFiles fits;
    EXPECT_NO_THROW(stream::writeResultSet("r.CVN", lists.set(), fits.create()));

    const std::string tooLong = wide + "bc";
    const auto refusedWith = [&](stream::ResultSet set) {
        FakeFiles files;
        try {
            stream::writeResultSet("r.CVN", set, files.create());
        } catch (const Error& error) {
            EXPECT_TRUE(files.log.empty());
            return std::string(error.what());
        }
        return std::string("saved");
    };
    const std::string expected = stream::textTooLongMessage(tooLong);
    EXPECT_NE(expected.find(tooLong), std::string::npos);
    EXPECT_NE(expected.find("255"), std::string::npos);

    lists.duplicates.setNodes({{.text = "/d/a", .hasChildren = true}, {.text = tooLong, .level = 1}});
    EXPECT_EQ(refusedWith(lists.set()), expected);

    stream::MainWindowLists inList;
    inList.searchedFiles.setRows({{.caption = "/d/a", .subItems = {{.text = "1"}, {.text = tooLong}}}});
    EXPECT_EQ(refusedWith(inList.set()), expected);

    stream::MainWindowLists inPaths;
    inPaths.searchPaths.setRows({{.caption = tooLong, .subItems = {{.text = "*.*"}}}});
    EXPECT_EQ(refusedWith(inPaths.set()), expected);
}

} // namespace
} // namespace corvane::testing
