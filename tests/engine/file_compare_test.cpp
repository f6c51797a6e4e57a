#include "engine/content_classes.h"
#include "engine/engine_harness.h"
#include "platform/file_info.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <new>
#include <random>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::testing {
namespace {

using engine::StringList;
using Reports = std::vector<std::string>;

TEST(comparer_, TwoIdenticalFilesAreOneGroup) {
    TempTree tree;
    const auto a = tree.writeFile("a", "same");
    const auto b = tree.writeFile("b", "same");
    const CompareRecord record = runCompare({a, b});
    EXPECT_EQ(record.reports, (Reports{"group " + a + "|" + b, "progress 1 2 1", "end 2 1"}));
    EXPECT_FALSE(record.busyAtEnd);
}

TEST(comparer_, ThreeIdenticalFilesAreOneGroupCountedTwice) {
    TempTree tree;
    const auto a = tree.writeFile("a", "xyz");
    const auto b = tree.writeFile("b", "xyz");
    const auto c = tree.writeFile("c", "xyz");
    const CompareRecord record = runCompare({a, b, c});
    EXPECT_EQ(record.reports,
              (Reports{"group " + a + "|" + b + "|" + c, "progress 1 3 1", "progress 2 3 2", "end 3 2"}));
}

TEST(comparer_, OnlyRunsOfEqualSizeAreCompared) {
    TempTree tree;
    const auto a = tree.writeFile("a", "0123456789");
    const auto b = tree.writeFile("b", "0123456789");
    const auto c = tree.writeFile("c", "01234567890123456789");
    const auto d = tree.writeFile("d", "0123456789012345678X");
    const CompareRecord record = runCompare({a, b, c, d});
    EXPECT_EQ(record.reports, (Reports{"group " + a + "|" + b, "progress 1 4 1", "progress 2 4 1",
                                       "progress 3 4 1", "end 4 1"}));
}

TEST(comparer_, DifferentFileInsideARunDoesNotSplitTheGroup) {
    TempTree tree;
    const auto a = tree.writeFile("a", "abc");
    const auto x = tree.writeFile("x", "abd");
    const auto b = tree.writeFile("b", "abc");
    const CompareRecord record = runCompare({a, x, b});
    EXPECT_EQ(record.reports,
              (Reports{"group " + a + "|" + b, "progress 1 3 1", "progress 2 3 1", "end 3 1"}));
}

TEST(comparer_, UnreadableEntriesArePassedOver) {
    TempTree tree;
    const auto a = tree.writeFile("a", std::string(4096, 'q'));
    const auto gone = tree.writeFile("gone", std::string(4096, 'q'));
    const auto folder = tree.makeDir("folder"); // reported by a pattern that matched its name
    const auto b = tree.writeFile("b", std::string(4096, 'q'));
    ASSERT_EQ(unlink(gone.c_str()), 0);                    // removed since the scan
    ASSERT_EQ(mkfifo(tree.path("pipe").c_str(), 0600), 0); // would block a reader for ever
    const auto pipe = tree.path("pipe");

    const CompareRecord record = runCompare({a, gone, folder, pipe, b});
    EXPECT_EQ(record.reports.front(), "group " + a + "|" + b);
    EXPECT_EQ(record.reports.back(), "end 5 1");
}

TEST(comparer_, EmptyFilesAreIdenticalAndTheLastEntryCounts) {
    TempTree tree;
    const auto x = tree.writeFile("x", "x");
    const auto e1 = tree.writeFile("e1", "");
    const auto e2 = tree.writeFile("e2", "");
    const CompareRecord record = runCompare({e1, x, e2});
    // x has another size and so ends the run: the two empty files never meet.
    EXPECT_EQ(record.reports.back(), "end 3 0");
    EXPECT_EQ(runCompare({x, e1, e2}).reports,
              (Reports{"progress 1 3 0", "group " + e1 + "|" + e2, "progress 2 3 1", "end 3 1"}));
}

TEST(comparer_, FilesOfSizeZeroThatHoldBytesAreNotEmpty) {
    // The system's generated files tell a size of 0 and still give bytes when read.
    StringList generated;
    for (const char* path :
         {"/proc/sys/kernel/random/uuid", "/proc/sys/kernel/random/boot_id", "/proc/self/status"}) {
        const auto info = platform::lookupFile(path);
        if (info && info->size == 0 && access(path, R_OK) == 0) {
            generated.push_back(path);
        }
    }
    if (generated.size() < 2) {
        GTEST_SKIP() << "no readable files of size 0 that hold bytes under /proc";
    }
    TempTree tree;
    const auto e1 = tree.writeFile("e1", "");
    const auto e2 = tree.writeFile("e2", "");
    StringList list{e1};
    for (std::string_view path : generated) {
        list.push_back(path);
    }
    list.push_back(e2);
    const CompareRecord record = runCompare(list, std::vector<int64_t>(list.size(), 0));
    ASSERT_FALSE(record.reports.empty());
    EXPECT_EQ(record.reports.front(), "group " + e1 + "|" + e2);
    EXPECT_EQ(record.reports.back(), "end " + std::to_string(list.size()) + " 1");
}

TEST(comparer_, SizesThatDifferByFourGibibytesAreNotARun) {
    TempTree tree;
    const auto small = tree.writeFile("small", "");
    const auto large = tree.writeFile("large", "");
    ASSERT_EQ(truncate(small.c_str(), 1), 0);
    ASSERT_EQ(truncate(large.c_str(), (int64_t{1} << 32) + 1), 0);
    EXPECT_EQ(runCompare({small, large}).reports, (Reports{"progress 1 2 0", "end 2 0"}));
}

TEST(comparer_, ListsTooShortToCompareOnlyEnd) {
    TempTree tree;
    EXPECT_EQ(runCompare({}).reports, (Reports{"end 0 0"}));
    EXPECT_EQ(runCompare({tree.writeFile("only", "1")}).reports, (Reports{"end 1 0"}));
}

TEST(comparer_, AFileIsNeverADuplicateOfItself) {
    TempTree tree;
    const auto a = tree.writeFile("dir/a", "same");
    const auto spelledAgain = tree.path("dir/../dir/./a");
    const auto hardLink = tree.path("dir/hard");
    ASSERT_EQ(link(a.c_str(), hardLink.c_str()), 0);

    // The same path twice, and a second spelling of it: nothing to report.
    EXPECT_EQ(runCompare({a, a}).reports, (Reports{"progress 1 2 0", "end 2 0"}));
    EXPECT_EQ(runCompare({a, spelledAgain}).reports, (Reports{"progress 1 2 0", "end 2 0"}));
    // A hard link is a second directory entry with the same contents: a duplicate.
    EXPECT_EQ(runCompare({a, hardLink}).reports,
              (Reports{"group " + a + "|" + hardLink, "progress 1 2 1", "end 2 1"}));

    // Through a linked folder: one file, reported once whichever path comes first, and its hard
    // link still a duplicate of it.
    const auto linked = tree.path("linked");
    ASSERT_EQ(symlink("dir", linked.c_str()), 0);
    const auto throughLink = tree.path("linked/a");
    const auto copy = tree.writeFile("copy", "same");
    EXPECT_EQ(runCompare({a, throughLink}).reports, (Reports{"progress 1 2 0", "end 2 0"}));
    EXPECT_EQ(runCompare({copy, a, throughLink}).reports,
              (Reports{"group " + copy + "|" + a, "progress 1 3 1", "progress 2 3 1", "end 3 1"}));
    EXPECT_EQ(runCompare({throughLink, copy, a, hardLink}).reports,
              (Reports{"group " + throughLink + "|" + copy + "|" + hardLink, "progress 1 4 1",
                       "progress 2 4 2", "progress 3 4 2", "end 4 2"}));
}

TEST(comparer_, LargeFilesAreComparedToTheirLastByte) {
    TempTree tree;
    const size_t size = 3 * engine::ContentClasses::kLargestChunk + 123;
    const std::string base(size, 'z');
    std::string lastDiffers = base;
    lastDiffers.back() = 'y';
    std::string middleDiffers = base;
    middleDiffers[size / 2] = 'y';
    const auto a = tree.writeFile("a", base);
    const auto b = tree.writeFile("b", lastDiffers);
    const auto c = tree.writeFile("c", middleDiffers);
    const auto d = tree.writeFile("d", base);
    const CompareRecord record = runCompare({a, b, c, d});
    EXPECT_EQ(record.reports.front(), "group " + a + "|" + d);
    EXPECT_EQ(record.reports.back(), "end 4 1");
}

TEST(comparer_, FilesReadAheadAreComparedToTheirLastByte) {
    // Past the size from which members are read ahead, and across a window of reading ahead:
    // the bytes the system was asked for early are the bytes compared.
    TempTree tree;
    const auto size =
        static_cast<size_t>(engine::ContentClasses::kReadAhead + 5 * engine::ContentClasses::kLargestChunk);
    std::string base(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        base[i] = static_cast<char>(i * 131 + i / 4096);
    }
    std::string pastTheWindow = base;
    pastTheWindow[static_cast<size_t>(engine::ContentClasses::kReadAhead) + 7] ^= 1;
    std::string beforeTheTail = base;
    beforeTheTail[size - engine::ContentClasses::kEndBlock - 1] ^= 1;
    const auto a = tree.writeFile("a", base);
    const auto b = tree.writeFile("b", pastTheWindow);
    const auto c = tree.writeFile("c", beforeTheTail);
    const auto d = tree.writeFile("d", base);
    const auto e = tree.writeFile("e", pastTheWindow);
    const CompareRecord record = runCompare({a, b, c, d, e});
    std::vector<std::string> groups;
    for (const std::string& report : record.reports) {
        if (report.starts_with("group ")) {
            groups.push_back(report);
        }
    }
    EXPECT_EQ(groups, (std::vector<std::string>{"group " + a + "|" + d, "group " + b + "|" + e}));
}

TEST(comparer_, GroupComesBeforeTheProgressOfItsPosition) {
    TempTree tree;
    const auto u = tree.writeFile("u", "u1");
    const auto a = tree.writeFile("a", "aa");
    const auto b = tree.writeFile("b", "aa");
    EXPECT_EQ(runCompare({u, a, b}).reports,
              (Reports{"progress 1 3 0", "group " + a + "|" + b, "progress 2 3 1", "end 3 1"}));
}

TEST(comparer_, StopLeavesAfterTheProgressReport) {
    TempTree tree;
    StringList list;
    for (int i = 0; i < 6; ++i) {
        list.push_back(tree.writeFile("f" + std::to_string(i), "same"));
    }
    auto ui = std::make_shared<engine::QueuedUiThread>();
    engine::DuplicateComparer compare(ui);
    CompareRecord record;
    recordCompare(compare, record);
    const auto recordProgress = compare.onCompareProgress;
    compare.onCompareProgress = [&](int32_t position, int32_t count, int32_t found) {
        recordProgress(position, count, found);
        if (position == 2) {
            compare.stop();
        }
    };
    compare.setFileList(list);
    compare.start();
    ASSERT_TRUE(ui->runUntil([&] { return record.endReports > 0; }, kGenerousTimeout));
    EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
    ASSERT_EQ(record.reports.size(), 4u);
    EXPECT_EQ(record.reports[1], "progress 1 6 1");
    EXPECT_EQ(record.reports[2], "progress 2 6 2");
    EXPECT_EQ(record.reports[3], "end 6 2");
    EXPECT_FALSE(record.busyAtEnd);
}

// The first look at every file's start reports how far it is before any position does, and a stop
// asked for while it runs ends the comparison there.
TEST(comparer_, FirstLookReportsComeFirstAndAStopDuringItEndsTheRun) {
    TempTree tree;
    StringList list;
    for (int i = 0; i < 1200; ++i) {
        list.push_back(tree.writeFile("f" + std::to_string(i), i % 2 ? "same" : "also"));
    }
    for (const bool stopInFirstLook : {false, true}) {
        auto ui = std::make_shared<engine::QueuedUiThread>();
        engine::DuplicateComparer compare(ui);
        CompareRecord record;
        recordCompare(compare, record);
        compare.runProgressInterval = std::chrono::milliseconds(0);
        compare.onFirstLookProgress = [&](int32_t read, int32_t count) {
            record.reports.push_back("look " + std::to_string(read) + " " + std::to_string(count));
            if (stopInFirstLook) {
                compare.stop();
            }
        };
        compare.setFileList(list);
        compare.start();
        ASSERT_TRUE(ui->runUntil([&] { return record.endReports > 0; }, kGenerousTimeout));
        EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
        ASSERT_FALSE(record.reports.empty());
        EXPECT_EQ(record.reports.front().rfind("look ", 0), 0u) << record.reports.front();
        if (stopInFirstLook) {
            for (const std::string& report : record.reports) {
                EXPECT_NE(report.rfind("group ", 0), 0u) << "no group after a stop in the first look";
            }
            EXPECT_EQ(record.reports.back(), "end 1200 0");
            continue;
        }
        int32_t lastRead = 0;
        size_t looks = 0;
        for (; looks < record.reports.size() && record.reports[looks].rfind("look ", 0) == 0; ++looks) {
            int32_t read = 0, count = 0;
            ASSERT_EQ(std::sscanf(record.reports[looks].c_str(), "look %d %d", &read, &count), 2);
            EXPECT_EQ(count, 1200);
            EXPECT_GE(read, lastRead);
            lastRead = read;
        }
        EXPECT_GT(looks, 1u) << "more than one batch of files gives more than one report";
        EXPECT_EQ(record.reports[looks - 1], "look 1200 1200");
        EXPECT_EQ(record.reports.back(), "end 1200 1198");
    }
}

TEST(comparer_, ACopiedListStaysWithTheDriverAndAHandedOverOneGoesToTheWorker) {
    TempTree tree;
    const StringList list{tree.writeFile("a", "1"), tree.writeFile("b", "1")};
    auto ui = std::make_shared<engine::QueuedUiThread>();
    for (const bool handOver : {false, true}) {
        engine::DuplicateComparer compare(ui);
        CompareRecord record;
        recordCompare(compare, record);
        if (handOver) {
            compare.setFileList(StringList(list), {1, 1});
        } else {
            compare.setFileList(list, {1, 1});
        }
        compare.start();
        EXPECT_EQ(compare.fileList, handOver ? StringList{} : list);
        EXPECT_EQ(compare.fileSizes.size(), handOver ? 0u : 2u);
        ASSERT_TRUE(ui->runUntil([&] { return record.endReports > 0; }, kGenerousTimeout));
        EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
        EXPECT_EQ(record.reports, (Reports{"group " + std::string(list[0]) + "|" + std::string(list[1]),
                                           "progress 1 2 1", "end 2 1"}))
            << (handOver ? "handed over" : "copied");
    }
}

TEST(comparer_, HandlerFailureEndsTheWalkAndReachesTheEndReport) {
    TempTree tree;
    const auto a = tree.writeFile("a", "1");
    const auto b = tree.writeFile("b", "1");
    const auto c = tree.writeFile("c", "22");
    const auto d = tree.writeFile("d", "22");
    auto ui = std::make_shared<engine::QueuedUiThread>();
    engine::DuplicateComparer compare(ui);
    CompareRecord record;
    recordCompare(compare, record);
    compare.onDuplicateGroup = [](const engine::FoundGroup&) { throw std::runtime_error("handler failed"); };
    compare.setFileList({a, b, c, d});
    compare.start();
    ASSERT_TRUE(ui->runUntil([&] { return record.endReports > 0; }, kGenerousTimeout));
    EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
    EXPECT_EQ(record.reports, (Reports{"end 4 1"}));
    EXPECT_EQ(record.failure, "handler failed");
}

TEST(comparer_, RunThatCannotBeComparedEndsTheWalkAfterTheReportsBeforeIt) {
    TempTree tree;
    const auto e1 = tree.writeFile("e1", "");
    const auto e2 = tree.writeFile("e2", "");
    const auto x1 = tree.writeFile("x1", "x");
    const auto x2 = tree.writeFile("x2", "x");
    auto ui = std::make_shared<engine::QueuedUiThread>();
    engine::DuplicateComparer compare(ui);
    CompareRecord record;
    recordCompare(compare, record);
    // Empty files need no memory to compare; two bytes need room for two.
    compare.memoryBudget = 1;
    compare.setFileList({e1, e2, x1, x2});
    compare.start();
    ASSERT_TRUE(ui->runUntil([&] { return record.endReports > 0; }, kGenerousTimeout));
    EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
    EXPECT_EQ(record.reports,
              (Reports{"group " + e1 + "|" + e2, "progress 1 4 1", "progress 2 4 1", "end 4 1"}));
    EXPECT_EQ(record.failure, "Out of memory");
    EXPECT_FALSE(record.busyAtEnd);
}

TEST(comparer_, DestroyingTheDriverMidRunIsSafe) {
    TempTree tree;
    StringList list;
    for (int i = 0; i < 200; ++i) {
        list.push_back(tree.writeFile("f" + std::to_string(i), std::to_string(i % 7)));
    }
    auto ui = std::make_shared<engine::QueuedUiThread>();
    int reportsAfterDestruction = 0;
    bool destroyed = false;
    {
        auto compare = std::make_unique<engine::DuplicateComparer>(ui);
        int progress = 0;
        compare->onCompareProgress = [&](int32_t, int32_t, int32_t) {
            reportsAfterDestruction += destroyed;
            ++progress;
        };
        compare->onCompareFinished = [&](const engine::CompareEnd&) { reportsAfterDestruction += destroyed; };
        compare->setFileList(list);
        compare->start();
        ASSERT_TRUE(ui->runUntil([&] { return progress >= 5; }, kGenerousTimeout));
        compare.reset();
        destroyed = true;
    }
    ui->runUntil([] { return engine::WorkerThread::liveCount() == 0; }, kGenerousTimeout);
    EXPECT_EQ(engine::WorkerThread::liveCount(), 0);
    EXPECT_EQ(reportsAfterDestruction, 0);
}

// ------------------------------------------------------------------------------------------------
// The comparer against a plain model of the walk: for every position, every later file of its
// run with the same contents is a candidate, and unreadable files are passed over.

CompareRecord modelOfTheWalk(const StringList& list, const std::vector<std::string>& contents,
                             const std::vector<bool>& readable) {
    CompareRecord record;
    int found = 0;
    std::vector<std::string> reported;
    const auto isReported = [&](const std::string& p) {
        return std::find(reported.begin(), reported.end(), p) != reported.end();
    };
    const size_t n = list.size();
    for (size_t i = 0; n >= 2 && i + 1 < n; ++i) {
        bool any = false;
        std::string line = "group " + std::string(list[i]);
        bool lineHasDuplicates = false;
        for (size_t a = i + 1; a < n && contents[a].size() == contents[i].size(); ++a) {
            if (readable[i] && readable[a] && contents[a] == contents[i]) {
                any = true;
                const std::string candidate(list[a]);
                if (!isReported(candidate)) {
                    reported.push_back(candidate);
                    line += "|" + candidate;
                    lineHasDuplicates = true;
                }
            }
        }
        if (any) {
            ++found;
            if (lineHasDuplicates) {
                record.reports.push_back(line);
            }
        }
        record.reports.push_back("progress " + std::to_string(i + 1) + " " + std::to_string(n) + " " +
                                 std::to_string(found));
    }
    record.reports.push_back("end " + std::to_string(n) + " " + std::to_string(found));
    return record;
}

TEST(comparer_, AgreesWithAPlainModelOnRandomTrees) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 30; ++round) {
        TempTree tree;
        const int count = 2 + static_cast<int>(random() % 40);
        std::vector<std::string> contents;
        for (int i = 0; i < count; ++i) {
            // Few sizes and few alphabets, so that runs, duplicates and near duplicates abound;
            // some files span several chunks.
            // Sizes around the first and last blocks, which are read before the bytes between them.
            constexpr size_t block = engine::ContentClasses::kEndBlock;
            const std::vector<size_t> sizes{0,
                                            1,
                                            5,
                                            block,
                                            block + 1,
                                            2 * block + 3,
                                            2 * block + engine::ContentClasses::kLargestChunk + 7};
            const size_t size = sizes[random() % sizes.size()];
            std::string text(size, static_cast<char>('a' + random() % 2));
            if (size > 0 && random() % 3 == 0) {
                text[random() % size] = 'z';
            }
            contents.push_back(text);
        }
        std::stable_sort(contents.begin(), contents.end(),
                         [](const std::string& x, const std::string& y) { return x.size() < y.size(); });
        StringList list;
        std::vector<bool> readable;
        for (int i = 0; i < count; ++i) {
            list.push_back(tree.writeFile("f" + std::to_string(i), contents[i]));
            readable.push_back(random() % 8 != 0);
            if (!readable.back()) {
                ASSERT_EQ(unlink(list.c_str(list.size() - 1)), 0);
            }
        }
        // A removed file has no size any more; the model passes it over the same way. With the
        // scan's sizes given, run bounds come from them and the removed files fail when opened.
        const CompareRecord expected = modelOfTheWalk(list, contents, readable);
        EXPECT_EQ(runCompare(list).reports, expected.reports) << "round " << round;
        std::vector<int64_t> sizes;
        for (const std::string& text : contents) {
            sizes.push_back(static_cast<int64_t>(text.size()));
        }
        EXPECT_EQ(runCompare(list, sizes).reports, expected.reports) << "round " << round << ", sizes given";
        // Every first block colliding with every other: the first look leaves everyone in.
        const auto collide = [](const char*, size_t) -> uint64_t { return 7; };
        EXPECT_EQ(runCompare(list, sizes, collide).reports, expected.reports)
            << "round " << round << ", digests colliding";
    }
}

