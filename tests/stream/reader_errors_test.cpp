// How reading fails: each message of the format with its wrapping, the first failure ending the read,
// and lengths that cannot be trusted.

#include "byte_helpers.h"
#include "stream_test_classes.h"

#include "stream/error.h"
#include "stream/messages.h"
#include "stream/stream_reader.h"
#include "stream/stream_writer.h"
#include "stream/text_form.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

using stream::ReadOptions;

// The message a read of `bytes` into `root` fails with.
std::string readError(const Bytes& bytes, stream::ObjectRef root, const ReadOptions& options = {}) {
    try {
        stream::readRootRecordFromBytes(bytes, root, options);
    } catch (const Error& error) {
        return error.what();
    }
    return "(read without error)";
}

std::string listError(const Bytes& bytes) {
    ListView list;
    return readError(bytes, refOf(&list));
}

Bytes compile(std::string_view text) {
    return stream::textToStream(text);
}

Bytes listWithEntry(std::string_view entryName, const Bytes& value) {
    return cat({ascii("TPF0"), name("TListView"), name("ListView1"), name(entryName), value, hex("00 00")});
}

TEST(StreamStart, AnyDifferenceInTheSignatureIsInvalidStreamFormatBeforeAnythingElse) {
    for (const char* signature : {"XPF0", "TXF0", "TPX0", "TPFX"}) {
        EXPECT_EQ(listError(ascii(signature)), "Invalid stream format") << signature;
    }
    EXPECT_EQ(listError(cat({ascii("tpf0"), name("TListView")})), "Invalid stream format");
}

TEST(StreamStart, DataThatEndsEarlyIsStreamReadError) {
    EXPECT_EQ(listError(ascii("TPF0")), "Stream read error");
    EXPECT_EQ(listError(ascii("TP")), "Stream read error");
    EXPECT_EQ(listError(cat({ascii("TPF0"), name("TListView"), name("ListView1")})), "Stream read error");
}

TEST(EntryErrors, AnUnknownLastSegmentUnderItemsNamesThatSegment) {
    EXPECT_EQ(listError(listWithEntry("Items.Bogus", hex("0A 00 00 00 00"))),
              "Error reading ListView1.Items.Bogus: Property Bogus does not exist");
    EXPECT_EQ(listError(listWithEntry("Bogus", hex("02 01"))),
              "Error reading ListView1.Bogus: Property Bogus does not exist");
}

TEST(EntryErrors, PathSegmentsMustNameObjectsThatAreThere) {
    EXPECT_EQ(listError(listWithEntry("Nope.Width", hex("02 01"))),
              "Error reading ListView1.Nope.Width: Property Nope does not exist");
    EXPECT_EQ(listError(listWithEntry("Left.Width", hex("02 01"))),
              "Error reading ListView1.Left.Width: Invalid property path");
    // SmallImages holds no object at this moment.
    EXPECT_EQ(listError(listWithEntry("SmallImages.Width", hex("02 10"))),
              "Error reading ListView1.SmallImages.Width: Invalid property path");
}

TEST(EntryErrors, TagsThePropertyKindDoesNotAcceptAreInvalidPropertyValue) {
    EXPECT_EQ(listError(listWithEntry("Left", cat({hex("06"), name("8")}))),
              "Error reading ListView1.Left: Invalid property value");
    EXPECT_EQ(listError(listWithEntry("ReadOnly", hex("02 01"))),
              "Error reading ListView1.ReadOnly: Invalid property value");
    EXPECT_EQ(listError(listWithEntry("ViewStyle", cat({hex("07"), name("vsNoSuchStyle")}))),
              "Error reading ListView1.ViewStyle: Invalid property value");
    EXPECT_EQ(
        listError(listWithEntry("Anchors", cat({hex("0B"), name("akLeft"), name("akNowhere"), hex("00")}))),
        "Error reading ListView1.Anchors: Invalid property value");
    EXPECT_EQ(listError(listWithEntry("Items.ItemData", cat({hex("06"), name("rows")}))),
              "Error reading ListView1.Items.ItemData: Invalid property value");
    EXPECT_EQ(listError(listWithEntry("Columns", hex("0E 02 00 00"))),
              "Error reading ListView1.Columns: Invalid property value");
    EXPECT_EQ(listError(listWithEntry("Left", hex("16"))),
              "Error reading ListView1.Left: Invalid property value");
}

TEST(EntryErrors, AFailureInsideACollectionItemIsWrappedTwice) {
    const Bytes value = cat({hex("0E 01"), name("Caption"), hex("02 05 00 00")});
    EXPECT_EQ(listError(listWithEntry("Columns", value)),
              "Error reading ListView1.Columns: Error reading TListColumn.Caption: Invalid property value");
}

