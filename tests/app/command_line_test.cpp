// The window program's command line, read before Qt starts.

#include "app/command_line.h"
#include "corvane_version.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace corvane::app {
namespace {

using Action = CommandLine::Action;

class CommandLineTest : public ::testing::Test {
protected:
    // Runs `test` with the current folder set to the temp tree.
    template <typename Test> void inTree(Test test) {
        char before[4096];
        ASSERT_NE(getcwd(before, sizeof before), nullptr);
        ASSERT_EQ(chdir(tree_.root().c_str()), 0);
        test();
        ASSERT_EQ(chdir(before), 0);
    }

    testing::TempTree tree_;
};

TEST_F(CommandLineTest, HelpAndVersionEndTheStartWhateverElseIsGiven) {
    EXPECT_EQ(parseCommandLine({"--help"}).action, Action::Help);
    EXPECT_EQ(parseCommandLine({"-h"}).action, Action::Help);
    EXPECT_EQ(parseCommandLine({"--version"}).action, Action::Version);
    // The first of them wins, as a user who asks for help wants it even with a wrong file.
    EXPECT_EQ(parseCommandLine({"missing.CVN", "--help"}).action, Action::Help);
    EXPECT_EQ(parseCommandLine({"--version", "--help"}).action, Action::Version);
    EXPECT_EQ(versionText(), std::string("corvane ") + CORVANE_VERSION + "\n");
    EXPECT_NE(helpText().find("Usage: corvane [FILE.CVN]\n"), std::string::npos);
}

TEST_F(CommandLineTest, NothingOrOneExistingFileRuns) {
    const CommandLine none = parseCommandLine({});
    EXPECT_EQ(none.action, Action::Run);
    EXPECT_TRUE(none.file.empty());

    const std::string set = tree_.writeFile("s.CVN", "x");
    const CommandLine absolute = parseCommandLine({set});
    EXPECT_EQ(absolute.action, Action::Run);
    EXPECT_EQ(absolute.file, set);

    // A relative name is made absolute against the current folder: a running instance has its own.
    tree_.writeFile("sub/r.CVN", "x");
    inTree([this] {
        const CommandLine relative = parseCommandLine({"sub/r.CVN"});
        EXPECT_EQ(relative.action, Action::Run);
        EXPECT_EQ(relative.file, tree_.root() + "/sub/r.CVN");
    });
}

TEST_F(CommandLineTest, AfterTwoDashesANameStartingWithADashIsAFile) {
    tree_.writeFile("-odd.CVN", "x");
    inTree([this] {
        EXPECT_EQ(parseCommandLine({"-odd.CVN"}).action, Action::Invalid);
        const CommandLine line = parseCommandLine({"--", "-odd.CVN"});
        EXPECT_EQ(line.action, Action::Run);
        EXPECT_EQ(line.file, tree_.root() + "/-odd.CVN");
        EXPECT_EQ(parseCommandLine({"--", "--help"}).action, Action::Invalid) << "no such file";
    });
}

TEST_F(CommandLineTest, WhatItDoesNotTakeIsOneLineNamingTheFault) {
    const std::string a = tree_.writeFile("a.CVN", "x");
    const std::string b = tree_.writeFile("b.CVN", "x");
    const std::string folder = tree_.makeDir("folder.CVN");
    struct Case {
        std::vector<std::string> arguments;
        std::string says;
    };
    const std::vector<Case> cases = {
        {{"--frobnicate"}, "unknown option --frobnicate"},
        {{"-platform", "offscreen"}, "unknown option -platform"},
        {{a, b}, "one result set at a time, not 2"},
        {{tree_.path("missing.CVN")}, tree_.path("missing.CVN") + ": No such file or directory"},
        {{""}, ": No such file or directory"},
        {{folder}, folder + ": Is a directory"},
        {{tree_.path("new\nline.CVN")}, tree_.path("new\\012line.CVN") + ": No such file or directory"},
    };
    for (const Case& c : cases) {
        const CommandLine line = parseCommandLine(c.arguments);
        EXPECT_EQ(line.action, Action::Invalid) << c.says;
        EXPECT_EQ(line.error.rfind("corvane: ", 0), 0u) << line.error;
        EXPECT_NE(line.error.find(c.says), std::string::npos) << line.error;
        EXPECT_EQ(line.error.find('\n'), std::string::npos) << line.error;
    }
}

} // namespace
} // namespace corvane::app
