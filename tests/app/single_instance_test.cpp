#include "app/single_instance.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace corvane::app {
namespace {

// Each start runs in a process of its own, as a real second start would: a lock held by this
// test process would say nothing about another process.

char codeOf(InstanceMarker marker) {
    switch (marker) {
    case InstanceMarker::Acquired:
        return 'A';
    case InstanceMarker::HeldByAnother:
        return 'H';
    case InstanceMarker::Unavailable:
        return 'U';
    }
    return '?';
}

char readCode(int fd) {
    char code = '?';
    return read(fd, &code, 1) == 1 ? code : '?';
}

void waitFor(pid_t pid) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
}

// A start that takes the marker and ends at once; gives what it found.
char startAndEnd(const std::string& lockPath) {
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(codeOf(takeLockFile(lockPath)));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? static_cast<char>(WEXITSTATUS(status)) : '?';
}

// A start that keeps running (holding what it took) until released.
class RunningStart {
public:
    explicit RunningStart(const std::string& lockPath) {
        int ready[2];
        int hold[2];
        if (pipe(ready) != 0 || pipe(hold) != 0) {
            ADD_FAILURE() << "no pipes";
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            close(hold[1]);
            const char code = codeOf(takeLockFile(lockPath));
            (void)!write(ready[1], &code, 1);
            readCode(hold[0]); // returns when the test closes its end
            _exit(0);
        }
        close(ready[1]);
        close(hold[0]);
        code_ = readCode(ready[0]);
        close(ready[0]);
        holdFd_ = hold[1];
    }
    ~RunningStart() { end(); }

    char code() const { return code_; }
    pid_t pid() const { return pid_; }

    void end() {
        if (holdFd_ >= 0) {
            close(holdFd_);
            holdFd_ = -1;
            waitFor(pid_);
        }
    }
    void kill() {
        ::kill(pid_, SIGKILL);
        close(holdFd_);
        holdFd_ = -1;
        waitFor(pid_);
    }

private:
    pid_t pid_ = -1;
    int holdFd_ = -1;
    char code_ = '?';
};

TEST(SingleInstance, SecondStartIsTurnedAwayWhileTheFirstRunsAndRunsAfterItEnded) {
    testing::TempTree tree;
    const std::string lockPath = tree.path("corvane.lock");
    RunningStart first(lockPath);
    ASSERT_EQ(first.code(), 'A');
    EXPECT_EQ(startAndEnd(lockPath), 'H');
    EXPECT_EQ(startAndEnd(lockPath), 'H') << "a turned-away start must not disturb the first";
    first.end();
    EXPECT_EQ(startAndEnd(lockPath), 'A');
}

TEST(SingleInstance, NearlySimultaneousStartsLetExactlyOneRun) {
    testing::TempTree tree;
    const std::string lockPath = tree.path("corvane.lock");
    constexpr int kStarts = 8;
    int go[2];
    int results[2];
    int hold[2];
    ASSERT_EQ(pipe(go), 0);
    ASSERT_EQ(pipe(results), 0);
    ASSERT_EQ(pipe(hold), 0);
    std::vector<pid_t> starts;
    for (int i = 0; i < kStarts; ++i) {
        const pid_t pid = fork();
        if (pid == 0) {
            close(go[1]);
            close(results[0]);
            close(hold[1]);
            readCode(go[0]); // all wait here until the test closes the pipe
            const char code = codeOf(takeLockFile(lockPath));
            (void)!write(results[1], &code, 1);
            if (code == 'A') {
                readCode(hold[0]);
            }
            _exit(0);
        }
        starts.push_back(pid);
    }
    close(go[0]);
    close(results[1]);
    close(hold[0]);
    close(go[1]);
    int acquired = 0;
    int turnedAway = 0;
    for (int i = 0; i < kStarts; ++i) {
        const char code = readCode(results[0]);
        acquired += code == 'A';
        turnedAway += code == 'H';
    }
    close(hold[1]);
    close(results[0]);
    for (pid_t pid : starts) {
        waitFor(pid);
    }
    EXPECT_EQ(acquired, 1);
    EXPECT_EQ(turnedAway, kStarts - 1);
}