TEST(EntryErrors, ABlockThatEndsEarlyIsAStreamReadErrorOfItsEntry) {
    const Bytes block = hex("01 31 00 00 00 01 00 00 00 00 00");
    EXPECT_EQ(listError(listWithEntry("Items.ItemData", cat({hex("0A 0B 00 00 00"), block}))),
              "Error reading ListView1.Items.ItemData: Stream read error");
}

TEST(EntryErrors, WithoutAnObjectNameTheClassNameLabelsTheEntry) {
    const Bytes bytes = cat({ascii("TPF0"), name("TListView"), name(""), name("Left"), hex("08 00 00")});
    EXPECT_EQ(listError(bytes), "Error reading TListView.Left: Invalid property value");
}

// The message the text form's walk over `bytes` fails with: the same as the reader's.
std::string printError(const Bytes& bytes) {
    try {
        stream::streamToText(bytes);
    } catch (const Error& error) {
        return error.what();
    }
    return "(printed without error)";
}

TEST(EntryErrors, NamesFromTheFileAreShownEscapedNeverRaw) {
    using namespace std::string_view_literals;
    // A tab, a NUL, a terminal escape and a byte outside UTF-8 in the object name; "é" stays.
    const Bytes bytes = cat({ascii("TPF0"), name("TListView"), name("\tList\0View\x1B[2J\xFF\xC3\xA9"sv),
                             name("Left"), hex("30 00 00")});
    const std::string expected =
        "Error reading \\x09List\\x00View\\x1B[2J\\xFF\xC3\xA9.Left: Invalid property value";
    EXPECT_EQ(listError(bytes), expected);
    EXPECT_EQ(printError(bytes), expected);

    EXPECT_EQ(listError(listWithEntry("Bo\x07gus\xE2\x80\xAE", hex("02 01"))),
              "Error reading ListView1.Bo\\x07gus\\xE2\\x80\\xAE: Property Bo\\x07gus\\xE2\\x80\\xAE does "
              "not exist");

    Form form;
    ReadOptions options;
    options.classes = &streamTestClasses().registry;
    const Bytes child = cat({ascii("TPF0"), name("TTestForm"), name("F"), hex("00"), name("T\nBell"),
                             name("X"), hex("00 00 00 00")});
    EXPECT_EQ(readError(child, refOf(&form), options), "Class T\\x0ABell not found");
}

// Two different names never print alike: a backslash that could be read as the start of an
// escape is escaped itself; any other backslash stays as it is.
TEST(EntryErrors, PrintableNamesOfDifferentNamesDiffer) {
    EXPECT_EQ(stream::printableName("q\nline"), "q\\x0Aline");
    EXPECT_EQ(stream::printableName("q\\x0Aline"), "q\\x5Cx0Aline");
    EXPECT_EQ(stream::printableName("C:\\Data\\a b"), "C:\\Data\\a b");
    EXPECT_EQ(stream::printableName("end\\"), "end\\");
    const std::vector<std::string> names = {"a\x01", "a\\x01",   "a\\x5Cx01", "\xff",
                                            "\\xFF", "\xc3\xbf", "\\x"};
    for (size_t i = 0; i < names.size(); ++i) {
        for (size_t j = i + 1; j < names.size(); ++j) {
            EXPECT_NE(stream::printableName(names[i]), stream::printableName(names[j])) << i << " " << j;
        }
    }
}

TEST(EntryErrors, APropertyWithoutASetterIsReadOnly) {
    Button button;
    const Bytes bytes = compile("object B: TButton\n Hint = 'not settable'\nend\n");
    EXPECT_EQ(readError(bytes, refOf(&button)), "Error reading B.Hint: Property is read-only");
}

TEST(EntryErrors, ACharacterTakesAtMostOneCharacter) {
    Button button;
    EXPECT_EQ(readError(compile("object B: TButton\n Accelerator = 'ab'\nend\n"), refOf(&button)),
              "Error reading B.Accelerator: Invalid property value");
    EXPECT_EQ(readError(compile("object B: TButton\n Accelerator = '\xE2\x82\xAC'\nend\n"), refOf(&button)),
              "(read without error)");
    EXPECT_EQ(button.accelerator, U'\u20AC');
}

TEST(EntryErrors, AnEventMustNameAHandlerOfTheRootClass) {
    Form form;
    ReadOptions options;
    options.classes = &streamTestClasses().registry;
    const Bytes unknown =
        compile("object F: TTestForm\n object B: TButton\n  OnClick = NoSuchHandler\n end\nend\n");
    EXPECT_EQ(readError(unknown, refOf(&form), options), "Error reading B.OnClick: Invalid property value");
    // A button read on its own has no handlers at all.
    Button button;
    EXPECT_EQ(readError(compile("object B: TButton\n OnClick = FormShow\nend\n"), refOf(&button)),
              "Error reading B.OnClick: Invalid property value");
}

