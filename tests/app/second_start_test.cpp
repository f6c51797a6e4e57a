// The real program started twice: the second start brings the running window to the front and
// ends with status 0, showing no window of its own, handing over the result set it was given; a
// start after the first has ended runs normally. And its command line: help and version without a
// display, one line and status 2 for what it does not take.

#include "corvane_version.h"
#include "support/generous_timeout.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace corvane::testing {
namespace {

class ProgramStarts : public ::testing::Test {
protected:
    // Starts the window program offscreen, with its session folder in `runtime_`; what it writes on
    // stderr goes to `errors` (a file), or nowhere.
    // With `display` false, the program has no display at all: no platform asked for, no X11 or
    // Wayland display named.
    // `extraEnvironment` entries ("NAME=value") are added last.
    pid_t start(const std::string& errors = "/dev/null", const std::vector<std::string>& arguments = {},
                const std::string& output = "/dev/null", bool display = true,
                const std::vector<std::string>& extraEnvironment = {}) {
        // In English, whatever the user's language: the test reads what the program says.
        std::vector<std::string> env = {"XDG_RUNTIME_DIR=" + runtime_.root(), "HOME=" + runtime_.root(),
                                        "LC_ALL=C.UTF-8", "LANGUAGE="};
        if (display) {
            env.push_back("QT_QPA_PLATFORM=offscreen");
        }
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            bool replaced = false;
            for (const char* name : {"XDG_RUNTIME_DIR=", "HOME=", "QT_QPA_PLATFORM=", "LC_ALL=", "LANGUAGE=",
                                     "DISPLAY=", "WAYLAND_DISPLAY="}) {
                replaced = replaced || entry.rfind(name, 0) == 0;
            }
            if (!replaced) {
                env.push_back(entry);
            }
        }
        env.insert(env.end(), extraEnvironment.begin(), extraEnvironment.end());
        std::vector<char*> envp;
        for (std::string& e : env) {
            envp.push_back(e.data());
        }
        envp.push_back(nullptr);
        std::string program = CORVANE_PROGRAM_PATH;
        std::vector<std::string> args = arguments;
        std::vector<char*> argv = {program.data()};
        for (std::string& argument : args) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        pid_t pid = -1;
        const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        return rc == 0 ? pid : -1;
    }

    // The exit status of `pid`, or -1 when it has not ended within the time.
    static int waitForExit(pid_t pid, std::chrono::seconds timeout = kGenerousTimeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }

    // Whether some process holds the instance marker now.
    bool markerHeld() {
        const std::string path = runtime_.path("corvane.lock");
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        const bool held = flock(fd, LOCK_EX | LOCK_NB) != 0;
        if (!held) {
            flock(fd, LOCK_UN);
        }
        ::close(fd);
        return held;
    }

