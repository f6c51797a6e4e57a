#include "cli/option_syntax.h"

#include <algorithm>

namespace corvane::cli {

namespace {

bool listed(const std::vector<std::string_view>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool isHelp(std::string_view arg) {
    return arg == "--help" || arg == "-h";
}

// "-xq0", or "-t*.c": each letter a flag, until one that takes a value, which takes the rest.
std::string splitLetters(const std::string& arg, const CommandOptions& options, const Arguments& args,
                         size_t& i, PlainArguments& out) {
    for (size_t at = 1; at < arg.size(); ++at) {
        const std::string option{'-', arg[at]};
        if (listed(options.withValue, option)) {
            out.args.push_back(option);
            if (at + 1 < arg.size()) {
                out.args.push_back(arg.substr(at + 1));
            } else if (i + 1 < args.size()) {
                out.args.push_back(args[++i]);
            }
            return {};
        }
        if (option == "-h") {
            out.helpAsked = true;
        } else if (listed(options.flags, option)) {
            out.args.push_back(option);
        } else {
            return "unknown option '" + option + "'" + (arg.size() > 2 ? " in '" + arg + "'" : "");
        }
    }
    return {};
}

} // namespace

PlainArguments plainArguments(const Arguments& args, const CommandOptions& options) {
    PlainArguments out;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            out.args.insert(out.args.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
            break;
        }
        if (isHelp(arg)) {
            out.helpAsked = true;
            continue;
        }
        if (listed(options.withValue, arg)) {
            // The next argument is its value, whatever it looks like; a missing one is the command's to name.
            out.args.push_back(arg);
            if (i + 1 < args.size()) {
                out.args.push_back(args[++i]);
            }
            continue;
        }
        if (arg.rfind("--", 0) == 0) {
            const size_t equals = arg.find('=');
            const std::string name = arg.substr(0, equals);
            if (equals != std::string::npos && listed(options.withValue, name)) {
                out.args.push_back(name);
                out.args.push_back(arg.substr(equals + 1));
                continue;
            }
            if (equals != std::string::npos && (listed(options.flags, name) || name == "--help")) {
                out.error = "option " + name + " takes no value";
                return out;
            }
            out.args.push_back(arg);
            continue;
        }
        if (arg.size() > 2 && arg[0] == '-') {
            if (std::string reason = splitLetters(arg, options, args, i, out); !reason.empty()) {
                out.error = std::move(reason);
                return out;
            }
            continue;
        }
        out.args.push_back(arg);
    }
    return out;
}

} // namespace corvane::cli

namespace corvane::cli {

namespace {

// What shapes a search, for find and the actions alike (cli/search_arguments.h).
const std::vector<std::string_view> kSearchWithValue{"-t",        "--types", "--min-size",  "--max-size",
                                                     "--exclude", "--keep",  "--files-from"};
const std::vector<std::string_view> kSearchFlags{
    "-q", "--quiet", "--stats", "-x", "--one-file-system", "--skip-hidden", "--skip-hard-links",
    "-0", "--null"};

CommandOptions withSearch(std::vector<std::string_view> withValue, std::vector<std::string_view> flags) {
    withValue.insert(withValue.end(), kSearchWithValue.begin(), kSearchWithValue.end());
    flags.insert(flags.end(), kSearchFlags.begin(), kSearchFlags.end());
    return {std::move(withValue), std::move(flags)};
}

} // namespace

const CommandOptions& findOptions() {
    static const CommandOptions options =
        withSearch({"--format", "--save"}, {"--json", "-f", "--omit-first"});
    return options;
}

const CommandOptions& actionOptions() {
    static const CommandOptions options =
        withSearch({"--keep-in", "--from", "--from-json"}, {"-n", "--dry-run", "--checked"});
    return options;
}

const CommandOptions& showOptions() {
    static const CommandOptions options{{}, {"--json"}};
    return options;
}

const CommandOptions& restoreOptions() {
    static const CommandOptions options{{}, {"-n", "--dry-run", "-q", "--quiet"}};
    return options;
}

const CommandOptions& dumpOptions() {
    static const CommandOptions options{};
    return options;
}

} // namespace corvane::cli
