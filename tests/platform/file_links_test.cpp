// Replacing a file by a hard link to another: only the entry checked, in one step, never across
// file systems, and nothing left behind.

#include "platform/file_links.h"
#include "platform/reason_texts.h"
#include "support/file_contents.h"
#include "support/small_disk.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::platform {
namespace {

using testing::TempTree;

FileInfo infoOf(const std::string& path) {
    const std::optional<FileInfo> info = lookupFile(path);
    EXPECT_TRUE(info) << path;
    return info.value_or(FileInfo{});
}

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

TEST(FileLinks, TheDuplicateBecomesANameOfTheKeeperAndNothingIsLeftBehind) {
    TempTree tree;
    const std::string keeper = tree.writeFile("keep/a", "contents");
    const std::string duplicate = tree.writeFile("dup/b", "contents");
    const LinkResult result = replaceWithHardLink(duplicate, infoOf(duplicate), keeper, infoOf(keeper));
    ASSERT_TRUE(result.linked()) << result.reason.text();
    EXPECT_EQ(identityOf(infoOf(duplicate)), identityOf(infoOf(keeper)));
    EXPECT_EQ(testing::fileContents(duplicate), "contents");
    EXPECT_EQ(namesIn(tree.path("dup")), std::set<std::string>{"b"});

    // Once linked, there is nothing more to do.
    const LinkResult again = replaceWithHardLink(duplicate, infoOf(duplicate), keeper, infoOf(keeper));
    EXPECT_EQ(again.failure, LinkFailure::AlreadyLinked);
    EXPECT_EQ(again.reason.text(), "already a link to " + keeper);
}

TEST(FileLinks, AFileOrKeeperThatIsNotAsCheckedStaysAsItIs) {
    TempTree tree;
    const std::string keeper = tree.writeFile("a", "contents");
    const std::string duplicate = tree.writeFile("b", "contents");
    const FileInfo keeperSeen = infoOf(keeper);
    const FileInfo duplicateSeen = infoOf(duplicate);

    // Another file put in the duplicate's place after the check.
    const std::string newcomer = tree.writeFile("new", "someone else's");
    std::filesystem::rename(newcomer, duplicate);
    EXPECT_EQ(replaceWithHardLink(duplicate, duplicateSeen, keeper, keeperSeen).failure,
              LinkFailure::Replaced);
    EXPECT_EQ(testing::fileContents(duplicate), "someone else's");

    // The same file, written to since the check.
    const FileInfo newcomerSeen = infoOf(duplicate);
    {
        std::ofstream out(duplicate, std::ios::app);
        out << " and more";
    }
    EXPECT_EQ(replaceWithHardLink(duplicate, newcomerSeen, keeper, keeperSeen).failure,
              LinkFailure::Replaced);
    EXPECT_EQ(testing::fileContents(duplicate), "someone else's and more");

    // The keeper replaced since the check.
    const std::string third = tree.writeFile("c", "contents");
    const std::string otherKeeper = tree.writeFile("other", "contents");
    std::filesystem::rename(otherKeeper, keeper);
    EXPECT_EQ(replaceWithHardLink(third, infoOf(third), keeper, keeperSeen).failure,
              LinkFailure::TargetReplaced);
    EXPECT_NE(identityOf(infoOf(third)), identityOf(infoOf(keeper)));

    // The keeper written to in place since the check, its size kept: the duplicate's bytes would
    // be in no file once its last name went.
    const FileInfo keeperBefore = infoOf(keeper);
    {
        std::fstream out(keeper, std::ios::in | std::ios::out | std::ios::binary);
        out << "CONTENTS";
    }
    const LinkResult written = replaceWithHardLink(third, infoOf(third), keeper, keeperBefore);
    EXPECT_EQ(written.failure, LinkFailure::TargetReplaced);
    EXPECT_EQ(written.reason.text(), corvane::kReasonKeeperWrittenWhileLinked);
    EXPECT_EQ(testing::fileContents(third), "contents");
    EXPECT_NE(identityOf(infoOf(third)), identityOf(infoOf(keeper)));

    EXPECT_EQ(replaceWithHardLink(tree.path("gone"), duplicateSeen, keeper, infoOf(keeper)).failure,
              LinkFailure::Missing);
    const std::string folder = tree.makeDir("folder");
    EXPECT_EQ(replaceWithHardLink(folder, infoOf(folder), keeper, infoOf(keeper)).failure,
              LinkFailure::NotAFile);
    EXPECT_EQ(namesIn(tree.root()), (std::set<std::string>{"a", "b", "c", "folder"}));
}

TEST(FileLinks, ALinkGetsItsOwnBytesBackWithWhatItHadOfItsOwnAndOnlyWhileItIsStillTheLink) {
    TempTree tree;
    std::string contents(3 << 20, '\0');
    for (size_t i = 0; i < contents.size(); ++i) {
        contents[i] = static_cast<char>((i * 7919) >> 5);
    }
    const std::string keeper = tree.writeFile("a", contents);
    const std::string duplicate = tree.writeFile("b", contents);
    ASSERT_EQ(::chmod(duplicate.c_str(), 04750), 0);
    const timespec times[2] = {{0, UTIME_OMIT}, {1'000'000'000, 123'456'789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, duplicate.c_str(), times, 0), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(duplicate.c_str(), 1234, 4321), 0);
        ASSERT_EQ(::chmod(duplicate.c_str(), 04750), 0); // chown cleared the set-id bit
    }
    struct stat own {};
    ASSERT_EQ(::lstat(duplicate.c_str(), &own), 0);
    const FileInfo keeperBefore = infoOf(keeper);
    ASSERT_TRUE(replaceWithHardLink(duplicate, infoOf(duplicate), keeper, keeperBefore).linked());

    const OwnAttributes attributes{own.st_mode, own.st_uid, own.st_gid,
                                   own.st_mtim.tv_sec * 1'000'000'000LL + own.st_mtim.tv_nsec};
    const LinkResult back = replaceLinkWithOwnCopy(duplicate, identityOf(keeperBefore), attributes);
    ASSERT_TRUE(back.linked()) << back.reason.text();
    EXPECT_EQ(back.reason.text(), "") << "the owner was set back";
    struct stat now {};
    ASSERT_EQ(::lstat(duplicate.c_str(), &now), 0);
    EXPECT_NE(now.st_ino, keeperBefore.inode);
    EXPECT_EQ(now.st_mode, own.st_mode);
    EXPECT_EQ(now.st_mtim.tv_sec, own.st_mtim.tv_sec);
    EXPECT_EQ(now.st_mtim.tv_nsec, own.st_mtim.tv_nsec);
    EXPECT_EQ(now.st_uid, own.st_uid);
    EXPECT_EQ(now.st_gid, own.st_gid);
    EXPECT_EQ(testing::fileContents(duplicate), contents);
    // The file it was linked to is as it was, with one name again.
    const FileInfo keeperAfter = infoOf(keeper);
    EXPECT_EQ(identityOf(keeperAfter), identityOf(keeperBefore));
    EXPECT_EQ(keeperAfter.modificationTimeNs, keeperBefore.modificationTimeNs);
    EXPECT_EQ(testing::fileContents(keeper), contents);
    EXPECT_EQ(namesIn(tree.root()), (std::set<std::string>{"a", "b"}));

    // Its own file now: a second undo finds nothing of the link and changes nothing.
    const LinkResult again = replaceLinkWithOwnCopy(duplicate, identityOf(keeperBefore), attributes);
    EXPECT_EQ(again.failure, LinkFailure::Replaced);
    EXPECT_EQ(again.reason.text(), kReasonNoLongerLinked);
    EXPECT_EQ(infoOf(duplicate).inode, now.st_ino);
    // Nor is anything else at the place ever replaced: a symbolic link, or nothing at all.
    std::filesystem::create_symlink(keeper, tree.path("c"));
    EXPECT_EQ(replaceLinkWithOwnCopy(tree.path("c"), identityOf(keeperBefore), attributes).failure,
              LinkFailure::Replaced);
    EXPECT_TRUE(std::filesystem::is_symlink(tree.path("c")));
    EXPECT_EQ(replaceLinkWithOwnCopy(tree.path("gone"), identityOf(keeperBefore), attributes).failure,
              LinkFailure::Missing);
    EXPECT_EQ(namesIn(tree.root()), (std::set<std::string>{"a", "b", "c"}));
}

TEST(FileLinks, NoLinkCrossesFileSystems) {
    testing::SmallDisk disk(1 << 20);
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why();
    }
    TempTree tree;
    const std::string keeper = tree.writeFile("a", "contents");
    const std::string duplicate = disk.path("b");
    { std::ofstream(duplicate) << "contents"; }
    const LinkResult result = replaceWithHardLink(duplicate, infoOf(duplicate), keeper, infoOf(keeper));
    EXPECT_EQ(result.failure, LinkFailure::OtherFileSystem);
    EXPECT_EQ(result.reason.text(), "on another file system than " + keeper);
    EXPECT_EQ(namesIn(disk.root()), std::set<std::string>{"b"});
    EXPECT_EQ(testing::fileContents(duplicate), "contents");
}

} // namespace
} // namespace corvane::platform
