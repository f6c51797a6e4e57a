// Files that change while they are compared: a reading that mixes two versions of a file must
// never make it a copy of a file it never equalled.

#include "engine/content_classes.h"
#include "platform/file_info.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace corvane::testing {
namespace {

using engine::ContentClasses;

// Bytes that differ from block to block, so that no two chunks of a file agree by chance.
std::string patternOfSize(size_t size) {
    std::string text(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        text[i] = static_cast<char>(i * 7 + i / 4096);
    }
    return text;
}

// Writes `contents` over the file at `path` in place (same size): its times move, its inode stays.
void rewrite(const std::string& path, const std::string& contents) {
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(pwrite(fd, contents.data(), contents.size(), 0), static_cast<ssize_t>(contents.size()));
    close(fd);
}

bool sameClass(const ContentClasses::Result& result, size_t a, size_t b) {
    return result.classOf[a] >= 0 && result.classOf[a] == result.classOf[b];
}

TEST(ChangingFiles, AFileRewrittenAtItsEndWhileReadNeverJoinsAFileItNeverEquals) {
    // Each A is rewritten at its end, again and again, between two versions: one that differs from
    // its B in the last block, one that differs just before it. The last block is read before the
    // bytes in front of it, so a reading that takes the one from each version sees B's bytes
    // throughout. Files of 2 MiB gave such false classes within a second before the comparison
    // checked each file after its last chunk.
    constexpr size_t kSize = 2u << 20;
    constexpr size_t kRewritten = 68u << 10; // the last block and the chunk before it
    constexpr int kPairs = 4;
    constexpr auto kDuration = std::chrono::seconds(3);
    TempTree tree;
    const std::string base = patternOfSize(kSize);
    std::vector<std::string> paths;
    std::vector<std::string> versions[2];
    for (int k = 0; k < kPairs; ++k) {
        std::string b = base;
        b[100] = static_cast<char>(k); // the pairs differ from one another
        std::string beforeLastBlock = b.substr(kSize - kRewritten);
        beforeLastBlock[10] ^= 1;
        std::string inLastBlock = b.substr(kSize - kRewritten);
        inLastBlock.back() ^= 1;
        paths.push_back(
            tree.writeFile("a" + std::to_string(k), b.substr(0, kSize - kRewritten) + beforeLastBlock));
        paths.push_back(tree.writeFile("b" + std::to_string(k), b));
        versions[0].push_back(std::move(beforeLastBlock));
        versions[1].push_back(std::move(inLastBlock));
    }

    std::atomic<bool> stop{false};
    std::atomic<int> rewrites{0};
    std::vector<std::thread> writers;
    for (int k = 0; k < kPairs; ++k) {
        writers.emplace_back([&, k] {
            const int fd = open(paths[2 * k].c_str(), O_WRONLY | O_CLOEXEC);
            for (int version = 1; fd >= 0 && !stop; version ^= 1) {
                const std::string& tail = versions[version][k];
                if (ftruncate(fd, kSize - kRewritten) != 0 ||
                    pwrite(fd, tail.data(), tail.size(), kSize - kRewritten) !=
                        static_cast<ssize_t>(tail.size())) {
                    break;
                }
                ++rewrites;
            }
            if (fd >= 0) {
                close(fd);
            }
        });
    }

    const ContentClasses classes([] { return false; });
    ContentClasses::Workspace workspace;
    std::vector<const std::string*> members;
    for (const std::string& path : paths) {
        members.push_back(&path);
    }
    int rounds = 0;
    int falseClasses = 0;
    for (const auto end = std::chrono::steady_clock::now() + kDuration;
         std::chrono::steady_clock::now() < end; ++rounds) {
        const ContentClasses::Result result = classes.split(members, static_cast<int64_t>(kSize), workspace);
        for (int k = 0; k < kPairs; ++k) {
            falseClasses += sameClass(result, 2 * k, 2 * k + 1);
        }
    }
    stop = true;
    for (std::thread& writer : writers) {
        writer.join();
    }
    EXPECT_GT(rewrites, kPairs) << "the writers never ran";
    EXPECT_EQ(falseClasses, 0) << "in " << rounds << " rounds";
}

// Splits files A and B, each of one middle chunk between the first and the last block, calling
// `onPoll(n)` at the n-th poll for a stop. Polls come after each member's chunk, members in list
// order, chunks in reading order: A's first block is poll 1, A's last block poll 3, A's middle
// poll 5, B's middle poll 6; a second reading starts at poll 7.
ContentClasses::Result splitWithHook(const std::string& a, const std::string& b,
                                     const std::function<void(int)>& onPoll) {
    int polls = 0;
    const ContentClasses classes([&] {
        onPoll(++polls);
        return false;
    });
    ContentClasses::Workspace workspace;
    return classes.split({&a, &b}, 2 * ContentClasses::kEndBlock + ContentClasses::kLargestChunk, workspace);
}

struct Versions {
    std::string b;             // B's bytes
    std::string middleDiffers; // A's first version
    std::string lastDiffers;   // A's second version
};

Versions makeVersions() {
    Versions v;
    v.b = patternOfSize(2 * ContentClasses::kEndBlock + ContentClasses::kLargestChunk);
    v.middleDiffers = v.b;
    v.middleDiffers[ContentClasses::kEndBlock + 100] ^= 1;
    v.lastDiffers = v.b;
    v.lastDiffers.back() ^= 1;
    return v;
}

TEST(ChangingFiles, AFileChangedWhileReadIsReadAgainFromTheStart) {
    const Versions v = makeVersions();
    {
        // Changed between its last block and its middle: read as it was, its last block and B's
        // middle would make it B. Read again, it is what it now is: not B.
        TempTree tree;
        const auto a = tree.writeFile("a", v.middleDiffers);
        const auto b = tree.writeFile("b", v.b);
        const auto result = splitWithHook(a, b, [&](int poll) {
            if (poll == 3) {
                rewrite(a, v.lastDiffers);
            }
        });
        EXPECT_TRUE(result.complete);
        EXPECT_FALSE(sameClass(result, 0, 1));
    }
    {
        // Changed into a copy of B while read: read again, it joins B, and what the result says
        // of it is the version that was compared.
        TempTree tree;
        const auto a = tree.writeFile("a", v.middleDiffers);
        const auto b = tree.writeFile("b", v.b);
        const auto result = splitWithHook(a, b, [&](int poll) {
            if (poll == 3) {
                rewrite(a, v.b);
            }
        });
        EXPECT_TRUE(sameClass(result, 0, 1));
        const auto now = platform::lookupFile(a);
        ASSERT_TRUE(now);
        EXPECT_TRUE(platform::sameState(*now, result.info[0]));
    }
}

TEST(ChangingFiles, AFileReadAgainJoinsTheClassThatSettledCopiesFormedWithoutIt) {
    // Settled files are trusted after one reading; only the file that changed is read again, and
    // joins their class through one of them.
    const Versions v = makeVersions();
    TempTree tree;
    const auto b = tree.writeFile("b", v.b);
    const auto c = tree.writeFile("c", v.b);
    const auto d = tree.writeFile("d", v.b);
    const auto e = tree.writeFile("e", v.lastDiffers);
    for (const std::string& path : {b, c, d, e}) {
        // Their times prove nothing until the clock has moved on; waiting for it is the test.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!platform::settledWhenLookedAt(platform::lookupFile(path).value()) &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    const auto a = tree.writeFile("a", v.middleDiffers);
    // The polls of one reading of the five, A unchanged: a reading again shows as more.
    int onePass = 0;
    {
        const ContentClasses counting([&] {
            ++onePass;
            return false;
        });
        ContentClasses::Workspace workspace;
        counting.split({&a, &b, &c, &d, &e}, static_cast<int64_t>(v.b.size()), workspace);
    }
    int polls = 0;
    const ContentClasses classes([&] {
        // A's last block is read at the sixth poll (after the first block of all five).
        if (++polls == 6) {
            rewrite(a, v.b);
        }
        return false;
    });
    ContentClasses::Workspace workspace;
    const auto result = classes.split({&a, &b, &c, &d, &e}, static_cast<int64_t>(v.b.size()), workspace);
    EXPECT_TRUE(result.complete);
    // Had the rewrite come before A was read, or after its reading, nothing would be read again and
    // the test would prove nothing.
    EXPECT_GT(polls, onePass) << "A was not read again";
    EXPECT_GE(result.classOf[1], 0);
    EXPECT_EQ(result.classOf[0], result.classOf[1]);
    EXPECT_EQ(result.classOf[2], result.classOf[1]);
    EXPECT_EQ(result.classOf[3], result.classOf[1]);
    EXPECT_EQ(result.classOf[4], -1);
}

TEST(ChangingFiles, AFileThatChangesWhileReadAgainJoinsNoClass) {
    const Versions v = makeVersions();
    TempTree tree;
    const auto a = tree.writeFile("a", v.middleDiffers);
    const auto b = tree.writeFile("b", v.b);
    // Torn the same way in both readings: each time its last block is read from the first
    // version and its middle from the second.
    const auto result = splitWithHook(a, b, [&](int poll) {
        if (poll == 3 || poll == 9) {
            rewrite(a, v.lastDiffers);
        } else if (poll == 6) {
            rewrite(a, v.middleDiffers);
        }
    });
    EXPECT_TRUE(result.complete);
    EXPECT_FALSE(sameClass(result, 0, 1));
}

} // namespace
} // namespace corvane::testing
