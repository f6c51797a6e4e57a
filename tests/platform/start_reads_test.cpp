// Reading the start of many files in one batch must give, file by file, what reading each alone
// gives: the bytes, a short count at the end of a file, and a failure for what is no regular file
// or cannot be opened, without ever waiting on a FIFO.

#include "platform/file_reader.h"
#include "platform/start_reads.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace corvane::testing {
namespace {

using platform::FolderRelativeName;
using platform::StartReads;

struct Outcome {
    int64_t result = -2;
    std::string bytes;
    friend bool operator==(const Outcome&, const Outcome&) = default;
};

TEST(StartReads, EachFileOfABatchReadsAsItWouldAlone) {
    TempTree tree;
    std::vector<std::string> paths;
    for (const size_t size : {0u, 1u, 100u, 4095u, 4096u, 4097u, 20000u}) {
        std::string text(size, 'q');
        for (size_t i = 0; i < size; ++i) {
            text[i] = static_cast<char>('a' + i * 7 % 26);
        }
        paths.push_back(tree.writeFile("f" + std::to_string(size), text));
    }
    paths.push_back(tree.path("missing"));
    paths.push_back(tree.makeDir("folder"));
    paths.push_back(tree.path("fifo"));
    ASSERT_EQ(mkfifo(paths.back().c_str(), 0600), 0);
    paths.push_back(tree.path("link"));
    ASSERT_EQ(symlink(paths.front().c_str(), paths.back().c_str()), 0);

    constexpr size_t kLongest = 4096;
    for (const size_t capacity : {size_t{1}, size_t{3}, size_t{64}}) {
        StartReads reads(capacity, kLongest);
        // Lengths around the end of each file, and more than can be read at once.
        for (const size_t asked : {size_t{1}, size_t{101}, size_t{4096}, size_t{9000}}) {
            std::vector<Outcome> batched(paths.size());
            for (size_t from = 0; from < paths.size(); from += capacity) {
                std::vector<FolderRelativeName> wheres;
                std::vector<size_t> lengths;
                for (size_t i = from; i < paths.size() && i < from + capacity; ++i) {
                    wheres.push_back({platform::kCurrentFolder, paths[i].c_str()});
                    lengths.push_back(asked);
                }
                reads.read(wheres, lengths, [&](size_t i, int64_t result, const char* bytes) {
                    batched[from + i] = {result,
                                         result > 0 ? std::string(bytes, static_cast<size_t>(result)) : ""};
                });
            }
            for (size_t i = 0; i < paths.size(); ++i) {
                if (paths[i].ends_with("fifo")) {
                    // No start to read from, and no writer: nothing read, at once.
                    EXPECT_LE(batched[i].result, 0);
                    continue;
                }
                std::vector<char> buffer(kLongest);
                const int64_t result = platform::readStartOf({platform::kCurrentFolder, paths[i].c_str()},
                                                             buffer.data(), std::min(asked, kLongest));
                const Outcome alone{
                    result, result > 0 ? std::string(buffer.data(), static_cast<size_t>(result)) : ""};
                EXPECT_EQ(batched[i], alone)
                    << paths[i] << ", " << asked << " bytes asked, batches of " << capacity
                    << (reads.batched() ? " (io_uring)" : " (one at a time)");
            }
        }
    }
}

TEST(StartReads, NamesRelativeToAnOpenFolder) {
    TempTree tree;
    tree.writeFile("sub/a", "alpha");
    tree.writeFile("sub/b", "beta");
    const int folder = open(tree.path("sub").c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folder, 0);
    StartReads reads(4, 4096);
    const std::vector<FolderRelativeName> wheres{{folder, "b"}, {folder, "a"}, {folder, "c"}};
    const std::vector<size_t> lengths{10, 3, 10};
    std::vector<Outcome> got(3);
    reads.read(wheres, lengths, [&](size_t i, int64_t result, const char* bytes) {
        got[i] = {result, result > 0 ? std::string(bytes, static_cast<size_t>(result)) : ""};
    });
    close(folder);
    EXPECT_EQ(got, (std::vector<Outcome>{{4, "beta"}, {3, "alp"}, {-1, ""}}));
}

} // namespace
} // namespace corvane::testing
