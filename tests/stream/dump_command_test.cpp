// corvane-cli dump, run as a user would.

#include "byte_helpers.h"
#include "stream_test_classes.h"
#include "support/child_run.h"
#include "support/temp_tree.h"

#include "stream/item_block.h"
#include "stream/stream_writer.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>

extern char** environ;

namespace corvane::testing {
namespace {

struct DumpRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

DumpRun dump(const std::vector<std::string>& args) {
    const TempTree io;
    const std::string outPath = io.path("out");
    const std::string errPath = io.path("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<std::string> all = {CORVANE_CLI_PATH, "dump"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    DumpRun run;
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = slurp(outPath);
    run.err = slurp(errPath);
    return run;
}

std::string asText(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST(DumpCommand, PrintsAResultFileWithItsRowsAndNodes) {
    const TempTree tree;
    ListView list = designListView1();
    TreeView duplicates;
    duplicates.name = "TreeView1";
    duplicates.nodes = {{.text = "/x/a", .hasChildren = true}, {.text = "/x/b", .level = 1, .stateIndex = 1}};
    const std::string paths = tree.writeFile("r.CVN", asText(stream::writeRootRecordToBytes(refOf(&list))));
    const std::string groups =
        tree.writeFile("r.CVN.~DF~", asText(stream::writeRootRecordToBytes(refOf(&duplicates))));

    const DumpRun listRun = dump({paths});
    EXPECT_EQ(listRun.status, 0) << listRun.err;
    EXPECT_EQ(listRun.out.rfind("object ListView1: TListView\n", 0), 0u) << listRun.out;
    EXPECT_NE(listRun.out.find("//   'C:\\Data' | '*.jpg'"), std::string::npos) << listRun.out;
    EXPECT_EQ(listRun.err, "");

    const DumpRun treeRun = dump({groups});
    EXPECT_EQ(treeRun.status, 0) << treeRun.err;
    EXPECT_NE(treeRun.out.find("//   [ ] '/x/a'\n  //     [x] '/x/b'"), std::string::npos) << treeRun.out;
}

TEST(DumpCommand, ABadFileGivesItsMessageAndStatusOne) {
    const TempTree tree;
    const DumpRun missing = dump({tree.path("none.CVN")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(
        missing.err.find("Cannot open file \"" + tree.path("none.CVN") + "\". No such file or directory"),
        std::string::npos)
        << missing.err;

    const DumpRun notAStream = dump({tree.writeFile("plain.txt", "hello")});
    EXPECT_EQ(notAStream.status, 1);
    EXPECT_NE(notAStream.err.find("Invalid stream format"), std::string::npos) << notAStream.err;

    ListView list = designListView1();
    std::string cut = asText(stream::writeRootRecordToBytes(refOf(&list)));
    cut.resize(200); // inside the item block
    const DumpRun cutShort = dump({tree.writeFile("cut.CVN", cut)});
    EXPECT_EQ(cutShort.status, 1);
    EXPECT_NE(cutShort.err.find("Error reading ListView1.Items.ItemData: Stream read error"),
              std::string::npos)
        << cutShort.err;
}

constexpr uint64_t kMiB = uint64_t{1} << 20;

// A stream whose root `className` has one entry `entryName` holding `block` as a byte block.
Bytes streamWithBlock(std::string_view className, std::string_view entryName, const Bytes& block) {
    const auto size = static_cast<uint32_t>(block.size());
    const Bytes length = {static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8),
                          static_cast<uint8_t>(size >> 16), static_cast<uint8_t>(size >> 24)};
    return cat(
        {ascii("TPF0"), name(className), name(""), name(entryName), hex("0A"), length, block, hex("00 00")});
}

TEST(DumpCommand, AnInputThatIsNoStreamFailsAtItsSignatureEvenOneThatNeverEnds) {
    if (!memoryFiguresAreMeaningful()) {
        GTEST_SKIP() << "no address space limit fits a sanitizer build, and without one a reader that "
                        "does not stop would take all memory";
    }
    // Read whole before its signature was looked at, /dev/zero filled memory until the program aborted.
    const ChildRun run = runChild(CORVANE_CLI_PATH, {"dump", "/dev/zero"}, {.addressSpaceBytes = 64 * kMiB});
    EXPECT_EQ(run.status, 1) << "ended by signal " << run.signal;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "corvane-cli: error: Invalid stream format\n");
}

TEST(DumpCommand, RunningOutOfMemoryIsAMessageAndStatusOne) {
    if (!memoryFiguresAreMeaningful()) {
        GTEST_SKIP() << "no address space limit fits a sanitizer build";
    }
    const TempTree tree;
    const std::string big = tree.path("big.stream");
    std::ofstream(big, std::ios::binary) << asText(streamWithBlock("TBig", "Data", Bytes(48 * kMiB, 0)));
    const ChildRun run = runChild(CORVANE_CLI_PATH, {"dump", big}, {.addressSpaceBytes = 32 * kMiB});
    EXPECT_EQ(run.status, 1) << "ended by signal " << run.signal;
    EXPECT_EQ(run.err, "corvane-cli: error: out of memory\n");
}

TEST(DumpCommand, ARowOfTenMillionEmptySubItemsIsShownInMemoryOfAFewTimesItsSize) {
    if (!memoryFiguresAreMeaningful()) {
        GTEST_SKIP() << "the sanitizers' shadow memory makes memory figures meaningless";
    }
    constexpr size_t kSubItems = 10'000'000;
    stream::ListRow wide{.caption = "/p/a"};
    wide.subItems.reserve(kSubItems, 0);
    for (size_t i = 0; i < kSubItems; ++i) {
        wide.subItems.append("", -1);
    }
    const TempTree tree;
    const std::string file = tree.path("wide.CVN.~SR~");
    std::ofstream(file, std::ios::binary)
        << asText(streamWithBlock("TListView", "Items.ItemData", stream::encodeItemBlock({&wide, 1})));
    const auto size = static_cast<long>(std::filesystem::file_size(file));

    const ChildRun run = runChild(CORVANE_CLI_PATH, {"dump", file}, {.discardOutput = true});
    ASSERT_EQ(run.status, 0) << run.err;
    constexpr long kBaseKilobytes = 32 * 1024;
    EXPECT_LT(run.peakKilobytes, 10 * size / 1024 + kBaseKilobytes) << "for a file of " << size << " bytes";
}

TEST(DumpCommand, AListOfTenMillionValuesIsPrintedAsItIsRead) {
    if (!memoryFiguresAreMeaningful()) {
        GTEST_SKIP() << "no address space limit fits a sanitizer build";
    }
    // Each False takes one byte; kept as a whole document, each took some 180 bytes of memory.
    const TempTree tree;
    const std::string file = tree.path("list.stream");
    std::ofstream(file, std::ios::binary)
        << asText(cat({ascii("TPF0"), name("TThing"), name("Thing"), name("Values"), hex("01"),
                       Bytes(10'000'000, 0x08), hex("00 00 00")}));
    const ChildRun run =
        runChild(CORVANE_CLI_PATH, {"dump", file}, {.addressSpaceBytes = 256 * kMiB, .discardOutput = true});
    EXPECT_EQ(run.status, 0) << "ended by signal " << run.signal << ": " << run.err;
}

TEST(DumpCommand, WrongArgumentsAreAUsageError) {
    EXPECT_EQ(dump({}).status, 2);
    EXPECT_EQ(dump({"a", "b"}).status, 2);
    EXPECT_EQ(dump({"--hex", "a"}).status, 2);
}

} // namespace
} // namespace corvane::testing
