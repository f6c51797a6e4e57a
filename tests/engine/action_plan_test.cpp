// The checks before acting: a file is acted on only while a file that stays holds its bytes.

#include "engine/action_plan.h"
#include "engine/action_runner.h"
#include "platform/trash.h"
#include "support/data_home.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <array>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sys/mount.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace corvane::engine {
namespace {

using testing::DataHome;
using testing::TempTree;

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Rewrites a file in place (same inode), keeping its size when `contents` has it.
void overwrite(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::in | std::ios::out);
    out << contents;
}

// A group as the comparer hands it over: every file as it is now.
FileGroup comparedGroup(const std::vector<std::string>& paths) {
    FileGroup group;
    for (const std::string& path : paths) {
        group.files.push_back({path, platform::lookupFile(path), false});
    }
    return group;
}

// The same group as a result set opened from disk holds it: no comparison-time state.
FileGroup openedGroup(const std::vector<std::string>& paths) {
    FileGroup group;
    for (const std::string& path : paths) {
        group.files.push_back({path, std::nullopt, false});
    }
    return group;
}

std::vector<Verdict> verdicts(const GroupPlan& plan) {
    std::vector<Verdict> result;
    for (const FilePlan& file : plan.files) {
        result.push_back(file.verdict);
    }
    return result;
}

class ActionPlan : public ::testing::Test {
protected:
    TempTree tree;
    std::string original = tree.writeFile("docs/a2.txt", "same bytes");
    std::string first = tree.writeFile("photos/a1.txt", "same bytes");
    std::string second = tree.writeFile("docs/nested/deep/a3.txt", "same bytes");
};

TEST_F(ActionPlan, DuplicatesOfAnUnchangedOriginalGoAndTheOriginalStays) {
    for (const FileGroup& group :
         {comparedGroup({original, first, second}), openedGroup({original, first, second})}) {
        const GroupPlan plan = planGroups({group}, Choice::AllDuplicates).front();
        EXPECT_EQ(verdicts(plan), (std::vector<Verdict>{Verdict::Stays, Verdict::Act, Verdict::Act}));
        EXPECT_EQ(plan.files[1].keeper, 0);
        EXPECT_EQ(plan.files[2].keeper, 0);
    }
}

TEST_F(ActionPlan, AChangedOriginalLeavesTheFirstDuplicateAsTheCopyThatStays) {
    const FileGroup group = comparedGroup({original, first, second});
    overwrite(original, "SAME bytes"); // one byte, same size
    const GroupPlan plan = planGroups({group}, Choice::AllDuplicates).front();
    EXPECT_EQ(verdicts(plan), (std::vector<Verdict>{Verdict::Stays, Verdict::KeptCopy, Verdict::Act}));
    EXPECT_EQ(plan.files[1].reason.text(), kReasonOriginalChanged);
    EXPECT_EQ(plan.files[2].keeper, 1);
}

TEST_F(ActionPlan, AVanishedOriginalLeavesTheFirstDuplicateAsTheCopyThatStays) {
    const FileGroup group = comparedGroup({original, first, second});
    std::filesystem::remove(original);
    const GroupPlan plan = planGroups({group}, Choice::AllDuplicates).front();
    EXPECT_EQ(verdicts(plan), (std::vector<Verdict>{Verdict::Stays, Verdict::KeptCopy, Verdict::Act}));
    EXPECT_EQ(plan.files[1].reason.text(), kReasonOriginalGone);
    EXPECT_EQ(plan.files[2].keeper, 1);
}

TEST_F(ActionPlan, DuplicatesChangedAfterASetWasSavedAreReadAndStay) {
    const FileGroup group = openedGroup({original, first, second});
    overwrite(first, "other byte");
    overwrite(second, "third byte");
    const GroupPlan plan = planGroups({group}, Choice::AllDuplicates).front();
    EXPECT_EQ(verdicts(plan), (std::vector<Verdict>{Verdict::Stays, Verdict::Changed, Verdict::Changed}));
    EXPECT_EQ(plan.files[1].reason.text(), kReasonChanged);
    EXPECT_EQ(countPlans({plan}).toAct, 0u);
}

