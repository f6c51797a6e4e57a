#include "platform/reason_texts.h"
#include "platform/trash.h"
#include "platform/trash_restore.h"
#include "trash_test_support.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace corvane::testing {
namespace {

using platform::RestoreFailure;

using TrashRestore = TrashTest;

// The identity of the entry at `path`, not following a link.
std::optional<platform::FileIdentity> identityAt(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return platform::FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

TEST_F(TrashRestore, PutsBackWhatWasMovedAndForgetsItsRecord) {
    for (const std::string name : {"plain.txt", "line\nbreak.txt", "bad\xff.txt", "100%.txt"}) {
        SCOPED_TRACE(name);
        const std::string file = files_.writeFile("sub/" + name, "of " + name);
        const auto identity = identityAt(file);
        const platform::TrashResult trashed = platform::moveToTrash(file);
        ASSERT_TRUE(trashed.moved()) << trashed.reason.text();

        const platform::RestoreResult restored = platform::restoreFromTrash(trashed.infoFile, identity);
        ASSERT_TRUE(restored.restored()) << restored.reason.text();
        EXPECT_EQ(restored.originalPath, root_ + "/sub/" + name);
        EXPECT_EQ(contentsOf(restored.originalPath), "of " + name);
        EXPECT_EQ(identityAt(restored.originalPath), identity) << "the same file, not a copy";
        EXPECT_FALSE(entryExists(trashed.fileInTrash));
        EXPECT_FALSE(entryExists(trashed.infoFile));

        // Asked again: it is gone from the trash, and nothing changes.
        const platform::RestoreResult again = platform::restoreFromTrash(trashed.infoFile, identity);
        EXPECT_EQ(again.failure, RestoreFailure::NoInfo);
        EXPECT_EQ(contentsOf(restored.originalPath), "of " + name);
    }
}

TEST_F(TrashRestore, ARestoreCutShortBetweenItsStepsIsFinishedByTheNext) {
    // Ended after the rename, before its record in the trash went.
    const std::string renamed = files_.writeFile("renamed.txt", "renamed");
    const auto renamedIdentity = identityAt(renamed);
    const platform::TrashResult first = platform::moveToTrash(renamed);
    ASSERT_TRUE(first.moved()) << first.reason.text();
    ASSERT_EQ(::rename(first.fileInTrash.c_str(), renamed.c_str()), 0);
    const platform::RestoreResult finished = platform::restoreFromTrash(first.infoFile, renamedIdentity);
    EXPECT_TRUE(finished.restored()) << finished.reason.text();
    EXPECT_FALSE(entryExists(first.infoFile));
    EXPECT_EQ(contentsOf(renamed), "renamed");

    // Ended between the link to its place and the removal of its name in the trash (the way back
    // where a file system cannot rename without replacing).
    const std::string linked = files_.writeFile("linked.txt", "linked");
    const auto linkedIdentity = identityAt(linked);
    const platform::TrashResult second = platform::moveToTrash(linked);
    ASSERT_TRUE(second.moved()) << second.reason.text();
    ASSERT_EQ(::link(second.fileInTrash.c_str(), linked.c_str()), 0);
    const platform::RestoreResult done = platform::restoreFromTrash(second.infoFile, linkedIdentity);
    EXPECT_TRUE(done.restored()) << done.reason.text();
    EXPECT_FALSE(entryExists(second.fileInTrash));
    EXPECT_FALSE(entryExists(second.infoFile));
    EXPECT_EQ(identityAt(linked), linkedIdentity);
}

TEST_F(TrashRestore, NeverReplacesNorTakesAnotherFile) {
    const std::string file = files_.writeFile("report.txt", "first");
    const auto identity = identityAt(file);
    const platform::TrashResult trashed = platform::moveToTrash(file);
    ASSERT_TRUE(trashed.moved()) << trashed.reason.text();

    // A new file at the old place: both stay as they are, the record too.
    files_.writeFile("report.txt", "newcomer");
    platform::RestoreResult result = platform::restoreFromTrash(trashed.infoFile, identity);
    EXPECT_EQ(result.failure, RestoreFailure::PlaceTaken);
    EXPECT_EQ(result.reason.text(), kReasonPlaceTaken);
    EXPECT_EQ(contentsOf(file), "newcomer");
    EXPECT_EQ(contentsOf(trashed.fileInTrash), "first");
    EXPECT_TRUE(entryExists(trashed.infoFile));
    ASSERT_EQ(::unlink(file.c_str()), 0);

    // Another file under the trashed file's name in the trash: not taken for it.
    const std::string moved = trashed.fileInTrash + ".aside";
    ASSERT_EQ(::rename(trashed.fileInTrash.c_str(), moved.c_str()), 0);
    {
        std::ofstream other(trashed.fileInTrash, std::ios::binary);
        other << "someone else's";
    }
    result = platform::restoreFromTrash(trashed.infoFile, identity);
    EXPECT_EQ(result.failure, RestoreFailure::Changed);
    EXPECT_FALSE(entryExists(file));
    EXPECT_EQ(contentsOf(trashed.fileInTrash), "someone else's");

    // Emptied from the trash meanwhile.
    ASSERT_EQ(::unlink(trashed.fileInTrash.c_str()), 0);
    result = platform::restoreFromTrash(trashed.infoFile, identity);
    EXPECT_EQ(result.failure, RestoreFailure::GoneFromTrash);
    EXPECT_EQ(contentsOf(moved), "first");
}

TEST_F(TrashRestore, AFolderThatIsGoneIsNotMadeAgain) {
    const std::string file = files_.writeFile("gone/deeper/notes.txt", "notes");
    const platform::TrashResult trashed = platform::moveToTrash(file);
    ASSERT_TRUE(trashed.moved()) << trashed.reason.text();
    ASSERT_EQ(::rmdir(files_.path("gone/deeper").c_str()), 0);
    const platform::RestoreResult result =
        platform::restoreFromTrash(trashed.infoFile, identityAt(trashed.fileInTrash));
    EXPECT_EQ(result.failure, RestoreFailure::NoFolder);
    EXPECT_NE(result.reason.text().find(root_ + "/gone/deeper"), std::string::npos) << result.reason.text();
    EXPECT_FALSE(entryExists(files_.path("gone/deeper")));
    EXPECT_EQ(contentsOf(trashed.fileInTrash), "notes");
}

TEST_F(TrashRestore, ARecordThatIsNoInfoFileMovesNothing) {
    const std::string broken = files_.writeFile("broken.trashinfo", "[Trash Info]\nPath=\n");
    const platform::RestoreResult result = platform::restoreFromTrash(broken);
    EXPECT_EQ(result.failure, RestoreFailure::NoInfo);
    EXPECT_FALSE(result.reason.text().empty());
    EXPECT_EQ(platform::restoreFromTrash(files_.path("none.trashinfo")).failure, RestoreFailure::NoInfo);
}

} // namespace
} // namespace corvane::testing
