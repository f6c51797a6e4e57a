#include "cli/commands.h"
#include "cli/json_output.h"
#include "support/deep_folder.h"
#include "support/file_contents.h"
#include "support/program_run.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace corvane::testing {
namespace {

using CliRun = ProgramRun;

CliRun runCli(const std::vector<std::string>& args) {
    return runProgram(CORVANE_CLI_PATH, args);
}

// Runs `find` with `args` in this process under `settings`, its output caught as runCli catches it.
CliRun runFindHere(const std::vector<std::string>& args, const cli::FindSettings& settings) {
    const TempTree io;
    std::fflush(stdout);
    std::fflush(stderr);
    const int savedOut = dup(1);
    const int savedErr = dup(2);
    for (const auto& [fd, name] : {std::pair{1, "out"}, std::pair{2, "err"}}) {
        const int file = open(io.path(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(file, fd);
        close(file);
    }
    CliRun run;
    run.status = cli::runFind(args, settings);
    std::fflush(stdout);
    std::fflush(stderr);
    dup2(savedOut, 1);
    dup2(savedErr, 2);
    close(savedOut);
    close(savedErr);
    run.out = fileContents(io.path("out"));
    run.err = fileContents(io.path("err"));
    return run;
}

TEST(CliFind, PrintsEachGroupOriginalFirstWithBlankLinesBetween) {
    TempTree tree;
    tree.writeFile("pics/a.jpg", "photo");
    tree.writeFile("pics/sub/b.jpg", "photo");
    tree.writeFile("pics/c.png", "other");
    tree.writeFile("pics/d.txt", "photo"); // not a picture: left out by the patterns
    tree.writeFile("docs/x.txt", "text!");
    tree.writeFile("docs/y.txt", "text!");

    const CliRun run =
        runCli({"find", "-t", "*.jpg;*.png", tree.path("pics"), "-t", "*.txt", tree.path("docs")});
    EXPECT_EQ(run.status, 0) << run.err;
    // Equal sizes, so the earlier found of each pair is its original.
    EXPECT_EQ(run.out, tree.path("pics/a.jpg") + "\n" + tree.path("pics/sub/b.jpg") + "\n\n" +
                           tree.path("docs/x.txt") + "\n" + tree.path("docs/y.txt") + "\n");
    EXPECT_NE(run.err.find("Duplicate files: 2, File Searched: 5"), std::string::npos) << run.err;
}

TEST(CliFind, JsonStaysValidForAnyFileName) {
    TempTree tree;
    tree.writeFile("two\nlines", "same");
    tree.writeFile("bad\xff", "same");
    tree.writeFile("quote\"back\\slash", "same");
    const CliRun run = runCli({"find", "--json", tree.root()});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string root = cli::jsonString(tree.root() + "/");
    const std::string prefix = root.substr(0, root.size() - 1);
    const std::string bad = prefix + "bad\xEF\xBF\xBD\"";
    const std::string badBytes = "\"" + cli::base64(tree.path("bad\xff")) + "\"";
    const std::string quote = prefix + "quote\\\"back\\\\slash\"";
    const std::string lines = prefix + "two\\nlines\"";
    EXPECT_EQ(run.out, "{\"version\": 2, \"searched\": 3, \"duplicates\": 2, \"reclaimable\": 8, \"groups\": "
                       "[{\"size\": 4, \"original\": " +
                           bad + ", \"original_base64\": " + badBytes + ", \"duplicates\": [" + quote + ", " +
                           lines + "], \"files\": [{\"path\": " + bad + ", \"path_base64\": " + badBytes +
                           ", \"keep\": true}, {\"path\": " + quote +
                           ", \"keep\": false}, {\"path\": " + lines + ", \"keep\": false}]}]}\n");
}

TEST(CliFind, AMissingFolderIsNamedAndFailsTheRunAfterTheReport) {
    TempTree tree;
    const std::string a = tree.writeFile("here/a", "same");
    const std::string b = tree.writeFile("here/b", "same");
    const CliRun run = runCli({"find", "-q", tree.path("missing"), tree.path("here")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, a + "\n" + b + "\n");
    EXPECT_NE(
        run.err.find("corvane-cli: cannot search " + tree.path("missing") + ": No such file or directory\n"),
        std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("Duplicate files: 1, File Searched: 2"), std::string::npos) << run.err;
}

TEST(CliFind, AFolderSearchedTwiceThroughALinkHoldsEachFileOnce) {
    TempTree tree;
    const auto file = tree.writeFile("folder/f", "x");
    const auto copy = tree.writeFile("copy/g", "x");
    ASSERT_EQ(symlink("folder", tree.path("link").c_str()), 0);
    const CliRun run = runCli({"find", tree.path("folder"), tree.path("link"), tree.path("copy")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, file + "\n" + copy + "\n");
    EXPECT_NE(run.err.find("Duplicate files: 1, File Searched: 3\n"), std::string::npos) << run.err;
}

// A folder mounted a second time in the tree, taken away when the test ends.
class BindMount {
public:
    BindMount(const std::string& source, const std::string& target) : target_(target) {
        if (::geteuid() != 0) {
            why_ = "a bind mount needs root (CI runs these tests as root)";
        } else if (::mount(source.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0) {
            why_ = std::string("cannot bind mount: ") + std::strerror(errno);
        }
    }
    ~BindMount() {
        if (why_.empty()) {
            ::umount2(target_.c_str(), MNT_DETACH);
        }
    }
    BindMount(const BindMount&) = delete;
    BindMount& operator=(const BindMount&) = delete;
    const std::string& why() const { return why_; }

private:
    std::string target_;
    std::string why_;
};

TEST(CliFind, AFileSeenAgainThroughABindMountIsOneFileAndItsHardLinkADuplicate) {
    TempTree tree;
    const auto file = tree.writeFile("t/a/f", "x");
    const auto hardLink = tree.path("t/a/h");
    ASSERT_EQ(link(file.c_str(), hardLink.c_str()), 0);
    const BindMount mount(tree.path("t/a"), tree.makeDir("t/b"));
    if (!mount.why().empty()) {
        GTEST_SKIP() << mount.why();
    }
    const CliRun run = runCli({"find", tree.path("t")});
    EXPECT_EQ(run.status, 0) << run.err;
    // t/b/f and t/b/h are t/a/f and t/a/h again.
    EXPECT_EQ(run.out, file + "\n" + hardLink + "\n");
    EXPECT_NE(run.err.find("Duplicate files: 1, "), std::string::npos) << run.err;
}

TEST(CliFind, FilesDeeperThanAPathCanNameAreSearchedAndCompared) {
    TempTree tree;
    const std::string deep =
        makeDeepFolder(tree.root(), 3 * 4096, {{"a", "deep"}, {"b", "deep"}, {"c", "else"}});
    const CliRun run = runCli({"find", tree.root()});
    EXPECT_EQ(run.status, 0) << run.err;
    // Paths this long are not worth printing when they differ.
    EXPECT_TRUE(run.out == deep + "/a\n" + deep + "/b\n") << run.out.size() << " bytes found";
    EXPECT_EQ(run.err.find("warning"), std::string::npos) << run.err;
}

TEST(CliFind, AComparisonThatFailsIsAnErrorNeverNoDuplicates) {
    TempTree tree;
    tree.writeFile("a", "1");
    tree.writeFile("b", "1");
    cli::FindSettings tight;
    tight.compareMemoryBudget = 1; // comparing two bytes needs room for two
    const CliRun failed = runFindHere({"-q", tree.root()}, tight);
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, "");
    EXPECT_EQ(failed.err, "corvane-cli: error: Out of memory\n");

    const CliRun usual = runFindHere({"-q", tree.root()}, cli::FindSettings{});
    EXPECT_EQ(usual.status, 0) << usual.err;
    EXPECT_EQ(usual.out, tree.path("a") + "\n" + tree.path("b") + "\n");
}

TEST(CliFind, UsageErrorsExitWithTwoAndAReason) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"find"}, {"find", "-t"}, {"find", "--bogus", "x"}, {"find", ""}, {"lose"}}) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, 2) << run.err;
        // One line naming the fault, one naming the help to read.
        const std::string help = args.size() >= 1 && args[0] == "find" ? "find --help" : "--help";
        EXPECT_EQ(run.err.rfind("corvane-cli: ", 0), 0u) << run.err;
        EXPECT_EQ(run.err.substr(run.err.find('\n')), "\nTry 'corvane-cli " + help + "'.\n") << run.err;
    }
    EXPECT_EQ(runCli({"--help"}).status, 0);
    const CliRun version = runCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("corvane-cli ", 0), 0u);
    // A help that could not be written is no success.
    for (const char* asked : {"--help", "--version", "trash --help"}) {
        const CliRun full =
            runProgram("/bin/sh", {"-c", std::string(CORVANE_CLI_PATH) + " " + asked + " >/dev/full"});
        EXPECT_EQ(full.status, 1) << asked;
        EXPECT_NE(full.err.find("cannot write the text: No space left on device"), std::string::npos)
            << full.err;
    }
}

