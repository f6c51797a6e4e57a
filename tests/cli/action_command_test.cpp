// corvane-cli trash, link and dedupe, run as the real program: what each does to the files, what a
// dry run leaves alone, what --keep-in protects, and that no content is ever lost outside the trash.

#include "support/data_home.h"
#include "support/file_contents.h"
#include "support/program_run.h"
#include "support/small_disk.h"
#include "support/temp_tree.h"
#include "support/xfs_disk.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::testing {
namespace {

namespace fs = std::filesystem;

ProgramRun runCli(const std::vector<std::string>& args) {
    return runProgram(CORVANE_CLI_PATH, args);
}

// Every file under `root` (but `leaveOut`) with its contents, inode and modification time.
std::map<std::string, std::string> snapshot(const std::string& root, const std::string& leaveOut = {}) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string path = entry.path().string();
        struct stat st {};
        if ((!leaveOut.empty() && path.rfind(leaveOut, 0) == 0) || ::lstat(path.c_str(), &st) != 0 ||
            !S_ISREG(st.st_mode)) {
            continue;
        }
        files[path] = fileContents(path) + "|" + std::to_string(st.st_ino) + "|" +
                      std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
    }
    return files;
}

// The contents of the regular files under `root`, but `leaveOut`.
std::multiset<std::string> contentsUnder(const std::string& root, const std::string& leaveOut = {}) {
    std::multiset<std::string> contents;
    for (const auto& [path, described] : snapshot(root, leaveOut)) {
        contents.insert(fileContents(path));
    }
    return contents;
}

ino_t inodeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

void overwrite(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::in | std::ios::out);
    out << contents;
}

// Each test has a trash of its own.
class CliActions : public ::testing::Test {
protected:
    std::string trashFiles() const { return data.path("share/Trash/files"); }
    size_t trashed() const {
        return fs::exists(trashFiles()) ? static_cast<size_t>(std::distance(
                                              fs::directory_iterator(trashFiles()), fs::directory_iterator()))
                                        : 0;
    }

    TempTree data;
    TempTree tree;

private:
    DataHome home_{data.path("share")};
};

TEST_F(CliActions, ADryRunPrintsThePlanAndChangesNothing) {
    tree.writeFile("dl/a1", "alpha");
    tree.writeFile("dl/a2", "alpha");
    tree.writeFile("ref/a", "alpha");
    tree.writeFile("dl/b1", "beta!!");
    tree.writeFile("dl/b2", "beta!!");
    ASSERT_EQ(::link(tree.path("dl/b1").c_str(), tree.path("dl/b3").c_str()), 0);
    // Two names of one file that both go give its bytes back once.
    tree.writeFile("dl/c1", "gamma");
    tree.writeFile("dl/c2", "gamma");
    ASSERT_EQ(::link(tree.path("dl/c2").c_str(), tree.path("dl/c3").c_str()), 0);
    const auto before = snapshot(tree.root());

    const ProgramRun trash = runCli({"trash", "-q", "--dry-run", "--keep-in", tree.path("ref"), tree.root()});
    EXPECT_EQ(trash.status, 0) << trash.err;
    EXPECT_EQ(trash.out, "would trash " + tree.path("dl/a1") + " (" + tree.path("ref/a") + " stays)\n" +
                             "would trash " + tree.path("dl/a2") + " (" + tree.path("ref/a") + " stays)\n" +
                             "would trash " + tree.path("dl/c2") + " (" + tree.path("dl/c1") + " stays)\n" +
                             "would trash " + tree.path("dl/c3") + " (" + tree.path("dl/c1") + " stays)\n" +
                             "would trash " + tree.path("dl/b2") + " (" + tree.path("dl/b1") + " stays)\n" +
                             "would trash " + tree.path("dl/b3") + " (" + tree.path("dl/b1") + " stays)\n");
    EXPECT_NE(trash.err.find("Would trash 6 files (27 bytes); unchanged 0, kept 0, refused 0, failed 0\n"),
              std::string::npos)
        << trash.err;

    const ProgramRun link = runCli({"link", "-q", "-n", tree.root()});
    EXPECT_EQ(link.status, 0) << link.err;
    EXPECT_NE(link.out.find("would link " + tree.path("dl/b2") + " to " + tree.path("dl/b1") + "\n"),
              std::string::npos)
        << link.out;
    EXPECT_NE(link.out.find("unchanged " + tree.path("dl/b3") + ": already a link to " + tree.path("dl/b1")),
              std::string::npos)
        << link.out;
    EXPECT_EQ(snapshot(tree.root()), before);
    // Where the file system shares no blocks, the dry run fails as the run does.
    EXPECT_EQ(runCli({"dedupe", "-q", "--dry-run", tree.root()}).status,
              runCli({"dedupe", "-q", tree.root()}).status);

    EXPECT_FALSE(fs::exists(data.path("share")));
}

