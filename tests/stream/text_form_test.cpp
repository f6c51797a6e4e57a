// The text form: what a person writes compiles to the writer's bytes, binary -> text -> binary gives
// the same bytes, and a malformed text fails on the line where it is wrong.

#include "byte_helpers.h"
#include "stream_test_classes.h"

#include "stream/byte_streams.h"
#include "stream/document.h"
#include "stream/stream_reader.h"
#include "stream/stream_writer.h"
#include "stream/text_form.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

using stream::textToStream;

// The line a malformed text fails on, or 0.
int failingLine(std::string_view text) {
    try {
        textToStream(text);
    } catch (const stream::TextFormError& error) {
        return error.line();
    }
    return 0;
}

Bytes roundTrip(const Bytes& bytes) {
    return textToStream(stream::streamToText(bytes));
}

TEST(TextForm, AHandWrittenListCompilesToTheWritersBytes) {
    const std::string text = R"(// ListView1 as the main window lays it out
object ListView1: TListView
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
      AutoSize = true
      Caption = 'File Type'
    end
  >
  Items.ItemData = {
    01 31000000 01000000 00000000 FFFFFFFF FFFFFFFF 01000000 00000000
    07 43003A005C0044006100740061 00 05 2A002E006A0070006700 FFFF
  }
  ReadOnly = TRUE
  TabOrder = 1
  ViewStyle = vsReport
end
)";
    ListView list = designListView1();
    EXPECT_EQ(textToStream(text), stream::writeRootRecordToBytes(refOf(&list)));
}

TEST(TextForm, StreamsOurWriterMakesComeBackByteForByte) {
    ListView list = designListView1();
    list.rows.push_back({.caption = "/home/ana/café \xE9.jpg", .subItems = {{.text = "*.*"}}});
    const Bytes listBytes = stream::writeRootRecordToBytes(refOf(&list));
    EXPECT_EQ(roundTrip(listBytes), listBytes);

    Button button;
    button.name = "Bit_Search";
    button.caption = "Stoping ...\n\xC3\xA9\t'quoted'";
    button.color = static_cast<int32_t>(0x80000005);
    button.accelerator = U'\u00E9';
    button.opacity = 1.0 / 3;
    button.bigNumber = -(int64_t{1} << 50);
    const Bytes buttonBytes = stream::writeRootRecordToBytes(refOf(&button));
    EXPECT_EQ(roundTrip(buttonBytes), buttonBytes);
}

TEST(TextForm, ValuesStoredOtherThanOurWriterWouldAreKeptByNamingTheirTag) {
    const Bytes odd = cat({
        ascii("TPF0"),
        name("T"),
        name("X"),
        name("Wide"),
        hex("04 05 00 00 00"), // 5 in four bytes
        name("Short"),
        hex("06 02 C3 A9"), // UTF-8 in an 8-bit text
        name("Ident"),
        hex("07"),
        name("true"), // spelled out, not tag 9
        name("Lone"),
        hex("12 02 00 00 00 00 D8 41 00"), // a lone surrogate
        name("Float"),
        hex("05 01 00 00 00 00 00 00 80 FF 3F"), // more precision than a double
        hex("00"),
        hex("F7 03 21 00"),
        name("TKid"),
        name("K"),
        hex("00 00"), // flags 7, position 33 in two bytes
        hex("00"),
    });
    const std::string text = stream::streamToText(odd);
    EXPECT_NE(text.find("Int32(5)"), std::string::npos) << text;
    EXPECT_NE(text.find("ShortText('\xC3\xA9')"), std::string::npos) << text;
    EXPECT_NE(text.find("Identifier(true)"), std::string::npos) << text;
    EXPECT_NE(text.find("WideText(#55296'A')"), std::string::npos) << text;
    EXPECT_NE(text.find("Extended({"), std::string::npos) << text;
    EXPECT_NE(text.find("[Int16(33)] flags 7"), std::string::npos) << text;
    EXPECT_EQ(textToStream(text), odd);
}

TEST(TextForm, CommentsDescribeTheRowsAndNodesOfBlocks) {
    ListView list = designListView1();
    stream::TextFormOptions options;
    options.describeBlocks = true;
    const std::string listText = stream::streamToText(stream::writeRootRecordToBytes(refOf(&list)), options);
    EXPECT_NE(listText.find("  // item block, 1 row:\n  //   'C:\\Data' | '*.jpg'\n"), std::string::npos)
        << listText;

    TreeView tree;
    tree.name = "TreeView1";
    tree.nodes = {{.text = "/a", .hasChildren = true}, {.text = "/b", .level = 1, .stateIndex = 1}};
    const std::string treeText = stream::streamToText(stream::writeRootRecordToBytes(refOf(&tree)), options);
    EXPECT_NE(treeText.find("//   [ ] '/a'\n  //     [x] '/b'\n"), std::string::npos) << treeText;
    // The comments are only comments: the text still compiles to the same stream.
    EXPECT_EQ(textToStream(treeText), stream::writeRootRecordToBytes(refOf(&tree)));
}

