// The forms `find` prints its groups in: JSON that strict parsers accept and that gives back every
// path's exact bytes, CSV quoted as RFC 4180 says, NUL-separated paths, and the totals on stderr.

#include "cli/group_output.h"
#include "cli/json_reader.h"
#include "support/program_run.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <unistd.h>

namespace corvane::testing {
namespace {

using cli::decodeBase64;
using cli::JsonValue;
using cli::parseStrictJson;

ProgramRun runCli(const std::vector<std::string>& args) {
    return runProgram(CORVANE_CLI_PATH, args);
}

// The rows of an RFC 4180 text whose records end in a line feed.
std::vector<std::vector<std::string>> readCsv(std::string_view text) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"' && field.empty()) {
            quoted = true;
        } else if (c == ',') {
            row.push_back(std::move(field));
            field.clear();
        } else if (c == '\n') {
            row.push_back(std::move(field));
            field.clear();
            rows.push_back(std::move(row));
            row.clear();
        } else {
            field += c;
        }
    }
    EXPECT_TRUE(field.empty() && row.empty() && !quoted) << "the last record is not ended";
    return rows;
}

// A path of a JSON group: the exact bytes where the text is not enough.
std::string exactPath(const JsonValue& object, const std::string& key, size_t index = SIZE_MAX) {
    const JsonValue text = index == SIZE_MAX ? object[key] : object[key][index];
    if (!object.has(key + "_base64")) {
        return std::string(text.text());
    }
    const JsonValue bytes = index == SIZE_MAX ? object[key + "_base64"] : object[key + "_base64"][index];
    if (bytes.kind() == JsonValue::Kind::Null) {
        return std::string(text.text());
    }
    const std::optional<std::string> decoded = decodeBase64(bytes.text());
    EXPECT_TRUE(decoded) << bytes.text();
    return decoded.value_or("");
}

TEST(FindOutput, JsonIsStrictlyValidAndGivesBackEveryPathByteForByte) {
    TempTree tree;
    // Names that are not UTF-8, one that looks like what they show as (U+FFFD), a line break,
    // a quote, a backslash and a control character; and a hard link, whose bytes count once.
    const std::vector<std::string> same{"bad\xff",     "bad\xef\xbf\xbd", "two\nlines",     "q\"b\\s",
                                        "ctl\x01\x7f", "cut\xc3",         "sur\xed\xa0\x80"};
    for (const std::string& name : same) {
        tree.writeFile(name, "same");
    }
    tree.writeFile("big1", "larger contents");
    tree.writeFile("big2", "larger contents");
    ASSERT_EQ(::link(tree.path("big1").c_str(), tree.path("big3").c_str()), 0);

    const ProgramRun run = runCli({"find", "-q", "--json", tree.root()});
    ASSERT_EQ(run.status, 0) << run.err;
    std::string error;
    const std::optional<cli::JsonDocument> document = parseStrictJson(run.out, &error);
    ASSERT_TRUE(document) << error << "\n" << run.out;
    const JsonValue json = document->root();
    EXPECT_EQ(json["searched"].wholeNumber(), 10);
    EXPECT_EQ(json["duplicates"].wholeNumber(), 8);
    // 6 duplicates of 4 bytes, and of the larger group only big2 takes bytes of its own.
    EXPECT_EQ(json["reclaimable"].wholeNumber(), 6 * 4 + 15);
    const JsonValue groups = json["groups"];
    ASSERT_EQ(groups.items().size(), 2u);

    std::set<std::string> expected;
    for (const std::string& name : same) {
        expected.insert(tree.path(name));
    }
    std::set<std::string> recovered;
    EXPECT_EQ(groups[0]["size"].wholeNumber(), 4);
    recovered.insert(exactPath(groups[0], "original"));
    for (size_t i = 0; i < groups[0]["duplicates"].items().size(); ++i) {
        recovered.insert(exactPath(groups[0], "duplicates", i));
    }
    EXPECT_EQ(recovered, expected);
    // Exact texts carry no bytes beside them.
    EXPECT_FALSE(groups[1].has("original_base64"));
    EXPECT_FALSE(groups[1].has("duplicates_base64"));
    EXPECT_EQ(groups[1]["size"].wholeNumber(), 15);
    EXPECT_EQ(exactPath(groups[1], "original"), tree.path("big1"));

    EXPECT_NE(run.err.find("Duplicate files: 8, File Searched: 10\nDuplicates occupy: 39 bytes\n"),
              std::string::npos)
        << run.err;
}

TEST(FindOutput, CsvQuotesCommasQuotesAndLineBreaks) {
    TempTree tree;
    tree.writeFile("a,comma", "12345");
    tree.writeFile("b\"quote", "12345");
    tree.writeFile("c\nbreak\r\n", "12345");
    tree.writeFile("d plain", "12345");
    tree.writeFile("e1", "xy");
    tree.writeFile("e2", "xy");

    const ProgramRun run = runCli({"find", "-q", "--format", "csv", tree.root()});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::vector<std::string>> rows = readCsv(run.out);
    const std::vector<std::vector<std::string>> expected{
        {"group", "size", "role", "path"},
        {"1", "2", "original", tree.path("e1")},
        {"1", "2", "duplicate", tree.path("e2")},
        {"2", "5", "original", tree.path("a,comma")},
        {"2", "5", "duplicate", tree.path("b\"quote")},
        {"2", "5", "duplicate", tree.path("c\nbreak\r\n")},
        {"2", "5", "duplicate", tree.path("d plain")},
    };
    EXPECT_EQ(rows, expected) << run.out;

    EXPECT_EQ(cli::csvField("plain name"), "plain name");
    EXPECT_EQ(cli::csvField("a,b"), "\"a,b\"");
    EXPECT_EQ(cli::csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(cli::csvField("cr\rlf\n"), "\"cr\rlf\n\"");
    EXPECT_EQ(cli::csvField("\xff raw"), "\xff raw");
}

TEST(FindOutput, NullSeparatedPathsKeepLineBreaksAndMarkGroups) {
    TempTree tree;
    tree.writeFile("one\nname", "aa");
    tree.writeFile("one\nname2", "aa");
    tree.writeFile("x", "bbb");
    tree.writeFile("y\n", "bbb");

    const ProgramRun run = runCli({"find", "-q", "-0", tree.root()});
    ASSERT_EQ(run.status, 0) << run.err;
    using namespace std::string_literals;
    EXPECT_EQ(run.out, tree.path("one\nname") + "\0"s + tree.path("one\nname2") + "\0\0"s + tree.path("x") +
                           "\0"s + tree.path("y\n") + "\0"s);
    EXPECT_EQ(runCli({"find", "-q", "--null", tree.root()}).out, run.out);
    // Without the first paths, one flat list: no empty name for xargs -0 between the groups.
    EXPECT_EQ(runCli({"find", "-q", "-0f", tree.root()}).out,
              tree.path("one\nname2") + "\0"s + tree.path("y\n") + "\0"s);
}

TEST(FindOutput, FormatsThatContradictEachOtherAreUsageErrors) {
    TempTree tree;
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"find", "-0", "--json", tree.root()},
                                               {"find", "--format", "csv", "-0", tree.root()},
                                               {"find", "--json", "--format", "csv", tree.root()},
                                               {"find", "--format", "xml", tree.root()},
                                               {"find", tree.root(), "--format"}}) {
        const ProgramRun run = runCli(args);
        EXPECT_EQ(run.status, 2) << args[1];
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(runCli({"find", "-q", "--json", "--format", "json", tree.root()}).status, 0);
}

} // namespace
} // namespace corvane::testing
