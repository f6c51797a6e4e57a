// corvane-cli as scripts drive it: options as users type them, which copy stays by rule and how
// find marks it, paths from a list, actions on an edited JSON report, and the checks made before
// anything starts (a set that cannot be saved, a FOLDER that is not there).

#include "cli/json_output.h"
#include "cli/option_syntax.h"
#include "support/data_home.h"
#include "support/file_contents.h"
#include "support/program_run.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <utime.h>

namespace corvane::testing {
namespace {

namespace fs = std::filesystem;

ProgramRun runCli(const std::vector<std::string>& args) {
    return runProgram(CORVANE_CLI_PATH, args);
}

bool says(const ProgramRun& run, const std::string& text) {
    return run.err.find(text) != std::string::npos;
}

// A file with `contents`, last modified at `modified` (seconds since the epoch).
std::string fileAt(const TempTree& tree, const std::string& name, const std::string& contents,
                   time_t modified) {
    const std::string path = tree.writeFile(name, contents);
    const utimbuf times{modified, modified};
    EXPECT_EQ(::utime(path.c_str(), &times), 0);
    return path;
}

// The actions move files into a trash of the test's own.
class OwnTrash {
    TempTree data_;
    DataHome home_{data_.path("share")};
};

TEST(CliOptionSyntax, JoinedValuesAndBundledFlagsBecomeOneArgumentEach) {
    const auto plain = [](const cli::Arguments& args) {
        return cli::plainArguments(args, cli::findOptions());
    };
    using Args = cli::Arguments;
    EXPECT_EQ(plain({"--min-size=5", "-xq0", "d"}).args, (Args{"--min-size", "5", "-x", "-q", "-0", "d"}));
    EXPECT_EQ(plain({"-t*.c;*.h", "d"}).args, (Args{"-t", "*.c;*.h", "d"}));
    EXPECT_EQ(plain({"-qt", "*.c", "d"}).args, (Args{"-q", "-t", "*.c", "d"}));
    EXPECT_EQ(plain({"--types=", "d"}).args, (Args{"--types", "", "d"}));
    EXPECT_EQ(plain({"--keep=newest,first-folder", "-"}).args, (Args{"--keep", "newest,first-folder", "-"}));
    // A value is never an option, and nothing after "--" is.
    const cli::PlainArguments saved = plain({"--save", "-h", "--exclude", "--", "d"});
    EXPECT_FALSE(saved.helpAsked);
    EXPECT_EQ(saved.args, (Args{"--save", "-h", "--exclude", "--", "d"}));
    const cli::PlainArguments after = plain({"-q", "--", "-xq", "--help", "--a=b"});
    EXPECT_FALSE(after.helpAsked);
    EXPECT_EQ(after.args, (Args{"-q", "--", "-xq", "--help", "--a=b"}));
    EXPECT_TRUE(plain({"-qh"}).helpAsked);
    EXPECT_TRUE(plain({"d", "--help"}).helpAsked);
    // Unknown long options are the command's to name; flags take no value; unknown letters fail here.
    EXPECT_EQ(plain({"--bogus=1"}).args, (Args{"--bogus=1"}));
    EXPECT_EQ(plain({"--quiet=yes"}).error, "option --quiet takes no value");
    EXPECT_EQ(plain({"-xz"}).error, "unknown option '-z' in '-xz'");
    EXPECT_EQ(cli::plainArguments({"-n0"}, cli::actionOptions()).args, (Args{"-n", "-0"}));
    EXPECT_EQ(cli::plainArguments({"-n"}, cli::findOptions()).args, (Args{"-n"})); // find names it
}

TEST(CliOptionSyntax, TheProgramReadsEachFormAlikeAndAValueThatLooksLikeHelpIsAValue) {
    TempTree tree;
    tree.writeFile("d/a", "same!");
    tree.writeFile("d/b", "same!");
    tree.writeFile("d/small1", "s");
    tree.writeFile("d/small2", "s");
    const ProgramRun spaced = runCli({"find", "--min-size", "5", "-x", "-q", "-0", tree.path("d")});
    const ProgramRun joined = runCli({"find", "--min-size=5", "-xq0", tree.path("d")});
    EXPECT_EQ(spaced.status, 0) << spaced.err;
    EXPECT_EQ(joined.status, 0) << joined.err;
    EXPECT_EQ(joined.out, spaced.out);
    EXPECT_EQ(joined.out, std::string(tree.path("d/a") + '\0' + tree.path("d/b") + '\0'));

    // "--save -h" saves a set named "-h": no help, and the set is there.
    const TempTree work;
    const ProgramRun saved =
        runProgramIn(work.root(), CORVANE_CLI_PATH, {"find", "-q", "--save", "-h", tree.path("d")});
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(saved.out.find("Usage:"), std::string::npos);
    EXPECT_TRUE(fs::exists(work.path("-h")) && fs::exists(work.path("-h.~SR~")) &&
                fs::exists(work.path("-h.~DF~")));

    for (const auto& [args, named] : std::vector<std::pair<cli::Arguments, std::string>>{
             {{"find", "--keep", "newest,bogus", "/"}, "unknown keep rule 'bogus'"},
             {{"find", "--keep=oldest", "--keep=newest", "/"}, "option --keep may be given once"},
             {{"trash", "--json", "/"}, "unknown option '--json'"},
             {{"find", "-f", "--json", "/"}, "option -f goes with the plain list only"},
             {{"trash", "--checked", "/"}, "--checked acts on the files ticked in a result set"},
             {{"trash", "--from-json", "r", "--from", "s"}, "name two sources"},
             {{"link", "--from-json", "r", "-t", "*", "/"}, "--from-json FILE takes no FOLDER"}}) {
        const ProgramRun run = runCli(args);
        EXPECT_EQ(run.status, 2) << args.back();
        EXPECT_TRUE(says(run, named)) << run.err;
        EXPECT_EQ(run.err.substr(run.err.find('\n')), "\nTry 'corvane-cli " + args.front() + " --help'.\n");
    }
}

// Three copies of one content: the oldest in "new", the newest in "old" (the paths lie about it).
struct ThreeCopies {
    TempTree tree;
    std::string middle = fileAt(tree, "a/middle", "contents", 2000);
    std::string newest = fileAt(tree, "old/newest-copy", "contents", 3000);
    std::string oldest = fileAt(tree, "new/x", "contents", 1000);
    std::vector<std::string> folders() const { return {tree.path("a"), tree.path("old"), tree.path("new")}; }
};

std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST(CliKeep, FindMarksTheCopyThatStaysInEveryForm) {
    const ThreeCopies copies;
    const auto find = [&](const std::vector<std::string>& options) {
        const ProgramRun run = runCli(with(with({"find", "-q"}, options), copies.folders()));
        EXPECT_EQ(run.status, 0) << run.err;
        return run.out;
    };
    const std::string& a = copies.middle;
    const std::string& n = copies.newest;
    const std::string& o = copies.oldest;
    // Without --keep, nothing changes: the original (the first found) first.
    EXPECT_EQ(find({}), a + "\n" + n + "\n" + o + "\n");
    EXPECT_EQ(find({"--keep", "newest"}), "+ " + n + "\n- " + a + "\n- " + o + "\n");
    EXPECT_EQ(find({"--keep", "oldest", "-f"}), a + "\n" + n + "\n");
    EXPECT_EQ(find({"--keep", "shortest-path", "-0"}), o + '\0' + a + '\0' + n + '\0');
    EXPECT_EQ(find({"--keep", "longest-path", "-0f"}), a + '\0' + o + '\0');
    EXPECT_EQ(find({"-f"}), n + "\n" + o + "\n");
    EXPECT_EQ(find({"--keep", "first-folder,newest", "--format", "csv"}),
              "group,size,role,path\n1,8,keep," + a + "\n1,8,duplicate," + n + "\n1,8,duplicate," + o + "\n");
    EXPECT_EQ(find({"--keep", "oldest", "--format=csv"}),
              "group,size,role,path\n1,8,keep," + o + "\n1,8,duplicate," + a + "\n1,8,duplicate," + n + "\n");
    const std::string json = find({"--keep", "newest", "--json"});
    EXPECT_NE(json.find("\"files\": [{\"path\": " + cli::jsonString(a) +
                        ", \"keep\": false}, {\"path\": " + cli::jsonString(n) +
                        ", \"keep\": true}, {\"path\": " + cli::jsonString(o) + ", \"keep\": false}]"),
              std::string::npos)
        << json;
    EXPECT_EQ(json.rfind("{\"version\": 2, ", 0), 0u) << json;
}

TEST(CliKeep, EachActionKeepsTheCopyTheRulesChoose) {
    const OwnTrash trash;
    {
        const ThreeCopies copies;
        const ProgramRun run = runCli(with({"trash", "-q", "--keep", "newest"}, copies.folders()));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(fs::exists(copies.newest));
        EXPECT_FALSE(fs::exists(copies.middle) || fs::exists(copies.oldest)) << run.out;
    }
    {
        const ThreeCopies copies;
        const ProgramRun run = runCli(with({"link", "-q", "-n", "--keep=first-folder"}, copies.folders()));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "would link " + copies.newest + " to " + copies.middle + "\nwould link " +
                               copies.oldest + " to " + copies.middle + "\n");
    }
    {
        // A --keep-in folder comes before every rule.
        const ThreeCopies copies;
        const ProgramRun run =
            runCli(with({"trash", "-q", "-n", "--keep", "newest", "--keep-in", copies.tree.path("new")},
                        copies.folders()));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "would trash " + copies.newest + " (" + copies.oldest + " stays)\nwould trash " +
                               copies.middle + " (" + copies.oldest + " stays)\n");
    }
}

