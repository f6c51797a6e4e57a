// corvane-cli find --save and show, run as the real program.

#include "cli/json_output.h"
#include "cli/save_module.h"
#include "stream/byte_streams.h"
#include "stream/error.h"
#include "stream/result_set.h"
#include "support/child_run.h"
#include "support/file_contents.h"
#include "support/program_run.h"
#include "support/small_disk.h"
#include "support/temp_tree.h"
#include "support/unwritable_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace corvane::testing {
namespace {

ProgramRun corvaneCli(const std::vector<std::string>& args) {
    return runProgram(CORVANE_CLI_PATH, args);
}

bool exists(const std::string& path) {
    return std::filesystem::exists(path);
}

TEST(CliResultSets, FindSavesASetThatShowPrintsInFindsOrder) {
    TempTree tree;
    tree.writeFile("z1.txt", "aaaaa");
    tree.writeFile("z2.txt", "aaaaa");
    tree.writeFile("b1.txt", "bbbbbbb");
    tree.writeFile("sub/b2.txt", "bbbbbbb");
    tree.writeFile("alone.txt", "c");
    const TempTree sets;
    const std::string set = sets.path("r.CVN");

    const ProgramRun find = corvaneCli({"find", "-q", "--save", set, "-t", "*.txt", tree.root()});
    ASSERT_EQ(find.status, 0) << find.err;
    // The comparer's order: the smaller files first.
    EXPECT_EQ(find.out, tree.path("z1.txt") + "\n" + tree.path("z2.txt") + "\n\n" + tree.path("b1.txt") +
                            "\n" + tree.path("sub/b2.txt") + "\n");
    EXPECT_TRUE(exists(set) && exists(set + ".~SR~") && exists(set + ".~DF~"));

    const ProgramRun show = corvaneCli({"show", set});
    ASSERT_EQ(show.status, 0) << show.err;
    // The set's tree is ordered by text (b1 first); show gives the groups as find printed them.
    EXPECT_EQ(show.out, "Search paths:\n  " + tree.root() +
                            "\t*.txt\nSearched files: 5\nDuplicate files: 2\n\n" + find.out);
}

// Writes plain data as a set, as the window would.
void writeSet(const std::string& name, stream::MainWindowLists& lists) {
    class PlainFile final : public stream::ResultFileOutput {
    public:
        explicit PlainFile(const std::string& path) : out_(path) {}
        void write(std::span<const uint8_t> bytes) override { out_.write(bytes); }
        void finish() override { out_.close(); }
        void commit() override {}
        void rollBack() noexcept override {}

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

    const ProgramRun show = corvaneCli({"show", "--json", set});
    ASSERT_EQ(show.status, 0) << show.err;
    EXPECT_EQ(show.out,
              "{\"version\": 2, \"searched\": 1, \"duplicates\": 3, \"paths\": [{\"path\": " +
                  cli::jsonString("/p\"q") +
                  ", \"types\": \"*.jpg;*.png\"}, {\"path\": \"/r\", \"types\": \"*.*\"}], \"groups\": ["
                  "{\"original\": \"/p/a\", \"duplicates\": [\"/p/b\", \"/p/c\"], \"checked\": "
                  "{\"original\": false, \"duplicates\": [true, false]}}, "
                  "{\"original\": \"/r/x\", \"duplicates\": [\"/r/y\"], \"checked\": "
                  "{\"original\": true, \"duplicates\": [false]}}]}\n");

    const ProgramRun text = corvaneCli({"show", set});
    EXPECT_EQ(text.out,
              "Search paths:\n  /p\"q\t*.jpg;*.png\n  /r\t*.*\nSearched files: 1\nDuplicate files: 3\n\n"
              "/p/a\n/p/b\n/p/c\n\n/r/x\n/r/y\n");
}

TEST(CliResultSets, CheckedActsOnTheTicksOfTheSetAndNeverOnEveryCopyOfAContent) {
    TempTree tree;
    const std::string a = tree.writeFile("a", "first");
    const std::string b = tree.writeFile("b", "first");
    const std::string c = tree.writeFile("c", "first");
    const std::string x = tree.writeFile("x", "second");
    const std::string y = tree.writeFile("y", "second");
    const TempTree sets;
    const std::string set = sets.path("ticked.CVN");
    stream::MainWindowLists lists;
    lists.searchPaths.setRows({{.caption = tree.root(), .subItems = {{.text = "*.*"}}}});
    // The original a ticked with c, b not; both files of the second group ticked.
    lists.duplicates.setNodes({{.text = a, .stateIndex = stream::kStateChecked, .hasChildren = true},
                               {.text = b, .level = 1},
                               {.text = c, .level = 1, .stateIndex = stream::kStateChecked},
                               {.text = x, .stateIndex = stream::kStateChecked, .hasChildren = true},
                               {.text = y, .level = 1, .stateIndex = stream::kStateChecked}});
    writeSet(set, lists);

    const ProgramRun run = corvaneCli({"link", "-n", "--checked", "--from", set});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "would link " + a + " to " + b + "\nwould link " + c + " to " + b + "\nrefused " + x +
                           ": the last copy of its contents\nrefused " + y +
                           ": the last copy of its contents\n");
    // Without --checked, every duplicate, as before.
    const ProgramRun all = corvaneCli({"link", "-n", "--from", set});
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.out, "would link " + b + " to " + a + "\nwould link " + c + " to " + a + "\nwould link " +
                           y + " to " + x + "\n");

