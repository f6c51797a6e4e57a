// Replacing a file by a hard link to another: only the entry checked, in one step, never across
// file systems, and nothing left behind.

#include "platform/file_links.h"
#include "support/file_contents.h"
#include "support/small_disk.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
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
    ASSERT_TRUE(result.linked()) << result.reason;
    EXPECT_EQ(identityOf(infoOf(duplicate)), identityOf(infoOf(keeper)));
    EXPECT_EQ(testing::fileContents(duplicate), "contents");
    EXPECT_EQ(namesIn(tree.path("dup")), std::set<std::string>{"b"});

    // Once linked, there is nothing more to do.
    const LinkResult again = replaceWithHardLink(duplicate, infoOf(duplicate), keeper, infoOf(keeper));
    EXPECT_EQ(again.failure, LinkFailure::AlreadyLinked);
    EXPECT_EQ(again.reason, "already a link to " + keeper);
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

    EXPECT_EQ(replaceWithHardLink(tree.path("gone"), duplicateSeen, keeper, infoOf(keeper)).failure,
              LinkFailure::Missing);
    const std::string folder = tree.makeDir("folder");
    EXPECT_EQ(replaceWithHardLink(folder, infoOf(folder), keeper, infoOf(keeper)).failure,
              LinkFailure::NotAFile);
    EXPECT_EQ(namesIn(tree.root()), (std::set<std::string>{"a", "b", "c", "folder"}));
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
    EXPECT_EQ(result.reason, "on another file system than " + keeper);
    EXPECT_EQ(namesIn(disk.root()), std::set<std::string>{"b"});
    EXPECT_EQ(testing::fileContents(duplicate), "contents");
}

} // namespace
} // namespace corvane::platform
