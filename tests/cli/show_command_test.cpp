// corvane-cli find --save and show, run as the real program.

#include "cli/json_output.h"
#include "cli/save_module.h"
#include "stream/byte_streams.h"
#include "stream/error.h"
#include "stream/result_set.h"
#include "support/child_run.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>

extern char** environ;

namespace corvane::testing {
namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs `program` (corvane-cli or a copy of it) with `args`.
Outcome run(std::string program, std::vector<std::string> args) {
    const TempTree io;
    const std::string out = io.path("out");
    const std::string err = io.path("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv{program.data()};
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    Outcome run;
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = contentsOf(out);
    run.err = contentsOf(err);
    return run;
}

Outcome corvaneCli(std::vector<std::string> args) {
    return run(CORVANE_CLI_PATH, std::move(args));
}

bool exists(const std::string& path) {
    return std::filesystem::exists(path);
}

TEST(CliResultSets, FindSavesASetThatShowPrintsInTheWindowsOrder) {
    TempTree tree;
    tree.writeFile("z1.txt", "aaaaa");
    tree.writeFile("z2.txt", "aaaaa");
    tree.writeFile("b1.txt", "bbbbbbb");
    tree.writeFile("sub/b2.txt", "bbbbbbb");
    tree.writeFile("alone.txt", "c");
    const TempTree sets;
    const std::string set = sets.path("r.CVN");

    const Outcome find = corvaneCli({"find", "-q", "--save", set, "-t", "*.txt", tree.root()});
    ASSERT_EQ(find.status, 0) << find.err;
    // The comparer's order: the smaller files first.
    EXPECT_EQ(find.out, tree.path("z1.txt") + "\n" + tree.path("z2.txt") + "\n\n" + tree.path("b1.txt") +
                            "\n" + tree.path("sub/b2.txt") + "\n");
    EXPECT_TRUE(exists(set) && exists(set + ".~SR~") && exists(set + ".~DF~"));

    const Outcome show = corvaneCli({"show", set});
    ASSERT_EQ(show.status, 0) << show.err;
    // The tree's order: by text.
    EXPECT_EQ(show.out, "Search paths:\n  " + tree.root() +
                            "\t*.txt\nSearched files: 5\nDuplicate files: 2\n\n" + tree.path("b1.txt") +
                            "\n" + tree.path("sub/b2.txt") + "\n\n" + tree.path("z1.txt") + "\n" +
                            tree.path("z2.txt") + "\n");
}

// Writes plain data as a set, as the window would.
void writeSet(const std::string& name, stream::MainWindowLists& lists) {
    class PlainFile final : public stream::ResultFileOutput {
    public:
        explicit PlainFile(const std::string& path) : out_(path) {}
        void write(std::span<const uint8_t> bytes) override { out_.write(bytes); }
        void commit() override { out_.close(); }

    private:
        stream::FileOutputStream out_;
    };
    stream::writeResultSet(name, lists.set(),
                           [](const std::string& path) { return std::make_unique<PlainFile>(path); });
}

TEST(CliResultSets, ShowJsonIsFindsWithThePathsAndEachNodesCheckState) {
    const TempTree sets;
    const std::string set = sets.path("checked.CVN");
    stream::MainWindowLists lists;
    lists.searchPaths.setRows({{.caption = "/p\"q", .subItems = {{.text = "*.jpg;*.png"}}},
                               {.caption = "/r", .subItems = {{.text = "*.*"}}}});
    lists.searchedFiles.setRows({{.caption = "/p/a", .subItems = {{.text = "1"}, {.text = "d"}}}});
    lists.duplicates.setNodes({{.text = "/p/a", .hasChildren = true},
                               {.text = "/p/b", .level = 1, .stateIndex = stream::kStateChecked},
                               {.text = "/p/c", .level = 1},
                               {.text = "/r/x", .stateIndex = stream::kStateChecked, .hasChildren = true},
                               {.text = "/r/y", .level = 1}});
    writeSet(set, lists);

    const Outcome show = corvaneCli({"show", "--json", set});
    ASSERT_EQ(show.status, 0) << show.err;
    EXPECT_EQ(show.out,
              "{\"searched\": 1, \"duplicates\": 3, \"paths\": [{\"path\": " + cli::jsonString("/p\"q") +
                  ", \"types\": \"*.jpg;*.png\"}, {\"path\": \"/r\", \"types\": \"*.*\"}], \"groups\": ["
                  "{\"original\": \"/p/a\", \"duplicates\": [\"/p/b\", \"/p/c\"], \"checked\": "
                  "{\"original\": false, \"duplicates\": [true, false]}}, "
                  "{\"original\": \"/r/x\", \"duplicates\": [\"/r/y\"], \"checked\": "
                  "{\"original\": true, \"duplicates\": [false]}}]}\n");

    const Outcome text = corvaneCli({"show", set});
    EXPECT_EQ(text.out,
              "Search paths:\n  /p\"q\t*.jpg;*.png\n  /r\t*.*\nSearched files: 1\nDuplicate files: 3\n\n"
              "/p/a\n/p/b\n/p/c\n\n/r/x\n/r/y\n");
}

TEST(CliResultSets, ShowOfAMissingOrCorruptSetFailsWithItsMessage) {
    const TempTree sets;
    const std::string set = sets.path("r.CVN");
    Outcome run = corvaneCli({"show", set});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "corvane-cli: error: Cannot open file \"" + set + "\". No such file or directory\n");

    stream::MainWindowLists lists;
    lists.searchPaths.setRows({{.caption = "/p", .subItems = {{.text = "*.*"}}}});
    writeSet(set, lists);
    // Each message says which of the three files it is about.
    sets.writeFile("r.CVN.~SR~", "TPF1 not a stream");
    run = corvaneCli({"show", set});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "corvane-cli: error: " + set + ".~SR~: Invalid stream format\n");
    sets.writeFile("r.CVN.~SR~", "");
    run = corvaneCli({"show", set});
    EXPECT_EQ(run.err, "corvane-cli: error: " + set + ".~SR~: Stream read error\n");

