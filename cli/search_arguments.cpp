#include "cli/search_arguments.h"

namespace corvane::cli {

std::string SearchArguments::take(const Arguments& args, size_t& i) {
    const std::string& arg = args[i];
    if (optionsOpen_ && arg == "--") {
        optionsOpen_ = false;
        return {};
    }
    if (optionsOpen_ && (arg == "--quiet" || arg == "-q")) {
        request_.quiet = true;
        return {};
    }
    if (optionsOpen_ && arg == "--stats") {
        request_.stats = true;
        return {};
    }
    shapesSearch_ = true;
    if (optionsOpen_ && (arg == "-t" || arg == "--types")) {
        if (i + 1 >= args.size()) {
            return "option " + arg + " needs a pattern text";
        }
        pattern_ = args[++i];
    } else if (optionsOpen_ && arg.size() > 1 && arg[0] == '-') {
        return "unknown option '" + arg + "'";
    } else if (arg.empty()) {
        return "a folder must not be empty";
    } else {
        request_.folders.push_back(arg);
        request_.patterns.push_back(pattern_);
    }
    return {};
}

std::string SearchArguments::finish() {
    if (request_.folders.empty()) {
        return "no folder to search";
    }
    return {};
}

} // namespace corvane::cli