// ------------------------------------------------------------------------------------------------
// The partition itself

TEST(ContentClasses, StopKeepsOnlyClassesComparedToTheEnd) {
    TempTree tree;
    const size_t size = 4 * engine::ContentClasses::kLargestChunk;
    const auto a = tree.writeFile("a", "tiny");
    const auto b = tree.writeFile("b", "tiny");
    const auto big1 = tree.writeFile("big1", std::string(size, 'b'));
    const auto big2 = tree.writeFile("big2", std::string(size, 'b'));

    int polls = 0;
    int pollsBeforeStop = 1000;
    engine::ContentClasses classes([&] { return ++polls > pollsBeforeStop; });
    engine::ContentClasses::Workspace workspace;
    const auto small = classes.split({&a, &b}, 4, workspace);
    EXPECT_TRUE(small.complete);
    EXPECT_EQ(small.classOf, (std::vector<int32_t>{0, 0}));

    polls = 0;
    pollsBeforeStop = 3;
    const auto cut = classes.split({&big1, &big2}, static_cast<int64_t>(size), workspace);
    EXPECT_FALSE(cut.complete);
    EXPECT_EQ(cut.classOf, (std::vector<int32_t>{-1, -1}));
}

TEST(ContentClasses, ManyMembersAreSplitByDigestWithinTheMemoryBudget) {
    // Files that differ at the start, at the end, in the middle, or not at all; with a budget
    // that holds the chunks of a few members only, every wide group goes through the digests.
    TempTree tree;
    constexpr size_t size = 3 * engine::ContentClasses::kEndBlock + 5;
    std::mt19937 random(7);
    std::vector<std::string> contents;
    std::vector<std::string> paths;
    for (int i = 0; i < 40; ++i) {
        std::string text(size, 'x');
        const size_t where[] = {0, size - 1, size / 2};
        if (const int variant = static_cast<int>(random() % 5); variant < 3) {
            text[where[variant]] = static_cast<char>('a' + random() % 3);
        }
        contents.push_back(text);
        paths.push_back(tree.writeFile("f" + std::to_string(i), text));
    }
    std::vector<const std::string*> members;
    for (const std::string& path : paths) {
        members.push_back(&path);
    }
    for (const size_t budget : {engine::ContentClasses::kMemoryBudget, size_t{4096}, size_t{64}}) {
        engine::ContentClasses classes([] { return false; }, budget);
        engine::ContentClasses::Workspace workspace;
        const auto result = classes.split(members, static_cast<int64_t>(size), workspace);
        ASSERT_TRUE(result.complete);
        EXPECT_LE(workspace.capacity(), budget);
        for (size_t a = 0; a < contents.size(); ++a) {
            const auto twins = std::count(contents.begin(), contents.end(), contents[a]);
            EXPECT_EQ(result.classOf[a] >= 0, twins >= 2) << "file " << a << ", budget " << budget;
            for (size_t b = 0; b < a; ++b) {
                EXPECT_EQ(result.classOf[a] >= 0 && result.classOf[a] == result.classOf[b],
                          contents[a] == contents[b])
                    << "files " << b << " and " << a << ", budget " << budget;
            }
        }
    }
}

