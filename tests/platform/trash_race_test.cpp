// Another file renamed onto a path in the moment between the trash's last look at it and the
// rename. This program is linked with the system's renameat2 wrapped (-Wl,--wrap=renameat2), so
// that a test can act just before each rename the trash makes.

#include "platform/trash.h"
#include "trash_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Run, first to last, one before each rename of the trash.
std::vector<std::function<void()>> beforeRenames;

} // namespace

extern "C" int __real_renameat2(int, const char*, int, const char*, unsigned);

extern "C" int __wrap_renameat2(int fromFolder, const char* from, int toFolder, const char* to,
                                unsigned flags) {
    if (!beforeRenames.empty()) {
        const std::function<void()> act = std::move(beforeRenames.front());
        beforeRenames.erase(beforeRenames.begin());
        act();
    }
    return __real_renameat2(fromFolder, from, toFolder, to, flags);
}

namespace corvane::testing {
namespace {

using platform::TrashFailure;

class TrashRace : public TrashTest {
protected:
    void TearDown() override { beforeRenames.clear(); }

    // The checked file moves aside and another one takes its name.
    void swapBeforeTheRename() {
        beforeRenames.push_back([this] {
            ASSERT_EQ(::rename(checked_.c_str(), aside_.c_str()), 0);
            ASSERT_EQ(::rename(files_.writeFile("newcomer", "newcomer").c_str(), checked_.c_str()), 0);
        });
    }

    std::string checked_ = files_.writeFile("checked.txt", "checked");
    std::string aside_ = files_.path("aside.txt");
};

TEST_F(TrashRace, AFileSwappedInJustBeforeTheRenameIsPutBack) {
    swapBeforeTheRename();
    const auto result = platform::moveToTrash(checked_);
    EXPECT_EQ(result.failure, TrashFailure::Replaced);
    EXPECT_EQ(result.reason.text(),
              "another file took its place just before the move; that file was put back");
    EXPECT_TRUE(result.fileInTrash.empty());
    EXPECT_EQ(contentsOf(checked_), "newcomer");
    EXPECT_EQ(contentsOf(aside_), "checked");
    EXPECT_TRUE(namesIn(homeTrash("files")).empty());
    EXPECT_TRUE(namesIn(homeTrash("info")).empty());
}

TEST_F(TrashRace, ASwappedInFileThatCannotGoBackStaysRestorableInTheTrash) {
    swapBeforeTheRename();
    // Yet another file at the path before the swapped-in one could go back there.
    beforeRenames.push_back([this] { files_.writeFile("checked.txt", "third"); });
    const auto result = platform::moveToTrash(checked_);
    EXPECT_EQ(result.failure, TrashFailure::Replaced);
    EXPECT_EQ(result.fileInTrash, homeTrash("files/checked.txt"));
    EXPECT_NE(result.reason.text().find(result.fileInTrash), std::string::npos) << result.reason.text();
    EXPECT_EQ(contentsOf(checked_), "third");
    EXPECT_EQ(contentsOf(aside_), "checked");
    EXPECT_EQ(contentsOf(result.fileInTrash), "newcomer");
    const auto trashed = platform::readTrashInfo(result.infoFile);
    ASSERT_TRUE(trashed);
    EXPECT_EQ(trashed->originalPath, root_ + "/checked.txt");
}

} // namespace
} // namespace corvane::testing
