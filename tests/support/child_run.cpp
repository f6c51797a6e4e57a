#include "support/child_run.h"

#include "support/temp_tree.h"

#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace corvane::testing {

namespace {

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

ChildRun runChild(const std::string& program, const std::vector<std::string>& args,
                  const ChildOptions& options) {
    const TempTree io;
    const std::string outPath = options.discardOutput ? "/dev/null" : io.path("out");
    const std::string errPath = io.path("err");
    // Everything the child needs is made before the fork: after it, only system calls.
    std::vector<std::string> all = {program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    ChildRun run;
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) {
            ::_exit(127);
        }
        if (options.addressSpaceBytes != 0) {
            const rlimit limit{options.addressSpaceBytes, options.addressSpaceBytes};
            if (::setrlimit(RLIMIT_AS, &limit) != 0) {
                ::_exit(127);
            }
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (pid > 0) {
        int status = 0;
        rusage usage{};
        if (::wait4(pid, &status, 0, &usage) == pid) {
            run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
            run.peakKilobytes = usage.ru_maxrss;
        }
    }
    run.out = options.discardOutput ? std::string() : contentsOf(outPath);
    run.err = contentsOf(errPath);
    return run;
}

bool memoryFiguresAreMeaningful() {
#if defined(__SANITIZE_ADDRESS__)
    return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return false;
#else
    return true;
#endif
#else
    return true;
#endif
}

} // namespace corvane::testing