    // A row count that promises more than the block holds.
    std::string block = contentsOf(set);
    const size_t count = block.find("ItemData") + 8 + 1 + 4 + 5;
    ASSERT_LT(count, block.size());
    block[count] = 100;
    sets.writeFile("r.CVN", block);
    run = corvaneCli({"show", "--json", set});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "corvane-cli: error: " + set + ": Error reading ListView1.Items.ItemData: Stream read error\n");
}

TEST(CliResultSets, ShowReadsARowOfTenMillionEmptySubItemsInMemoryOfAFewTimesItsSize) {
    if (!memoryFiguresAreMeaningful()) {
        GTEST_SKIP() << "the sanitizers' shadow memory makes memory figures meaningless";
    }
    const TempTree sets;
    const std::string set = sets.path("wide.CVN");
    stream::MainWindowLists lists;
    lists.searchPaths.setRows({{.caption = "/p", .subItems = {{.text = "*.*"}}}});
    // Each empty sub-item takes 3 bytes of the file: its length and its image index.
    constexpr size_t kSubItems = 10'000'000;
    stream::ListRow wide{.caption = "/p/a"};
    wide.subItems.reserve(kSubItems, 0);
    for (size_t i = 0; i < kSubItems; ++i) {
        wide.subItems.append("", -1);
    }
    lists.searchedFiles.setRows({std::move(wide)});
    writeSet(set, lists);
    const auto size = static_cast<long>(std::filesystem::file_size(set + ".~SR~"));

    const ChildRun show = runChild(CORVANE_CLI_PATH, {"show", set});
    ASSERT_EQ(show.status, 0) << show.err;
    EXPECT_NE(show.out.find("Searched files: 1\n"), std::string::npos) << show.out;
    constexpr long kBaseKilobytes = 32 * 1024;
    EXPECT_LT(show.peakKilobytes, 10 * size / 1024 + kBaseKilobytes) << "for a file of " << size << " bytes";
}

TEST(CliResultSets, FindRefusesToSaveAPathTooLongForAResultFileAndWritesNothing) {
    TempTree tree;
    const std::string folder = std::string(200, 'f');
    const std::string first = tree.writeFile(folder + "/" + std::string(100, 'a'), "same");
    tree.writeFile(folder + "/" + std::string(100, 'b'), "same");
    const TempTree sets;
    const std::string set = sets.path("r.CVN");
    const Outcome run = corvaneCli({"find", "-q", "--save", set, tree.root()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find(first), std::string::npos); // the groups are still printed
    EXPECT_NE(run.err.find("corvane-cli: error: " + stream::textTooLongMessage(first)), std::string::npos)
        << run.err;
    EXPECT_FALSE(exists(set) || exists(set + ".~SR~") || exists(set + ".~DF~"));
}

TEST(CliResultSets, UsageErrorsOfSaveAndShowExitWithTwo) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"find", "/tmp", "--save"},
                                                                  {"find", "--save", "", "/tmp"},
                                                                  {"show"},
                                                                  {"show", "a", "b"},
                                                                  {"show", "--x", "a"}}) {
        const Outcome run = corvaneCli(args);
        EXPECT_EQ(run.status, 2) << args.back() << run.err;
        EXPECT_NE(run.err.find("Usage:"), std::string::npos);
    }
}