TEST_F(CliActions, FilesInKeepInFoldersAreNeverTouchedAndStayForTheirCopies) {
    tree.writeFile("dl/a1", "alpha"); // the original: found first
    tree.writeFile("dl/a2", "alpha");
    tree.writeFile("ref/a", "alpha");
    tree.writeFile("ref/b1", "beta!!"); // a group wholly kept
    tree.writeFile("ref/sub/b2", "beta!!");
    tree.writeFile("dl/c1", "gamma!!");
    tree.writeFile("dl/c2", "gamma!!");
    // The kept folder named through a link: folders are known by what they are, not their spelling.
    fs::create_directory_symlink(tree.path("ref"), tree.path("ref-link"));
    const auto refBefore = snapshot(tree.path("ref"));

    const ProgramRun run = runCli({"trash", "-q", "--keep-in", tree.path("ref-link"), tree.root()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "trashed " + tree.path("dl/a1") + "\ntrashed " + tree.path("dl/a2") + "\ntrashed " +
                           tree.path("dl/c2") + "\n");
    EXPECT_NE(run.err.find("Trashed 3 files (17 bytes); unchanged 0, kept 0, refused 0, failed 0\n"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(snapshot(tree.path("ref")), refBefore);
    EXPECT_TRUE(fs::exists(tree.path("dl/c1")));
    EXPECT_EQ(trashed(), 3u);

    // Several --keep-in folders: the first file in group order among them stays.
    tree.writeFile("k1/x", "delta");
    tree.writeFile("k2/x", "delta");
    tree.writeFile("other/x", "delta");
    const ProgramRun two = runCli({"link", "-q", "--keep-in", tree.path("k2"), "--keep-in", tree.path("k1"),
                                   tree.path("other"), tree.path("k2"), tree.path("k1")});
    EXPECT_EQ(two.status, 0) << two.err;
    EXPECT_EQ(two.out, "linked " + tree.path("other/x") + " to " + tree.path("k2/x") + "\n");
    EXPECT_NE(inodeOf(tree.path("k1/x")), inodeOf(tree.path("k2/x")));
}

TEST_F(CliActions, AChangedOrVanishedOriginalLeavesOneCopyOfWhatItHeld) {
    const std::string set = data.path("r.CVN");
    tree.writeFile("a/1", "first!");
    tree.writeFile("a/2", "first!");
    tree.writeFile("a/3", "first!");
    tree.writeFile("b/1", "second!");
    tree.writeFile("b/2", "second!");
    tree.writeFile("b/3", "second!");
    tree.writeFile("c/1", "third!!!");
    tree.writeFile("c/2", "third!!!");
    const ProgramRun find = runCli({"find", "-q", "--save", set, tree.root()});
    ASSERT_EQ(find.status, 0) << find.err;

    overwrite(tree.path("a/1"), "FIRST!"); // same size, other bytes
    fs::remove(tree.path("b/1"));
    overwrite(tree.path("c/2"), "THIRD!!!"); // a duplicate changed since the save

    const ProgramRun run = runCli({"trash", "-q", "--from", set});
    EXPECT_EQ(run.status, 1) << run.err; // one file refused
    EXPECT_EQ(run.out, "kept " + tree.path("a/2") + ": its original changed since the search\n" + "trashed " +
                           tree.path("a/3") + "\n" + "kept " + tree.path("b/2") + ": its original is gone\n" +
                           "trashed " + tree.path("b/3") + "\n" + "refused " + tree.path("c/2") +
                           ": changed since it was compared\n");
    EXPECT_NE(run.err.find("Trashed 2 files (13 bytes); unchanged 0, kept 2, refused 1, failed 0\n"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(contentsUnder(tree.root()),
              (std::multiset<std::string>{"FIRST!", "first!", "second!", "third!!!", "THIRD!!!"}));
}

TEST_F(CliActions, LinkAndDedupeOnXfsShareOneCopyAndTheFilesReadTheSame) {
    XfsDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why();
    }
    const std::string small = randomBytes(300000, 1);
    for (const char* name : {"l/x1", "l/x2", "l/sub/x3"}) {
        fs::create_directories(fs::path(disk.path(name)).parent_path());
        std::ofstream(disk.path(name), std::ios::binary) << small;
    }
    const ProgramRun link = runCli({"link", "-q", disk.path("l")});
    EXPECT_EQ(link.status, 0) << link.err;
    EXPECT_EQ(link.out, "linked " + disk.path("l/x2") + " to " + disk.path("l/x1") + "\nlinked " +
                            disk.path("l/sub/x3") + " to " + disk.path("l/x1") + "\n");
    EXPECT_EQ(inodeOf(disk.path("l/x2")), inodeOf(disk.path("l/x1")));
    EXPECT_EQ(inodeOf(disk.path("l/sub/x3")), inodeOf(disk.path("l/x1")));
    EXPECT_EQ(fileContents(disk.path("l/sub/x3")), small);
    const ProgramRun again = runCli({"link", "-q", disk.path("l")});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(
        again.out.rfind("unchanged " + disk.path("l/x2") + ": already a link to " + disk.path("l/x1"), 0), 0u)
        << again.out;

    const std::string large = randomBytes(5 * 1024 * 1024 + 17, 2);
    fs::create_directories(disk.path("d"));
    std::ofstream(disk.path("d/y1"), std::ios::binary) << large;
    std::ofstream(disk.path("d/y2"), std::ios::binary) << large;
    std::ofstream(disk.path("d/y3"), std::ios::binary) << large;
    const uint64_t freeBefore = disk.freeBytes();
    const ProgramRun dedupe = runCli({"dedupe", "-q", disk.path("d")});
    EXPECT_EQ(dedupe.status, 0) << dedupe.err;
    const std::string shared = std::to_string(large.size());
    EXPECT_EQ(dedupe.out, "deduped " + disk.path("d/y2") + " with " + disk.path("d/y1") + ": " + shared +
                              " bytes shared\ndeduped " + disk.path("d/y3") + " with " + disk.path("d/y1") +
                              ": " + shared + " bytes shared\n");
    EXPECT_NE(dedupe.err.find("Deduplicated 2 files (" + std::to_string(2 * large.size()) + " bytes shared)"),
              std::string::npos)
        << dedupe.err;
    for (const char* name : {"d/y1", "d/y2", "d/y3"}) {
        const Extents extents = extentsOf(disk.path(name));
        EXPECT_GE(extents.total, large.size()) << name;
        EXPECT_EQ(extents.shared, extents.total) << name;
        EXPECT_EQ(fileContents(disk.path(name)), large) << name;
    }
    EXPECT_GE(disk.freeBytes(), freeBefore + 2 * large.size() - (1 << 20));
    EXPECT_NE(inodeOf(disk.path("d/y2")), inodeOf(disk.path("d/y1")));
}

TEST_F(CliActions, RestorePutsBackWhatTheLastRunChangedAllOfItOrTheFilesNamed) {
    tree.writeFile("dl/a1", "alpha");
    tree.writeFile("dl/a2", "alpha");
    tree.writeFile("dl/sub/a3", "alpha");
    tree.writeFile("dl/b1", "beta!!");
    tree.writeFile("dl/b2", "beta!!");
    const auto before = snapshot(tree.root());
    const ProgramRun trash = runCli({"trash", "-q", tree.root()});
    ASSERT_EQ(trash.status, 0) << trash.err;
    ASSERT_EQ(trashed(), 3u);

    const ProgramRun dry = runCli({"restore", "--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out, "would restore " + tree.path("dl/b2") + "\nwould restore " + tree.path("dl/sub/a3") +
                           "\nwould restore " + tree.path("dl/a2") + "\n");
    EXPECT_EQ(trashed(), 3u);

    // One file, named as the user is likely to name it: relative to where the shell stands.
    const ProgramRun one = runProgramIn(tree.path("dl"), CORVANE_CLI_PATH, {"restore", "sub/a3"});
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.out, "restored " + tree.path("dl/sub/a3") + "\n");
    EXPECT_NE(one.err.find("Restored 1 file; unchanged 0, not restored 0"), std::string::npos) << one.err;
    const ProgramRun rest = runCli({"restore"});
    EXPECT_EQ(rest.status, 0) << rest.err;
    EXPECT_EQ(snapshot(tree.root()), before) << "the very files, where they were, as they were";
    EXPECT_EQ(trashed(), 0u);
    const ProgramRun nothing = runCli({"restore"});
    EXPECT_EQ(nothing.status, 0);
    EXPECT_NE(nothing.err.find("Nothing to restore"), std::string::npos) << nothing.err;

    // A link run is undone file by file: each has its own bytes again.
    const ProgramRun link = runCli({"link", "-q", tree.root()});
    ASSERT_EQ(link.status, 0) << link.err;
    ASSERT_EQ(inodeOf(tree.path("dl/a2")), inodeOf(tree.path("dl/a1")));
    const ProgramRun unlinked = runCli({"restore", "--", tree.path("dl/a2"), tree.path("dl/never")});
    EXPECT_EQ(unlinked.status, 1) << "a path the run did not change is not restored";
    EXPECT_EQ(unlinked.out, "restored " + tree.path("dl/a2") + "\nnot restored " + tree.path("dl/never") +
                                ": the last run did not change it\n");
    EXPECT_NE(inodeOf(tree.path("dl/a2")), inodeOf(tree.path("dl/a1")));
    EXPECT_EQ(inodeOf(tree.path("dl/sub/a3")), inodeOf(tree.path("dl/a1")));
    EXPECT_EQ(runCli({"restore"}).status, 0);
    std::set<ino_t> inodes;
    for (const auto& [path, described] : snapshot(tree.root())) {
        inodes.insert(inodeOf(path));
    }
    EXPECT_EQ(inodes.size(), 5u);
    EXPECT_EQ(contentsUnder(tree.root()),
              (std::multiset<std::string>{"alpha", "alpha", "alpha", "beta!!", "beta!!"}));

    EXPECT_EQ(runCli({"restore", "--all"}).status, 2);
}

TEST_F(CliActions, ARestoreCutShortBeforeItsRecordWasRewrittenFinishesWhenRunAgain) {
    const std::string record = data.path("share/state/corvane/last-run");
    for (const char* action : {"trash", "link"}) {
        const std::string first = tree.writeFile(std::string(action) + "/a1", "alpha");
        const std::string second = tree.writeFile(std::string(action) + "/a2", "alpha");
        const std::string third = tree.writeFile(std::string(action) + "/a3", "alpha");
        const auto before = contentsUnder(tree.path(action));
        ASSERT_EQ(runCli({action, "-q", tree.path(action)}).status, 0) << action;
        // The first undo puts a2 back and is killed before it rewrites the record.
        const std::string written = fileContents(record);
        ASSERT_EQ(runCli({"restore", second}).status, 0) << action;
        std::ofstream(record, std::ios::binary | std::ios::trunc) << written;

        const ProgramRun again = runCli({"restore"});
        EXPECT_EQ(again.status, 0) << action << ": " << again.out << again.err;
        EXPECT_EQ(again.out, "restored " + third + "\nrestored " + second + "\n") << action;
        EXPECT_EQ(contentsUnder(tree.path(action)), before) << action;
        EXPECT_NE(inodeOf(second), inodeOf(first)) << action;
        EXPECT_NE(runCli({"restore"}).err.find("Nothing to restore"), std::string::npos) << action;
    }
}

TEST_F(CliActions, DedupeWhereBlocksCannotBeSharedFailsForEachFileAndChangesNothing) {
    SmallDisk disk(1 << 20);
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why();
    }
    for (const char* name : {"a", "b", "c"}) {
        std::ofstream(disk.path(name)) << "same bytes";
    }
    const auto before = snapshot(disk.root());
    const std::string reason =
        ": the file system does not share blocks between files (Operation not supported)\n";
    // The dry run gives the run's verdicts and status.
    const ProgramRun dry = runCli({"dedupe", "-q", "-n", disk.root()});
    EXPECT_EQ(dry.status, 1);
    EXPECT_EQ(dry.out, "failed " + disk.path("b") + reason + "failed " + disk.path("c") + reason);
    const ProgramRun run = runCli({"dedupe", "-q", disk.root()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, dry.out);
    EXPECT_NE(
        run.err.find("Deduplicated 0 files (0 bytes shared); unchanged 0, kept 0, refused 0, failed 2\n"),
        std::string::npos)
        << run.err;
    EXPECT_EQ(snapshot(disk.root()), before);
}

TEST_F(CliActions, NoLinkJoinsTwoFileSystems) {
    SmallDisk disk(1 << 20);
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why();
    }
    std::ofstream(disk.path("kept")) << "same bytes";
    const std::string duplicate = tree.writeFile("copy", "same bytes");
    const auto before = snapshot(tree.root());
    for (const char* dryRun : {"-n", "-q"}) { // the dry run gives the run's verdict and status
        const ProgramRun run =
            runCli({"link", "-q", dryRun, "--keep-in", disk.root(), disk.root(), tree.root()});
        EXPECT_EQ(run.status, 1) << dryRun;
        EXPECT_EQ(run.out,
                  "refused " + duplicate + ": on another file system than " + disk.path("kept") + "\n");
    }
    EXPECT_EQ(snapshot(tree.root()), before);
}

TEST(CliActionUsage, MistakesInTheArgumentsExitWithTwoAndActOnNothing) {
    TempTree tree;
    tree.writeFile("a", "x");
    tree.writeFile("b", "x");
    const auto before = snapshot(tree.root());
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"trash"},
                                               {"link", "--keep-in"},
                                               {"dedupe", "--bogus", tree.root()},
                                               {"trash", "--keep-in", tree.path("missing"), tree.root()},
                                               {"trash", "--keep-in", tree.path("a"), tree.root()},
                                               {"trash", "--from", tree.path("set"), tree.root()},
                                               {"link", "--from", tree.path("set"), "-t", "*.txt"},
                                               {"trash", "--from"}}) {
        const ProgramRun run = runCli(args);
        EXPECT_EQ(run.status, 2) << args[0] << " " << (args.size() > 1 ? args[1] : "");
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("corvane-cli: " + args[0] + ": ", 0), 0u) << run.err;
    }
    EXPECT_EQ(snapshot(tree.root()), before);
    // A set that cannot be read is an error of status 1.
    EXPECT_EQ(runCli({"trash", "--from", tree.path("missing.CVN")}).status, 1);
}