TEST_F(ActionPlan, AChangeHiddenBehindARestoredModificationTimeIsStillSeen) {
    const FileGroup group = comparedGroup({original, first, second});
    struct stat before {};
    ASSERT_EQ(stat(first.c_str(), &before), 0);
    overwrite(first, "other byte");
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, first.c_str(), times, 0), 0); // as `touch -r` does
    const GroupPlan plan = planGroups({group}, Choice::AllDuplicates).front();
    EXPECT_EQ(verdicts(plan), (std::vector<Verdict>{Verdict::Stays, Verdict::Changed, Verdict::Act}));
}

TEST_F(ActionPlan, ChosenFilesNeedACopyThatStaysOrTheUsersConsent) {
    FileGroup group = comparedGroup({original, first, second});
    group.files[1].chosen = true;
    GroupPlan plan = planGroups({group}, Choice::ChosenFiles).front();
    EXPECT_EQ(verdicts(plan), (std::vector<Verdict>{Verdict::Stays, Verdict::Act, Verdict::Stays}));
    EXPECT_EQ(plan.files[1].keeper, 0);

    // The original too: the unchosen duplicate is the copy that stays.
    group.files[0].chosen = true;
    plan = planGroups({group}, Choice::ChosenFiles).front();
    EXPECT_EQ(verdicts(plan), (std::vector<Verdict>{Verdict::Act, Verdict::Act, Verdict::Stays}));
    EXPECT_EQ(plan.files[0].keeper, 2);

    // Every copy: the last copies of their contents, moved only if the user agrees.
    group.files[2].chosen = true;
    plan = planGroups({group}, Choice::ChosenFiles).front();
    EXPECT_EQ(verdicts(plan),
              (std::vector<Verdict>{Verdict::LastCopy, Verdict::LastCopy, Verdict::LastCopy}));
    EXPECT_EQ(countPlans({plan}).lastCopies, 3u);

    // The unchosen copy changed: the two chosen files are now the last copies of the old bytes.
    group.files[2].chosen = false;
    overwrite(second, "new  bytes");
    plan = planGroups({group}, Choice::ChosenFiles).front();
    EXPECT_EQ(verdicts(plan), (std::vector<Verdict>{Verdict::LastCopy, Verdict::LastCopy, Verdict::Stays}));
}

TEST_F(ActionPlan, OneEntryReachedByTwoPathsIsNeverItsOwnCopy) {
    std::filesystem::create_directory_symlink(tree.path("photos"), tree.path("alias"));
    const std::string again = tree.path("alias/a1.txt");
    const GroupPlan plan = planGroups({comparedGroup({first, again})}, Choice::AllDuplicates).front();
    EXPECT_EQ(verdicts(plan), (std::vector<Verdict>{Verdict::Stays, Verdict::SameEntry}));
    EXPECT_EQ(countPlans({plan}).toAct, 0u);
    EXPECT_FALSE(checkStillCopy(again, plan.files[0].seen, first, plan.files[0].seen).same);

    // Two names of one inode are two entries: either holds the bytes when the other goes.
    const std::string link = tree.path("docs/hard.txt");
    std::filesystem::create_hard_link(first, link);
    const GroupPlan linked = planGroups({comparedGroup({first, link})}, Choice::AllDuplicates).front();
    EXPECT_EQ(verdicts(linked), (std::vector<Verdict>{Verdict::Stays, Verdict::Act}));
}

TEST_F(ActionPlan, FilesThatAreNoFilesOrUnreadableAreRefusedWithTheirReason) {
    const std::string third = tree.writeFile("docs/a4.txt", "same bytes");
    FileGroup group = comparedGroup({original, first, second, third});
    // A name with a zero byte (from an edited report), cut there, would name the copy `third`.
    group.files.push_back({third + std::string("\0x", 2), std::nullopt, false});
    std::filesystem::remove(first);
    std::filesystem::create_directory(first);
    std::filesystem::remove(second);
    const GroupPlan plan = planGroups({group}, Choice::AllDuplicates).front();
    EXPECT_EQ(verdicts(plan), (std::vector<Verdict>{Verdict::Stays, Verdict::NotAFile, Verdict::Gone,
                                                    Verdict::Act, Verdict::Gone}));
    EXPECT_EQ(plan.files[2].reason.text(), kReasonGone);
    EXPECT_EQ(plan.files[4].reason.text(), kReasonNulInName);
    EXPECT_EQ(countPlans({plan}).refused, 3u);
}

