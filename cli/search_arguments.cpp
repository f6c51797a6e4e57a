#include "cli/search_arguments.h"

#include "cli/whole_input.h"

#include "engine/file_scanner.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

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
    if (optionsOpen_ && (arg == "-0" || arg == "--null")) {
        request_.nullSeparated = true;
        return {};
    }
    if (optionsOpen_ && arg == "--keep") {
        if (i + 1 >= args.size()) {
            return "option --keep needs a RULE or RULE,RULE...";
        }
        if (!request_.keepRules.empty()) {
            return "option --keep may be given once (name its rules in order: --keep newest,first-folder)";
        }
        engine::ParsedKeepRules parsed = engine::parseKeepRules(args[++i]);
        if (!parsed.error.empty()) {
            return "--keep: " + parsed.error;
        }
        request_.keepRules = std::move(parsed.rules);
        return {};
    }
    shapesSearch_ = true;
    if (optionsOpen_ && (arg == "-t" || arg == "--types")) {
        if (i + 1 >= args.size()) {
            return "option " + arg + " needs a pattern text";
        }
        pattern_ = args[++i];
        patternUnused_ = true;
    } else if (optionsOpen_ && (arg == "--min-size" || arg == "--max-size")) {
        const std::optional<int64_t> size = i + 1 < args.size() ? parseSize(args[i + 1]) : std::nullopt;
        if (!size) {
            return "option " + arg + " needs a SIZE: bytes, or a number with K, M, G or T";
        }
        ++i;
        (arg == "--min-size" ? request_.filters.minSize : request_.filters.maxSize) = *size;
    } else if (optionsOpen_ && arg == "--files-from") {
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            return "option --files-from needs a FILE, or - for the standard input";
        }
        if (!filesFrom_.empty()) {
            return "option --files-from may be given once";
        }
        filesFrom_ = args[++i];
        filesFromPattern_ = pattern_;
        readsPathList_ = true;
        patternUnused_ = false;
    } else if (optionsOpen_ && arg == "--exclude") {
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            return "option --exclude needs a PATTERN";
        }
        request_.filters.excludes.push_back(args[++i]);
    } else if (optionsOpen_ && (arg == "-x" || arg == "--one-file-system")) {
        request_.filters.oneFileSystem = true;
    } else if (optionsOpen_ && arg == "--skip-hidden") {
        request_.filters.skipHidden = true;
    } else if (optionsOpen_ && arg == "--skip-hard-links") {
        request_.filters.skipHardLinks = true;
    } else if (optionsOpen_ && arg.size() > 1 && arg[0] == '-') {
        return "unknown option '" + arg + "'";
    } else if (arg.empty()) {
        return "a folder must not be empty";
    } else {
        request_.folders.push_back(arg);
        request_.patterns.push_back(pattern_);
        patternUnused_ = false;
    }
    return {};
}

std::vector<std::string> splitPathList(std::string_view bytes, bool nullSeparated) {
    std::vector<std::string> paths;
    const char end = nullSeparated ? '\0' : '\n';
    size_t start = 0;
    while (start < bytes.size()) {
        size_t stop = bytes.find(end, start);
        if (stop == std::string_view::npos) {
            stop = bytes.size();
        }
        if (stop > start) {
            paths.push_back(std::string(bytes.substr(start, stop - start)));
        }
        start = stop + 1;
    }
    return paths;
}

std::string SearchArguments::finish() {
    if (!filesFrom_.empty()) {
        std::string bytes;
        if (const int error = readWholeInput(filesFrom_, bytes); error == EFBIG) {
            return "--files-from " + filesFrom_ + ": the list is larger than " + wholeInputBoundText() +
                   ", more than corvane-cli reads";
        } else if (error != 0) {
            return "--files-from " + filesFrom_ + ": " + std::strerror(error);
        }
        std::vector<std::string> listed = splitPathList(bytes, request_.nullSeparated);
        for (const std::string& path : listed) {
            if (path.find('\0') != std::string::npos) {
                // Given to the system, the name would end at the zero and name another file.
                return "--files-from " + filesFrom_ +
                       ": a line holds a zero byte, which no name of a file can "
                       "(give -0 for a list of names that each end in one)";
            }
        }
        for (std::string& path : listed) {
            request_.folders.push_back(std::move(path));
            request_.patterns.push_back(filesFromPattern_);
        }
        filesFrom_.clear();
    }
    // An empty list adds nothing (a script's list may be empty on a quiet day); with no FOLDER
    // beside it, nothing is searched.
    if (request_.folders.empty() && !readsPathList_) {
        return "no folder to search";
    }
    if (request_.filters.minSize > request_.filters.maxSize) {
        return "--min-size is larger than --max-size";
    }
    if (patternUnused_) {
        return "option -t applies to the FOLDERs after it, and none follows '" + pattern_ + "'";
    }
    return {};
}

std::vector<std::string> patternWarnings(const SearchRequest& request) {
    std::vector<std::string> found;
    std::vector<std::string> seen;
    for (const std::string& text : request.patterns) {
        if (std::find(seen.begin(), seen.end(), text) != seen.end()) {
            continue;
        }
        seen.push_back(text);
        const engine::StringList patterns = engine::splitPatternText(text);
        if (patterns.empty()) {
            found.push_back("the pattern text '" + text + "' names no pattern: its FOLDERs are not searched");
        }
        for (const std::string_view name : patterns) {
            const std::string pattern(name);
            if (pattern.empty()) {
                found.push_back("the pattern text '" + text +
                                "' holds an empty pattern, which matches no file");
            } else if (pattern.find('/') != std::string::npos) {
                found.push_back("the pattern '" + pattern + "' holds a '/' and can never match a file name");
            }
        }
    }
    return found;
}

} // namespace corvane::cli
