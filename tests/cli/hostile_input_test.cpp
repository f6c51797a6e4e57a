// What scripts, mutations and odd names hand the command line: edited find --json reports
// (numbers read exactly or refused, no name with a zero byte, one base64 text per name, several
// files marked to stay, the fuzzer's seeds replayed under its rules), inputs without end, and
// names that would act on a terminal.

#include "cli/json_output.h"
#include "cli/json_reader.h"
#include "cli/json_report.h"
#include "cli/terminal_text.h"
#include "cli/whole_input.h"
#include "platform/error.h"
#include "report_reader_exercise.h"
#include "support/data_home.h"
#include "support/program_run.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace corvane::testing {
namespace {

std::string group(const std::string& members) {
    return "{\"version\": 2, \"groups\": [{" + members + "}]}";
}

TEST(ReportReader, RefusesWhatItCannotReadExactly) {
    const std::string pair = "\"original\": \"/d/a\", \"duplicates\": [\"/d/b\"]";
    for (const auto& [report, says] : std::vector<std::pair<std::string, std::string>>{
             {"{\"version\": 1e999, \"groups\": []}", "its version 1e999 is no version"},
             {"{\"version\": 2.5, \"groups\": []}", "its version 2.5 is no version"},
             {"{\"version\": -9223372036854775809, \"groups\": []}", "is no version"},
             {"{\"version\": 0, \"groups\": []}", "its version 0 is no version"},
             {"{\"version\": 99999999999999999999, \"groups\": []}", "is no version"},
             {"{\"version\": 3, \"groups\": []}", "newer corvane-cli (version 3)"},
             {group("\"original\": \"/d/a\\u0000x\", \"duplicates\": [\"/d/b\"]"), "holds a zero byte"},
             {group(pair + ", \"duplicates_base64\": [\"L2QvYgB4\"]"), "holds a zero byte"},
             {group(pair + ", \"duplicates_base64\": [\"QR==\"]"), "base64 bytes are not base64"},
             {group("\"files\": [{\"path\": \"/a\", \"path\": \"/b\"}]"), "a member name given twice"},
             {std::string(300, '[') + std::string(300, ']'), "nested deeper than 256 levels"}}) {
        try {
            cli::groupsOfReport(report, "r");
            ADD_FAILURE() << "accepted " << report;
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find(says), std::string::npos) << error.what();
        }
    }
}

TEST(ReportReader, EveryFileMarkedToStayStaysAndANameTwiceIsOneFile) {
    using Files = std::vector<std::pair<std::string, bool>>; // path, protected
    for (const auto& [files, expected] : std::vector<std::pair<std::string, Files>>{
             // One marked: it comes first, where the actions keep the original.
             {"{\"path\": \"/t/1\", \"keep\": false}, {\"path\": \"/t/2\", \"keep\": true}",
              {{"/t/2", false}, {"/t/1", false}}},
             // Several marked: each stays, as a file in a folder to keep does.
             {"{\"path\": \"/t/1\", \"keep\": false}, {\"path\": \"/t/2\", \"keep\": true}, "
              "{\"path\": \"/t/3\", \"keep\": true}",
              {{"/t/1", false}, {"/t/2", true}, {"/t/3", true}}},
             // A path named twice is one file, marked if either entry marks it.
             {"{\"path\": \"/t/1\", \"keep\": false}, {\"path\": \"/t/2\", \"keep\": false}, "
              "{\"path\": \"/t/1\", \"keep\": true}",
              {{"/t/1", false}, {"/t/2", false}}}}) {
        const std::vector<engine::FileGroup> groups =
            cli::groupsOfReport(group("\"files\": [" + files + "]"), "r");
        ASSERT_EQ(groups.size(), 1u) << files;
        Files read;
        for (const engine::GroupFile& file : groups[0].files) {
            read.emplace_back(file.path, file.isProtected);
        }
        EXPECT_EQ(read, expected) << files;
    }
}

TEST(ReportReader, TheFuzzersSeedsKeepItsRules) {
    size_t seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(CORVANE_REPORT_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        EXPECT_EQ(exerciseReportReader(bytes.str()), "") << entry.path();
        ++seeds;
    }
    EXPECT_GE(seeds, 5u);
}

TEST(TerminalText, NamesAreShownWithVisibleEscapesThatNeverLookAlike) {
    for (const auto& [bytes, shown] : std::vector<std::pair<std::string, std::string>>{
             {"/photos/\xc3\xa9t\xc3\xa9 2024.jpg", "/photos/\xc3\xa9t\xc3\xa9 2024.jpg"},
             {"a\x1b[31mred\x07", "a\\x1b[31mred\\x07"},
             {"two\nlines\tand\r", "two\\nlines\\tand\\r"},
             {"back\\slash", "back\\\\slash"},
             {"bad\xff\xc3", "bad\\xff\\xc3"},
             {"c1\xc2\x9b"
              "2J\x7f",
              "c1\\xc2\\x9b2J\\x7f"}}) {
        EXPECT_EQ(cli::escapedForTerminal(bytes), shown);
    }
}

TEST(HostileInput, AnActionLineOnATerminalEscapesItsNamesAndAnEndlessInputIsRefused) {
    const TempTree tree;
    const DataHome home(tree.path("share"));
    const std::string odd = tree.writeFile("a\x1b]0;owned\x07", "same");
    const std::string twin = tree.writeFile("b", "same");
    const std::string report =
        tree.writeFile("report.json", "{\"groups\": [{\"original\": " + cli::jsonString(twin) +
                                          ", \"duplicates\": [" + cli::jsonString(odd) + "]}]}");
    // `script` gives the program a terminal, as a user's shell does.
    const ProgramRun shown =
        runProgram("/usr/bin/script",
                   {"-qec", std::string(CORVANE_CLI_PATH) + " trash -n --from-json " + report, "/dev/null"});
    EXPECT_EQ(shown.out.find("\x1b]0;owned"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("would trash " + tree.path("a\\x1b]0;owned\\x07")), std::string::npos)
        << shown.out;

    // Read up to the bound (a second), then refused with it; the bound itself is shown small below.
    const ProgramRun endless = runProgram(CORVANE_CLI_PATH, {"trash", "-n", "--from-json", "/dev/zero"});
    EXPECT_EQ(endless.status, 1);
    EXPECT_NE(endless.err.find("/dev/zero is larger than 1 GiB"), std::string::npos) << endless.err;
    // A line of a list with a zero byte would be searched as the name cut there.
    const std::string list = tree.writeFile("list", twin + std::string("\0", 1) + "x\n" + odd + "\n");
    const ProgramRun zero = runProgram(CORVANE_CLI_PATH, {"find", "--files-from", list});
    EXPECT_EQ(zero.status, 2);
    EXPECT_NE(zero.err.find("a line holds a zero byte"), std::string::npos) << zero.err;

    std::string bytes = "kept";
    EXPECT_EQ(cli::readWholeInput("/dev/zero", bytes, 1 << 20), EFBIG);
    EXPECT_EQ(bytes, "kept");
    EXPECT_EQ(cli::readWholeInput(report, bytes, 1 << 20), 0);
    EXPECT_EQ(bytes.size(), 4 + std::filesystem::file_size(report));
}

} // namespace
} // namespace corvane::testing