TEST_F(ActionPlan, TheLastLookBeforeActingCatchesWhatChangedSincePlanning) {
    const GroupPlan plan =
        planGroups({openedGroup({original, first, second})}, Choice::AllDuplicates).front();
    const auto check = [&](size_t i) {
        return checkStillCopy(i == 1 ? first : second, plan.files[i].seen, original, plan.files[0].seen);
    };
    EXPECT_TRUE(check(1).same);
    EXPECT_EQ(check(1).file.inode, plan.files[1].seen.inode);

    overwrite(first, "Same bytes");
    EXPECT_EQ(check(1).reason.text(), kReasonChanged);
    overwrite(first, "same bytes"); // the bytes are back, the times are not: read again, and equal
    EXPECT_TRUE(check(1).same);

    overwrite(original, "same bytez");
    EXPECT_EQ(check(2).reason.text(), kReasonKeeperChanged);
    std::filesystem::remove(original);
    EXPECT_EQ(check(2).reason.text(), kReasonKeeperGone);
    std::filesystem::remove(second);
    EXPECT_EQ(check(2).reason.text(), kReasonGone);
}

TEST_F(ActionPlan, AFileMountedOverAnotherNameIsThatFileNeverItsCopy) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "a bind mount needs root (CI runs these tests as root)";
    }
    const std::string over = tree.writeFile("photos/0.txt", "0");
    if (::mount(first.c_str(), over.c_str(), nullptr, MS_BIND, nullptr) != 0) {
        GTEST_SKIP() << "cannot bind-mount a file: " << std::strerror(errno);
    }
    // Either way round: neither path is a copy of the other, and no copy stays for either.
    for (const std::vector<std::string>& paths : {std::vector{first, over}, std::vector{over, first}}) {
        const GroupPlan plan = planGroups({comparedGroup(paths)}, Choice::AllDuplicates).front();
        EXPECT_EQ(verdicts(plan), (std::vector<Verdict>{Verdict::Stays, Verdict::SameEntry}));
        EXPECT_EQ(plan.files[1].reason.text(), kReasonOneFile);
        const StillCopy still = checkStillCopy(paths[1], plan.files[1].seen, paths[0], plan.files[0].seen);
        EXPECT_FALSE(still.same);
        EXPECT_EQ(still.reason.text(), kReasonOneFile);
    }
    // With a real copy beside them, the copy goes and the one file stays.
    const GroupPlan plan = planGroups({comparedGroup({first, over, second})}, Choice::AllDuplicates).front();
    EXPECT_EQ(verdicts(plan), (std::vector<Verdict>{Verdict::Stays, Verdict::SameEntry, Verdict::Act}));
    ::umount2(over.c_str(), MNT_DETACH);
}

TEST_F(ActionPlan, FilesInTheTrashAreNeverKeptNorMovedAgain) {
    TempTree data;
    const DataHome home(data.root());
    const std::string trashed = data.writeFile("Trash/files/a2.txt", "same bytes");
    data.writeFile("Trash/info/a2.txt.trashinfo",
                   "[Trash Info]\nPath=/a2.txt\nDeletionDate=2026-01-01T00:00:00\n");
    // A set saved before the copy was thrown away still names it, as the original.
    const GroupPlan plan = planGroups({openedGroup({trashed, first})}, Choice::AllDuplicates).front();
    const GroupPlan chosen = [&] {
        FileGroup group = openedGroup({trashed, first});
        group.files[0].chosen = group.files[1].chosen = true;
        return planGroups({group}, Choice::ChosenFiles).front();
    }();
    EXPECT_EQ(verdicts(plan), (std::vector<Verdict>{Verdict::Stays, Verdict::Changed}));
    EXPECT_EQ(plan.files[1].reason.text(), kReasonOnlyCopyLeft);
    EXPECT_EQ(verdicts(chosen), (std::vector<Verdict>{Verdict::InTrash, Verdict::Changed}));
    EXPECT_EQ(chosen.files[0].reason.text(), kReasonInTrash);
}

