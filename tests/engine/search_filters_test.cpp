// The filters of a search, applied as both front ends apply them: the exclusions and the one file
// system by the scanner, the further names of one file and the size limits to what it found.

#include "engine/engine_harness.h"
#include "engine/search_filters.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <unistd.h>

namespace corvane::testing {
namespace {

using Paths = std::vector<std::string>;

struct FoundFile {
    std::string path;
    platform::FileInfo info;
};

// A scan of `root` for `pattern` with the scanner's part of `filters`: every file reported, in
// the order found, with what the scan saw of it.
std::vector<FoundFile> scanWith(const engine::SearchFilters& filters, const std::string& root,
                                const std::string& pattern = "*.*") {
    auto ui = std::make_shared<engine::QueuedUiThread>();
    engine::FileScanner scan(ui);
    std::vector<FoundFile> found;
    bool ended = false;
    scan.onFileFound = [&](const engine::FoundFile& file) {
        found.push_back({std::string(file.path), file.info});
    };
    scan.onScanFinished = [&](engine::ScanEnd&) { ended = true; };
    scan.searchPaths = {root};
    scan.fileTypes = {pattern};
    engine::applyToScanner(filters, scan);
    scan.start();
    EXPECT_TRUE(ui->runUntil([&] { return ended; }, kGenerousTimeout)) << "the scan never ended";
    EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
    return found;
}

Paths sorted(Paths paths) {
    std::sort(paths.begin(), paths.end());
    return paths;
}

Paths pathsOf(const std::vector<FoundFile>& files) {
    Paths paths;
    for (const FoundFile& file : files) {
        paths.push_back(file.path);
    }
    return paths;
}

TEST(SearchFilters, ExcludedFoldersAreNotEnteredAndExcludedFilesAreNotFound) {
    TempTree tree;
    tree.writeFile("keep/a.c", "a");
    tree.writeFile("keep/notes.TMP", "b");
    tree.writeFile("keep/cache/inside.c", "c");
    tree.writeFile("keep/deeper/cache/inside.c", "d");
    tree.writeFile("keep/cached.c", "e");
    tree.writeFile("build/out.c", "f");
    tree.writeFile("other/b.c", "g");

    // As a field of the window holds them: blanks around the patterns and empty entries are not
    // patterns. A folder pattern ending in "/*" leaves out the folder itself, not only its files.
    engine::SearchFilters filters;
    filters.excludes = engine::splitPatternList(" */cache/* ;;  *.tmp;" + tree.path("build") + " ; ");
    ASSERT_EQ(filters.excludes.size(), 3u);
    const std::vector<FoundFile> found = scanWith(filters, tree.root());
    EXPECT_EQ(sorted(pathsOf(found)),
              sorted({tree.path("keep"), tree.path("keep/a.c"), tree.path("keep/cached.c"),
                      tree.path("keep/deeper"), tree.path("other"), tree.path("other/b.c")}));

    // Without exclusions the same scan finds them all.
    EXPECT_EQ(scanWith({}, tree.root()).size(), found.size() + 7);
}

TEST(SearchFilters, TheNamesOfOneFileCountOnceAsTheFirstFound) {
    TempTree tree;
    tree.writeFile("a/original", "contents");
    tree.writeFile("b/copy", "contents");
    std::filesystem::create_directories(tree.path("c"));
    ASSERT_EQ(::link(tree.path("a/original").c_str(), tree.path("c/link").c_str()), 0);
    ASSERT_EQ(::link(tree.path("b/copy").c_str(), tree.path("c/link2").c_str()), 0);
    ASSERT_EQ(::link(tree.path("a/original").c_str(), tree.path("c/link3").c_str()), 0);

    const std::vector<FoundFile> found = scanWith({}, tree.root(), "*");
    ASSERT_EQ(found.size(), 8u); // three folders, five names
    engine::FurtherNames names;
    Paths counted;
    for (const FoundFile& file : found) {
        if (!names.isFurtherName(file.info)) {
            counted.push_back(file.path);
        }
    }
    // The scan meets a/ and b/ before c/: their names are the first found.
    EXPECT_EQ(sorted(counted), sorted({tree.path("a"), tree.path("b"), tree.path("c"),
                                       tree.path("a/original"), tree.path("b/copy")}));
    // A name met again (a second path to one file) is a further name as well.
    EXPECT_TRUE(names.isFurtherName(found.back().info));
}

TEST(SearchFilters, SizeLimitsIncludeTheirBoundsAndTheRestIsSearchedButNotCompared) {
    TempTree tree;
    for (const size_t size : {1023, 1024, 1500, 2048, 2049}) {
        tree.writeFile("a" + std::to_string(size), std::string(size, 'x'));
        tree.writeFile("b" + std::to_string(size), std::string(size, 'x'));
    }
    engine::SearchFilters filters;
    filters.minSize = *engine::parseSize("1K");
    filters.maxSize = *engine::parseSize("2k");
    std::vector<FoundFile> found = scanWith(filters, tree.root());
    ASSERT_EQ(found.size(), 10u); // the limits leave the scan alone
    // The comparer takes the files by size, as the ordering step gives them.
    std::stable_sort(found.begin(), found.end(),
                     [](const FoundFile& a, const FoundFile& b) { return a.info.size < b.info.size; });
    engine::StringList compared;
    std::vector<int64_t> sizes;
    for (const FoundFile& file : found) {
        if (filters.compares(file.info.size)) {
            compared.push_back(file.path);
            sizes.push_back(file.info.size);
        }
    }
    const CompareRecord record = runCompare(compared, sizes);
    Paths groups;
    for (const std::string& report : record.reports) {
        if (report.rfind("group ", 0) == 0) {
            groups.push_back(report.substr(6));
        }
    }
    EXPECT_EQ(sorted(groups), sorted({tree.path("a1024") + "|" + tree.path("b1024"),
                                      tree.path("a1500") + "|" + tree.path("b1500"),
                                      tree.path("a2048") + "|" + tree.path("b2048")}));
}

TEST(SearchFilters, PatternListsAndWhatCanMatchAFullPath) {
    EXPECT_EQ(engine::splitPatternList(""), Paths{});
    EXPECT_EQ(engine::splitPatternList(" ; \t;"), Paths{});
    EXPECT_EQ(engine::splitPatternList("*/a b/*;/x"), (Paths{"*/a b/*", "/x"}));
    for (const char* pattern : {"/home/*", "*.tmp", "?tmp/*"}) {
        EXPECT_TRUE(engine::matchesFullPaths(pattern)) << pattern;
    }
    for (const char* pattern : {"", "cache", "node_modules/*"}) {
        EXPECT_FALSE(engine::matchesFullPaths(pattern)) << pattern;
    }
    EXPECT_FALSE(engine::SearchFilters{}.any());
    engine::SearchFilters onlyMaximum;
    onlyMaximum.maxSize = 0;
    EXPECT_TRUE(onlyMaximum.limitsSizes());
    EXPECT_TRUE(onlyMaximum.compares(0));
    EXPECT_FALSE(onlyMaximum.compares(1));
}

} // namespace
} // namespace corvane::testing