TEST(CliFromJson, OnlyWhatTheEditedReportStillListsMovesAndEachAgainstACopyThatStays) {
    const OwnTrash trash;
    TempTree tree;
    const std::string keep = fileAt(tree, "s/k", "content", 1000);
    const std::string dropped = fileAt(tree, "s/dropped", "content", 2000);
    const std::string edited = fileAt(tree, "s/edited", "content", 2000);
    const std::string moves = fileAt(tree, "s/moves", "content", 2000);
    const std::string stranger = tree.writeFile("other/stranger", "another"); // never in a group
    const std::string twin = tree.writeFile("other/twin", "content");         // never searched, but the same

    const ProgramRun find = runCli({"find", "-q", "--json", "--keep", "oldest", tree.path("s")});
    ASSERT_EQ(find.status, 0) << find.err;
    ASSERT_NE(find.out.find("\"path\": " + cli::jsonString(keep) + ", \"keep\": true"), std::string::npos)
        << find.out;
    tree.writeFile("s/edited", "CONTENT"); // changed since the report
    // The user takes "dropped" out of one list only, and adds two paths of their own.
    const auto entry = [](const std::string& path, bool stays) {
        return "{\"path\": " + cli::jsonString(path) + ", \"keep\": " + (stays ? "true}" : "false}");
    };
    const std::string report = "{\"version\": 2, \"groups\": [{\"original\": " + cli::jsonString(dropped) +
                               ", \"duplicates\": [" + cli::jsonString(edited) + ", " +
                               cli::jsonString(moves) + ", " + cli::jsonString(keep) + ", " +
                               cli::jsonString(stranger) + ", " + cli::jsonString(twin) + "], \"files\": [" +
                               entry(edited, false) + ", " + entry(moves, false) + ", " + entry(keep, true) +
                               ", " + entry(stranger, false) + ", " + entry(twin, false) + "]}]}";
    const ProgramRun run = runProgramWithInput(CORVANE_CLI_PATH, {"trash", "--from-json", "-"}, report);
    EXPECT_EQ(run.status, 1) << run.err; // two refusals
    EXPECT_EQ(run.out, "refused " + edited + ": changed since it was compared\ntrashed " + moves +
                           "\nrefused " + stranger + ": changed since it was compared\ntrashed " + twin +
                           "\n");
    EXPECT_EQ(fileContents(keep), "content");
    EXPECT_EQ(fileContents(dropped), "content");
    EXPECT_EQ(fileContents(edited), "CONTENT");
    EXPECT_EQ(fileContents(stranger), "another");
    EXPECT_FALSE(fs::exists(moves) || fs::exists(twin));
}