// Random trees saved as a set, random changes after the save, random --keep-in folders and a random
// action: whatever happens, every content that was there is still there outside the trash, and
// no file in a --keep-in folder changed.
TEST_F(CliActions, NoContentIsLostOutsideTheTrashWhateverChangesAfterTheSave) {
    std::mt19937 random(20261208);
    const char* const actions[] = {"trash", "link", "dedupe"};
    for (int round = 0; round < 24; ++round) {
        TempTree files;
        const std::string set = data.path("round" + std::to_string(round) + ".CVN");
        const int groups = 1 + static_cast<int>(random() % 4);
        for (int g = 0; g < groups; ++g) {
            const int copies = 2 + static_cast<int>(random() % 4);
            for (int c = 0; c < copies; ++c) {
                files.writeFile("d" + std::to_string(random() % 4) + "/s" + std::to_string(random() % 2) +
                                    "/g" + std::to_string(g) + "_" + std::to_string(c),
                                "contents of group " + std::to_string(g));
            }
        }
        const bool fromSet = random() % 3 != 0;
        if (fromSet) {
            ASSERT_EQ(runCli({"find", "-q", "--save", set, files.root()}).status, 0);
            for (const auto& [path, described] : snapshot(files.root())) {
                switch (random() % 8) {
                case 0:
                    overwrite(path, std::string(fileContents(path).size(), 'x')); // same size
                    break;
                case 1:
                    fs::remove(path);
                    break;
                case 2:
                    fs::remove(path);
                    std::ofstream(path) << "a newcomer of another size";
                    break;
                default:
                    break;
                }
            }
        }
        std::vector<std::string> args{actions[random() % 3], "-q"};
        std::vector<std::string> keptFolders;
        for (int d = 0; d < 4; ++d) {
            if (random() % 4 == 0 && fs::exists(files.path("d" + std::to_string(d)))) {
                keptFolders.push_back(files.path("d" + std::to_string(d)));
                args.insert(args.end(), {"--keep-in", keptFolders.back()});
            }
        }
        if (fromSet) {
            args.insert(args.end(), {"--from", set});
        } else {
            args.push_back(files.root());
        }
        const std::set<std::string> contentsBefore = [&] {
            const auto all = contentsUnder(files.root());
            return std::set<std::string>(all.begin(), all.end());
        }();
        std::map<std::string, std::string> keptBefore;
        for (const std::string& folder : keptFolders) {
            keptBefore.merge(snapshot(folder));
        }

        const ProgramRun run = runCli(args);
        EXPECT_TRUE(run.status == 0 || run.status == 1) << run.err;
        const auto after = contentsUnder(files.root());
        for (const std::string& contents : contentsBefore) {
            EXPECT_TRUE(after.count(contents))
                << "round " << round << " (" << args[0] << ") lost \"" << contents << "\"\n"
                << run.out;
        }
        std::map<std::string, std::string> keptAfter;
        for (const std::string& folder : keptFolders) {
            keptAfter.merge(snapshot(folder));
        }
        // A link may only add names to a kept file's inode, never change what the name holds.
        EXPECT_EQ(keptAfter, keptBefore) << "round " << round << " (" << args[0] << ")\n" << run.out;
    }
}

} // namespace
} // namespace corvane::testing
