// corvane-cli trash, link and dedupe where the last copy of a content is most at risk: a trash folder
// inside the searched tree, two paths to one file (a file or a folder bind-mounted elsewhere, a FUSE
// view of a folder), a --keep-in folder reached through another mount, a saved set used from another
// folder, an option that cannot apply, files with nothing to reclaim. Each test runs the real program
// and checks what must hold whatever it printed: every content is still held by a file outside the
// trash, every trash entry can be restored, no temporary name is left, and the files in --keep-in
// folders are as they were.

#include "cli/action_safety_fixture.h"
#include "support/bind_mount.h"
#include "support/bindfs_mount.h"
#include "support/file_contents.h"
#include "support/tmpfs_mount.h"
#include "support/xfs_disk.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>
#include <unistd.h>

namespace corvane::testing {
namespace {

namespace fs = std::filesystem;

// The groups of find's plain output: one path a line, a blank line between groups.
std::vector<std::vector<std::string>> groupsOf(const std::string& output) {
    std::vector<std::vector<std::string>> groups(1);
    size_t start = 0;
    for (size_t end = output.find('\n'); end != std::string::npos; end = output.find('\n', start)) {
        const std::string line = output.substr(start, end - start);
        start = end + 1;
        if (line.empty()) {
            groups.emplace_back();
        } else {
            groups.back().push_back(line);
        }
    }
    std::erase_if(groups, [](const auto& group) { return group.empty(); });
    return groups;
}

// The figures of an action's closing line on stderr: "VERB N files (B bytes[ shared]); unchanged U,
// kept K, refused R, failed F".
struct Closing {
    long done = -1;
    long bytes = -1;
    long unchanged = -1;
    long refused = -1;
    long failed = -1;
};

Closing closingOf(const std::string& err) {
    static const std::regex line(
        R"((\d+) files \((\d+) bytes( shared)?\); unchanged (\d+), kept \d+, refused (\d+), failed (\d+))");
    std::smatch found;
    Closing closing;
    if (std::regex_search(err, found, line)) {
        closing = {std::stol(found[1]), std::stol(found[2]), std::stol(found[4]), std::stol(found[5]),
                   std::stol(found[6])};
    }
    return closing;
}

// The entries of the trash `trash` that went away or changed between two snapshots of it; new
// entries are what a run may add.
std::vector<std::string> entriesDisturbed(const Snapshot& before, const Snapshot& after) {
    std::vector<std::string> disturbed;
    for (const std::string& change : snapshotChanges(before, after)) {
        if (change.find(" appeared (") == std::string::npos) {
            disturbed.push_back(change);
        }
    }
    return disturbed;
}

TEST_F(ActionSafety, TheHomeTrashInsideTheSearchedFolderIsNoSearchGround) {
    useDataHome(tree.path(".local/share"));
    // Born before the copy in A: once in the trash, these would be the originals of a later search.
    tree.writeFile("B/tax.pdf", "tax return 2023");
    tree.writeFile("B/sub/tax copy.pdf", "tax return 2023");
    tree.writeFile("A/tax.pdf", "tax return 2023");
    tree.writeFile("C/list.txt", "shopping list");
    tree.writeFile("C/list (1).txt", "shopping list");
    const ActionScene scene = sceneOf({tree.root()});
    const Snapshot before = contentsOutsideTrash(scene);

    const std::vector<std::string> first{"trash",        "-q",           "--keep-in",
                                         tree.path("A"), tree.path("A"), tree.path("B")};
    const ProgramRun keepA = act(first);
    expectNothingLost(commandLine(first), keepA, scene, before);
    const Snapshot trashed = folderSnapshot(homeTrash());
    ASSERT_FALSE(trashed.empty()) << "the first run put nothing into " << homeTrash() << printed(keepA);

    const std::vector<std::string> second{"trash", "-q", tree.root()};
    const ProgramRun home = act(second);
    expectNothingLost(commandLine(second), home, scene, before);
    const auto disturbed = entriesDisturbed(trashed, folderSnapshot(homeTrash()));
    EXPECT_TRUE(disturbed.empty()) << "the search of the home folder moved what was in its trash:"
                                   << joinLines(disturbed) << printed(home);
    EXPECT_NE(fs::exists(tree.path("C/list.txt")), fs::exists(tree.path("C/list (1).txt")))
        << "the second run should trash one of the two live copies in C" << printed(home);
}

TEST_F(ActionSafety, AMountsOwnTrashIsNoSearchGroundOnTheNextRun) {
    tree.makeDir("disk");
    const TmpfsMount disk(tree.path("disk"));
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why();
    }
    tree.writeFile("disk/dl/p1.jpg", "photo of the lake");
    tree.writeFile("disk/dl/p2.jpg", "photo of the lake");
    tree.writeFile("disk/keep/p.jpg", "photo of the lake");
    const ActionScene scene = sceneOf({tree.path("disk")});
    const Snapshot before = contentsOutsideTrash(scene);
    const std::string mountTrash = tree.path("disk/.Trash-" + std::to_string(::getuid()));

