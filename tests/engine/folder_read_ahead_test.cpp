// Reading the folders of a scan ahead on many threads: the walk must meet the same folders with
// the same entries in the same order as a walk that reads each folder itself, the first looks
// taken on the way must be the comparer's own, and a stop while they run must end the scan.

#include "engine/duplicate_comparer.h"
#include "engine/engine_harness.h"
#include "engine/file_scanner.h"
#include "engine/folder_reading.h"
#include "engine/folder_walk.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace corvane::testing {
namespace {

using engine::FirstLook;
using engine::FolderReadAhead;
using engine::ScannedFolder;
using engine::ScanPass;

// A tree of folders three deep with up to 80 entries each (more than one piece of lookups), files
// of few sizes and contents, a folder whose name the patterns take, and a link.
class WideTree : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tree_ = new TempTree;
        std::mt19937 random(20261209);
        for (int a = 0; a < 6; ++a) {
            for (int b = 0; b < 5; ++b) {
                const std::string folder = "d" + std::to_string(a) + "/e" + std::to_string(b) + "/";
                const int files = static_cast<int>(random() % 80);
                for (int f = 0; f < files; ++f) {
                    const size_t size = 1 + random() % 6 * 1500;
                    tree_->writeFile(folder + "f" + std::to_string(f) + (f % 3 ? ".a" : ".b"),
                                     std::string(size, static_cast<char>('a' + random() % 3)));
                }
            }
            tree_->writeFile("d" + std::to_string(a) + "/top.a", "top");
        }
        tree_->makeDir("d2/e1/folder.a/inner");
        ASSERT_EQ(symlink("../d1", tree_->path("d3/link.a").c_str()), 0);
    }
    static void TearDownTestSuite() {
        delete tree_;
        tree_ = nullptr;
    }
    static std::vector<ScanPass> passes() {
        return {{tree_->root() + "/", "*"}, {tree_->root() + "/d2/", "*.b"}};
    }
    static TempTree* tree_;
};
TempTree* WideTree::tree_ = nullptr;

// The folders of the passes as a walk that reads each folder itself meets them.
std::vector<ScannedFolder> walkedAlone(const std::vector<ScanPass>& passes) {
    std::vector<ScannedFolder> folders;
    for (const ScanPass& pass : passes) {
        engine::FolderWalk(true).walk(
            pass.root,
            [&](const std::string& path, platform::FolderRelativeName where) {
                return engine::readFolder(path, pass.pattern, where);
            },
            [&](ScannedFolder& folder, bool, bool) {
                folders.push_back(std::move(folder));
                return true;
            },
            [] { return true; });
    }
    return folders;
}

std::vector<ScannedFolder> readAhead(FolderReadAhead& ahead) {
    std::vector<ScannedFolder> folders;
    while (std::optional<ScannedFolder> folder = ahead.next()) {
        folders.push_back(std::move(*folder));
    }
    return folders;
}

TEST_F(WideTree, LookupsOnManyThreadsKeepTheWalksOrder) {
    const std::vector<ScannedFolder> expected = walkedAlone(passes());
    ASSERT_GT(expected.size(), 35u);
    for (const unsigned threads : {1u, 8u}) {
        FolderReadAhead ahead(passes(), true, {}, {}, threads);
        const std::vector<ScannedFolder> got = readAhead(ahead);
        ASSERT_EQ(got.size(), expected.size()) << threads << " threads";
        for (size_t k = 0; k < got.size(); ++k) {
            const ScannedFolder& a = got[k];
            const ScannedFolder& b = expected[k];
            ASSERT_EQ(a.path, b.path) << "folder " << k << ", " << threads << " threads";
            ASSERT_EQ(a.entries.size(), b.entries.size()) << a.path;
            for (size_t i = 0; i < a.entries.size(); ++i) {
                EXPECT_EQ(a.entries[i].name, b.entries[i].name) << a.path;
                ASSERT_EQ(a.details[i].has_value(), b.details[i].has_value()) << a.path << a.entries[i].name;
                if (a.details[i]) {
                    EXPECT_EQ(a.details[i]->kind, b.details[i]->kind);
                    EXPECT_EQ(a.details[i]->size, b.details[i]->size);
                    EXPECT_EQ(a.details[i]->inode, b.details[i]->inode);
                }
            }
            EXPECT_TRUE(a.looks.empty()) << "no look ahead was asked for";
        }
    }
}

