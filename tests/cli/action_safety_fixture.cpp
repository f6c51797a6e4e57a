#include "cli/action_safety_fixture.h"

#include <cstdlib>
#include <random>
#include <sstream>
#include <sys/stat.h>

namespace corvane::testing {

std::string commandLine(const std::vector<std::string>& args) {
    std::string line = "corvane-cli";
    for (const std::string& arg : args) {
        line += ' ' + arg;
    }
    return line;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += "\n  " + line;
    }
    return text;
}

std::string printed(const ProgramRun& run) {
    constexpr size_t kHead = 6;
    constexpr size_t kTail = 3;
    std::vector<std::string> lines;
    std::istringstream out(run.out);
    for (std::string line; std::getline(out, line);) {
        lines.push_back(line);
    }
    std::string text = "\nwhat it printed:\n";
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines.size() > kHead + kTail + 1 && i == kHead) {
            text += "... (" + std::to_string(lines.size() - kHead - kTail) + " lines more)\n";
            i = lines.size() - kTail;
        }
        text += lines[i] + "\n";
    }
    return text + run.err;
}

std::optional<Identity> identityOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return Identity{st.st_dev, st.st_ino};
}

void ActionSafety::useDataHome(const std::string& folder) {
    home_.pointAt(folder);
}

ProgramRun ActionSafety::act(const std::vector<std::string>& args) {
    ProgramRun run = runProgram(CORVANE_CLI_PATH, args);
    EXPECT_TRUE(run.status == 0 || run.status == 1)
        << commandLine(args) << " ended with status " << run.status << printed(run);
    return run;
}

void ActionSafety::expectNothingLost(const std::string& step, const ProgramRun& run, const ActionScene& scene,
                                     const Snapshot& before) {
    const std::string output = printed(run);
    const auto lost = lostContents(before, scene);
    EXPECT_TRUE(lost.empty()) << "after " << step
                              << ", contents are held by no file outside the trash:" << joinLines(lost)
                              << output;
    const auto incomplete = incompleteTrashEntries(scene);
    EXPECT_TRUE(incomplete.empty()) << "after " << step
                                    << ", trash entries cannot be restored:" << joinLines(incomplete)
                                    << output;
    const auto orphans = orphanInfoFiles(scene);
    EXPECT_TRUE(orphans.empty()) << "after " << step
                                 << ", info files have lost their file:" << joinLines(orphans) << output;
    const auto temporary = temporaryNames(scene);
    EXPECT_TRUE(temporary.empty()) << "after " << step
                                   << ", temporary names are left:" << joinLines(temporary) << output;
}

void ActionSafety::expectUnchanged(const std::string& what, const Snapshot& before, const Snapshot& after,
                                   const ProgramRun& run) {
    const auto changes = snapshotChanges(before, after);
    EXPECT_TRUE(changes.empty()) << what << ":" << joinLines(changes) << printed(run);
}

} // namespace corvane::testing