TEST(CliHelp, EachCommandHasItsHelpAndTheManualPageDocumentsEveryOptionOfIt) {
    std::string manual = fileContents(CORVANE_MAN_PAGE);
    // The page's "\-" is a plain "-" in the help.
    for (size_t at = 0; (at = manual.find("\\-", at)) != std::string::npos;) {
        manual.erase(at, 1);
    }
    for (const std::string command : {"find", "trash", "link", "dedupe", "restore", "show", "dump"}) {
        const CliRun run = runCli({command, "--help"});
        EXPECT_EQ(run.status, 0) << command;
        EXPECT_EQ(run.out.rfind("Usage: corvane-cli " + command, 0), 0u) << run.out;
        EXPECT_EQ(runCli({"help", command}).out, run.out);
        EXPECT_EQ(runCli({command, "-q", "-h"}).out, run.out);
        EXPECT_NE(manual.find(".B " + command), std::string::npos) << command;
        // Every long option the help names.
        for (size_t at = 0; (at = run.out.find("--", at)) != std::string::npos;) {
            const size_t end = run.out.find_first_not_of("-abcdefghijklmnopqrstuvwxyz0123456789", at);
            const std::string option = run.out.substr(at, end - at);
            at = end;
            if (option.size() > 2) {
                EXPECT_NE(manual.find(option), std::string::npos) << command << " " << option;
            }
        }
    }
    EXPECT_EQ(runCli({"help", "bogus"}).status, 2);
}

