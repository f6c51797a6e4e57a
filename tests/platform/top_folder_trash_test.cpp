// The trash at the top of another file system than the home trash's: a tmpfs mounted for each
// test (only root may mount; CI runs as root), and bind mounts, which are mounts of their own.

#include "platform/trash.h"
#include "platform/trash_info.h"
#include "trash_test_support.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace corvane::testing {
namespace {

using platform::TrashFailure;

class TopFolderTrash : public TrashTest {
protected:
    void SetUp() override {
        if (!runningAsRoot()) {
            GTEST_SKIP() << "mounting a second file system needs root (CI runs these tests as root)";
        }
        disk_.emplace("tmpfs", files_.makeDir("disk"), "tmpfs", 0);
        if (!disk_->mounted()) {
            GTEST_SKIP() << "cannot mount a tmpfs: " << disk_->why();
        }
    }

    std::string disk(const std::string& relative = "") const {
        return root_ + "/disk" + (relative.empty() ? "" : "/" + relative);
    }
    std::string ownTrash() const { return disk(".Trash-" + uid_); }
    std::string sharedTrash() const { return disk(".Trash/" + uid_); }

    // Moves a new file at `relative` on the disk and checks that it went to `trash`, made for
    // this user alone, with a Path relative to the disk's top folder.
    void expectTrashedInto(const std::string& relative, const std::string& trash) {
        SCOPED_TRACE(relative);
        const std::string file = files_.writeFile("disk/" + relative, relative);
        const auto result = platform::moveToTrash(file);
        ASSERT_TRUE(result.moved()) << result.reason.text();
        EXPECT_EQ(result.trashFolder, trash);
        const std::string name = relative.substr(relative.rfind('/') + 1);
        EXPECT_EQ(result.fileInTrash, trash + "/files/" + name);
        for (const char* folder : {"", "/files", "/info"}) {
            EXPECT_EQ(permissionsOf(trash + folder), 0700u) << folder;
        }
        const std::string info = contentsOf(result.infoFile);
        EXPECT_EQ(info.substr(0, info.find("\nDeletionDate=")),
                  "[Trash Info]\nPath=" + platform::percentEncodePath(relative));
        expectRestorable(result, disk(relative), relative);
        EXPECT_FALSE(entryExists(homeTrash()));
    }

