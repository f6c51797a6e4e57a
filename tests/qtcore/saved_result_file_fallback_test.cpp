// The result file writer on a file system that cannot exchange two names (renameat2 with flags is
// refused here, as NFS or FAT refuse it): a second name keeps the older file until the set is whole.

#include "saved_result_file_support.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>

extern "C" int __real_renameat2(int, const char*, int, const char*, unsigned);

extern "C" int __wrap_renameat2(int oldFolder, const char* oldName, int newFolder, const char* newName,
                                unsigned flags) {
    if (flags != 0) {
        errno = EINVAL;
        return -1;
    }
    return __real_renameat2(oldFolder, oldName, newFolder, newName, flags);
}

namespace corvane::qtcore {
namespace {

using testing::TempTree;

TEST(SavedResultFileWithoutExchange, ReplacesTheOlderFileAndLeavesNoSecondName) {
    const TempTree folder;
    const std::string older = folder.writeFile("r.CVN", "older");
    const std::string added = folder.path("new.CVN");
    finished(older, "newer")->commit();
    finished(added, "new")->commit();
    EXPECT_EQ(contentsOf(older), "newer");
    EXPECT_EQ(contentsOf(added), "new");
    EXPECT_EQ(namesIn(folder.root()), (Names{"new.CVN", "r.CVN"}));
}

TEST(SavedResultFileWithoutExchange, RollingBackBringsBackTheOlderFileOrNoFile) {
    const TempTree folder;
    const std::string older = folder.writeFile("r.CVN", "older");
    const std::string added = folder.path("new.CVN");
    {
        const auto replacing = finished(older, "newer");
        const auto adding = finished(added, "new");
        replacing->commit();
        adding->commit();
        EXPECT_EQ(contentsOf(older), "newer");
        adding->rollBack();
        replacing->rollBack();
    }
    EXPECT_EQ(contentsOf(older), "older");
    EXPECT_EQ(namesIn(folder.root()), Names{"r.CVN"});
}

} // namespace
} // namespace corvane::qtcore
