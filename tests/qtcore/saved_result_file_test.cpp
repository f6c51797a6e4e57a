// The files of a saved result set: an older file stays whole until the new one is complete and on the
// disk, and an older set stays whole until all three new files are.

#include "qtcore/saved_result_file.h"

#include "saved_result_file_support.h"
#include "stream/error.h"
#include "stream/result_set.h"
#include "support/small_disk.h"
#include "support/temp_tree.h"
#include "support/unwritable_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::qtcore {
namespace {

using testing::SmallDisk;
using testing::TempTree;
using testing::UnwritableFile;

mode_t permissionsOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

TEST(SavedResultFile, TheOlderFileStaysUntilTheNewOneIsCommittedAndLendsItItsPermissions) {
    const TempTree folder;
    const std::string path = folder.writeFile("r.CVN", "older");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    {
        const auto file = createResultFile(path);
        file->write(bytesOf("newer, "));
        file->write(bytesOf("and longer"));
        file->finish();
        EXPECT_EQ(contentsOf(path), "older");
        file->commit();
        EXPECT_EQ(contentsOf(path), "newer, and longer");
    }
    EXPECT_EQ(contentsOf(path), "newer, and longer");
    EXPECT_EQ(permissionsOf(path), 0640u);
    EXPECT_EQ(namesIn(folder.root()), Names{"r.CVN"}) << "no temporary file is left behind";
}

TEST(SavedResultFile, AFileNeverCommittedLeavesTheOlderOneAndNothingElse) {
    const TempTree folder;
    const std::string path = folder.writeFile("r.CVN", "older");
    createResultFile(path)->write(bytesOf("given up"));
    EXPECT_EQ(contentsOf(path), "older");
    EXPECT_EQ(namesIn(folder.root()), Names{"r.CVN"});

    finished(path, "finished, but never committed");
    finished(folder.path("new.CVN"), "never committed either");
    EXPECT_EQ(contentsOf(path), "older");
    EXPECT_EQ(namesIn(folder.root()), Names{"r.CVN"});
}

TEST(SavedResultFile, RollingBackBringsBackTheOlderFileOrNoFile) {
    const TempTree folder;
    const std::string older = folder.writeFile("r.CVN", "older");
    const std::string added = folder.path("new.CVN");
    {
        const auto replacing = finished(older, "newer");
        const auto adding = finished(added, "new");
        replacing->commit();
        adding->commit();
        EXPECT_EQ(contentsOf(older), "newer");
        EXPECT_EQ(contentsOf(added), "new");
        adding->rollBack();
        replacing->rollBack();
    }
    EXPECT_EQ(contentsOf(older), "older");
    EXPECT_EQ(namesIn(folder.root()), Names{"r.CVN"});
}

TEST(SavedResultFile, AFolderPutInTheFilesPlaceMeanwhileStaysAndTheCommitFails) {
    const TempTree folder;
    const std::string path = folder.path("r.CVN");
    {
        const auto file = finished(path, "newer");
        folder.writeFile("r.CVN/inside", "a folder's file");
        EXPECT_EQ(messageOf([&] { file->commit(); }), "Cannot create file \"" + path + "\". Is a directory");
    }
    EXPECT_EQ(contentsOf(path + "/inside"), "a folder's file");
    EXPECT_EQ(namesIn(folder.root()), Names{"r.CVN"});
}

TEST(SavedResultFile, ALinkIsFollowedAndStaysALink) {
    const TempTree folder;
    const std::string real = folder.writeFile("real.CVN", "older");
    const std::string link = folder.path("link.CVN");
    ASSERT_EQ(::symlink("real.CVN", link.c_str()), 0);
    finished(link, "newer")->commit();
    struct stat info {};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(contentsOf(real), "newer");
    EXPECT_EQ(namesIn(folder.root()), (Names{"link.CVN", "real.CVN"}));
}

// As a character, such a byte would become U+FFFD, whose UTF-8 names another file: a look-alike.
TEST(SavedResultFile, ANameThatIsNotUtf8IsUsedAsItsBytes) {
    const TempTree folder;
    const std::string path = folder.path("r\xff.CVN");
    finished(path, "saved")->commit();
    EXPECT_EQ(namesIn(folder.root()), Names{"r\xff.CVN"});
    EXPECT_EQ(contentsOf(path), "saved");
}

TEST(SavedResultFile, WhatCannotBeReplacedOrCreatedFailsWithTheSystemsReason) {
    const TempTree folder;
    const std::string directory = folder.makeDir("r.CVN");
    const std::string missing = folder.path("no such folder/r.CVN");
    const auto creating = [](const std::string& path) { return messageOf([&] { createResultFile(path); }); };
    EXPECT_EQ(creating(directory), "Cannot create file \"" + directory + "\". Is a directory");
    EXPECT_EQ(creating(missing), "Cannot create file \"" + missing + "\". No such file or directory");

    const std::string kept = folder.writeFile("kept.CVN", "older");
    const UnwritableFile unwritable(kept);
    if (!unwritable.made()) {
        GTEST_SKIP() << unwritable.why();
    }
    const int reason = ::geteuid() == 0 ? EPERM : EACCES; // immutable for root, read-only otherwise
    EXPECT_EQ(creating(kept), "Cannot create file \"" + kept + "\". " + std::strerror(reason));
    EXPECT_EQ(contentsOf(kept), "older");
}

// QSaveFile once reported success here and put the short file in the older one's place.
TEST(SavedResultFile, AFullDiskFailsWithTheSystemsReasonAndLeavesTheOlderFileAndNoTemporary) {
    SmallDisk disk(64 * 1024);
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why();
    }
    const std::string path = disk.path("r.CVN");
    finished(path, "older")->commit();
    ASSERT_TRUE(disk.fillLeaving(8 * 1024)) << disk.why();