    std::optional<ScopedMount> disk_;
    const std::string uid_ = std::to_string(::getuid());
};

TEST_F(TopFolderTrash, WithoutASharedTrashTheUsersOwnIsMadeAtTheTop) {
    expectTrashedInto("sub/deeper/a b.txt", ownTrash());
    expectTrashedInto("top.txt", ownTrash());
    expectTrashedInto("sub/line\nbreak \xff.bin", ownTrash());
    EXPECT_FALSE(entryExists(disk(".Trash")));
}

TEST_F(TopFolderTrash, ASharedTrashWithTheStickyBitHoldsAFolderPerUser) {
    ASSERT_EQ(::mkdir(disk(".Trash").c_str(), 0700), 0);
    ASSERT_EQ(::chmod(disk(".Trash").c_str(), 01777), 0);
    expectTrashedInto("sub/a.txt", sharedTrash());
    expectTrashedInto("sub/other/b c.txt", sharedTrash());
    EXPECT_FALSE(entryExists(ownTrash()));
}

TEST_F(TopFolderTrash, ASharedTrashThatIsNotStickyIsALinkOrHoldsAnotherUsersFolderIsNotUsed) {
    // Not sticky: anyone could remove anyone's files from it.
    ASSERT_EQ(::mkdir(disk(".Trash").c_str(), 0700), 0);
    ASSERT_EQ(::chmod(disk(".Trash").c_str(), 0777), 0);
    expectTrashedInto("not sticky.txt", ownTrash());
    EXPECT_TRUE(namesIn(disk(".Trash")).empty());

    // A link to a sticky folder.
    ASSERT_EQ(::rmdir(disk(".Trash").c_str()), 0);
    ASSERT_EQ(::mkdir(disk("elsewhere").c_str(), 0700), 0);
    ASSERT_EQ(::chmod(disk("elsewhere").c_str(), 01777), 0);
    ASSERT_EQ(::symlink("elsewhere", disk(".Trash").c_str()), 0);
    expectTrashedInto("link.txt", ownTrash());
    EXPECT_TRUE(namesIn(disk("elsewhere")).empty());

    // The user's folder in it put there by someone else, or as a link.
    ASSERT_EQ(::unlink(disk(".Trash").c_str()), 0);
    ASSERT_EQ(::mkdir(disk(".Trash").c_str(), 0700), 0);
    ASSERT_EQ(::chmod(disk(".Trash").c_str(), 01777), 0);
    ASSERT_EQ(::mkdir(sharedTrash().c_str(), 0777), 0);
    ASSERT_EQ(::chown(sharedTrash().c_str(), ::getuid() + 1, ::getgid()), 0);
    expectTrashedInto("someone else's.txt", ownTrash());
    EXPECT_TRUE(namesIn(sharedTrash()).empty());
    ASSERT_EQ(::rmdir(sharedTrash().c_str()), 0);
    ASSERT_EQ(::symlink("../elsewhere", sharedTrash().c_str()), 0);
    expectTrashedInto("linked folder.txt", ownTrash());
    EXPECT_TRUE(namesIn(disk("elsewhere")).empty());
}

TEST_F(TopFolderTrash, TheUsersOwnTrashAsALinkIsRefused) {
    ASSERT_EQ(::mkdir(disk("elsewhere").c_str(), 0700), 0);
    ASSERT_EQ(::symlink("elsewhere", ownTrash().c_str()), 0);
    const std::string file = files_.writeFile("disk/a.txt", "a");
    const auto result = platform::moveToTrash(file);
    EXPECT_EQ(result.failure, TrashFailure::NoTrash);
    EXPECT_EQ(result.reason.text(),
              "the trash folder cannot be made: " + ownTrash() + ": " + std::strerror(ENOTDIR));
    EXPECT_EQ(contentsOf(file), "a");
    EXPECT_TRUE(namesIn(disk("elsewhere")).empty());
}

TEST_F(TopFolderTrash, AReadOnlyFileSystemKeepsItsFilesAndSaysWhy) {
    const std::string first = files_.writeFile("disk/first.txt", "first");
    const std::string second = files_.writeFile("disk/second.txt", "second");
    ASSERT_TRUE(disk_->makeReadOnly(false)) << disk_->why();
    auto result = platform::moveToTrash(first);
    EXPECT_EQ(result.failure, TrashFailure::NoTrash);
    EXPECT_EQ(result.reason.text(),
              "the trash folder cannot be made: " + ownTrash() + ": " + std::strerror(EROFS));
    EXPECT_EQ(contentsOf(first), "first");

    // With its trash made before: the info file cannot be written.
    ScopedMount again("tmpfs", files_.makeDir("disk2"), "tmpfs", 0);
    ASSERT_TRUE(again.mounted()) << again.why();
    const std::string third = files_.writeFile("disk2/third.txt", "third");
    const std::string trash = root_ + "/disk2/.Trash-" + uid_;
    for (const char* folder : {"", "/files", "/info"}) {
        ASSERT_EQ(::mkdir((trash + folder).c_str(), 0700), 0);
    }
    ASSERT_TRUE(again.makeReadOnly(false)) << again.why();
    result = platform::moveToTrash(third);
    EXPECT_EQ(result.failure, TrashFailure::NoTrash);
    EXPECT_EQ(result.reason.text(), "the trash info cannot be written: " + trash +
                                        "/info/third.txt.trashinfo: " + std::strerror(EROFS));
    EXPECT_EQ(contentsOf(third), "third");
    EXPECT_EQ(contentsOf(second), "second");
}

TEST_F(TopFolderTrash, ABindMountIsAMountOfItsOwnEvenOnTheHomeTrashsFileSystem) {
    // A folder beside the home trash, also seen through a bind mount: a rename from the bind
    // mount into the home trash would fail, so the bind mount's top folder has the trash.
    const std::string source = files_.makeDir("source");
    ScopedMount bound(source.c_str(), files_.makeDir("bound"), nullptr, MS_BIND);
    ASSERT_TRUE(bound.mounted()) << bound.why();
    files_.writeFile("source/sub/through bind.txt", "bound");
    const auto viaBind = platform::moveToTrash(files_.path("bound/sub/through bind.txt"));
    ASSERT_TRUE(viaBind.moved()) << viaBind.reason.text();
    EXPECT_EQ(viaBind.trashFolder, root_ + "/bound/.Trash-" + uid_);
    EXPECT_EQ(platform::readTrashInfo(viaBind.infoFile)->originalPath, root_ + "/bound/sub/through bind.txt");
    expectRestorable(viaBind, root_ + "/bound/sub/through bind.txt", "bound");

    const auto direct = platform::moveToTrash(files_.writeFile("source/direct.txt", "direct"));
    ASSERT_TRUE(direct.moved()) << direct.reason.text();
    EXPECT_EQ(direct.trashFolder, homeTrash());
    expectRestorable(direct, root_ + "/source/direct.txt", "direct");
}

} // namespace
} // namespace corvane::testing