TEST(ChildRecords, AClassNobodyRegisteredIsNotFound) {
    Form form;
    ReadOptions options;
    options.classes = &streamTestClasses().registry;
    const Bytes bytes = compile("object F: TTestForm\n object X: TNoSuchControl\n end\nend\n");
    EXPECT_EQ(readError(bytes, refOf(&form), options), "Class TNoSuchControl not found");
    // Without a registry (a result file) any child record is refused the same way.
    EXPECT_EQ(readError(compile("object F: TTestForm\n object B: TButton\n end\nend\n"), refOf(&form)),
              "Class TButton not found");
}

TEST(FailedRead, TheFirstFailureEndsTheReadAndEntriesBeforeItStay) {
    ListView list;
    list.top = 99;
    const Bytes bytes = cat({ascii("TPF0"), name("TListView"), name("ListView1"), name("Left"), hex("02 08"),
                             name("Top"), hex("06 00"), name("Width"), hex("02 05"), hex("00 00")});
    EXPECT_EQ(readError(bytes, refOf(&list)), "Error reading ListView1.Top: Invalid property value");
    EXPECT_EQ(list.left, 8);
    EXPECT_EQ(list.top, 99);
    EXPECT_EQ(list.width, 0);
    EXPECT_EQ(list.loadingCalls, 1);
    EXPECT_EQ(list.loadedCalls, 0); // a failed read is not told that loading finished
}

TEST(FailedRead, NestingWithoutEndIsRefusedNotRecursedInto) {
    // Lists inside lists, one byte per level: far deeper than any stream we write.
    Bytes bytes = cat({ascii("TPF0"), name("TAny"), name("X"), name("Strings")});
    bytes.insert(bytes.end(), 100000, 0x01);
    EXPECT_THROW(stream::textToStream(stream::streamToText(bytes)), Error);
    // Collections inside collections through real declarations.
    Bytes columns = listWithEntry("Columns", {});
    columns.resize(columns.size() - 2);
    for (int i = 0; i < 10000; ++i) {
        const Bytes level = cat({hex("0E 01"), name("Columns")});
        columns.insert(columns.end(), level.begin(), level.end());
    }
    EXPECT_NE(listError(columns).find("Error reading ListView1.Columns"), std::string::npos);
}

TEST(HostileLengths, LengthsPastTheEndFailBeforeAnythingIsAllocated) {
    EXPECT_EQ(listError(listWithEntry("Items.ItemData", hex("0A FF FF FF 7F 01"))),
              "Error reading ListView1.Items.ItemData: Stream read error");
    EXPECT_EQ(listError(listWithEntry("Items.ItemData", hex("0A FF FF FF FF 01"))),
              "Error reading ListView1.Items.ItemData: Stream read error");
    Button button;
    EXPECT_EQ(
        readError(cat({ascii("TPF0"), name("TButton"), name("B"), name("Caption"), hex("0C 00 00 00 40")}),
                  refOf(&button)),
        "Error reading B.Caption: Stream read error");
    EXPECT_EQ(
        readError(cat({ascii("TPF0"), name("TButton"), name("B"), name("Caption"), hex("12 FF FF FF 7F")}),
                  refOf(&button)),
        "Error reading B.Caption: Stream read error");
    EXPECT_EQ(
        readError(cat({ascii("TPF0"), name("TButton"), name("B"), name("Caption"), hex("14 F0 FF FF FF")}),
                  refOf(&button)),
        "Error reading B.Caption: Stream read error");
}

// A medium that cannot tell how much is left (a pipe): large counts are read piece by piece.
class UnsizedInput final : public stream::InputStream {
public:
    explicit UnsizedInput(const Bytes& bytes) : inner_(bytes) {}
    size_t read(uint8_t* buffer, size_t size) override { return inner_.read(buffer, size); }
    std::optional<uint64_t> remaining() const override { return std::nullopt; }
    void unread(size_t count) override { inner_.unread(count); }

private:
    stream::MemoryInputStream inner_;
};

TEST(HostileLengths, AMediumOfUnknownSizeStillEndsInAReadError) {
    const Bytes bytes = listWithEntry("Items.ItemData", hex("0A FF FF FF 7F 01 02 03"));
    UnsizedInput in(bytes);
    ListView list;
    EXPECT_THROW(stream::ReadRootRecord(in, refOf(&list)), Error);
}

TEST(ReaderPosition, TheReaderLeavesTheStreamJustAfterTheRootRecord) {
    ListView list = designListView1();
    Bytes bytes = stream::writeRootRecordToBytes(refOf(&list));
    const size_t recordSize = bytes.size();
    const Bytes trailing(5000, 0xEE); // more than one buffer's worth after the record
    bytes.insert(bytes.end(), trailing.begin(), trailing.end());
    stream::MemoryInputStream in(bytes);
    ListView loaded;
    stream::ReadRootRecord(in, refOf(&loaded));
    EXPECT_EQ(in.position(), recordSize);
}

} // namespace
} // namespace corvane::testing