// corvane-cli copied alone into bin/ of a folder of its own, as an installation without the save
// module would be; `module`, if given, is copied beside it under the save module's name.
class LoneCli {
public:
    explicit LoneCli(const std::string& module = {}) {
        folder_.makeDir("bin");
        std::filesystem::copy_file(CORVANE_CLI_PATH, program());
        if (!module.empty()) {
            std::filesystem::copy_file(module, folder_.path("bin/" CORVANE_SAVE_MODULE_FILE));
        }
    }

    std::string program() const { return folder_.path("bin/corvane-cli"); }
    std::string folder() const { return folder_.root(); }

private:
    TempTree folder_;
};

// Without a module that loads, `find --save` prints the groups as ever, then fails and writes
// nothing; returns the reason it gives after "cannot write result sets: ".
std::string saveFailureAfterPrinting(const LoneCli& cli) {
    TempTree tree;
    tree.writeFile("a.txt", "same");
    tree.writeFile("b.txt", "same");
    const TempTree sets;
    const std::string set = sets.path("r.CVN");
    const Outcome find = run(cli.program(), {"find", "-q", "--save", set, tree.root()});
    EXPECT_EQ(find.status, 1);
    EXPECT_EQ(find.out, tree.path("a.txt") + "\n" + tree.path("b.txt") + "\n");
    EXPECT_FALSE(exists(set) || exists(set + ".~SR~") || exists(set + ".~DF~"));
    // The last line of stderr, after the totals.
    const std::string error = "\ncorvane-cli: error: cannot write result sets: ";
    const size_t start = find.err.rfind(error);
    if (start == std::string::npos || !find.err.ends_with("\n") ||
        find.err.find('\n', start + 1) != find.err.size() - 1) {
        ADD_FAILURE() << find.err;
        return {};
    }
    return find.err.substr(start + error.size(), find.err.size() - start - error.size() - 1);
}

TEST(CliSaveModule, AMissingModuleIsNamedWithTheFoldersLookedIn) {
    const LoneCli cli;
    const std::filesystem::path bin = cli.folder() + "/bin";
    EXPECT_EQ(saveFailureAfterPrinting(cli),
              "the save module " CORVANE_SAVE_MODULE_FILE " is missing (looked in " + bin.string() + " and " +
                  (bin / CORVANE_SAVE_MODULE_RELATIVE_DIR).lexically_normal().string() + ")");

    // Everything but saving works without it, as it does with it.
    TempTree tree;
    tree.writeFile("x/a", "same");
    tree.writeFile("x/b", "same");
    const std::string set = tree.path("r.CVN");
    stream::MainWindowLists lists;
    lists.searchPaths.setRows({{.caption = tree.path("x"), .subItems = {{.text = "*.*"}}}});
    lists.duplicates.setNodes(
        {{.text = tree.path("x/a"), .hasChildren = true}, {.text = tree.path("x/b"), .level = 1}});
    writeSet(set, lists);
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"find", "-q", "--json", tree.path("x")}, {"show", set}, {"dump", set + ".~DF~"}}) {
        const Outcome lone = run(cli.program(), args);
        const Outcome beside = corvaneCli(args);
        EXPECT_EQ(lone.status, 0) << lone.err;
        EXPECT_EQ(lone.out, beside.out);
        EXPECT_EQ(lone.err, beside.err);
    }
}

TEST(CliSaveModule, AModuleThatDoesNotLoadOrIsOfAnotherInterfaceIsRefused) {
    const TempTree files;
    const LoneCli broken(files.writeFile("not-a-module", "text, not a shared object"));
    const std::string brokenModule = broken.folder() + "/bin/" CORVANE_SAVE_MODULE_FILE;
    const std::string reason = saveFailureAfterPrinting(broken);
    const std::string cannotLoad = "cannot load the save module " + brokenModule + ": ";
    EXPECT_TRUE(reason.starts_with(cannotLoad) && reason.size() > cannotLoad.size()) << reason;

    const LoneCli foreign(CORVANE_FOREIGN_SAVE_MODULE);
    EXPECT_EQ(saveFailureAfterPrinting(foreign),
              foreign.folder() +
                  "/bin/" CORVANE_SAVE_MODULE_FILE " is the save module of another corvane-cli (interface " +
                  std::to_string(CORVANE_SAVE_MODULE_ABI + 1) + ", this program needs " +
                  std::to_string(CORVANE_SAVE_MODULE_ABI) + ")");
}

} // namespace
} // namespace corvane::testing
