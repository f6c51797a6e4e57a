#include "platform/trash_info.h"
#include "trash_test_support.h"

#include <gtest/gtest.h>

#include <ctime>

namespace corvane::testing {
namespace {

using platform::percentDecodePath;
using platform::percentEncodePath;

TEST(TrashInfoPath, EscapesEveryByteThatIsNotPlainAndComesBackUnchanged) {
    EXPECT_EQ(percentEncodePath("/home/ana/Photo-1_a.b~c.jpg"), "/home/ana/Photo-1_a.b~c.jpg");
    EXPECT_EQ(percentEncodePath("/a b/100%/x+y/line\nbreak"), "/a%20b/100%25/x%2By/line%0Abreak");
    // UTF-8 and bytes that are not UTF-8 alike, byte by byte.
    EXPECT_EQ(percentEncodePath("/\xc3\xa9/bad\xff"), "/%C3%A9/bad%FF");

    std::string everyByte;
    for (int c = 1; c < 256; ++c) {
        everyByte += static_cast<char>(c);
    }
    const std::string encoded = percentEncodePath(everyByte);
    for (const char c : encoded) {
        const auto byte = static_cast<unsigned char>(c);
        EXPECT_TRUE(byte > 0x20 && byte < 0x7F) << "raw byte " << int(byte) << " in the info file";
    }
    EXPECT_EQ(percentDecodePath(encoded), everyByte);
}

TEST(TrashInfoPath, DecodingRefusesBrokenEscapesAndZeroBytes) {
    EXPECT_EQ(percentDecodePath("/a%2fb%2F"), "/a/b/"); // lower-case hex is read too
    EXPECT_EQ(percentDecodePath("/plain"), "/plain");
    for (const char* broken : {"/a%", "/a%4", "/a%G1", "/a%4G", "/a%00b"}) {
        EXPECT_FALSE(percentDecodePath(broken)) << broken;
    }
}

TEST(TrashInfoText, ComposedAndReadBack) {
    const std::string text = platform::composeTrashInfo("/x/line\nbreak %", "2024-05-01T14:03:59");
    EXPECT_EQ(text, "[Trash Info]\nPath=/x/line%0Abreak%20%25\nDeletionDate=2024-05-01T14:03:59\n");
    const auto info = platform::parseTrashInfo(text);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->originalPath, "/x/line\nbreak %");
    EXPECT_EQ(info->deletionDate, "2024-05-01T14:03:59");

    // What other writers may add: comments, blank lines, line ends with carriage returns,
    // keys of their own and groups after ours.
    const auto relaxed = platform::parseTrashInfo(
        "# written elsewhere\r\n\r\n[Trash Info]\r\nDeletionDate=2020-01-02T03:04:05\r\nX-Size=3\r\n"
        "Path=rel/a%20b\r\n[Other]\r\nPath=/not/this\r\n");
    ASSERT_TRUE(relaxed);
    EXPECT_EQ(relaxed->originalPath, "rel/a b");
    EXPECT_EQ(relaxed->deletionDate, "2020-01-02T03:04:05");

    // This program's key, which other readers pass over, comes back whole or not at all.
    EXPECT_FALSE(info->movedEntry);
    const platform::FileIdentity entry{(259ull << 32) | 7, 1ull << 40};
    const auto marked =
        platform::parseTrashInfo(platform::composeTrashInfo("/a", "2024-05-01T14:03:59", entry));
    ASSERT_TRUE(marked && marked->movedEntry);
    EXPECT_EQ(*marked->movedEntry, entry);
    EXPECT_EQ(marked->originalPath, "/a");
    for (const char* broken : {"1", "1:", ":2", "1:2x", "-1:2", "1;2", "99999999999999999999:1"}) {
        const auto read =
            platform::parseTrashInfo(std::string("[Trash Info]\nPath=/a\nX-Corvane-Entry=") + broken);
        ASSERT_TRUE(read) << broken;
        EXPECT_FALSE(read->movedEntry) << broken;
    }

    for (const char* broken : {"", "Path=/a\n", "[Other]\nPath=/a\n", "[Trash Info]\nDeletionDate=x\n",
                               "[Trash Info]\nPath=\n", "[Trash Info]\nPath=/a%zz\n"}) {
        EXPECT_FALSE(platform::parseTrashInfo(broken)) << broken;
    }
}

TEST(TrashInfoText, DeletionDateIsLocalTime) {
    {
        // Five and a half hours east of UTC: local time differs from UTC in hours and minutes.
        ScopedVariable zone("TZ", "XYZ-05:30");
        ::tzset();
        const time_t moment = 1700000000; // 2023-11-14T22:13:20 UTC
        EXPECT_EQ(platform::trashDeletionDate(moment), "2023-11-15T03:43:20");
    }
    ::tzset();
}

} // namespace
} // namespace corvane::testing