TEST(CliFromJson, AReportThatIsNoneOrNamesFilesByRelativePathsIsRefusedBeforeAnythingMoves) {
    const OwnTrash trash;
    TempTree tree;
    const std::string a = tree.writeFile("a", "same");
    const std::string b = tree.writeFile("b", "same");
    const std::string group =
        "{\"original\": " + cli::jsonString(a) + ", \"duplicates\": [" + cli::jsonString(b) + "]}";
    for (const auto& [report, named] : std::vector<std::pair<std::string, std::string>>{
             {"{\"groups\": [" + group + "]", "is not valid JSON"},
             {"{\"groups\": [" + group + "]}\xff", "is not valid JSON"},
             {std::string(100000, '[') + std::string(100000, ']'), "nested deeper than 256 levels"},
             {"{\"version\": 3, \"groups\": [" + group + "]}", "written by a newer corvane-cli"},
             {"{\"groups\": {}}", "\"groups\" is of the wrong type"},
             {"{\"groups\": [{\"original\": \"a\", \"duplicates\": [\"b\"]}]}", "by a path relative"},
             {"{\"groups\": [{\"original\": " + cli::jsonString(a) + ", \"duplicates\": [" +
                  cli::jsonString(b) + "], \"duplicates_base64\": [\"%%\"]}]}",
              "base64 bytes are not base64"}}) {
        const ProgramRun run = runProgramWithInput(CORVANE_CLI_PATH, {"trash", "--from-json", "-"}, report);
        EXPECT_EQ(run.status, 1) << named;
        EXPECT_TRUE(says(run, named)) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_TRUE(fs::exists(a) && fs::exists(b));
    const ProgramRun missing = runCli({"trash", "--from-json", tree.path("no-report")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(
        says(missing, "Cannot read the report " + tree.path("no-report") + ": No such file or directory"));
    // An older report (no "files", no version) is read by its two lists.
    const ProgramRun old = runProgramWithInput(CORVANE_CLI_PATH, {"trash", "-n", "--from-json", "-"},
                                               "{\"groups\": [" + group + "]}");
    EXPECT_EQ(old.status, 0) << old.err;
    EXPECT_EQ(old.out, "would trash " + b + " (" + a + " stays)\n");
    // A search of relative folders names the folder they start from: its report can be acted on
    // from anywhere.
    const ProgramRun relative = runProgramIn(tree.root(), CORVANE_CLI_PATH, {"find", "-q", "--json", "."});
    ASSERT_NE(relative.out.find("\"base\": " + cli::jsonString(tree.root())), std::string::npos)
        << relative.out;
    const ProgramRun acted =
        runProgramWithInput(CORVANE_CLI_PATH, {"trash", "-n", "--from-json", "-"}, relative.out);
    EXPECT_EQ(acted.status, 0) << acted.err;
    EXPECT_EQ(acted.out, "would trash " + b + " (" + a + " stays)\n");
}

TEST(CliFromJson, NamesOfAnyBytesComeBackExactlyFromFindsReport) {
    const OwnTrash trash;
    TempTree tree;
    const std::string lines = tree.writeFile("two\nlines", "same");
    const std::string broken = tree.writeFile("bad\xff", "same");
    const std::string quoted = tree.writeFile("quote\"back\\slash", "same");
    const ProgramRun find = runCli({"find", "-q", "--json", "--keep", "longest-path", tree.root()});
    ASSERT_EQ(find.status, 0) << find.err;
    const ProgramRun run =
        runProgramWithInput(CORVANE_CLI_PATH, {"trash", "-n", "--from-json", "-"}, find.out);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "would trash " + broken + " (" + quoted + " stays)\nwould trash " + lines + " (" +
                           quoted + " stays)\n");
}

TEST(CliFilesFrom, PathsFromAListOrTheStandardInputAreSearchedWhateverTheirBytes) {
    TempTree tree;
    const std::string lines = tree.writeFile("two\nlines", "same");
    const std::string broken = tree.writeFile("bad\xff", "same");
    const std::string plain = tree.writeFile("dir/plain", "same");
    tree.writeFile("dir/other", "same"); // in a listed folder
    const std::string unlisted = tree.writeFile("unlisted", "same");

    const std::string list = lines + '\0' + broken + '\0' + tree.path("dir") + '\0';
    const ProgramRun nul = runProgramWithInput(CORVANE_CLI_PATH, {"find", "-q0", "--files-from", "-"}, list);
    EXPECT_EQ(nul.status, 0) << nul.err;
    EXPECT_EQ(nul.out, lines + '\0' + broken + '\0' + tree.path("dir/other") + '\0' + plain + '\0');
    EXPECT_EQ(nul.out.find(unlisted), std::string::npos);

    // One path a line from a file, after the FOLDERs, under the pattern in force where the option stood.
    const std::string listFile = tree.writeFile("list", broken + "\n\n" + tree.path("dir") + "\n");
    const ProgramRun lined = runCli({"find", "-q", unlisted, "-t", "p*", "--files-from=" + listFile});
    EXPECT_EQ(lined.status, 0) << lined.err;
    EXPECT_EQ(lined.out, unlisted + "\n" + plain + "\n");

    // An empty list adds nothing, beside FOLDERs or alone (a script's list on a quiet day).
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"find", "-q", "--files-from", "-", unlisted},
          std::vector<std::string>{"find", "-q", "--files-from", "-"}}) {
        const ProgramRun empty = runProgramWithInput(CORVANE_CLI_PATH, args, "\n\n");
        EXPECT_EQ(empty.status, 0) << empty.err;
        EXPECT_EQ(empty.out, "");
        EXPECT_TRUE(says(empty, args.size() == 5 ? "File Searched: 1" : "File Searched: 0")) << empty.err;
    }
    const ProgramRun unreadable = runCli({"find", "--files-from", tree.path("none")});
    EXPECT_EQ(unreadable.status, 2);
    EXPECT_TRUE(says(unreadable, "--files-from " + tree.path("none") + ": No such file or directory"))
        << unreadable.err;
}

