// The trash as an action on a checked file: it moves only the entry that was checked, and says
// why when it cannot.

#include "engine/action_runner.h"
#include "support/data_home.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace corvane::engine {
namespace {

using testing::DataHome;
using testing::TempTree;

class TrashAction : public ::testing::Test {
protected:
    TempTree data_;
    DataHome home_{data_.path("share")};
    TempTree files_;
};

TEST_F(TrashAction, MovesTheCheckedEntryAndNothingElse) {
    const std::string file = files_.writeFile("a.txt", "a");
    const platform::FileInfo seen = *platform::lookupFile(file);
    const ActionOutcome moved = moveToTrashAction(file, seen);
    EXPECT_TRUE(moved.succeeded());
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(std::filesystem::exists(data_.path("share/Trash/files/a.txt")));
    // What the run's record keeps of it: enough to find it in the trash and know it again.
    ASSERT_TRUE(moved.change);
    EXPECT_EQ(moved.change->kind, RunChange::Kind::Trashed);
    EXPECT_EQ(moved.change->path, file);
    EXPECT_EQ(moved.change->identity, identityOf(seen));
    EXPECT_TRUE(std::filesystem::exists(moved.change->other)) << moved.change->other;
    EXPECT_EQ(std::filesystem::path(moved.change->other).filename(), "a.txt.trashinfo");

    // Another file put in its place after the check.
    const std::string replaced = files_.writeFile("b.txt", "one");
    const platform::FileInfo checked = *platform::lookupFile(replaced);
    const std::string other = files_.writeFile("other.txt", "two");
    std::filesystem::rename(other, replaced);
    const ActionOutcome refusal = moveToTrashAction(replaced, checked);
    EXPECT_EQ(refusal.reason.text(), "replaced since it was checked");
    EXPECT_FALSE(refusal.change) << "nothing changed, nothing to record";
    EXPECT_TRUE(std::filesystem::exists(replaced));

    EXPECT_EQ(moveToTrashAction(files_.path("gone.txt"), checked).reason.text(), kReasonGone);
    const std::string folder = files_.makeDir("folder");
    EXPECT_EQ(moveToTrashAction(folder, *platform::lookupFile(folder)).reason.text(), kReasonNotAFile);
}

TEST_F(TrashAction, AFileWrittenToAfterTheLastLookComesBackWithItsNewBytes) {
    const std::string keeper = files_.writeFile("keeper.txt", "same");
    const std::string file = files_.writeFile("dup.txt", "same");
    const StayingCopy staying{keeper, *platform::lookupFile(keeper)};
    const platform::FileInfo checked = *platform::lookupFile(file);
    // Bytes a program appends through the open file between the last look and the move: the
    // entry is the one checked, its bytes are not.
    std::ofstream(file, std::ios::app) << " and more";
    const ActionOutcome outcome = moveToTrashAction(file, checked, &staying);
    EXPECT_EQ(outcome.status, ActionStatus::Refused);
    EXPECT_EQ(outcome.reason.text(), kReasonWrittenWhileMoved);
    EXPECT_FALSE(outcome.change);
    std::ifstream back(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(back), {}), "same and more");
    EXPECT_TRUE(std::filesystem::is_empty(data_.path("share/Trash/files")));
    EXPECT_TRUE(std::filesystem::is_empty(data_.path("share/Trash/info")));
    // Unchanged, it goes.
    EXPECT_TRUE(moveToTrashAction(file, *platform::lookupFile(file), &staying).succeeded());
}

TEST_F(TrashAction, ATrashThatCannotBeMadeLeavesTheFileWithTheSystemsReason) {
    const std::string file = files_.writeFile("keep.txt", "keep");
    const std::string plain = data_.writeFile("plain", "");
    home_.pointAt(plain + "/share");
    EXPECT_EQ(moveToTrashAction(file, *platform::lookupFile(file)).reason.text(),
              "the trash folder cannot be made: " + plain + "/share: " + std::strerror(ENOTDIR));
    EXPECT_TRUE(std::filesystem::exists(file));
}

} // namespace
} // namespace corvane::engine
