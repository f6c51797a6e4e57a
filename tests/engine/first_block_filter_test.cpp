// The first look at every file before the comparison: it may only take out files that no other
// file of their run can equal, and what it lets through is still compared byte for byte.

#include "engine/content_classes.h"
#include "engine/engine_harness.h"
#include "engine/first_block_filter.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <random>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace corvane::testing {
namespace {

using engine::ContentClasses;
using engine::FirstBlockFilter;
using engine::SizeRun;
using engine::StringList;

constexpr size_t kBlock = FirstBlockFilter::kFirstBlock;

// One run over positions [from, to) of the list, all of `size` bytes.
SizeRun runOf(size_t from, size_t to, int64_t size) {
    SizeRun run;
    run.first = from;
    run.size = size;
    for (size_t p = from; p < to; ++p) {
        run.candidates.push_back(static_cast<uint32_t>(p));
    }
    return run;
}

std::vector<std::vector<uint32_t>> candidatesOf(const std::vector<SizeRun>& runs) {
    std::vector<std::vector<uint32_t>> out;
    for (const SizeRun& run : runs) {
        out.push_back(run.candidates);
    }
    return out;
}

uint64_t collidingDigest(const char*, size_t) {
    return 42;
}

void overwrite(const std::string& path, const std::string& contents) {
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(pwrite(fd, contents.data(), contents.size(), 0), static_cast<ssize_t>(contents.size()));
    close(fd);
}

TEST(FirstBlockFilter, TakesOutOnlyFilesWhoseFirstBlockHasNoTwin) {
    TempTree tree;
    const std::string small(100, 's');
    std::string smallOther = small;
    smallOther[0] = 't';
    std::string large(3 * kBlock, 'l');
    std::string largeLate = large; // equal in the first block, different after it
    largeLate[2 * kBlock] = 'x';
    std::string largeEarly = large; // different only within the first block
    largeEarly[kBlock - 1] = 'x';
    const StringList list{tree.writeFile("a/s1", small),      tree.writeFile("b/s2", small),
                          tree.writeFile("c/s3", smallOther), tree.writeFile("a/l1", large),
                          tree.writeFile("b/l2", largeLate),  tree.writeFile("c/l3", largeEarly),
                          tree.writeFile("a/u1", "alone"),    tree.writeFile("b/u2", "other")};
    std::vector<SizeRun> runs{runOf(0, 3, 100), runOf(3, 6, 3 * kBlock), runOf(6, 8, 5)};
    ASSERT_TRUE(FirstBlockFilter{}.sift(list, runs, {}));
    // The run of two unequal files is gone; the large file differing after the first block stays,
    // for the comparison to tell it apart.
    EXPECT_EQ(candidatesOf(runs), (std::vector<std::vector<uint32_t>>{{0, 1}, {3, 4}}));
    EXPECT_EQ(runs[1].first, 3u);

    // The comparison of the same list: only the truly equal files are a group, whatever the
    // digest says.
    for (const engine::BlockDigest digest :
         {engine::BlockDigest(engine::blockDigest), engine::BlockDigest(collidingDigest)}) {
        const std::vector<int64_t> sizes{100, 100, 100, 3 * kBlock, 3 * kBlock, 3 * kBlock, 5, 5};
        const CompareRecord record = runCompare(list, sizes, digest);
        std::vector<std::string> groups;
        for (const std::string& report : record.reports) {
            if (report.starts_with("group ")) {
                groups.push_back(report);
            }
        }
        EXPECT_EQ(groups,
                  (std::vector<std::string>{"group " + std::string(list[0]) + "|" + std::string(list[1])}));
    }
}

TEST(FirstBlockFilter, CollidingDigestsTakeNothingOutAndUncertainRunsStayWhole) {
    TempTree tree;
    StringList list;
    for (int i = 0; i < 4; ++i) {
        list.push_back(
            tree.writeFile("d" + std::to_string(i) + "/f", std::string(10, static_cast<char>('a' + i))));
    }
    // Colliding digests: every member seems to have a twin.
    std::vector<SizeRun> runs{runOf(0, 4, 10)};
    FirstBlockFilter colliding;
    colliding.digest = collidingDigest;
    ASSERT_TRUE(colliding.sift(list, runs, {}));
    EXPECT_EQ(candidatesOf(runs), (std::vector<std::vector<uint32_t>>{{0, 1, 2, 3}}));

    // A member gone, one of another size now, one that is a folder: the run is left to the
    // comparison whole, which tells the unreadable files apart.
    const StringList odd{list[0], list[1], tree.path("gone"), tree.makeDir("folder")};
    for (size_t missing = 2; missing < 4; ++missing) {
        std::vector<SizeRun> whole{runOf(0, 2, 10)};
        whole[0].candidates.push_back(static_cast<uint32_t>(missing));
        ASSERT_TRUE(FirstBlockFilter{}.sift(odd, whole, {}));
        EXPECT_EQ(whole[0].candidates.size(), 3u) << odd[missing];
    }
    std::vector<SizeRun> resized{runOf(0, 2, 9)};
    ASSERT_TRUE(FirstBlockFilter{}.sift(list, resized, {}));
    EXPECT_EQ(candidatesOf(resized), (std::vector<std::vector<uint32_t>>{{0, 1}}));

    // Empty files are not looked at: the comparison finds out whether they are empty.
    std::vector<SizeRun> empty{runOf(0, 2, 0)};
    ASSERT_TRUE(FirstBlockFilter{}.sift(list, empty, {}));
    EXPECT_EQ(candidatesOf(empty), (std::vector<std::vector<uint32_t>>{{0, 1}}));

    // A stop leaves the runs as they were.
    std::vector<SizeRun> stopped{runOf(0, 4, 10)};
    EXPECT_FALSE(FirstBlockFilter{}.sift(list, stopped, [] { return true; }));
    EXPECT_EQ(candidatesOf(stopped), (std::vector<std::vector<uint32_t>>{{0, 1, 2, 3}}));
}

TEST(FirstBlockFilter, AFileChangedAfterTheFirstLookIsComparedAsItIsNow) {
    TempTree tree;
    const std::string text(2 * kBlock, 'q');
    std::string other = text;
    other[0] = 'r';
    const StringList list{tree.writeFile("x/a", text), tree.writeFile("y/b", text),
                          tree.writeFile("z/c", other)};
    std::vector<SizeRun> runs{runOf(0, 3, 2 * kBlock)};
    ASSERT_TRUE(FirstBlockFilter{}.sift(list, runs, {}));
    ASSERT_EQ(candidatesOf(runs), (std::vector<std::vector<uint32_t>>{{0, 1}}));
    // b changes between the look and the comparison, in its first block and after it: a and b
    // are no longer a class. c now equals a, but it was taken out as it was then: it is no part of
    // any class, which is never a false one.
    for (const size_t at : {size_t{5}, kBlock + 5}) {
        std::string changed = text;
        changed[at] = '!';
        overwrite(list.c_str(1), changed);
        overwrite(list.c_str(2), text);
        std::vector<const char*> paths;
        for (uint32_t p : runs[0].candidates) {
            paths.push_back(list.c_str(p));
        }
        ContentClasses::Workspace workspace;
        const ContentClasses::Result result =
            ContentClasses([] { return false; }).split(paths, 2 * kBlock, workspace);
        EXPECT_EQ(result.classOf, (std::vector<int32_t>{-1, -1})) << "changed at " << at;
    }
}

TEST(FirstBlockFilter, ManyFilesInManyFoldersKeepExactlyThoseWithATwin) {
    // More files than one batch, so that both threads read, from folders met in no order.
    std::mt19937 random(8122026);
    TempTree tree;
    StringList list;
    std::vector<std::string> contents;
    const std::vector<size_t> sizes{1, 64, kBlock, kBlock + 1, 3 * kBlock};
    std::vector<SizeRun> runs;
    for (size_t size : sizes) {
        SizeRun run;
        run.first = list.size();
        run.size = static_cast<int64_t>(size);
        for (int i = 0; i < 400; ++i) {
            std::string text(size, 'a');
            // Few variants in the first block, many after it.
            text[random() % std::min(size, kBlock)] = static_cast<char>('b' + random() % 40);
            if (size > kBlock) {
                text[kBlock + random() % (size - kBlock)] = static_cast<char>('b' + random() % 4);
            }
            run.candidates.push_back(static_cast<uint32_t>(list.size()));
            list.push_back(tree.writeFile(
                "d" + std::to_string(random() % 50) + "/f" + std::to_string(list.size()), text));
            contents.push_back(std::move(text));
        }
        runs.push_back(std::move(run));
    }
    std::vector<SizeRun> sifted = runs;
    size_t lastProgress = 0;
    FirstBlockFilter filter;
    filter.onProgress = [&](size_t read, size_t) {
        EXPECT_GE(read, lastProgress);
        lastProgress = read;
    };
    ASSERT_TRUE(filter.sift(list, sifted, {}));
    EXPECT_EQ(lastProgress, list.size());
    // The model: a file stays when another of its run has the same first block.
    std::vector<std::vector<uint32_t>> expected;
    for (const SizeRun& run : runs) {
        std::multiset<std::string> heads;
        const auto head = [&](uint32_t p) { return contents[p].substr(0, kBlock); };
        for (uint32_t p : run.candidates) {
            heads.insert(head(p));
        }
        std::vector<uint32_t> kept;
        for (uint32_t p : run.candidates) {
            if (heads.count(head(p)) >= 2) {
                kept.push_back(p);
            }
        }
        if (kept.size() >= 2) {
            expected.push_back(kept);
        }
    }
    EXPECT_EQ(candidatesOf(sifted), expected);
    // Read in another order (the last file found first), the outcome is the same.
    std::vector<uint32_t> backwards(list.size());
    for (size_t p = 0; p < list.size(); ++p) {
        backwards[p] = static_cast<uint32_t>(list.size() - 1 - p);
    }
    std::vector<SizeRun> siftedBackwards = runs;
    ASSERT_TRUE(FirstBlockFilter{}.sift(list, siftedBackwards, {}, backwards));
    EXPECT_EQ(candidatesOf(siftedBackwards), expected);
}

} // namespace
} // namespace corvane::testing
