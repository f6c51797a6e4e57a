#include "engine/run_record.h"
#include "support/small_disk.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace corvane::testing {
namespace {

using engine::RunChange;

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

mode_t permissionsOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

std::vector<RunChange> sampleChanges() {
    RunChange trashed{RunChange::Kind::Trashed,
                      "/data/line\nbreak\tand tab.txt",
                      "/home/a/.local/share/Trash/info/line\nbreak\tand tab.txt.trashinfo",
                      {2049, 17}};
    RunChange linked{RunChange::Kind::Linked, "/data/bad\xff name%41", "/data/keeper", {2049, 99}};
    linked.mode = 0100640;
    linked.owner = 1000;
    linked.group = 100;
    linked.modifiedNs = -1'500'000'000; // before 1970
    const RunChange shared{RunChange::Kind::Shared, "/xfs/copy", "/xfs/source", {64768, 4294967297ULL}};
    return {trashed, linked, shared};
}

TEST(RunRecord, WrittenAsTheRunGoesAndReadBackWhole) {
    TempTree state;
    const std::string path = state.path("state/corvane/last-run");
    engine::RunRecordWriter writer;
    std::string failure;
    ASSERT_TRUE(writer.start(path, &failure)) << failure;
    // What a user acted on is the user's own business: folder and record private.
    EXPECT_EQ(permissionsOf(state.path("state/corvane")), 0700u);
    EXPECT_EQ(permissionsOf(path), 0600u);
    for (const RunChange& change : sampleChanges()) {
        ASSERT_TRUE(writer.add(change, &failure)) << failure;
        // On disk as soon as it is added, whatever follows.
        const auto sofar = engine::readRunRecord(path, &failure);
        ASSERT_TRUE(sofar) << failure;
        EXPECT_EQ(sofar->back(), change);
    }
    const auto read = engine::readRunRecord(path, &failure);
    ASSERT_TRUE(read) << failure;
    EXPECT_EQ(*read, sampleChanges());
    // One change a line: escaped paths carry no line break of their own.
    const std::string text = contentsOf(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);

    // The next run starts a record of its own.
    engine::RunRecordWriter next;
    ASSERT_TRUE(next.start(path, &failure)) << failure;
    const auto empty = engine::readRunRecord(path, &failure);
    ASSERT_TRUE(empty) << failure;
    EXPECT_TRUE(empty->empty());
}

TEST(RunRecord, ARecordThatCannotBeTrustedWholeIsNotReadInPart) {
    TempTree folder;
    const std::string path = folder.path("last-run");
    std::string lines = "corvane-run 1\n";
    for (const RunChange& change : sampleChanges()) {
        lines += engine::runChangeLine(change) + '\n';
    }
    std::string failure;

    // A last line cut short while written is left out; the rest is read.
    writeText(path, lines + "trashed\t/data/x\t/tr");
    auto read = engine::readRunRecord(path, &failure);
    ASSERT_TRUE(read) << failure;
    EXPECT_EQ(*read, sampleChanges());

    struct Case {
        std::string text;
        std::string failure;
    };
    const std::vector<Case> cases = {
        {"corvane-run 1\ntrashed\t/a\t/b\t1\n" + lines.substr(14), "damaged at line 2"},
        {lines + "moved\t/a\t/b\t1\t2\n", "damaged at line 5"},
        {lines + "trashed\t/a%zz\t/b\t1\t2\n", "damaged at line 5"},
        {lines + "trashed\t\t/b\t1\t2\n", "damaged at line 5"},
        {lines + "linked\t/a\t/b\t1\t2\t999\t0\t0\t0\n", "damaged at line 5"}, // 9 is no octal digit
        {"corvane-run 2\n", "written by a later version"},
        {"[Trash Info]\n", "not a record of a run"},
        {"", "not a record of a run"},
    };
    for (const Case& bad : cases) {
        SCOPED_TRACE(bad.text);
        writeText(path, bad.text);
        failure.clear();
        EXPECT_FALSE(engine::readRunRecord(path, &failure));
        EXPECT_NE(failure.find(bad.failure), std::string::npos) << failure;
        EXPECT_NE(failure.find(path), std::string::npos) << failure;
    }
    EXPECT_FALSE(engine::readRunRecord(folder.path("none"), &failure));
    EXPECT_NE(failure.find("No such file"), std::string::npos) << failure;
}

TEST(RunRecord, AFullDiskIsReportedNotIgnored) {
    SmallDisk disk(64 * 1024);
    if (!disk.mounted()) {
        GTEST_SKIP() << "no small disk: " << disk.why();
    }
    engine::RunRecordWriter writer;
    std::string failure;
    ASSERT_TRUE(writer.start(disk.path("last-run"), &failure)) << failure;
    ASSERT_TRUE(disk.fillLeaving(0));
    RunChange change = sampleChanges()[0];
    change.path = "/" + std::string(8000, 'x');
    bool refused = false;
    for (int i = 0; i < 64 && !refused; ++i) {
        refused = !writer.add(change, &failure);
    }
    ASSERT_TRUE(refused) << "a full disk took every line";
    EXPECT_NE(failure.find("cannot be written"), std::string::npos) << failure;
    // What was written before is still read, and a line cut short left nothing behind.
    const auto read = engine::readRunRecord(disk.path("last-run"), &failure);
    ASSERT_TRUE(read) << failure;
    for (const RunChange& written : *read) {
        EXPECT_EQ(written, change);
    }
    const std::string text = contentsOf(disk.path("last-run"));
    EXPECT_EQ(text.back(), '\n');
}

TEST(RunRecord, KeptWhereTheStateOfProgramsBelongs) {
    const char* oldState = std::getenv("XDG_STATE_HOME");
    const std::string savedState = oldState ? oldState : "";
    ::setenv("XDG_STATE_HOME", "/var/tmp/state", 1);
    EXPECT_EQ(engine::lastRunRecordPath(), "/var/tmp/state/corvane/last-run");
    ::setenv("XDG_STATE_HOME", "relative/state", 1); // not valid: ignored
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') {
        EXPECT_EQ(engine::lastRunRecordPath(), std::string(home) + "/.local/state/corvane/last-run");
    }
    if (oldState) {
        ::setenv("XDG_STATE_HOME", savedState.c_str(), 1);
    } else {
        ::unsetenv("XDG_STATE_HOME");
    }
}

} // namespace
} // namespace corvane::testing
