// corvane-cli trash, link and dedupe killed (SIGKILL) at a system call, then run again: every
// content is still held by a file outside the trash, every trash entry can be restored, no info
// file is left without its file (the rerun removes what the kill left), no temporary name is left,
// and the files in the --keep-in folder are as they were.

#include "cli/action_safety_fixture.h"
#include "support/child_run.h"
#include "support/file_contents.h"
#include "support/system_tool.h"
#include "support/xfs_disk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>

namespace corvane::testing {
namespace {

namespace fs = std::filesystem;

// `kill -9` at a chosen system call of an action, the same command run again, then the checks.
// strace stops the program at the N-th call of one system call in a thread, for each call the
// action makes: at a few N drawn from a seed, one anywhere, the others past the calls that a dry
// run makes, while files are acted on. CORVANE_KILL_SEED sets the seed; a failure names it and N.
class KilledActions : public ActionSafety {
protected:
    static constexpr const char* kSystemCalls[] = {
        "renameat2", "rename", "linkat", "link",      "unlinkat",        "write", "openat",
        "fsync",     "ioctl",  "fchown", "fdatasync", "copy_file_range", "unlink"};
    static constexpr int kKillsPerCall = 3;
    static constexpr int kCopies = 50;

    // Two contents in kCopies files across five folders: one with a copy in keep/, a folder the runs
    // keep; the other with none, every copy of it at stake. Large enough that dedupe shares blocks.
    static void makeGroups(const std::string& root) {
        const std::string kept = "a copy kept\n" + randomBytes(3 * 4096 + 100, 1);
        const std::string free = "no copy kept\n" + randomBytes(3 * 4096 + 100, 2);
        fs::create_directories(root + "/keep");
        std::ofstream(root + "/keep/a0", std::ios::binary) << kept;
        for (int i = 1; i < kCopies; ++i) {
            const std::string folder = root + "/d" + std::to_string(i % 5);
            fs::create_directories(folder);
            const bool keptOne = i < kCopies / 5;
            std::ofstream(folder + (keptOne ? "/a" : "/b") + std::to_string(i), std::ios::binary)
                << (keptOne ? kept : free);
        }
    }

    static std::vector<std::string> actionArgs(const std::string& action, const std::string& root) {
        return {action, "-q", "--keep-in", root + "/keep", root};
    }

    // How often the busiest thread of a run of `args` makes each of kSystemCalls (strace counts
    // the calls of each thread apart); empty when strace cannot trace here.
    std::map<std::string, long> callsOf(const std::vector<std::string>& args) {
        const TempTree io;
        std::string traced;
        for (const char* call : kSystemCalls) {
            traced += (traced.empty() ? "" : ",") + std::string(call);
        }
        std::vector<std::string> straceArgs{
            "-f", "-o", io.path("calls"), "-e", "trace=" + traced, CORVANE_CLI_PATH};
        straceArgs.insert(straceArgs.end(), args.begin(), args.end());
        const ChildRun run = runChild(strace_, straceArgs);
        std::map<std::string, long> busiest;
        if (run.status != 0 && run.status != 1) {
            return busiest;
        }
        // "PID CALL(ARGUMENTS) = RESULT", or "PID <... CALL resumed>" for the end of a call; the PID
        // padded with spaces to a width.
        std::map<std::pair<std::string, std::string>, long> perThread;
        std::istringstream lines(fileContents(io.path("calls")));
        for (std::string line; std::getline(lines, line);) {
            std::istringstream words(line);
            std::string thread;
            std::string rest;
            words >> thread >> std::ws;
            std::getline(words, rest);
            const size_t paren = rest.find('(');
            if (paren != std::string::npos && paren > 0 && rest[0] != '<') {
                const std::string call = rest.substr(0, paren);
                long& count = perThread[{thread, call}];
                busiest[call] = std::max(busiest[call], ++count);
            }
        }
        return busiest;
    }

    // Kills `action` on fresh groups under `base` at kKillsPerCall random calls of each system call
    // it makes, runs it again each time and checks what is left. With `undo`, the action runs whole
    // and `restore` is killed and run again instead: then every file is back at its place with the
    // bytes it had (for a trashed file, the very file, as it was) and the trash holds nothing of it.
    void killAndRunAgain(const std::string& action, const std::string& base, bool undo = false) {
        strace_ = programOnPath("strace");
        if (strace_.empty()) {
            GTEST_SKIP() << "strace is not installed (scripts/bootstrap.sh installs it)";
        }
        const char* seedText = std::getenv("CORVANE_KILL_SEED");
        const unsigned seed = seedText ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 10)) : 23u;
        std::mt19937 random(seed);

