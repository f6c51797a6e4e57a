// Undoing an action run from its record: what comes back, in which order, what stays in the
// record for another try, and that a dry run or an undo of chosen files leaves the rest alone.

#include "engine/file_actions.h"
#include "engine/run_undo.h"
#include "platform/reason_texts.h"
#include "support/data_home.h"
#include "support/file_contents.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace corvane::engine {
namespace {

using testing::DataHome;
using testing::TempTree;
namespace fs = std::filesystem;

struct Undone {
    std::string path;
    UndoStatus status;
    std::string reason;
};

class RunUndo : public ::testing::Test {
protected:
    // Trashes each file, as an action run does, keeping the run's record.
    void trashInOneRun(const std::vector<std::string>& paths) {
        RunRecorder record(lastRunRecordPath());
        for (const std::string& path : paths) {
            const ActionOutcome outcome = moveToTrashAction(path, *platform::lookupFile(path));
            ASSERT_TRUE(outcome.change) << path << ": " << outcome.reason.text();
            record.add(*outcome.change);
        }
        ASSERT_EQ(record.failure(), "");
    }

    UndoRun undo(std::vector<std::string> paths = {}, bool dryRun = false) {
        undone.clear();
        return undoLastRun(lastRunRecordPath(), paths, dryRun,
                           [this](const RunChange& change, const UndoOutcome& outcome) {
                               undone.push_back({change.path, outcome.status, outcome.reason.text()});
                               return true;
                           });
    }

    std::vector<std::string> pathsInRecord() const {
        std::string failure;
        std::vector<std::string> paths;
        if (const auto changes = readRunRecord(lastRunRecordPath(), &failure)) {
            for (const RunChange& change : *changes) {
                paths.push_back(change.path);
            }
        }
        return paths;
    }

    TempTree data;
    TempTree files;
    std::vector<Undone> undone;

private:
    DataHome home_{data.path("share")};
};

TEST_F(RunUndo, TrashedFilesComeBackLastFirstAndWhatCannotYetStaysForAnotherTry) {
    const std::string a = files.writeFile("a", "one");
    const std::string b = files.writeFile("sub/b", "two");
    const std::string c = files.writeFile("c", "three");
    const uint64_t inodeOfB = platform::lookupFile(b)->inode;
    trashInOneRun({a, b, c});
    // Something else has taken b's place since.
    files.writeFile("sub/b", "someone else's");

    const UndoRun first = undo();
    EXPECT_EQ(first.failure, "");
    EXPECT_TRUE(first.recorded);
    ASSERT_EQ(undone.size(), 3u);
    EXPECT_EQ(undone[0].path, c);
    EXPECT_EQ(undone[1].path, b);
    EXPECT_EQ(undone[1].status, UndoStatus::NotPutBack);
    EXPECT_EQ(undone[1].reason, kReasonPlaceTaken);
    EXPECT_EQ(undone[2].path, a);
    EXPECT_EQ(first.putBack, 2u);
    EXPECT_EQ(first.notPutBack, 1u);
    EXPECT_EQ(testing::fileContents(a), "one");
    EXPECT_EQ(testing::fileContents(c), "three");
    EXPECT_EQ(testing::fileContents(b), "someone else's");
    EXPECT_EQ(pathsInRecord(), std::vector<std::string>{b});

    // The place made free, the next undo puts it back, and then nothing is left to undo.
    fs::rename(b, files.path("elsewhere"));
    const UndoRun second = undo();
    EXPECT_EQ(second.putBack, 1u);
    EXPECT_EQ(platform::lookupFile(b)->inode, inodeOfB);
    EXPECT_EQ(testing::fileContents(b), "two");
    EXPECT_FALSE(fs::exists(lastRunRecordPath()));
    EXPECT_TRUE(fs::is_empty(data.path("share/Trash/files")));
    const UndoRun third = undo();
    EXPECT_FALSE(third.recorded);
    EXPECT_EQ(third.failure, "");
    EXPECT_TRUE(undone.empty());
}

TEST_F(RunUndo, ADryRunChangesNothingAndChosenPathsLeaveTheRestInTheRecord) {
    const std::string a = files.writeFile("a", "one");
    const std::string b = files.writeFile("b", "two");
    trashInOneRun({a, b});

    const UndoRun dry = undo({}, true);
    EXPECT_EQ(dry.putBack, 2u);
    EXPECT_EQ(undone.size(), 2u);
    EXPECT_FALSE(fs::exists(a));
    EXPECT_FALSE(fs::exists(b));
    EXPECT_EQ(pathsInRecord(), (std::vector<std::string>{a, b}));

    // A path as the user may type it, and one the run never touched.
    const UndoRun chosen = undo({files.root() + "/./b", files.path("never")});
    EXPECT_EQ(chosen.putBack, 1u);
    EXPECT_EQ(chosen.notInRecord, std::vector<std::string>{files.path("never")});
    EXPECT_EQ(testing::fileContents(b), "two");
    EXPECT_FALSE(fs::exists(a));
    EXPECT_EQ(pathsInRecord(), std::vector<std::string>{a});
}

TEST_F(RunUndo, ALinkedFileGetsItsOwnBytesBackAndASharedOneNeedsNothing) {
    const std::string keeper = files.writeFile("keeper", "same bytes");
    const std::string linked = files.writeFile("linked", "same bytes");
    const platform::FileInfo before = *platform::lookupFile(linked);
    const StayingCopy staying{keeper, *platform::lookupFile(keeper)};
    const ActionOutcome link = linkToKeeperAction(linked, before, &staying);
    ASSERT_TRUE(link.change) << link.reason.text();
    ASSERT_EQ(platform::lookupFile(linked)->inode, staying.checked.inode);
    {
        RunRecorder record(lastRunRecordPath());
        record.add(*link.change);
        record.add({RunChange::Kind::Shared, keeper, linked, identityOf(staying.checked)});
    }

    const UndoRun run = undo();
    EXPECT_EQ(run.putBack, 1u);
    EXPECT_EQ(run.unchanged, 1u);
    ASSERT_EQ(undone.size(), 2u);
    EXPECT_EQ(undone[0].reason, kReasonStillShared);
    const platform::FileInfo after = *platform::lookupFile(linked);
    EXPECT_NE(after.inode, staying.checked.inode);
    EXPECT_EQ(after.modificationTimeNs, before.modificationTimeNs);
    EXPECT_EQ(testing::fileContents(linked), "same bytes");
    EXPECT_FALSE(fs::exists(lastRunRecordPath())) << "nothing is left to undo";
}

TEST_F(RunUndo, ARunThatChangesNothingLeavesTheLastRunsRecord) {
    const std::string a = files.writeFile("a", "one");
    trashInOneRun({a});
    { RunRecorder nothingDone(lastRunRecordPath()); }
    EXPECT_EQ(pathsInRecord(), std::vector<std::string>{a});
}

} // namespace
} // namespace corvane::engine
