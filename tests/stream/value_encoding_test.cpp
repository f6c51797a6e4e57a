// The writer's encoding of single values, byte for byte (the rules of stream/FORMAT.md).

#include "byte_helpers.h"

#include "stream/document.h"
#include "stream/extended_float.h"
#include "stream/stream_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace corvane::testing {
namespace {

using stream::MemoryOutputStream;
using stream::StreamWriter;

Bytes written(const std::function<void(StreamWriter&)>& write) {
    MemoryOutputStream out;
    StreamWriter writer(out);
    write(writer);
    writer.finish();
    return out.bytes();
}

Bytes integer(int64_t value) {
    return written([&](StreamWriter& w) { w.writeInteger(value); });
}

Bytes text(std::string_view value) {
    return written([&](StreamWriter& w) { w.writeText(value); });
}

TEST(IntegerEncoding, UsesTheNarrowestTagAtEachBoundary) {
    EXPECT_EQ(integer(0), hex("02 00"));
    EXPECT_EQ(integer(127), hex("02 7F"));
    EXPECT_EQ(integer(-128), hex("02 80"));
    EXPECT_EQ(integer(128), hex("03 80 00"));
    EXPECT_EQ(integer(-129), hex("03 7F FF"));
    EXPECT_EQ(integer(32767), hex("03 FF 7F"));
    EXPECT_EQ(integer(-32768), hex("03 00 80"));
    EXPECT_EQ(integer(32768), hex("04 00 80 00 00"));
    EXPECT_EQ(integer(-32769), hex("04 FF 7F FF FF"));
    EXPECT_EQ(integer(std::numeric_limits<int32_t>::max()), hex("04 FF FF FF 7F"));
    EXPECT_EQ(integer(std::numeric_limits<int32_t>::min()), hex("04 00 00 00 80"));
}

TEST(IntegerEncoding, UsesInt64OnlyBeyondThirtyTwoBits) {
    EXPECT_EQ(integer(int64_t{1} << 31), hex("13 00 00 00 80 00 00 00 00"));
    EXPECT_EQ(integer(std::numeric_limits<int64_t>::min()), hex("13 00 00 00 00 00 00 00 80"));
}

TEST(TextEncoding, AsciiTakesShortTextUpTo255BytesThenLongText) {
    EXPECT_EQ(text(""), hex("06 00"));
    const std::string exactly255(255, 'a');
    EXPECT_EQ(text(exactly255), cat({hex("06 FF"), ascii(exactly255)}));
    const std::string bytes256(256, 'a');
    EXPECT_EQ(text(bytes256), cat({hex("0C 00 01 00 00"), ascii(bytes256)}));
}

TEST(TextEncoding, NonAsciiChoosesUtf8OnlyWhenShorterThanTwiceTheUtf16Length) {
    // One accented letter and three ASCII letters: UTF-8 length 5, UTF-16 length 4.
    EXPECT_EQ(text("\xC3\xA9"
                   "abc"),
              cat({hex("14 05 00 00 00"), hex("C3 A9"), ascii("abc")}));
    // One accented letter alone: 2 is not less than 2 x 1.
    EXPECT_EQ(text("\xC3\xA9"), hex("12 01 00 00 00 E9 00"));
    // A character outside the BMP: 4 bytes against 2 code units.
    EXPECT_EQ(text("\xF0\x9F\x98\x80"), hex("12 02 00 00 00 3D D8 00 DE"));
}

TEST(TextEncoding, BytesThatAreNotUtf8SurviveTheWideForm) {
    // A Latin-1 file name byte next to a three-byte character goes the UTF-16 way and must come back.
    const std::string fileName = "\xE9\xE2\x82\xAC"; // 0xE9 alone, then the euro sign
    const Bytes bytes = text(fileName);
    ASSERT_EQ(bytes[0], 0x12);
    const stream::Document doc =
        stream::parseDocument(cat({ascii("TPF0"), name("T"), name(""), name("X"), bytes, hex("00 00")}));
    EXPECT_EQ(doc.root.entries[0].value.wide, std::u16string(u"\xDCE9\x20AC"));
}

TEST(IdentifierEncoding, TheFourSpecialNamesBecomeBareTagsInAnyCase) {
    EXPECT_EQ(written([](StreamWriter& w) { w.writeIdentifier("vsReport"); }),
              cat({hex("07"), name("vsReport")}));
    EXPECT_EQ(written([](StreamWriter& w) { w.writeIdentifier("false"); }), hex("08"));
    EXPECT_EQ(written([](StreamWriter& w) { w.writeIdentifier("TRUE"); }), hex("09"));
    EXPECT_EQ(written([](StreamWriter& w) { w.writeIdentifier("Null"); }), hex("00"));
    EXPECT_EQ(written([](StreamWriter& w) { w.writeIdentifier("NIL"); }), hex("0D"));
    EXPECT_EQ(written([](StreamWriter& w) { w.writeBoolean(true); }), hex("09"));
    EXPECT_EQ(written([](StreamWriter& w) { w.writeBoolean(false); }), hex("08"));
}

TEST(NameEncoding, LongerNamesAreCutTo255Bytes) {
    const std::string longName(300, 'n');
    EXPECT_EQ(written([&](StreamWriter& w) { w.writeName(longName); }),
              cat({hex("FF"), ascii(std::string(255, 'n'))}));
}

TEST(FloatEncoding, ExtendedHasAnExplicitIntegerBitAndA15BitExponent) {
    EXPECT_EQ(written([](StreamWriter& w) { w.writeExtended(1.5); }),
              hex("05 00 00 00 00 00 00 00 C0 FF 3F"));
    EXPECT_EQ(written([](StreamWriter& w) { w.writeExtended(-2.0); }),
              hex("05 00 00 00 00 00 00 00 80 00 C0"));
    EXPECT_EQ(written([](StreamWriter& w) { w.writeExtended(0.0); }),
              hex("05 00 00 00 00 00 00 00 00 00 00"));
}

TEST(FloatEncoding, EveryDoubleSurvivesTheExtendedForm) {
    const double values[] = {0.0,
                             -0.0,
                             1.0 / 3,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::min(),
                             std::numeric_limits<double>::denorm_min(),
                             -std::numeric_limits<double>::denorm_min() * 12345,
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()};
    for (double value : values) {
        const double back = stream::extendedToDouble(stream::doubleToExtended(value));
        EXPECT_EQ(std::bit_cast<uint64_t>(back), std::bit_cast<uint64_t>(value)) << value;
    }
    EXPECT_TRUE(std::isnan(stream::extendedToDouble(stream::doubleToExtended(std::nan("")))));
}

TEST(FloatEncoding, ExtendedValuesBeyondTheDoubleRangeSaturate) {
    // Exponent 0x7FFE is far past the largest double; 0x0001 far below the smallest.
    EXPECT_TRUE(std::isinf(stream::extendedToDouble({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x7F})));
    EXPECT_EQ(stream::extendedToDouble({0, 0, 0, 0, 0, 0, 0, 0x80, 0x01, 0x00}), 0.0);
}

TEST(SetEncoding, MembersAreNamesUntilAnEmptyName) {
    EXPECT_EQ(written([](StreamWriter& w) {
                  w.writeSet({"akLeft", "akTop", "akRight"});
              }),
              cat({hex("0B"), name("akLeft"), name("akTop"), name("akRight"), hex("00")}));
    EXPECT_EQ(written([](StreamWriter& w) { w.writeSet({}); }), hex("0B 00"));
}

TEST(BinaryEncoding, BytesCarryAFourByteLength) {
    const Bytes block = hex("01 02 03");
    EXPECT_EQ(written([&](StreamWriter& w) { w.writeBinary(block); }), hex("0A 03 00 00 00 01 02 03"));
}

TEST(WriterBuffering, OutputLargerThanOneBlockArrivesWhole) {
    const std::string big(10000, 'x');
    const Bytes bytes = text(big);
    ASSERT_EQ(bytes.size(), 5u + big.size());
    EXPECT_EQ(Bytes(bytes.begin() + 5, bytes.end()), ascii(big));
}

} // namespace
} // namespace corvane::testing
