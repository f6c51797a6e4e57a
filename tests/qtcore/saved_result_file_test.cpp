// The files of a saved result set: an older file stays whole until the new one is complete.

#include "qtcore/saved_result_file.h"

#include "stream/byte_streams.h"
#include "stream/error.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace corvane::qtcore {
namespace {

using testing::TempTree;
using Bytes = std::vector<uint8_t>;

Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

size_t entriesIn(const std::string& folder) {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

TEST(SavedResultFile, TheOlderFileStaysUntilTheNewOneIsCommitted) {
    const TempTree folder;
    const std::string path = folder.writeFile("r.CVN", "older");
    {
        const auto file = createResultFile(path);
        file->write(bytesOf("newer, "));
        file->write(bytesOf("and longer"));
        EXPECT_EQ(stream::readWholeFile(path), bytesOf("older"));
        file->commit();
    }
    EXPECT_EQ(stream::readWholeFile(path), bytesOf("newer, and longer"));
    EXPECT_EQ(entriesIn(folder.root()), 1u) << "no temporary file is left behind";
}

TEST(SavedResultFile, AFileNeverCommittedLeavesTheOlderOneAndNothingElse) {
    const TempTree folder;
    const std::string path = folder.writeFile("r.CVN", "older");
    createResultFile(path)->write(bytesOf("given up"));
    EXPECT_EQ(stream::readWholeFile(path), bytesOf("older"));
    EXPECT_EQ(entriesIn(folder.root()), 1u);
}

TEST(SavedResultFile, WhatCannotBeCreatedFailsWithTheSystemsReason) {
    const TempTree folder;
    const std::string directory = folder.makeDir("r.CVN");
    const std::string missing = folder.path("no such folder/r.CVN");
    const auto messageOf = [](const std::string& path) {
        try {
            createResultFile(path);
            return std::string();
        } catch (const Error& error) {
            return std::string(error.what());
        }
    };
    EXPECT_EQ(messageOf(directory), "Cannot create file \"" + directory + "\". Is a directory");
    EXPECT_EQ(messageOf(missing), "Cannot create file \"" + missing + "\". No such file or directory");
}

} // namespace
} // namespace corvane::qtcore
