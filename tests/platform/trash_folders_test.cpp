// Trash folders are known by what they are: the home trash by its identity under any path, the
// trash folders of a mount by standing at its top. Folders that only bear such a name are none.

#include "platform/trash.h"
#include "platform/trash_folders.h"
#include "trash_test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>

namespace corvane::testing {
namespace {

bool isTrashFolderAt(const std::string& folder, const std::string& name) {
    const int fd = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    const bool trash = fd >= 0 && platform::isTrashFolder(fd, name);
    if (fd >= 0) {
        ::close(fd);
    }
    return trash;
}

using TrashFolders = TrashTest;

TEST_F(TrashFolders, TheHomeTrashIsKnownUnderAnyPathAndAFolderOfItsNameIsNone) {
    files_.makeDir("elsewhere/Trash/files");
    data_.makeDir("share/Trash/files");
    std::filesystem::create_directory_symlink(data_.path("share"), files_.path("linked"));

    platform::TrashFolderTest test;
    EXPECT_TRUE(test.holds(homeTrash()));
    EXPECT_TRUE(test.holds(homeTrash("files/photo.jpg")));
    EXPECT_TRUE(test.holds(files_.path("linked/Trash/files/photo.jpg")));
    EXPECT_TRUE(isTrashFolderAt(files_.path("linked"), "Trash"));
    EXPECT_FALSE(test.holds(files_.path("elsewhere/Trash/files/photo.jpg")));
    EXPECT_FALSE(test.holds(data_.path("share/photo.jpg")));
    EXPECT_FALSE(isTrashFolderAt(files_.path("elsewhere"), "Trash"));

    // A relative path is taken from the working folder.
    const std::string before = std::filesystem::current_path();
    std::filesystem::current_path(data_.path("share"));
    EXPECT_TRUE(platform::TrashFolderTest().holds("Trash/info/photo.jpg.trashinfo"));
    EXPECT_FALSE(platform::TrashFolderTest().holds("photo.jpg"));
    std::filesystem::current_path(before);
}

TEST_F(TrashFolders, AMountsTrashFoldersStandAtItsTop) {
    if (!runningAsRoot()) {
        GTEST_SKIP() << "mounting a file system needs root (CI runs these tests as root)";
    }
    const ScopedMount disk("tmpfs", files_.makeDir("disk"), "tmpfs", 0);
    if (!disk.mounted()) {
        GTEST_SKIP() << "cannot mount a tmpfs: " << disk.why();
    }
    for (const char* name : {".Trash-1000", ".Trash", ".Trash-0", ".Trash-x", "sub"}) {
        files_.makeDir(std::string("disk/") + name);
        files_.makeDir(std::string("disk/sub/") + name);
    }
    EXPECT_TRUE(isTrashFolderAt(files_.path("disk"), ".Trash-1000"));
    EXPECT_TRUE(isTrashFolderAt(files_.path("disk"), ".Trash-0"));
    EXPECT_TRUE(isTrashFolderAt(files_.path("disk"), ".Trash"));
    EXPECT_FALSE(isTrashFolderAt(files_.path("disk"), ".Trash-x"));
    // Below the top, the same names are ordinary folders.
    EXPECT_FALSE(isTrashFolderAt(files_.path("disk/sub"), ".Trash-1000"));
    EXPECT_FALSE(isTrashFolderAt(files_.path("disk/sub"), ".Trash"));
    // The top of a bind mount of a subfolder is the top of a mount too: files on it are trashed there.
    const ScopedMount bound(files_.path("disk/sub").c_str(), files_.makeDir("bound"), nullptr, MS_BIND);
    ASSERT_TRUE(bound.mounted()) << bound.why();
    EXPECT_TRUE(isTrashFolderAt(files_.path("bound"), ".Trash-1000"));
    platform::TrashFolderTest test;
    EXPECT_TRUE(test.holds(files_.path("bound/.Trash-1000/files/a.txt")));
    EXPECT_FALSE(test.holds(files_.path("disk/sub/.Trash-1000/files/a.txt")));
}

} // namespace
} // namespace corvane::testing