TEST(JsonString, EscapesAndReplacesWhatJsonCannotHold) {
    EXPECT_EQ(cli::jsonString("plain"), "\"plain\"");
    EXPECT_EQ(cli::jsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(cli::jsonString("tab\there\x01"), "\"tab\\there\\u0001\"");
    EXPECT_EQ(cli::jsonString("\xc3\xa9"), "\"\xc3\xa9\"");                                 // é passes
    EXPECT_EQ(cli::jsonString("\xc3"), "\"\xEF\xBF\xBD\"");                                 // cut short
    EXPECT_EQ(cli::jsonString("\xed\xa0\x80"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""); // a surrogate
    EXPECT_EQ(cli::jsonString("\xc0\xaf"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");                 // overlong "/"
}

TEST(JsonString, Base64AndTheBytesBesideTextsThatAreNotExact) {
    EXPECT_EQ(cli::base64(""), "");
    EXPECT_EQ(cli::base64("f"), "Zg==");
    EXPECT_EQ(cli::base64("fo"), "Zm8=");
    EXPECT_EQ(cli::base64("foo"), "Zm9v");
    EXPECT_EQ(cli::base64(std::string("\xff\xfe\x00\x80", 4)), "//4AgA==");
    EXPECT_EQ(cli::jsonPathMember("p", "ok\xc3\xa9"), "\"p\": \"ok\xc3\xa9\"");
    EXPECT_EQ(cli::jsonPathMember("p", "a\xff"), "\"p\": \"a\xEF\xBF\xBD\", \"p_base64\": \"Yf8=\"");
    const std::vector<std::string> paths{"x", "y\xc3"};
    EXPECT_EQ(cli::jsonPathListMembers("d", paths),
              "\"d\": [\"x\", \"y\xEF\xBF\xBD\"], \"d_base64\": [null, \"ecM=\"]");
    EXPECT_EQ(cli::jsonPathListMembers("d", std::vector<std::string>{"x"}), "\"d\": [\"x\"]");
}

} // namespace
} // namespace corvane::testing