    // A name with a zero byte would end there and name `b` to the system: the set is refused.
    lists.duplicates.setNodes(
        {{.text = a, .hasChildren = true}, {.text = b + std::string("\0", 1), .level = 1}});
    writeSet(set, lists);
    for (const char* action : {"trash", "link", "dedupe"}) {
        const ProgramRun zero = corvaneCli({action, "--from", set});
        EXPECT_EQ(zero.status, 1) << action;
        EXPECT_NE(zero.err.find("with a zero byte in its name"), std::string::npos) << zero.err;
        EXPECT_EQ(zero.out, "");
    }
    EXPECT_TRUE(std::filesystem::exists(b));
}

TEST(CliResultSets, TheFilesOfASetsReferenceFoldersStayAndAreTheCopiesThatStay) {
    TempTree tree;
    const std::string kept = tree.writeFile("archive/a", "first");
    const std::string copy = tree.writeFile("inbox/a", "first");
    const std::string other = tree.writeFile("inbox/b", "second");
    const std::string otherCopy = tree.writeFile("inbox/c", "second");
    const TempTree sets;
    const std::string set = sets.path("reference.CVN");
    stream::MainWindowLists lists;
    lists.searchPaths.setRows({{.caption = tree.path("inbox"), .subItems = {{.text = "*"}}},
                               {.caption = tree.path("archive"),
                                .subItems = {{.text = "*"}},
                                .data = stream::kReferenceFolderRowData}});
    // The reference copy is the group's original and even ticked: it stays all the same.
    lists.duplicates.setNodes({{.text = copy, .stateIndex = stream::kStateChecked, .hasChildren = true},
                               {.text = kept, .level = 1, .stateIndex = stream::kStateChecked},
                               {.text = other, .hasChildren = true},
                               {.text = otherCopy, .level = 1}});
    writeSet(set, lists);

    const ProgramRun run = corvaneCli({"trash", "-n", "--from", set});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "would trash " + copy + " (" + kept + " stays)\nwould trash " + otherCopy + " (" +
                           other + " stays)\n");
    const ProgramRun checked = corvaneCli({"trash", "-n", "--checked", "--from", set});
    EXPECT_EQ(checked.out, "would trash " + copy + " (" + kept + " stays)\n") << checked.err;

    // A reference folder that is gone: nothing is done, since its copies cannot be told.
    std::filesystem::rename(tree.path("archive"), tree.path("moved"));
    const ProgramRun gone = corvaneCli({"trash", "-n", "--from", set});
    EXPECT_EQ(gone.status, 1);
    EXPECT_EQ(gone.out, "");
    EXPECT_NE(gone.err.find("the reference folder " + tree.path("archive") + " of the set"),
              std::string::npos)
        << gone.err;
}