    const std::vector<std::string> first{"trash", "-q", "--keep-in", tree.path("disk/keep"),
                                         tree.path("disk")};
    const ProgramRun keep = act(first);
    expectNothingLost(commandLine(first), keep, scene, before);
    const Snapshot trashed = folderSnapshot(mountTrash);
    ASSERT_FALSE(trashed.empty()) << "the first run put nothing into " << mountTrash << printed(keep);

    // The mount's top folder, searched again, now holds its trash.
    const std::vector<std::string> second{"trash", "-q", tree.path("disk")};
    const ProgramRun top = act(second);
    expectNothingLost(commandLine(second), top, scene, before);
    const auto disturbed = entriesDisturbed(trashed, folderSnapshot(mountTrash));
    EXPECT_TRUE(disturbed.empty()) << "the search of the mount moved what was in its trash:"
                                   << joinLines(disturbed) << printed(top);
}

// `mount --bind dir/a.txt dir/0.txt`: two names, one file. Neither may go as the other's copy.
TEST_F(ActionSafety, AFileBoundOverAnotherNameIsNoCopyOfItself) {
    for (const char* action : {"trash", "link"}) {
        SCOPED_TRACE(action);
        const TempTree files;
        files.writeFile("dir/a.txt", "the only copy of a");
        files.writeFile("dir/0.txt", "what 0.txt holds beneath the mount");
        const ActionScene scene = sceneOf({files.root()});
        const Snapshot before = contentsOutsideTrash(scene);
        BindMount bind(files.path("dir/a.txt"), files.path("dir/0.txt"));
        if (!bind.mounted()) {
            GTEST_SKIP() << bind.why();
        }
        const std::vector<std::string> args{action, "-q", files.path("dir")};
        const ProgramRun run = act(args);
        // What the mount shows is no copy: look at the names as they are without it.
        bind.unmount();
        expectNothingLost(commandLine(args), run, scene, before);
    }
}

// A folder seen at a second path, `view`: by a bind mount (one device and inode for both paths),
// and by a FUSE view (bindfs: its own device, renames reach the folder beneath).
class SecondMount : public ActionSafety, public ::testing::WithParamInterface<bool> {
protected:
    bool fuse() const { return GetParam(); }
};

TEST_P(SecondMount, AFolderSeenThroughASecondMountIsNoCopyOfItself) {
    for (const bool viewFirst : {true, false}) {
        SCOPED_TRACE(viewFirst ? "view first" : "real first");
        const TempTree files;
        files.writeFile("real/doc.txt", "the only copy of doc");
        files.writeFile("real/sub/note.txt", "the only copy of note");
        files.makeDir("view");
        const ActionScene scene = sceneOf({files.root()});
        const Snapshot before = contentsOutsideTrash(scene);
        std::optional<BindMount> bind;
        std::optional<BindfsMount> bindfs;
        if (fuse()) {
            bindfs.emplace(files.path("real"), files.path("view"));
            if (!bindfs->mounted()) {
                GTEST_SKIP() << bindfs->why();
            }
        } else {
            bind.emplace(files.path("real"), files.path("view"));
            if (!bind->mounted()) {
                GTEST_SKIP() << bind->why();
            }
        }
        const std::string view = files.path("view");
        const std::string real = files.path("real");

        // The path the same file has under the other name of the folder.
        const auto otherName = [&](const std::string& path) {
            for (const auto& [from, to] : {std::pair(view, real), std::pair(real, view)}) {
                if (path.rfind(from + "/", 0) == 0) {
                    return to + path.substr(from.size());
                }
            }
            return std::string();
        };
        const ProgramRun find = runProgram(CORVANE_CLI_PATH, {"find", "-q", view, real});
        EXPECT_EQ(find.status, 0) << find.err;
        for (const auto& group : groupsOf(find.out)) {
            for (size_t i = 0; i < group.size(); ++i) {
                for (size_t j = i + 1; j < group.size(); ++j) {
                    const auto identity = identityOf(group[i]);
                    if (identity && identity == identityOf(group[j])) {
                        ADD_FAILURE() << "find lists one file as its own duplicate: " << group[i] << " and "
                                      << group[j];
                    } else if (otherName(group[i]) == group[j]) {
                        // Nothing tells a FUSE view from a copy before the bytes move: said, not failed.
                        std::cout << "note: through " << (fuse() ? "bindfs" : "a bind mount")
                                  << ", find lists " << group[i] << " and " << group[j] << " as duplicates\n";
                    }
                }
            }
        }

        const std::vector<std::string> args = viewFirst ? std::vector<std::string>{"trash", "-q", view, real}
                                                        : std::vector<std::string>{"trash", "-q", real, view};
        const ProgramRun run = act(args);
        if (bind) {
            bind->unmount();
        }
        if (bindfs) {
            bindfs->unmount();
        }
        expectNothingLost(commandLine(args), run, scene, before);
    }
}

INSTANTIATE_TEST_SUITE_P(BindMountAndBindfs, SecondMount, ::testing::Bool(),
                         [](const auto& instance) { return instance.param ? "Bindfs" : "BindMount"; });

TEST_F(ActionSafety, AKeepInFolderReachedThroughABindMountOfItsSubfolderIsLeftAlone) {
    // The copy in the inbox is older: the one in the archive would be its duplicate.
    tree.writeFile("data/inbox/p.jpg", "photo of the lake");
    tree.writeFile("data/archive/2023/p.jpg", "photo of the lake");
    tree.writeFile("data/archive/2023/q.jpg", "photo of the hill");
    tree.writeFile("data/archive/notes.txt", "what the archive holds");
    tree.makeDir("view");
    const ActionScene scene = sceneOf({tree.root()});
    const Snapshot before = contentsOutsideTrash(scene);
    const Snapshot archive = folderSnapshot(tree.path("data/archive"));
    BindMount bind(tree.path("data/archive/2023"), tree.path("view"));
    if (!bind.mounted()) {
        GTEST_SKIP() << bind.why();
    }

    const std::vector<std::string> args{
        "trash", "-q", "--keep-in", tree.path("data/archive"), tree.path("data/inbox"), tree.path("view")};
    const ProgramRun run = act(args);
    bind.unmount();
    expectUnchanged("the --keep-in folder changed", archive, folderSnapshot(tree.path("data/archive")), run);
    expectNothingLost(commandLine(args), run, scene, before);
}

TEST_F(ActionSafety, ASavedSetNamesTheSameFilesFromAnyFolder) {
    tree.writeFile("X/rel/path/a.txt", "saved twin");
    tree.writeFile("X/rel/path/b.txt", "saved twin");
    // Another tree of the same names, where the set is used: nothing here was searched.
    tree.writeFile("Y/rel/path/a.txt", "saved twin");
    tree.writeFile("Y/rel/path/b.txt", "saved twin");
    const std::string set = data.path("s.CVN");
    const ProgramRun find =
        runProgramIn(tree.path("X"), CORVANE_CLI_PATH, {"find", "-q", "--save", set, "rel/path"});
    ASSERT_EQ(find.status, 0) << find.err;

    const ProgramRun show = runProgram(CORVANE_CLI_PATH, {"show", set});
    EXPECT_EQ(show.status, 0) << show.err;
    size_t named = 0;
    for (const auto& group : groupsOf(show.out)) {
        for (const std::string& line : group) {
            if (line.find("rel/path") != std::string::npos) {
                ++named;
                EXPECT_NE(line.find(tree.path("X/rel/path")), std::string::npos)
                    << "the saved set names a path that depends on the folder it is used from: " << line;
            }
        }
    }
    EXPECT_GE(named, 2u) << show.out;

    const ActionScene scene = sceneOf({tree.root()});
    const Snapshot before = contentsOutsideTrash(scene);
    const Snapshot elsewhere = folderSnapshot(tree.path("Y"));
    const ProgramRun run = runProgramIn(tree.path("Y"), CORVANE_CLI_PATH, {"trash", "-q", "--from", set});
    EXPECT_TRUE(run.status == 0 || run.status == 1) << run.err;
    expectUnchanged("trash --from acted on files the set never named", elsewhere,
                    folderSnapshot(tree.path("Y")), run);
    expectNothingLost("trash --from " + set + " in " + tree.path("Y"), run, scene, before);
}

TEST_F(ActionSafety, AnOptionThatCannotApplyIsAMistakeOrAWarning) {
    // Each command on a tree of its own: two pairs of twins, one of them of photos.
    const auto twins = [](const TempTree& files) {
        files.writeFile("p/a.txt", "text twin");
        files.writeFile("p/b.txt", "text twin");
        files.writeFile("p/c.jpg", "photo twin");
        files.writeFile("p/d.jpg", "photo twin");
        return folderSnapshot(files.root());
    };
    // A -t after the last folder applies to no folder.
    for (const char* command : {"trash", "link", "find"}) {
        const TempTree files;
        const Snapshot before = twins(files);
        const std::vector<std::string> args{command, "-q", files.path("p"), "-t", "*.jpg"};
        const ProgramRun run = runProgram(CORVANE_CLI_PATH, args);
        EXPECT_EQ(run.status, 2) << commandLine(args) << printed(run);
        expectUnchanged(commandLine(args) + " changed files", before, folderSnapshot(files.root()), run);
    }

    // Patterns no file name can match: a warning names the pattern, and nothing moves.
    for (const std::string pattern : {"", ";", "photos/*.jpg"}) {
        const TempTree files;
        const Snapshot before = twins(files);
        const std::vector<std::string> args{"trash", "-q", "-t", pattern, files.path("p")};
        const ProgramRun run = runProgram(CORVANE_CLI_PATH, args);
        EXPECT_NE(run.status, 2) << commandLine(args) << printed(run);
        EXPECT_TRUE(run.err.find('"' + pattern + '"') != std::string::npos ||
                    run.err.find('\'' + pattern + '\'') != std::string::npos)
            << "no warning names the pattern \"" << pattern << "\" on stderr:\n"
            << run.err;
        expectUnchanged(commandLine(args) + " changed files", before, folderSnapshot(files.root()), run);
    }
}

TEST_F(ActionSafety, LinkAndDedupePassOverWhatHasNothingToReclaim) {
    // Empty files hold nothing to share; as one inode, marker and lock files would share their writes.
    tree.writeFile("locks/a.lock", "");
    tree.writeFile("locks/b.lock", "");
    tree.writeFile("locks/x.txt", "a twin to link");
    tree.writeFile("locks/y.txt", "a twin to link");
    const ProgramRun link = act({"link", "-q", tree.path("locks")});
    const auto a = identityOf(tree.path("locks/a.lock"));
    const auto b = identityOf(tree.path("locks/b.lock"));
    ASSERT_TRUE(a && b) << "an empty file went away" << printed(link);
    EXPECT_NE(a->inode, b->inode) << "link joined the empty files a.lock and b.lock into inode " << a->inode
                                  << printed(link);
    EXPECT_EQ(identityOf(tree.path("locks/x.txt")), identityOf(tree.path("locks/y.txt")))
        << "link left the twins x.txt and y.txt apart" << printed(link);

    XfsDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why();
    }
    const std::string large = randomBytes((1 << 20) + 17, 7);
    for (const char* name : {"y1", "y2", "y3"}) {
        std::ofstream(disk.path(name), std::ios::binary) << large;
    }
    const ProgramRun first = act({"dedupe", "-q", disk.root()});
    const Closing shared = closingOf(first.err);
    EXPECT_EQ(shared.done, 2) << printed(first);
    EXPECT_EQ(shared.bytes, static_cast<long>(2 * large.size())) << printed(first);
    // Blocks shared already are not shared again: a second run reclaims nothing, and says so.
    const ProgramRun second = act({"dedupe", "-q", disk.root()});
    const Closing again = closingOf(second.err);
    EXPECT_EQ(again.done, 0) << "the second run deduplicated files whose blocks were shared already"
                             << printed(second);
    EXPECT_EQ(again.bytes, 0) << "the second run counted bytes shared before" << printed(second);
    EXPECT_EQ(again.unchanged, 2) << printed(second);
    EXPECT_EQ(again.refused + again.failed, 0) << printed(second);

    fs::create_directory(disk.path("empty"));
    std::ofstream(disk.path("empty/a.lock")).flush();
    std::ofstream(disk.path("empty/b.lock")).flush();
    const ProgramRun empty = act({"dedupe", "-q", disk.path("empty")});
    const Closing none = closingOf(empty.err);
    EXPECT_EQ(none.done, 0) << "dedupe acted on empty files" << printed(empty);
    EXPECT_EQ(none.refused + none.failed, 0) << printed(empty);
}

} // namespace
} // namespace corvane::testing
