// corvane-cli dump FILE: prints a component stream (a result file, a compiled window description) in
// its text form, with the rows and nodes of its byte blocks shown as comments.

#include "cli/commands.h"
#include "cli/usage.h"

#include "stream/byte_streams.h"
#include "stream/error.h"
#include "stream/text_form.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace corvane::cli {

int runDump(const Arguments& args) {
    std::string path;
    for (const std::string& arg : args) {
        if (arg.size() > 1 && arg[0] == '-') {
            return usageError("dump: unknown option '" + arg + "'");
        }
        if (!path.empty()) {
            return usageError("dump takes one FILE");
        }
        path = arg;
    }
    if (path.empty()) {
        return usageError("dump needs a FILE");
    }
    std::string text;
    try {
        stream::TextFormOptions options;
        options.describeBlocks = true;
        text = stream::streamToText(stream::readWholeFile(path), options);
    } catch (const Error& error) {
        std::fprintf(stderr, "corvane-cli: error: %s\n", error.what());
        return 1;
    }
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "corvane-cli: error: cannot write the text: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}

} // namespace corvane::cli
