#include "support/program_run.h"

#include "support/file_contents.h"
#include "support/temp_tree.h"

#include <fcntl.h>
#include <grp.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace corvane::testing {

namespace {

// Runs `program` from `workingFolder` (the test's own when empty), its standard input read from the
// file `input` (none when empty).
ProgramRun spawn(const std::string& workingFolder, const std::string& program,
                 const std::vector<std::string>& args, const std::string& input) {
    const TempTree io;
    const std::string out = io.path("out");
    const std::string err = io.path("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!input.empty()) {
        posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!workingFolder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    }
    std::vector<std::string> copies{program};
    copies.insert(copies.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : copies) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    ProgramRun run;
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = fileContents(out);
    run.err = fileContents(err);
    return run;
}

} // namespace

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args) {
    return spawn({}, program, args, {});
}

ProgramRun runProgramIn(const std::string& workingFolder, const std::string& program,
                        const std::vector<std::string>& args) {
    return spawn(workingFolder, program, args, {});
}

ProgramRun runProgramWithInput(const std::string& program, const std::vector<std::string>& args,
                               const std::string& input) {
    TempTree io;
    return spawn({}, program, args, io.writeFile("input", input));
}

ProgramRun runProgramUnprivileged(const std::string& program, const std::vector<std::string>& args) {
    if (::geteuid() != 0) {
        return runProgram(program, args);
    }
    const TempTree io;
    ::chmod(io.root().c_str(), 0777);
    const std::string out = io.path("out");
    const std::string err = io.path("err");
    std::vector<std::string> copies{program};
    copies.insert(copies.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : copies) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    ProgramRun run;
    const pid_t pid = ::fork();
    if (pid == 0) {
        constexpr uid_t kNobody = 65534;
        const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (outFd < 0 || errFd < 0 || ::dup2(outFd, 1) < 0 || ::dup2(errFd, 2) < 0 ||
            ::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
            ::_exit(127);
        }
        ::execve(program.c_str(), argv.data(), environ);
        ::_exit(127);
    }
    if (pid > 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    run.out = fileContents(out);
    run.err = fileContents(err);
    return run;
}

} // namespace corvane::testing
