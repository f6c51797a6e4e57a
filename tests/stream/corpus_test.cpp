// Replays the fuzzer's seed corpus through every reading path (see reader_exercise.h).

#include "reader_exercise.h"

#include "stream/byte_streams.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace corvane::testing {
namespace {

TEST(SeedCorpus, EveryInputEndsInACleanErrorOrAFaithfulRead) {
    size_t count = 0;
    for (const auto& file : std::filesystem::directory_iterator(CORVANE_STREAM_CORPUS)) {
        const std::vector<uint8_t> bytes = stream::readWholeFile(file.path().string());
        EXPECT_EQ(exerciseReader(bytes), "") << file.path();
        ++count;
    }
    // The reference streams and blocks of stream/FORMAT.md, and the failure cases.
    EXPECT_GE(count, 10u);
}

} // namespace
} // namespace corvane::testing