TEST(ContentClasses, BudgetTooSmallToCompareFailsRatherThanFindingNothing) {
    TempTree tree;
    const auto a = tree.writeFile("a", "z");
    const auto b = tree.writeFile("b", "z");
    engine::ContentClasses::Workspace workspace;
    EXPECT_THROW(engine::ContentClasses([] { return false; }, 1).split({&a, &b}, 1, workspace),
                 std::bad_alloc);
    const auto result = engine::ContentClasses([] { return false; }, 2).split({&a, &b}, 1, workspace);
    EXPECT_EQ(result.classOf, (std::vector<int32_t>{0, 0}));
}

TEST(ContentClasses, FileChangedSinceTheScanJoinsNoClass) {
    TempTree tree;
    const auto a = tree.writeFile("a", "12345");
    const auto b = tree.writeFile("b", "12345");
    const auto grown = tree.writeFile("grown", "123456");
    engine::ContentClasses classes([] { return false; });
    engine::ContentClasses::Workspace workspace;
    const auto result = classes.split({&a, &grown, &b}, 5, workspace);
    EXPECT_EQ(result.classOf[1], -1);
    EXPECT_GE(result.classOf[0], 0);
    EXPECT_EQ(result.classOf[0], result.classOf[2]);
    EXPECT_EQ(result.info[0].size, 5);
}

} // namespace
} // namespace corvane::testing