TEST(SingleInstance, MarkerOfACrashedInstanceIsReleased) {
    testing::TempTree tree;
    const std::string lockPath = tree.path("corvane.lock");
    RunningStart crashing(lockPath);
    ASSERT_EQ(crashing.code(), 'A');
    crashing.kill();
    EXPECT_EQ(startAndEnd(lockPath), 'A');
}

TEST(SingleInstance, ProgramsStartedByTheInstanceDoNotKeepItsMarker) {
    testing::TempTree tree;
    const std::string lockPath = tree.path("corvane.lock");
    int input[2];
    ASSERT_EQ(pipe(input), 0);
    const pid_t instance = fork();
    if (instance == 0) {
        // Takes the marker, starts a program that outlives it (cat, reading until the test closes
        // its input), then ends.
        if (takeLockFile(lockPath) != InstanceMarker::Acquired) {
            _exit(1);
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], 0);
        posix_spawn_file_actions_addclose(&actions, input[1]);
        char arg0[] = "cat";
        char* argv[] = {arg0, nullptr};
        pid_t cat = -1;
        const int spawned = posix_spawn(&cat, "/bin/cat", &actions, nullptr, argv, environ);
        _exit(spawned == 0 ? 0 : 2);
    }
    close(input[0]);
    int status = 0;
    ASSERT_EQ(waitpid(instance, &status, 0), instance);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the instance could not start its program";
    EXPECT_EQ(startAndEnd(lockPath), 'A');
    close(input[1]); // cat ends
}

TEST(SingleInstance, MarkerThatCannotBeCreatedLetsTheProgramRun) {
    testing::TempTree tree;
    EXPECT_EQ(takeLockFile(tree.path("no such folder/corvane.lock")), InstanceMarker::Unavailable);
}

// Sets or unsets environment variables for one test and puts them back afterwards.
class ScopedEnvironment {
public:
    void set(const char* name, const char* value) {
        remember(name);
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnvironment() {
        for (auto& [name, value] : saved_) {
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        }
    }

private:
    void remember(const char* name) {
        const char* value = std::getenv(name);
        saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(SingleInstancePath, LivesInTheSessionRuntimeFolderWhenThereIsOne) {
    ScopedEnvironment environment;
    environment.set("XDG_RUNTIME_DIR", "/run/user/1234");
    EXPECT_EQ(instanceLockPath("corvane"), "/run/user/1234/corvane.lock");
}

TEST(SingleInstancePath, ElseInAPrivateFolderOfTheUserUnderTheTempFolder) {
    testing::TempTree tree;
    ScopedEnvironment environment;
    environment.set("XDG_RUNTIME_DIR", nullptr);
    environment.set("TMPDIR", tree.root().c_str());
    const std::string folder = tree.path("corvane-" + std::to_string(getuid()));
    EXPECT_EQ(instanceLockPath("corvane"), folder + "/corvane.lock");

    const pid_t pid = fork();
    if (pid == 0) {
        _exit(codeOf(takeInstanceMarker("corvane")));
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_EQ(WEXITSTATUS(status), 'A');
    struct stat info {};
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(SingleInstancePath, FallbackFolderOthersMayWriteToIsNotTrusted) {
    testing::TempTree tree;
    ScopedEnvironment environment;
    environment.set("XDG_RUNTIME_DIR", nullptr);
    environment.set("TMPDIR", tree.root().c_str());
    const std::string folder = tree.makeDir("corvane-" + std::to_string(getuid()));
    ASSERT_EQ(chmod(folder.c_str(), 0777), 0);
    EXPECT_EQ(takeInstanceMarker("corvane"), InstanceMarker::Unavailable);
}

} // namespace
} // namespace corvane::app