TEST(CliChecksFirst, ASetThatCannotBeSavedOrAFolderThatIsNotThereStopsTheRunBeforeItActs) {
    const OwnTrash trash;
    TempTree tree;
    const std::string a = tree.writeFile("d/a", "same");
    const std::string b = tree.writeFile("d/b", "same");

    const ProgramRun save = runCli({"find", "--save", tree.path("no-folder/set.CVN"), tree.path("d")});
    EXPECT_EQ(save.status, 1);
    EXPECT_EQ(save.out, ""); // refused before the search, not after it
    EXPECT_TRUE(says(save, "Cannot create file \"" + tree.path("no-folder/set.CVN") +
                               "\". No such file or directory"))
        << save.err;
    tree.makeDir("taken.CVN.~SR~");
    const ProgramRun taken = runCli({"find", "-q", "--save", tree.path("taken.CVN"), tree.path("d")});
    EXPECT_EQ(taken.status, 1);
    EXPECT_EQ(taken.out, "");
    EXPECT_TRUE(says(taken, "\". Is a directory")) << taken.err;

    for (const std::string command : {"trash", "link", "dedupe"}) {
        const ProgramRun run = runCli({command, "-q", tree.path("d"), tree.path("typo")});
        EXPECT_EQ(run.status, 2) << command;
        EXPECT_TRUE(
            says(run, "cannot search " + tree.path("typo") + ": No such file or directory; nothing was done"))
            << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_TRUE(fs::exists(a) && fs::exists(b));
}

} // namespace
} // namespace corvane::testing
