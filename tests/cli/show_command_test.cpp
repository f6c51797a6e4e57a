// corvane-cli find --save and show, run as the real program.

#include "cli/json_output.h"
#include "stream/byte_streams.h"
#include "stream/error.h"
#include "stream/result_set.h"
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

Outcome corvaneCli(std::vector<std::string> args) {
    const TempTree io;
    const std::string out = io.path("out");
    const std::string err = io.path("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::string program = CORVANE_CLI_PATH;
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
    sets.writeFile("r.CVN.~SR~", "TPF1 not a stream");
    run = corvaneCli({"show", set});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "corvane-cli: error: Invalid stream format\n");

    // A row count that promises more than the block holds.
    std::string block = contentsOf(set);
    const size_t count = block.find("ItemData") + 8 + 1 + 4 + 5;
    ASSERT_LT(count, block.size());
    block[count] = 100;
    sets.writeFile("r.CVN", block);
    run = corvaneCli({"show", "--json", set});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "corvane-cli: error: Error reading ListView1.Items.ItemData: Stream read error\n");
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

} // namespace
} // namespace corvane::testing