        // The calls made before any file is acted on are those of a dry run.
        makeGroups(base + "/count");
        useDataHome(data.path("count"));
        const auto killedArgs = [&](const std::string& root) {
            return undo ? std::vector<std::string>{"restore"} : actionArgs(action, root);
        };
        if (undo) {
            act(actionArgs(action, base + "/count"));
        }
        std::vector<std::string> dryRun = killedArgs(base + "/count");
        dryRun.insert(dryRun.begin() + 1, "--dry-run");
        const std::map<std::string, long> planning = callsOf(dryRun);
        const std::map<std::string, long> calls = callsOf(killedArgs(base + "/count"));
        if (calls.empty()) {
            GTEST_SKIP() << "strace cannot trace " << CORVANE_CLI_PATH << " here";
        }
        fs::remove_all(base + "/count");

        int rounds = 0;
        int kills = 0;
        for (const char* call : kSystemCalls) {
            const auto made = calls.find(call);
            if (made == calls.end() || made->second == 0) {
                continue;
            }
            const long total = made->second;
            const long planned = planning.count(call) ? std::min(planning.at(call), total - 1) : 0;
            for (int k = 0; k < kKillsPerCall; ++k) {
                // One kill anywhere, the others while files are acted on.
                const long from = k == 0 ? 0 : planned;
                const long n =
                    from + 1 + static_cast<long>(random() % static_cast<unsigned long>(total - from));
                const std::string name =
                    std::string(call) + "-" + std::to_string(n) + "-" + std::to_string(k);
                const std::string root = base + "/" + name;
                SCOPED_TRACE("seed " + std::to_string(seed) + ": killed at " + call + " call " +
                             std::to_string(n) + " of " + std::to_string(total));
                makeGroups(root);
                useDataHome(data.path(name));
                const ActionScene scene = sceneOf({root});
                const Snapshot before = contentsOutsideTrash(scene);
                const Snapshot kept = folderSnapshot(root + "/keep");
                const Snapshot untouched = folderSnapshot(root);
                if (undo) {
                    act(actionArgs(action, root));
                }
                const std::vector<std::string> args = killedArgs(root);

                // (strace's --seccomp-bpf, which would spare the other calls a stop, loses the kill.)
                std::vector<std::string> straceArgs{"-f",
                                                    "-o",
                                                    "/dev/null",
                                                    "-e",
                                                    "trace=" + std::string(call),
                                                    "-e",
                                                    "inject=" + std::string(call) +
                                                        ":signal=KILL:when=" + std::to_string(n),
                                                    CORVANE_CLI_PATH};
                straceArgs.insert(straceArgs.end(), args.begin(), args.end());
                const ChildRun killed = runChild(strace_, straceArgs);
                ++rounds;
                kills += killed.signal == SIGKILL ? 1 : 0;
                const ProgramRun again = act(args);
                expectNothingLost(commandLine(args) + " killed at " + call + " call " + std::to_string(n) +
                                      ", then run again",
                                  again, scene, before);
                expectUnchanged("a file in the --keep-in folder changed", kept,
                                folderSnapshot(root + "/keep"), again);
                if (undo) {
                    expectRestored(action, untouched, folderSnapshot(root), again);
                }
                fs::remove_all(root);
            }
        }
        std::cout << action << ": " << kills << " of " << rounds << " runs killed (seed " << seed
                  << "; calls made:";
        for (const auto& [call, count] : calls) {
            std::cout << " " << call << " " << count;
        }
        std::cout << ")\n";
        EXPECT_GT(kills, 0) << "strace killed none of the " << rounds << " runs: nothing was tested";
    }

    // After an undo: every file of `before` is at its place again with its bytes; a trashed one is
    // the very file, with its times.
    void expectRestored(const std::string& action, const Snapshot& before, const Snapshot& after,
                        const ProgramRun& run) {
        if (action == "trash") {
            expectUnchanged("restore did not put back every file as it was", before, after, run);
            return;
        }
        const auto contentsOnly = [](const Snapshot& snapshot) {
            Snapshot contents;
            for (const auto& [path, described] : snapshot) {
                const size_t holding = described.find(", holding ");
                contents[path] = holding == std::string::npos ? described : described.substr(holding);
            }
            return contents;
        };
        expectUnchanged("restore did not give every file its bytes back", contentsOnly(before),
                        contentsOnly(after), run);
    }

    std::string strace_;
};

TEST_F(KilledActions, TrashLosesNothingAndLeavesNothingBehind) {
    killAndRunAgain("trash", tree.root());
}

TEST_F(KilledActions, RestoreOfATrashRunFinishesWhenRunAgain) {
    killAndRunAgain("trash", tree.root(), true);
}

TEST_F(KilledActions, RestoreOfALinkRunFinishesWhenRunAgain) {
    XfsDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why();
    }
    killAndRunAgain("link", disk.root(), true);
}

TEST_F(KilledActions, LinkLosesNothingAndLeavesNothingBehind) {
    XfsDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why();
    }
    killAndRunAgain("link", disk.root());
}

TEST_F(KilledActions, DedupeLosesNothingAndLeavesNothingBehind) {
    XfsDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why();
    }
    killAndRunAgain("dedupe", disk.root());
}

} // namespace
} // namespace corvane::testing