TEST(TextForm, ABlockThatDoesNotDecodeFailsAsTheReaderWould) {
    const Bytes bytes = textToStream("object ListView1: TListView\n  Items.ItemData = {0131}\nend\n");
    stream::TextFormOptions options;
    options.describeBlocks = true;
    try {
        stream::streamToText(bytes, options);
        FAIL() << "a cut item block was described";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Error reading ListView1.Items.ItemData: Stream read error");
    }
    EXPECT_NO_THROW(stream::streamToText(bytes)); // shown as bytes when not described

    // The older entry name is generic: another class's "Items.Data" is only bytes.
    const Bytes other = textToStream("object ComboBox1: TComboBox\n  Items.Data = {0131}\nend\n");
    EXPECT_EQ(stream::streamToText(other, options).find("//"), std::string::npos);
}

TEST(TextForm, ADescriptionCompiledByTheBuildReadsIntoItsWindow) {
    const Bytes compiled = stream::readWholeFile(CORVANE_SAMPLE_WINDOW_STREAM);
    const Bytes source = stream::readWholeFile(CORVANE_SAMPLE_WINDOW_TEXT);
    EXPECT_EQ(compiled,
              textToStream(std::string_view(reinterpret_cast<const char*>(source.data()), source.size())));

    Form window;
    stream::ReadOptions options;
    options.classes = &streamTestClasses().registry;
    stream::readRootRecordFromBytes(compiled, refOf(&window), options);
    ASSERT_EQ(window.children.size(), 3u);
    auto* list = dynamic_cast<ListView*>(window.children[2]);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->smallImages, window.children[1]);
    // The window written back is the description compiled.
    EXPECT_EQ(stream::writeRootRecordToBytes(refOf(&window)), compiled);
}

TEST(TextFormErrors, AMalformedLineIsNamed) {
    EXPECT_EQ(failingLine("object A: T\n  Left 8\nend\n"), 2); // '=' missing
    EXPECT_EQ(failingLine("object A: T\n  Left = 8\n  Caption = 'open\nend\n"), 3);
    EXPECT_EQ(failingLine("object A: T\n\n\n  Left = Int8(200)\nend\n"), 4);
    EXPECT_EQ(failingLine("object A: T\n  Left = Nonsense(1)\nend\n"), 2);
    EXPECT_EQ(failingLine("object A: T\n  Data = {01 0G}\nend\n"), 2);
    EXPECT_EQ(failingLine("object A: T\n  Data = {\n  01 02\n  0}\nend\n"), 4); // odd number of digits
    EXPECT_EQ(failingLine("object A: T\n  L = (\n    'a'\n    Null\n  )\nend\n"), 4);
    EXPECT_EQ(failingLine("object A: T\n  Left = 8\n"), 1); // no end
    EXPECT_EQ(failingLine("object A: T\nend\nLeft = 1\n"), 3);
    EXPECT_EQ(failingLine("object A: T\n  object B: U\n  end\n  Left = 1\nend\n"), 4);
    EXPECT_EQ(failingLine("object A: T\n  Left = 99999999999999999999\nend\n"), 2);
    EXPECT_EQ(failingLine("object A: T\n  S = [a b]\nend\n"), 2);
    EXPECT_EQ(failingLine("object A: T\n  S = 'x'#300\nend\n"), 2);
    EXPECT_EQ(failingLine("Left = 1\n"), 1);
    EXPECT_EQ(failingLine("object A: T\n  " + std::string(256, 'n') + " = 1\nend\n"), 2);
    EXPECT_EQ(failingLine("object A: T\n  Left = 8 %\nend\n"), 2);
}

TEST(TextFormErrors, TheMessageCarriesLineAndReason) {
    try {
        textToStream("object A: T\n  Left 8\nend\n");
        FAIL();
    } catch (const stream::TextFormError& error) {
        EXPECT_STREQ(error.what(), "line 2: expected '=' after the property name");
        EXPECT_EQ(error.reason(), "expected '=' after the property name");
    }
}

TEST(TextForm, KeywordsAndOddNamesStayUsableAsNames) {
    const std::string text = "object 'my form': 'T Form'\n"
                             "  end = 1\n"
                             "  object = item\n"
                             "  'two words' = Identifier('not bare')\n"
                             "  flags = 3\n"
                             "  object : TUnnamed flags 0\n"
                             "  end\n"
                             "end\n";
    const stream::Document doc = stream::textToDocument(text);
    EXPECT_EQ(doc.root.objectName, "my form");
    EXPECT_EQ(doc.root.className, "T Form");
    ASSERT_EQ(doc.root.entries.size(), 4u);
    EXPECT_EQ(doc.root.entries[0].name, "end");
    EXPECT_EQ(doc.root.entries[1].value.text, "item");
    EXPECT_EQ(doc.root.entries[2].value.text, "not bare");
    ASSERT_EQ(doc.root.children.size(), 1u);
    EXPECT_EQ(doc.root.children[0].flags, std::optional<uint8_t>(0));
    const Bytes bytes = textToStream(text);
    EXPECT_EQ(roundTrip(bytes), bytes);
}

} // namespace
} // namespace corvane::testing