TEST_F(ActionPlan, AStopLeavesTheGroupsNotYetPlannedUntouched) {
    const std::vector<FileGroup> groups{openedGroup({original, first}), openedGroup({original, second})};
    int polls = 0;
    const std::vector<GroupPlan> plans =
        planGroups(groups, Choice::AllDuplicates, [&] { return ++polls > 1; });
    ASSERT_EQ(plans.size(), 2u);
    EXPECT_EQ(countPlans(plans).toAct, 0u);
    EXPECT_EQ(plans[1].files.size(), 2u);
}

FileGroup withProtected(FileGroup group, const std::vector<bool>& isProtected) {
    for (size_t i = 0; i < isProtected.size(); ++i) {
        group.files[i].isProtected = isProtected[i];
    }
    return group;
}

TEST_F(ActionPlan, AProtectedCopyStaysForEveryOtherCopyTheOriginalIncluded) {
    for (const FileGroup& group :
         {comparedGroup({original, first, second}), openedGroup({original, first, second})}) {
        // The first protected file in group order stays; the original goes like any other copy.
        const GroupPlan plan =
            planGroups({withProtected(group, {false, true, true})}, Choice::AllDuplicates).front();
        EXPECT_EQ(verdicts(plan), (std::vector<Verdict>{Verdict::Act, Verdict::Stays, Verdict::Stays}));
        EXPECT_EQ(plan.files[0].keeper, 1);

        const GroupPlan all =
            planGroups({withProtected(group, {true, true, true})}, Choice::AllDuplicates).front();
        EXPECT_EQ(verdicts(all), (std::vector<Verdict>{Verdict::Stays, Verdict::Stays, Verdict::Stays}));

        // Every duplicate but the original: it stays beside the protected copy, which the others join.
        const GroupPlan duplicatesOnly =
            planGroups({withProtected(group, {false, true, false})}, Choice::DuplicatesOnly).front();
        EXPECT_EQ(verdicts(duplicatesOnly),
                  (std::vector<Verdict>{Verdict::Stays, Verdict::Stays, Verdict::Act}));
        EXPECT_EQ(duplicatesOnly.files[2].keeper, 1);

        // Chosen files: a protected file is never acted on, even when chosen, and is the copy that
        // stays for the others, so that none of them is a last copy.
        FileGroup chosen = withProtected(group, {false, false, true});
        for (GroupFile& file : chosen.files) {
            file.chosen = true;
        }
        const GroupPlan picked = planGroups({chosen}, Choice::ChosenFiles).front();
        EXPECT_EQ(verdicts(picked), (std::vector<Verdict>{Verdict::Act, Verdict::Act, Verdict::Stays}));
        EXPECT_EQ(picked.files[0].keeper, 2);
        EXPECT_EQ(picked.files[1].keeper, 2);
    }
}

TEST_F(ActionPlan, AProtectedCopyThatChangedIsLeftAloneAndTheOriginalStaysForTheRest) {
    const FileGroup group = withProtected(comparedGroup({original, first, second}), {false, true, false});
    overwrite(first, "SAME bytes");
    const GroupPlan plan = planGroups({group}, Choice::AllDuplicates).front();
    EXPECT_EQ(verdicts(plan), (std::vector<Verdict>{Verdict::Stays, Verdict::Stays, Verdict::Act}));
    EXPECT_EQ(plan.files[2].keeper, 0);
    EXPECT_TRUE(plan.files[1].reason.text().empty());
}

