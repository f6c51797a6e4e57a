// corvane-cli dump, run as a user would.

#include "stream_test_classes.h"
#include "support/temp_tree.h"

#include "stream/stream_writer.h"

#include <gtest/gtest.h>

#include <fcntl.h>
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

TEST(DumpCommand, WrongArgumentsAreAUsageError) {
    EXPECT_EQ(dump({}).status, 2);
    EXPECT_EQ(dump({"a", "b"}).status, 2);
    EXPECT_EQ(dump({"--hex", "a"}).status, 2);
}

} // namespace
} // namespace corvane::testing