    const std::string large(32 * 1024, 'n');
    EXPECT_EQ(messageOf([&] {
                  const auto file = createResultFile(path);
                  file->write(bytesOf(large));
                  file->finish();
                  file->commit();
              }),
              "Cannot create file \"" + path + "\". No space left on device");
    EXPECT_EQ(contentsOf(path), "older");
    EXPECT_EQ(namesIn(disk.root()), (Names{"filler", "r.CVN"}));
}

// ------------------------------------------------------------------------------------------------
// The three files of a set together

// The lists after a search of `folder` that found a pair.
stream::ResultSet searchOf(stream::MainWindowLists& lists, const std::string& folder) {
    lists.searchPaths.setRows({{.caption = folder, .subItems = {{.text = "*.*"}}}});
    lists.searchedFiles.setRows({{.caption = folder + "/a", .subItems = {{.text = "1"}, {.text = "x"}}}});
    lists.duplicates.setNodes(
        {{.text = folder + "/a", .hasChildren = true}, {.text = folder + "/b", .level = 1}});
    return lists.set();
}

TEST(SavedResultSet, ALastFileThatCannotTakeItsNameLeavesTheWholeOlderSet) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can make a file immutable, which stops its replacement at the last moment";
    }
    const TempTree folder;
    const std::string name = folder.path("r.CVN");
    stream::MainWindowLists first;
    stream::writeResultSet(name, searchOf(first, "/first"), createResultFile);
    const std::vector<std::string> before = setContents(name);

    // The tree's file turns immutable once its new file has been created: only its commit fails.
    std::optional<UnwritableFile> unwritable;
    const auto create = [&](const std::string& path) {
        auto file = createResultFile(path);
        if (path == name + ".~DF~") {
            unwritable.emplace(path);
        }
        return file;
    };
    stream::MainWindowLists second;
    const std::string message =
        messageOf([&] { stream::writeResultSet(name, searchOf(second, "/second"), create); });
    ASSERT_TRUE(unwritable && unwritable->made()) << unwritable->why();
    EXPECT_EQ(message, "Cannot create file \"" + name + ".~DF~\". Operation not permitted");
    EXPECT_EQ(setContents(name), before);
    EXPECT_EQ(namesIn(folder.root()), (Names{"r.CVN", "r.CVN.~DF~", "r.CVN.~SR~"}));
}

} // namespace
} // namespace corvane::qtcore