// Random groups, random changes and removals after the search, random choices, either choice;
// whatever is moved to the trash after the last look, every content that was there before is still
// there outside the trash (last copies are never moved here: nobody agreed), and every file in the
// trash goes back to where it was from its info file.
TEST(ActionPlanProperty, NoContentIsLostWhateverChangesAfterTheSearch) {
    std::mt19937 random(20241208);
    for (int round = 0; round < 60; ++round) {
        TempTree tree;
        TempTree data;
        const DataHome home(data.root());
        const std::string trash = data.path("Trash");
        std::vector<FileGroup> groups;
        std::multiset<std::string> before;
        const int groupCount = 1 + static_cast<int>(random() % 4);
        for (int g = 0; g < groupCount; ++g) {
            const std::string bytes = "group " + std::to_string(g) + " of round " + std::to_string(round);
            std::vector<std::string> paths;
            const int size = 2 + static_cast<int>(random() % 4);
            for (int f = 0; f < size; ++f) {
                paths.push_back(tree.writeFile("d" + std::to_string(random() % 3) + "/g" + std::to_string(g) +
                                                   "_" + std::to_string(f),
                                               bytes));
            }
            groups.push_back(random() % 2 ? comparedGroup(paths) : openedGroup(paths));
        }
        const Choice choice =
            std::array{Choice::AllDuplicates, Choice::DuplicatesOnly, Choice::ChosenFiles}[random() % 3];
        for (FileGroup& group : groups) {
            for (GroupFile& file : group.files) {
                file.chosen = random() % 2;
                file.isProtected = random() % 5 == 0;
                switch (random() % 6) {
                case 0: // changed, same size
                    overwrite(file.path, std::string(contentsOf(file.path).size(), 'x'));
                    break;
                case 1:
                    std::filesystem::remove(file.path);
                    break;
                default:
                    break;
                }
            }
        }
        const auto contentsOutsideTrash = [&] {
            std::set<std::string> result;
            for (const auto& entry : std::filesystem::recursive_directory_iterator(tree.root())) {
                if (entry.is_regular_file() && entry.path().string().rfind(trash, 0) != 0) {
                    result.insert(contentsOf(entry.path()));
                }
            }
            return result;
        };
        const std::vector<GroupPlan> plans = planGroups(groups, choice);
        // Between planning and acting, one more file may change.
        if (random() % 2) {
            const FileGroup& group = groups[random() % groups.size()];
            const std::string& path = group.files[random() % group.files.size()].path;
            if (std::filesystem::exists(path)) {
                overwrite(path, std::string(contentsOf(path).size(), 'y'));
            }
        }
        const std::set<std::string> contentsBefore = contentsOutsideTrash();
        std::map<std::string, std::string> protectedBefore;
        for (const FileGroup& group : groups) {
            for (const GroupFile& file : group.files) {
                if (file.isProtected && std::filesystem::exists(file.path)) {
                    protectedBefore[file.path] = contentsOf(file.path);
                }
            }
        }
        std::map<std::string, std::string> moved; // original path: its bytes
        for (size_t g = 0; g < groups.size(); ++g) {
            for (size_t i = 0; i < groups[g].files.size(); ++i) {
                const FilePlan& plan = plans[g].files[i];
                if (plan.verdict != Verdict::Act) {
                    continue;
                }
                const FilePlan& keeper = plans[g].files[plan.keeper];
                const StillCopy still = checkStillCopy(groups[g].files[i].path, plan.seen,
                                                       groups[g].files[plan.keeper].path, keeper.seen);
                const std::string bytes = contentsOf(groups[g].files[i].path);
                if (still.same && moveToTrashAction(groups[g].files[i].path, still.file).succeeded()) {
                    moved[groups[g].files[i].path] = bytes;
                }
            }
        }
        const std::set<std::string> contentsAfter = contentsOutsideTrash();
        for (const std::string& contents : contentsBefore) {
            EXPECT_TRUE(contentsAfter.count(contents)) << "round " << round << " lost \"" << contents << "\"";
        }
        for (const auto& [path, contents] : protectedBefore) {
            EXPECT_EQ(contentsOf(path), contents) << "round " << round << " touched protected " << path;
        }
        size_t restored = 0;
        if (std::filesystem::exists(trash + "/info")) {
            for (const auto& info : std::filesystem::directory_iterator(trash + "/info")) {
                const std::optional<platform::TrashedFile> trashed = platform::readTrashInfo(info.path());
                ASSERT_TRUE(trashed) << info.path();
                ASSERT_TRUE(moved.count(trashed->originalPath)) << trashed->originalPath;
                ASSERT_FALSE(std::filesystem::exists(trashed->originalPath));
                std::filesystem::rename(trashed->fileInTrash, trashed->originalPath);
                EXPECT_EQ(contentsOf(trashed->originalPath), moved[trashed->originalPath]);
                ++restored;
            }
        }
        EXPECT_EQ(restored, moved.size()) << "round " << round;
    }
}

} // namespace
} // namespace corvane::engine