TEST(CliResultSets, ShowOfAMissingOrCorruptSetFailsWithItsMessage) {
    const TempTree sets;
    const std::string set = sets.path("r.CVN");
    ProgramRun run = corvaneCli({"show", set});
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
    std::string block = fileContents(set);
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
    const ProgramRun run = corvaneCli({"find", "-q", "--save", set, tree.root()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find(first), std::string::npos); // the groups are still printed
    EXPECT_NE(run.err.find("corvane-cli: error: " + stream::textTooLongMessage(first)), std::string::npos)
        << run.err;
    EXPECT_FALSE(exists(set) || exists(set + ".~SR~") || exists(set + ".~DF~"));
}

// ------------------------------------------------------------------------------------------------
// A failed save keeps the older set whole

// The bytes of the three files of the set NAME.
std::vector<std::string> setBytes(const std::string& name) {
    return {fileContents(name), fileContents(name + ".~SR~"), fileContents(name + ".~DF~")};
}

// The last line of a run's stderr, after the totals.
std::string lastLine(const std::string& err) {
    const size_t start = err.rfind('\n', err.size() >= 2 ? err.size() - 2 : 0);
    return start == std::string::npos ? err : err.substr(start + 1);
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A first search saved as NAME: a pair of files in a folder of its own.
struct FirstSearch {
    explicit FirstSearch(const std::string& name) {
        tree.writeFile("first/a", "same");
        tree.writeFile("first/b", "same");
        const ProgramRun find = corvaneCli({"find", "-q", "--save", name, tree.root()});
        EXPECT_EQ(find.status, 0) << find.err;
        bytes = setBytes(name);
        shown = corvaneCli({"show", name}).out;
    }
    TempTree tree;
    std::vector<std::string> bytes;
    std::string shown; // what `show` prints of it
};

TEST(CliResultSets, FindSaveOnAFullDiskFailsWithTheReasonAndKeepsTheOlderSet) {
    SmallDisk disk(256 * 1024);
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why();
    }
    const std::string set = disk.path("r.CVN");
    const FirstSearch first(set);
    ASSERT_TRUE(disk.fillLeaving(16 * 1024)) << disk.why();
    // A searched-files list of some 40 KiB.
    TempTree tree;
    for (int i = 0; i < 100; ++i) {
        tree.writeFile(std::string(150, 'n') + std::to_string(i), "file " + std::to_string(i));
    }

    const ProgramRun run = corvaneCli({"find", "-q", "--save", set, tree.root()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(lastLine(run.err),
              "corvane-cli: error: Cannot create file \"" + set + ".~SR~\". No space left on device\n");
    EXPECT_EQ(setBytes(set), first.bytes);
    EXPECT_EQ(namesIn(disk.root()),
              (std::vector<std::string>{"filler", "r.CVN", "r.CVN.~DF~", "r.CVN.~SR~"}));
    EXPECT_EQ(corvaneCli({"show", set}).out, first.shown);
}

TEST(CliResultSets, ASaveThatFailsAtItsSecondFileLeavesTheFirstFileOfTheOlderSet) {
    const TempTree sets;
    const std::string set = sets.path("r.CVN");
    const FirstSearch first(set);
    TempTree second;
    second.writeFile("second/x", "pair");
    second.writeFile("second/y", "pair");

    {
        const UnwritableFile unwritable(set + ".~SR~");
        if (!unwritable.made()) {
            GTEST_SKIP() << unwritable.why();
        }
        const ProgramRun run = corvaneCli({"find", "-q", "--save", set, second.root()});
        EXPECT_EQ(run.status, 1);
        const int reason = ::geteuid() == 0 ? EPERM : EACCES; // immutable for root, read-only otherwise
        EXPECT_EQ(lastLine(run.err), "corvane-cli: error: Cannot create file \"" + set + ".~SR~\". " +
                                         std::strerror(reason) + "\n");
    }
    EXPECT_EQ(setBytes(set), first.bytes);
    EXPECT_EQ(corvaneCli({"show", set}).out, first.shown);

    // A folder in the place of the tree's file: the paths and the files stay the first search's too.
    std::filesystem::remove(set + ".~DF~");
    sets.makeDir("r.CVN.~DF~");
    const ProgramRun run = corvaneCli({"find", "-q", "--save", set, second.root()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(lastLine(run.err),
              "corvane-cli: error: Cannot create file \"" + set + ".~DF~\". Is a directory\n");
    EXPECT_EQ(fileContents(set), first.bytes[0]);
    EXPECT_EQ(fileContents(set + ".~SR~"), first.bytes[1]);
    EXPECT_EQ(namesIn(sets.root()), (std::vector<std::string>{"r.CVN", "r.CVN.~DF~", "r.CVN.~SR~"}));
}

// ------------------------------------------------------------------------------------------------
// Names are bytes

// Taken as text, "\xff" would become U+FFFD, whose UTF-8 is the name of the look-alike beside it.
TEST(CliResultSets, ASavedSetNamesTheFilesItFoundByTheirBytes) {
    TempTree tree;
    const std::string folder = "caf\xe9";
    const std::string raw = tree.writeFile(folder + "/bad\xff", "same");
    const std::string lookAlike = tree.writeFile(folder + "/bad\xef\xbf\xbd", "same");
    const std::string broken = tree.writeFile(folder + "/cut \xe2\x82", "same");
    const TempTree sets;
    const std::string set = sets.path("r\xfe.CVN");

    const ProgramRun find = corvaneCli({"find", "-q", "--save", set, "-t", "*", tree.path(folder)});
    ASSERT_EQ(find.status, 0) << find.err;
    EXPECT_EQ(namesIn(sets.root()),
              (std::vector<std::string>{"r\xfe.CVN", "r\xfe.CVN.~DF~", "r\xfe.CVN.~SR~"}));
    const ProgramRun show = corvaneCli({"show", set});
    ASSERT_EQ(show.status, 0) << show.err;
    // The look-alike was found first, so it is the group's original.
    EXPECT_EQ(show.out, "Search paths:\n  " + tree.path(folder) +
                            "\t*\nSearched files: 3\nDuplicate files: 2\n\n" + find.out);
    for (const std::string& name : {raw, lookAlike, broken}) {
        EXPECT_NE(show.out.find(name + "\n"), std::string::npos) << name;
    }
}

TEST(CliResultSets, UsageErrorsOfSaveAndShowExitWithTwo) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"find", "/tmp", "--save"},
                                                                  {"find", "--save", "", "/tmp"},
                                                                  {"show"},
                                                                  {"show", "a", "b"},
                                                                  {"show", "--x", "a"}}) {
        const ProgramRun run = corvaneCli(args);
        EXPECT_EQ(run.status, 2) << args.back() << run.err;
        EXPECT_NE(run.err.find("\nTry 'corvane-cli " + args.front() + " --help'.\n"), std::string::npos);
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
    const ProgramRun find = runProgram(cli.program(), {"find", "-q", "--save", set, tree.root()});
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
        const ProgramRun lone = runProgram(cli.program(), args);
        const ProgramRun beside = corvaneCli(args);
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
