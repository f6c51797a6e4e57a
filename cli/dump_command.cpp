// corvane-cli dump FILE: prints a component stream (a result file, a compiled window description) in
// its text form, with the rows and nodes of its byte blocks shown as comments. The text goes out as
// the stream is read; a fault ends it there, and the error (a message and status 1) is left to main.

#include "cli/commands.h"
#include "cli/usage.h"

#include "stream/byte_streams.h"
#include "stream/text_form.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace corvane::cli {

int runDump(const Arguments& args) {
    std::string path;
    for (const std::string& arg : args) {
        if (arg.size() > 1 && arg[0] == '-') {
            return usageError("dump", "unknown option '" + arg + "'");
        }
        if (!path.empty()) {
            return usageError("dump", "it takes one FILE");
        }
        path = arg;
    }
    if (path.empty()) {
        return usageError("dump", "a FILE is needed");
    }
    // Read as it is printed: the signature first, then piece by piece, so that neither a file that
    // is no stream nor one that never ends (/dev/zero) is read whole.
    stream::FileInputStream in(path);
    int writeError = 0;
    const auto write = [&writeError](std::string_view text) {
        if (writeError == 0 && std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
            writeError = errno != 0 ? errno : EIO;
        }
    };
    stream::TextFormOptions options;
    options.describeBlocks = true;
    stream::printStream(in, options, write);
    if (writeError == 0 && std::fflush(stdout) != 0) {
        writeError = errno;
    }
    if (writeError != 0) {
        std::fprintf(stderr, "corvane-cli: error: cannot write the text: %s\n", std::strerror(writeError));
        return 1;
    }
    return 0;
}

} // namespace corvane::cli
