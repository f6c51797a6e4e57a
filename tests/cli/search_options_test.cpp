// The options that shape a search, for find and the actions alike: size limits, exclusions,
// staying on one file system, hard links counted once, FILE operands, and what cannot be read.

#include "cli/search_arguments.h"
#include "support/program_run.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::testing {
namespace {

namespace fs = std::filesystem;

ProgramRun runCli(const std::vector<std::string>& args) {
    return runProgram(CORVANE_CLI_PATH, args);
}

// The groups of find's plain output, each a list of paths.
std::vector<std::vector<std::string>> groupsOf(const std::string& out) {
    std::vector<std::vector<std::string>> groups(1);
    size_t start = 0;
    while (start < out.size()) {
        const size_t end = out.find('\n', start);
        const std::string line = out.substr(start, end - start);
        start = end == std::string::npos ? out.size() : end + 1;
        if (line.empty()) {
            groups.emplace_back();
        } else {
            groups.back().push_back(line);
        }
    }
    if (groups.back().empty()) {
        groups.pop_back();
    }
    return groups;
}

bool says(const ProgramRun& run, const std::string& text) {
    return run.err.find(text) != std::string::npos;
}

TEST(SearchSizes, SizesAreBytesOrPowersOf1024) {
    EXPECT_EQ(cli::parseSize("0"), 0);
    EXPECT_EQ(cli::parseSize("1536"), 1536);
    EXPECT_EQ(cli::parseSize("1K"), 1024);
    EXPECT_EQ(cli::parseSize("3m"), 3 << 20);
    EXPECT_EQ(cli::parseSize("2G"), 2ll << 30);
    EXPECT_EQ(cli::parseSize("5T"), 5ll << 40);
    EXPECT_EQ(cli::parseSize("8388607T"), 8388607ll << 40);
    EXPECT_EQ(cli::parseSize("8388608T"), std::nullopt); // past the largest size
    EXPECT_EQ(cli::parseSize("99999999999999999999"), std::nullopt);
    for (const char* wrong : {"", "K", "1.5K", "1KB", "-1", "1 K", "0x10", "1P"}) {
        EXPECT_EQ(cli::parseSize(wrong), std::nullopt) << wrong;
    }
}

TEST(SearchSizes, FilesOutsideTheLimitsAreSearchedButNotCompared) {
    TempTree tree;
    for (const size_t size : {1023, 1024, 1025, 2048}) {
        tree.writeFile("a" + std::to_string(size), std::string(size, 'x'));
        tree.writeFile("b" + std::to_string(size), std::string(size, 'x'));
    }
    const auto pair = [&](size_t size) {
        return std::vector<std::string>{tree.path("a" + std::to_string(size)),
                                        tree.path("b" + std::to_string(size))};
    };
    const ProgramRun atLeast = runCli({"find", "-q", "--min-size", "1K", tree.root()});
    EXPECT_EQ(atLeast.status, 0) << atLeast.err;
    EXPECT_EQ(groupsOf(atLeast.out), (std::vector{pair(1024), pair(1025), pair(2048)}));
    EXPECT_TRUE(says(atLeast, "Duplicate files: 3, File Searched: 8\n")) << atLeast.err;

    const ProgramRun atMost = runCli({"find", "-q", "--max-size", "1k", tree.root()});
    EXPECT_EQ(groupsOf(atMost.out), (std::vector{pair(1023), pair(1024)}));
    EXPECT_TRUE(says(atMost, "File Searched: 8\n")) << atMost.err;

    const ProgramRun between =
        runCli({"find", "-q", "--min-size", "1024", "--max-size", "1025", tree.root()});
    EXPECT_EQ(groupsOf(between.out), (std::vector{pair(1024), pair(1025)}));

    EXPECT_EQ(runCli({"find", "-q", "--min-size", "2049", tree.root()}).out, "");
    EXPECT_EQ(runCli({"find", "--min-size", "2K", "--max-size", "1K", tree.root()}).status, 2);
    EXPECT_EQ(runCli({"find", "--max-size", "lots", tree.root()}).status, 2);
}

TEST(SearchExclusions, MatchingFoldersAreNotEnteredAndMatchingFilesAreLeftOut) {
    TempTree tree;
    tree.writeFile("proj/main.c", "code");
    tree.writeFile("proj/.git/objects/ab", "code");
    tree.writeFile("proj/Build/out/main.c", "code");
    tree.writeFile("proj/notes.TMP", "code");
    tree.writeFile("proj/deep/a/cache/x", "code");
    tree.writeFile("other/main.c", "code");

    const ProgramRun all = runCli({"find", "-q", tree.root()});
    EXPECT_TRUE(says(all, "File Searched: 15\n")) << all.err; // 6 files and the 9 folders "*.*" takes

    // "*" runs across folders, letter case is ignored, and a folder matches with or without a
    // trailing separator.
    const ProgramRun run =
        runCli({"find", "-q", "-t", "*.c;*.tmp;ab;x", "--exclude", "*/.git", "--exclude", "*/build",
                "--exclude", "*.tmp", "--exclude", tree.root() + "/proj/*/cache/", tree.root()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(groupsOf(run.out),
              (std::vector<std::vector<std::string>>{{tree.path("other/main.c"), tree.path("proj/main.c")}}));
    EXPECT_TRUE(says(run, "File Searched: 2\n")) << run.err;

    // A folder left out is not even opened: one that cannot be read is not reported.
    ::chmod(tree.root().c_str(), 0755);
    ::chmod(tree.path("proj").c_str(), 0755);
    ::chmod(tree.path("proj/.git").c_str(), 0);
    const ProgramRun locked =
        runProgramUnprivileged(CORVANE_CLI_PATH, {"find", "-q", "--exclude", "*.git", tree.root()});
    EXPECT_EQ(locked.status, 0) << locked.err;
    EXPECT_FALSE(says(locked, "cannot read")) << locked.err;
    const ProgramRun reported = runProgramUnprivileged(CORVANE_CLI_PATH, {"find", "-q", tree.root()});
    EXPECT_TRUE(says(reported, "corvane-cli: cannot read folder " + tree.path("proj/.git") + ": " +
                                   std::strerror(EACCES) + "\n"))
        << reported.err;

    EXPECT_EQ(runCli({"find", "--exclude", tree.root()}).status, 2);
    EXPECT_EQ(runCli({"find", "--exclude", "", tree.root()}).status, 2);
}

// What a user types to leave out hidden files: an exclusion is a glob on the whole path, without
// the file-name patterns' rule that "name.*" also takes "name" (by which "*/.*" took every folder,
// tried with a "/" after it); --skip-hidden leaves out the dot names below each FOLDER.
TEST(SearchExclusions, GlobsOnThePathAndHiddenNamesLeaveOutWhatTheyNameAndNothingElse) {
    TempTree tree;
    const std::vector<std::string> all{".git/x", ".hidden",  "a.txt", "docs.old/z",
                                       "docs/y", "sub/.cfg", "sub/b"};
    const std::vector<std::string> visible{"a.txt", "docs.old/z", "docs/y", "sub/b"};
    for (const std::string& file : all) {
        tree.writeFile(file, "same");
    }
    const auto without = [&](const std::string& prefix) {
        std::vector<std::string> kept;
        std::copy_if(all.begin(), all.end(), std::back_inserter(kept),
                     [&](const std::string& file) { return file.rfind(prefix, 0) != 0; });
        return kept;
    };
    struct Case {
        std::vector<std::string> options;
        std::vector<std::string> found;
    };
    const std::vector<Case> cases{
        {{}, all},
        {{"--exclude", "*/.*"}, visible},
        {{"--skip-hidden"}, visible},
        {{"--exclude", "*/docs.*"}, without("docs.")},
        {{"--exclude", "*/DOCS"}, without("docs/")},
        {{"--exclude", "*/sub/*"}, without("sub/")},
        {{"--skip-hidden", "--exclude", "*/?ocs/*"}, {"a.txt", "docs.old/z", "sub/b"}},
        // The file-name patterns keep their rule: "b.*" also takes "b".
        {{"--skip-hidden", "-t", "b.*;y"}, {"docs/y", "sub/b"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"find", "-q"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(tree.root());
        const ProgramRun run = runCli(args);
        EXPECT_EQ(run.status, 0) << run.err;
        std::vector<std::string> found;
        for (const auto& group : groupsOf(run.out)) {
            for (const std::string& path : group) {
                found.push_back(path.substr(tree.root().size() + 1));
            }
        }
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, c.found) << ::testing::PrintToString(c.options);
    }

    // The actions search alike; a folder left out is not even opened.
    tree.writeFile(".locked/w", "same");
    ::chmod(tree.root().c_str(), 0755);
    ::chmod(tree.path(".locked").c_str(), 0);
    for (const char* action : {"trash", "link", "dedupe"}) {
        const ProgramRun run =
            runProgramUnprivileged(CORVANE_CLI_PATH, {action, "-q", "-n", "--skip-hidden", tree.root()});
        EXPECT_NE(run.status, 2) << action << ": " << run.err;
        EXPECT_FALSE(says(run, "cannot read")) << action << ": " << run.err;
        EXPECT_EQ(run.out.find("/."), std::string::npos) << action << ": " << run.out;
        // Where blocks cannot be shared, dedupe's dry run names only the files that fail.
        for (const std::string& file : visible) {
            const bool named = run.out.find(tree.path(file)) != std::string::npos;
            EXPECT_TRUE(named || (std::string(action) == "dedupe" && run.status == 1))
                << action << " " << file << ": " << run.out;
        }
    }
}

// A tmpfs mounted on a folder for one test, taken away afterwards.
class Mount {
public:
    explicit Mount(const std::string& where) : where_(where) {
        if (::geteuid() != 0) {
            why_ = "mounting needs root (CI runs these tests as root)";
        } else if (::mount("tmpfs", where.c_str(), "tmpfs", 0, "size=1m") != 0) {
            why_ = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
        }
    }
    ~Mount() {
        if (why_.empty()) {
            ::umount2(where_.c_str(), MNT_DETACH);
        }
    }
    bool mounted() const { return why_.empty(); }
    const std::string& why() const { return why_; }

private:
    std::string where_;
    std::string why_;
};

TEST(SearchOneFileSystem, FoldersOnAnotherDeviceAreNotEntered) {
    TempTree tree;
    tree.writeFile("here/a", "same");
    const Mount mount(tree.makeDir("here/mnt"));
    if (!mount.mounted()) {
        GTEST_SKIP() << mount.why();
    }
    tree.writeFile("here/mnt/b", "same");
    tree.writeFile("here/mnt/sub/c", "same");
    tree.writeFile("here/z", "same");

    const ProgramRun everywhere = runCli({"find", "-q", tree.root()});
    EXPECT_EQ(groupsOf(everywhere.out), (std::vector<std::vector<std::string>>{
                                            {tree.path("here/a"), tree.path("here/z"),
                                             tree.path("here/mnt/b"), tree.path("here/mnt/sub/c")}}));
    for (const char* option : {"-x", "--one-file-system"}) {
        const ProgramRun one = runCli({"find", "-q", option, tree.root()});
        EXPECT_EQ(one.status, 0) << one.err;
        EXPECT_EQ(groupsOf(one.out),
                  (std::vector<std::vector<std::string>>{{tree.path("here/a"), tree.path("here/z")}}));
    }
    // A FOLDER on the other device is searched, and stays on its own device.
    const ProgramRun inside = runCli({"find", "-q", "-x", tree.path("here/mnt")});
    EXPECT_EQ(groupsOf(inside.out), (std::vector<std::vector<std::string>>{
                                        {tree.path("here/mnt/b"), tree.path("here/mnt/sub/c")}}));
}

TEST(SearchHardLinks, NamesOfOneFileAreReportedUnlessAskedToCountThemOnce) {
    TempTree tree;
    tree.writeFile("a/original", "contents");
    tree.writeFile("b/copy", "contents");
    fs::create_directories(tree.path("c"));
    ASSERT_EQ(::link(tree.path("a/original").c_str(), tree.path("c/link").c_str()), 0);
    ASSERT_EQ(::link(tree.path("b/copy").c_str(), tree.path("c/link2").c_str()), 0);
    tree.writeFile("d/alone", "lonely!!");
    ASSERT_EQ(::link(tree.path("d/alone").c_str(), tree.path("d/alone2").c_str()), 0);

    const ProgramRun reported = runCli({"find", "-q", tree.root()});
    EXPECT_EQ(groupsOf(reported.out),
              (std::vector<std::vector<std::string>>{
                  {tree.path("a/original"), tree.path("b/copy"), tree.path("c/link"), tree.path("c/link2")},
                  {tree.path("d/alone"), tree.path("d/alone2")}}));

    const ProgramRun once = runCli({"find", "-q", "--skip-hard-links", tree.root()});
    EXPECT_EQ(groupsOf(once.out),
              (std::vector<std::vector<std::string>>{{tree.path("a/original"), tree.path("b/copy")}}));
    // Four folders and three files.
    EXPECT_TRUE(says(once, "Duplicate files: 1, File Searched: 7\nDuplicates occupy: 8 bytes\n")) << once.err;
}

TEST(SearchOperands, AFileIsSearchedAsThatOneFile) {
    TempTree tree;
    const std::string a = tree.writeFile("one/a.txt", "same");
    const std::string b = tree.writeFile("two/b.txt", "same");
    const std::string c = tree.writeFile("folder/c.txt", "same");
    tree.writeFile("folder/d.jpg", "same");
    fs::create_symlink(a, tree.path("link.txt"));

    const ProgramRun run = runCli({"find", "-q", b, "-t", "*.txt", tree.path("folder"), a, "-t", "*.jpg",
                                   tree.path("one/a.txt"), tree.path("link.txt")});
    // The link is no FOLDER to search: the report holds the others, and the run failed.
    EXPECT_EQ(run.status, 1) << run.err;
    // b first (found first), the folder's c, then a; a again under "*.jpg" is left out; the link is
    // not a file to read.
    EXPECT_EQ(groupsOf(run.out), (std::vector<std::vector<std::string>>{{b, c, a}}));
    EXPECT_TRUE(says(run, "corvane-cli: cannot search " + tree.path("link.txt") +
                              ": not a folder or a regular file\n"))
        << run.err;
    EXPECT_TRUE(says(run, "File Searched: 3\n")) << run.err;

    // The actions take FILE operands too.
    const ProgramRun dry = runCli({"trash", "-q", "-n", a, b});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out, "would trash " + b + " (" + a + " stays)\n");
}

TEST(SearchUnreadable, FoldersAndFilesThatCannotBeReadAreReportedAndCounted) {
    TempTree tree;
    tree.writeFile("open/a", "same");
    tree.writeFile("open/b", "same");
    tree.writeFile("open/locked", "SAME");
    tree.writeFile("open/other", "SAME");
    tree.writeFile("closed/c", "same");
    for (const std::string& folder : {tree.root(), tree.path("open"), tree.path("closed")}) {
        ::chmod(folder.c_str(), 0755);
    }
    ::chmod(tree.path("closed").c_str(), 0);
    ::chmod(tree.path("open/locked").c_str(), 0);

    const ProgramRun run = runProgramUnprivileged(CORVANE_CLI_PATH, {"find", "-q", "-t", "*", tree.root()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(groupsOf(run.out),
              (std::vector<std::vector<std::string>>{{tree.path("open/a"), tree.path("open/b")}}));
    const std::string denied = std::strerror(EACCES);
    EXPECT_TRUE(says(run, "corvane-cli: cannot read folder " + tree.path("closed") + ": " + denied + "\n"))
        << run.err;
    EXPECT_TRUE(says(run, "corvane-cli: cannot read file " + tree.path("open/locked") + ": " + denied + "\n"))
        << run.err;
    EXPECT_TRUE(says(run, "Could not read: 1 folder, 1 file\n")) << run.err;

    // The same for an action's search, and for a FOLDER that cannot be read.
    const ProgramRun action =
        runProgramUnprivileged(CORVANE_CLI_PATH, {"link", "-q", "-n", tree.path("closed")});
    EXPECT_EQ(action.status, 0) << action.err;
    EXPECT_TRUE(says(action, "corvane-cli: cannot read folder " + tree.path("closed") + ": " + denied + "\n"))
        << action.err;
    EXPECT_TRUE(says(action, "Could not read: 1 folder, 0 files\n")) << action.err;
}

TEST(SearchOptions, ActionsTakeThemAndASetTakesNone) {
    TempTree tree;
    tree.writeFile("keep/a", "small");
    tree.writeFile("keep/b", "small");
    tree.writeFile("big/a", std::string(5000, 'b'));
    tree.writeFile("big/b", std::string(5000, 'b'));
    const ProgramRun run =
        runCli({"trash", "-q", "-n", "--min-size", "4K", "--exclude", "*/keep", tree.root()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "would trash " + tree.path("big/b") + " (" + tree.path("big/a") + " stays)\n");
    for (const std::vector<std::string>& options : std::vector<std::vector<std::string>>{
             {"--min-size", "1"}, {"--exclude", "x"}, {"-x"}, {"--skip-hard-links"}}) {
        std::vector<std::string> args{"dedupe", "--from", tree.path("set")};
        args.insert(args.end(), options.begin(), options.end());
        EXPECT_EQ(runCli(args).status, 2) << options[0];
    }
}

} // namespace
} // namespace corvane::testing
