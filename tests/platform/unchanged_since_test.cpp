// When a file may be taken as unchanged since it was looked at, without reading it again.

#include "platform/file_info.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

namespace corvane::platform {
namespace {

FileInfo settledFile() {
    FileInfo info;
    info.kind = EntryKind::RegularFile;
    info.size = 4096;
    info.device = 2049;
    info.inode = 77;
    info.modificationTimeNs = 1'700'000'000'000'000'000;
    info.changeTimeNs = info.modificationTimeNs + 5;
    info.lookedAtNs = info.changeTimeNs + 60'000'000'000; // a minute later
    return info;
}

TEST(UnchangedSince, EveryFieldThatTellsFilesOrTheirVersionsApartCounts) {
    const FileInfo then = settledFile();
    FileInfo now = then;
    now.lookedAtNs += 1'000'000'000;
    EXPECT_TRUE(unchangedSince(now, then));
    const std::vector<void (*)(FileInfo&)> changes{
        [](FileInfo& f) { f.device += 1; },       [](FileInfo& f) { f.inode += 1; },
        [](FileInfo& f) { f.size += 1; },         [](FileInfo& f) { f.modificationTimeNs += 1; },
        [](FileInfo& f) { f.changeTimeNs += 1; }, // a write with the modification time set back
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        FileInfo changed = now;
        changes[i](changed);
        EXPECT_FALSE(unchangedSince(changed, then)) << "change " << i;
    }
}

TEST(UnchangedSince, AFileLookedAtJustAfterItsLastChangeIsNeverTrusted) {
    FileInfo then = settledFile();
    then.lookedAtNs = then.changeTimeNs + kSettledNs - 1;
    EXPECT_FALSE(unchangedSince(then, then));
    then.lookedAtNs = then.changeTimeNs + kSettledNs;
    EXPECT_TRUE(unchangedSince(then, then));
    then.modificationTimeNs = then.lookedAtNs; // a modification time set ahead
    EXPECT_FALSE(unchangedSince(then, then));

    // A file just written: its times could stay put through another write in the same step.
    testing::TempTree tree;
    const std::string path = tree.writeFile("fresh", "bytes");
    const std::optional<FileInfo> first = lookupFile(path);
    ASSERT_TRUE(first);
    EXPECT_GT(first->changeTimeNs, 0);
    EXPECT_GE(first->lookedAtNs, first->changeTimeNs - 1'000'000'000);
    EXPECT_FALSE(unchangedSince(*lookupFile(path), *first));
}

} // namespace
} // namespace corvane::platform
