#pragma once

// What the suites of corvane-cli's actions at risk share: a home trash of each test's own, running
// the program, and the checks that must hold after any action, with failure messages that name what
// was lost or left.

#include "support/action_invariants.h"
#include "support/data_home.h"
#include "support/program_run.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace corvane::testing {

using Snapshot = std::map<std::string, std::string>;

// "corvane-cli ARGS...", for messages.
std::string commandLine(const std::vector<std::string>& args);

// `lines`, each on a line of its own, indented.
std::string joinLines(const std::vector<std::string>& lines);

// What a run printed, for a failure message; a long list of files cut to its first and last lines.
std::string printed(const ProgramRun& run);

// A file as the system knows it: device and inode.
struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const Identity&) const = default;
};
std::optional<Identity> identityOf(const std::string& path);

// Each test has a home trash of its own, outside the searched tree unless it moves it there.
class ActionSafety : public ::testing::Test {
protected:
    // Points XDG_DATA_HOME, and with it the home trash, at `folder`.
    void useDataHome(const std::string& folder);
    std::string homeTrash() const { return home_.folder() + "/Trash"; }
    ActionScene sceneOf(std::vector<std::string> roots) const { return {std::move(roots), homeTrash()}; }

    // Runs the program and expects it to have ended on its own, with success or a refusal.
    ProgramRun act(const std::vector<std::string>& args);

    // Every content of `before` is still outside the trash, every trash entry has its file and a
    // complete info file, no info file is without its file, and no temporary name is left; `step`
    // and `run` say what came before.
    void expectNothingLost(const std::string& step, const ProgramRun& run, const ActionScene& scene,
                           const Snapshot& before);

    // Nothing changed, was added or went away between the snapshots.
    void expectUnchanged(const std::string& what, const Snapshot& before, const Snapshot& after,
                         const ProgramRun& run);

    TempTree data;
    TempTree tree;

private:
    DataHome home_{data.path("share")};
};

} // namespace corvane::testing
