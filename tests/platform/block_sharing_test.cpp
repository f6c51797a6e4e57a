// Sharing blocks between identical files on a file system that can (XFS, made for the test), and
// failing cleanly, with nothing changed, on one that cannot.

#include "platform/block_sharing.h"
#include "support/file_contents.h"
#include "support/small_disk.h"
#include "support/temp_tree.h"
#include "support/xfs_disk.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <random>
#include <unistd.h>
#include <vector>

namespace corvane::platform {
namespace {

FileInfo infoOf(const std::string& path) {
    const std::optional<FileInfo> info = lookupFile(path);
    EXPECT_TRUE(info) << path;
    return info.value_or(FileInfo{});
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST(BlockSharing, IdenticalFilesOnXfsShareEveryBlockAndStillReadTheSame) {
    testing::XfsDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why();
    }
    // Larger than one piece, and not a whole number of blocks.
    const std::string bytes = testing::randomBytes(2 * kSharingPiece + 12345, 1);
    const std::string keeper = disk.path("a");
    const std::string duplicate = disk.path("b");
    writeFile(keeper, bytes);
    writeFile(duplicate, bytes);
    const uint64_t freeBefore = disk.freeBytes();
    EXPECT_EQ(testing::extentsOf(duplicate).shared, 0u);

    const SharingResult result = shareBlocks(duplicate, infoOf(duplicate), keeper, infoOf(keeper));
    ASSERT_TRUE(result.shared()) << result.reason.text();
    EXPECT_EQ(result.bytesShared, static_cast<int64_t>(bytes.size()));
    const testing::Extents extents = testing::extentsOf(duplicate);
    EXPECT_GE(extents.total, bytes.size());
    EXPECT_EQ(extents.shared, extents.total);
    EXPECT_EQ(testing::extentsOf(keeper).shared, testing::extentsOf(keeper).total);
    EXPECT_GE(disk.freeBytes(), freeBefore + bytes.size() - (1 << 20));
    EXPECT_EQ(testing::fileContents(duplicate), bytes);
    EXPECT_EQ(testing::fileContents(keeper), bytes);
    EXPECT_NE(identityOf(infoOf(duplicate)), identityOf(infoOf(keeper)));

    // Once shared, the two still are two files: writing one leaves the other as it was.
    {
        std::fstream out(duplicate, std::ios::in | std::ios::out | std::ios::binary);
        out.seekp(100);
        out.put('!');
    }
    EXPECT_EQ(testing::fileContents(keeper), bytes);
}

TEST(BlockSharing, TheKernelsOwnComparisonRefusesBytesThatDiffer) {
    testing::XfsDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why();
    }
    std::string bytes = testing::randomBytes(1 << 20, 2);
    const std::string keeper = disk.path("a");
    const std::string duplicate = disk.path("b");
    writeFile(keeper, bytes);
    bytes.back() ^= 1; // changed since the comparison, say
    writeFile(duplicate, bytes);
    const SharingResult result = shareBlocks(duplicate, infoOf(duplicate), keeper, infoOf(keeper));
    EXPECT_EQ(result.failure, SharingFailure::Differs) << result.reason.text();
    EXPECT_EQ(result.bytesShared, 0);
    EXPECT_EQ(testing::extentsOf(duplicate).shared, 0u);
    EXPECT_EQ(testing::fileContents(duplicate), bytes);

    const std::string link = disk.path("c");
    ASSERT_EQ(::link(keeper.c_str(), link.c_str()), 0);
    EXPECT_EQ(shareBlocks(link, infoOf(link), keeper, infoOf(keeper)).failure, SharingFailure::SameFile);
}

TEST(BlockSharing, AFileSystemThatCannotShareFailsWithItsReasonAndChangesNothing) {
    testing::SmallDisk disk(4 << 20);
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why();
    }
    const std::string bytes = testing::randomBytes(100000, 3);
    writeFile(disk.path("a"), bytes);
    writeFile(disk.path("b"), bytes);
    const FileInfo before = infoOf(disk.path("b"));
    const SharingResult result = shareBlocks(disk.path("b"), before, disk.path("a"), infoOf(disk.path("a")));
    EXPECT_EQ(result.failure, SharingFailure::NotSupported) << result.reason.text();
    EXPECT_EQ(result.reason.text().rfind("the file system does not share blocks between files (", 0), 0u)
        << result.reason.text();
    EXPECT_EQ(result.bytesShared, 0);
    const FileInfo after = infoOf(disk.path("b"));
    EXPECT_EQ(after.modificationTimeNs, before.modificationTimeNs);
    EXPECT_EQ(after.changeTimeNs, before.changeTimeNs);
    EXPECT_EQ(testing::fileContents(disk.path("b")), bytes);
}

TEST(BlockSharing, FilesNotAsCheckedOrOnTwoFileSystemsAreRefused) {
    testing::TempTree tree;
    const std::string keeper = tree.writeFile("a", "same");
    const std::string duplicate = tree.writeFile("b", "same");
    const FileInfo duplicateSeen = infoOf(duplicate);
    const std::string newcomer = tree.writeFile("c", "same");
    ::rename(newcomer.c_str(), duplicate.c_str());
    EXPECT_EQ(shareBlocks(duplicate, duplicateSeen, keeper, infoOf(keeper)).failure,
              SharingFailure::Replaced);
    EXPECT_EQ(shareBlocks(tree.path("gone"), duplicateSeen, keeper, infoOf(keeper)).failure,
              SharingFailure::Missing);
    const SharingResult keeperGone =
        shareBlocks(duplicate, infoOf(duplicate), tree.path("gone"), duplicateSeen);
    EXPECT_EQ(keeperGone.failure, SharingFailure::Replaced);
    EXPECT_EQ(keeperGone.reason.text(), "the copy that stays: no longer there");

    testing::SmallDisk disk(1 << 20);
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why();
    }
    writeFile(disk.path("d"), "same");
    const SharingResult across = shareBlocks(disk.path("d"), infoOf(disk.path("d")), keeper, infoOf(keeper));
    EXPECT_EQ(across.failure, SharingFailure::OtherFileSystem);
    EXPECT_EQ(across.reason.text(), "on another file system than " + keeper);
    EXPECT_EQ(across.reason.first(), keeper) << "the path is a fact of the reason, not only of its text";
}

} // namespace
} // namespace corvane::platform