TEST_F(WideTree, FilesOfASizeMetBeforeAreLookedAtAsTheComparerWould) {
    engine::FirstLookAhead lookAhead;
    lookAhead.enabled = true;
    lookAhead.maxSize = 6000; // files of 7,501 bytes are left to the comparer
    FolderReadAhead ahead(passes(), true, {}, lookAhead, 8);
    const std::vector<ScannedFolder> folders = readAhead(ahead);
    // By size, over both passes: the second meets the ".b" files of d2 once more.
    std::map<int64_t, std::pair<int, int>> filesAndLooks;
    const auto buffer = std::make_unique<char[]>(engine::FirstBlockFilter::kFirstBlock + 1);
    for (const ScannedFolder& folder : folders) {
        for (size_t i = 0; i < folder.entries.size(); ++i) {
            const auto& info = folder.details[i];
            if (!info) {
                continue;
            }
            const FirstLook look = folder.looks.empty() ? engine::kNotLooked : folder.looks[i];
            const std::string path = folder.path + folder.entries[i].name;
            if (info->kind == platform::EntryKind::Directory) {
                EXPECT_EQ(look, engine::kUncertainLook) << path;
                continue;
            }
            if (info->kind != platform::EntryKind::RegularFile || info->size > lookAhead.maxSize) {
                EXPECT_EQ(look, engine::kNotLooked) << path;
                continue;
            }
            auto& [files, looks] = filesAndLooks[info->size];
            ++files;
            if (look != engine::kNotLooked) {
                ++looks;
                EXPECT_EQ(look, engine::lookAtFirstBlock({platform::kCurrentFolder, path.c_str()}, info->size,
                                                         buffer.get()))
                    << path;
            }
        }
    }
    // Every file but the first met of its size, in whichever order the threads met them.
    ASSERT_FALSE(filesAndLooks.empty());
    for (const auto& [size, counts] : filesAndLooks) {
        EXPECT_EQ(counts.second, counts.first - 1) << "size " << size;
    }
}

TEST_F(WideTree, StopWhileLookingAheadEndsTheScanWithALookPerFileFound) {
    auto ui = std::make_shared<engine::QueuedUiThread>();
    engine::FileScanner scan(ui);
    scan.lookAhead.enabled = true;
    ScanRecord record;
    recordScan(scan, record);
    const auto recordFile = scan.onFileFound;
    scan.onFileFound = [&](const engine::FoundFile& file) {
        recordFile(file);
        if (file.fileCount == 40) {
            scan.stop();
        }
    };
    size_t looks = 0;
    const auto recordEnd = scan.onScanFinished;
    scan.onScanFinished = [&](engine::ScanEnd& end) {
        looks = end.firstLooks.size();
        recordEnd(end);
    };
    scan.searchPaths = {tree_->root()};
    scan.fileTypes = {"*"};
    scan.start();
    ASSERT_TRUE(ui->runUntil([&] { return record.endReports > 0; }, kGenerousTimeout));
    EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
    EXPECT_EQ(record.endReports, 1);
    EXPECT_EQ(record.failure, "");
    EXPECT_LT(record.foundFiles.size(), 100u); // the run ended early
    EXPECT_EQ(looks, record.foundFiles.size());
}

// A search with the first looks taken during the scan, the paths left where the scan put them and
// only their order given to the comparer, reports what the plain comparison of the ordered list does.
TEST_F(WideTree, LooksTakenDuringTheScanLeaveTheGroupsAsTheyWere) {
    for (const bool collide : {false, true}) {
        auto ui = std::make_shared<engine::QueuedUiThread>();
        engine::FileScanner scan(ui);
        scan.lookAhead.enabled = true;
        if (collide) {
            scan.lookAhead.digest = [](const char*, size_t) -> uint64_t { return 9; };
        }
        std::vector<int64_t> sizes;
        engine::StringList found;
        std::deque<FirstLook> looks;
        bool ended = false;
        scan.onFileFound = [&](const engine::FoundFile& file) { sizes.push_back(file.info.size); };
        scan.onScanFinished = [&](engine::ScanEnd& end) {
            found = std::move(end.foundFiles);
            looks = std::move(end.firstLooks);
            ended = true;
        };
        scan.searchPaths = {tree_->root(), tree_->path("d2")};
        scan.fileTypes = {"*", "*.b;*.a"};
        scan.start();
        ASSERT_TRUE(ui->runUntil([&] { return ended; }, kGenerousTimeout));
        ASSERT_EQ(looks.size(), found.size());

        std::vector<uint32_t> order(found.size());
        std::iota(order.begin(), order.end(), 0u);
        std::stable_sort(order.begin(), order.end(),
                         [&](uint32_t a, uint32_t b) { return sizes[a] < sizes[b]; });
        engine::StringList ordered;
        std::vector<int64_t> orderedSizes;
        for (uint32_t row : order) {
            ordered.push_back(found[row]);
            orderedSizes.push_back(sizes[row]);
        }
        const CompareRecord expected = runCompare(ordered, orderedSizes);

        engine::DuplicateComparer compare(ui);
        compare.firstBlockDigest = scan.lookAhead.digest;
        CompareRecord record;
        recordCompare(compare, record);
        compare.setFileList(std::move(found), order, orderedSizes);
        compare.earlierLooks = std::move(looks);
        compare.start();
        ASSERT_TRUE(ui->runUntil([&] { return record.endReports > 0; }, kGenerousTimeout));
        EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
        EXPECT_EQ(record.reports, expected.reports) << (collide ? "colliding digests" : "");
        EXPECT_GT(std::count_if(record.reports.begin(), record.reports.end(),
                                [](const std::string& r) { return r.starts_with("group "); }),
                  3);
    }
}

} // namespace
} // namespace corvane::testing