    bool waitForMarker() {
        const auto deadline = std::chrono::steady_clock::now() + kGenerousTimeout;
        while (!markerHeld()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

    // Whether the running instance listens for second starts yet: it does once its windows exist.
    bool waitForSocket() {
        const std::string path = runtime_.path("corvane.socket");
        const auto deadline = std::chrono::steady_clock::now() + kGenerousTimeout;
        while (::access(path.c_str(), F_OK) != 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

    static std::string readFile(const std::string& path) {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    static void stop(pid_t pid) {
        kill(pid, SIGTERM);
        waitForExit(pid);
    }

    TempTree runtime_;
};

TEST_F(ProgramStarts, ASecondStartShowsNothingAndALaterStartRuns) {
    const pid_t first = start();
    ASSERT_GT(first, 0);
    ASSERT_TRUE(waitForMarker());
    ASSERT_TRUE(waitForSocket());

    const std::string errors = runtime_.path("second.err");
    const pid_t second = start(errors);
    ASSERT_GT(second, 0);
    EXPECT_EQ(waitForExit(second), 0);
    EXPECT_EQ(readFile(errors), "") << "a second start says nothing";
    EXPECT_EQ(waitForExit(first, std::chrono::seconds(0)), -1) << "the first instance must go on running";

    stop(first);
    const pid_t third = start();
    ASSERT_GT(third, 0);
    EXPECT_TRUE(waitForMarker());
    EXPECT_EQ(waitForExit(third, std::chrono::seconds(1)), -1) << "a start after the first ended must run";
    stop(third);
}

// The running instance stood in for by the test, which holds the marker and listens where a
// second start would knock: without a set, nobody knocks; with one, the set is handed over.
TEST_F(ProgramStarts, ASecondStartWithoutASetDoesNotTellTheRunningInstance) {
    const std::string lock = runtime_.path("corvane.lock");
    const int lockFd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(lockFd, 0);
    ASSERT_EQ(flock(lockFd, LOCK_EX | LOCK_NB), 0);
    const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = runtime_.path("corvane.socket");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    const auto knocked = [listener] {
        const int connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection >= 0) {
            ::close(connection);
            return true;
        }
        return false;
    };

    const std::string errors = runtime_.path("second.err");
    const pid_t plain = start(errors);
    ASSERT_GT(plain, 0);
    EXPECT_EQ(waitForExit(plain), 0);
    EXPECT_EQ(readFile(errors), "");
    EXPECT_FALSE(knocked()) << "a second start without a set told the running instance";

    // With a set it asks (and, as nobody answers here, ends saying so).
    const std::string set = runtime_.writeFile("r.CVN", "handed over");
    const pid_t withSet = start(errors, {set});
    ASSERT_GT(withSet, 0);
    bool asked = false;
    const auto deadline = std::chrono::steady_clock::now() + kGenerousTimeout;
    while (!asked && std::chrono::steady_clock::now() < deadline) {
        asked = knocked();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(asked);
    EXPECT_EQ(waitForExit(withSet), 0);
    ::close(listener);
    ::close(lockFd);
}

TEST_F(ProgramStarts, ASecondStartWithASetHandsItOverAndEnds) {
    const std::string set = runtime_.writeFile("my results.CVN", "handed over, not read here");
    const pid_t first = start();
    ASSERT_GT(first, 0);
    ASSERT_TRUE(waitForMarker());
    ASSERT_TRUE(waitForSocket());

    const std::string errors = runtime_.path("second.err");
    const pid_t second = start(errors, {set});
    ASSERT_GT(second, 0);
    EXPECT_EQ(waitForExit(second), 0);
    EXPECT_EQ(readFile(errors), "Corvane is already running: its window is in front now.\n");
    // The running window reads the set (this one is damaged: it shows the error box) and runs on.
    EXPECT_EQ(waitForExit(first, std::chrono::seconds(1)), -1);
    stop(first);
}

TEST_F(ProgramStarts, HelpAndVersionNeedNoDisplayAndABadCommandLineEndsWithStatusTwo) {
    const std::string out = runtime_.path("out");
    const std::string err = runtime_.path("err");
    const pid_t version = start(err, {"--version"}, out, false);
    ASSERT_GT(version, 0);
    EXPECT_EQ(waitForExit(version), 0);
    EXPECT_EQ(readFile(out), "corvane " CORVANE_VERSION "\n");
    EXPECT_EQ(readFile(err), "");

    const pid_t help = start(err, {"--help"}, out, false);
    EXPECT_EQ(waitForExit(help), 0);
    EXPECT_EQ(readFile(out).rfind("Usage: corvane [FILE.CVN]\n", 0), 0u);
    EXPECT_FALSE(markerHeld()) << "neither takes the instance marker";

    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--bogus"}, {runtime_.path("missing.CVN")}, {"a.CVN", "b.CVN"}}) {
        const pid_t bad = start(err, arguments, out, false);
        EXPECT_EQ(waitForExit(bad), 2) << arguments.front();
        const std::string said = readFile(err);
        EXPECT_EQ(said.rfind("corvane: ", 0), 0u) << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_EQ(readFile(out), "");
    }
}

// Without a display the window cannot be shown: one line says why, and the status is 1 (Qt alone
// would abort with a page of text).
TEST_F(ProgramStarts, WithoutADisplayOneLineAndStatusOne) {
    const std::string err = runtime_.path("err");
    const pid_t none = start(err, {}, "/dev/null", false);
    ASSERT_GT(none, 0);
    EXPECT_EQ(waitForExit(none), 1);
    std::string said = readFile(err);
    EXPECT_EQ(said,
              "corvane: cannot show the window: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)\n");

    // A display that does not answer: the window system's own words.
    const pid_t dead = start(err, {}, "/dev/null", false, {"QT_QPA_PLATFORM=xcb", "DISPLAY=:4729"});
    ASSERT_GT(dead, 0);
    EXPECT_EQ(waitForExit(dead), 1);
    said = readFile(err);
    EXPECT_EQ(said.rfind("corvane: cannot show the window: ", 0), 0u) << said;
    EXPECT_NE(said.find(":4729"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}

TEST_F(ProgramStarts, TwoStartsAtOnceLeaveExactlyOneRunning) {
    const pid_t a = start();
    const pid_t b = start();
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    ASSERT_TRUE(waitForMarker());
    // One of them ends with status 0; the other keeps running.
    int ended = 0;
    pid_t running = -1;
    const auto deadline = std::chrono::steady_clock::now() + kGenerousTimeout;
    while (ended == 0 && std::chrono::steady_clock::now() < deadline) {
        for (pid_t pid : {a, b}) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
                ++ended;
                running = pid == a ? b : a;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_EQ(ended, 1);
    EXPECT_EQ(waitForExit(running, std::chrono::seconds(1)), -1);
    stop(running);
}

} // namespace
} // namespace corvane::testing
