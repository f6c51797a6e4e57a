#include "app/command_line.h"

#include "corvane_version.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::app {

namespace {

// A name as one line of text: control bytes (a newline in a file name) as \ooo, the rest as it is.
std::string oneLine(const std::string& bytes) {
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f || c == '\\') {
            const char digits[] = {'\\', char('0' + (byte >> 6)), char('0' + ((byte >> 3) & 7)),
                                   char('0' + (byte & 7)), '\0'};
            text += digits;
        } else {
            text += c;
        }
    }
    return text;
}

CommandLine invalid(const std::string& error) {
    return {CommandLine::Action::Invalid, {}, "corvane: " + error + " (corvane --help tells the usage)"};
}

std::string currentFolder() {
    std::string folder(256, '\0');
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE) {
            return {};
        }
        folder.resize(folder.size() * 2);
    }
    folder.resize(std::strlen(folder.c_str()));
    return folder;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    std::vector<std::string> files;
    bool options = true;
    for (const std::string& argument : arguments) {
        if (options && argument == "--") {
            options = false;
        } else if (options && (argument == "--help" || argument == "-h")) {
            return {CommandLine::Action::Help, {}, {}};
        } else if (options && argument == "--version") {
            return {CommandLine::Action::Version, {}, {}};
        } else if (options && argument.size() > 1 && argument[0] == '-') {
            return invalid("unknown option " + oneLine(argument));
        } else {
            files.push_back(argument);
        }
    }
    if (files.empty()) {
        return {};
    }
    if (files.size() > 1) {
        return invalid("one result set at a time, not " + std::to_string(files.size()));
    }
    std::string file = files.front();
    struct stat info {};
    if (file.empty() || ::stat(file.c_str(), &info) != 0) {
        return invalid(oneLine(file) + ": " + std::strerror(file.empty() ? ENOENT : errno));
    }
    if (S_ISDIR(info.st_mode)) {
        return invalid(oneLine(file) + ": " + std::strerror(EISDIR));
    }
    if (file[0] != '/') {
        const std::string folder = currentFolder();
        if (folder.empty()) {
            return invalid(oneLine(file) + ": cannot tell the current folder: " + std::strerror(errno));
        }
        file = folder + (folder.back() == '/' ? "" : "/") + file;
    }
    return {CommandLine::Action::Run, file, {}};
}

std::string helpText() {
    return "Usage: corvane [FILE.CVN]\n"
           "Finds files with identical contents, byte for byte, in the folders you list.\n"
           "\n"
           "  FILE.CVN       open this saved result set (with its .~SR~ and .~DF~ files beside it);\n"
           "                 when Corvane already runs, its window opens it\n"
           "  -h, --help     print this help and end\n"
           "      --version  print the version and end\n"
           "  --             what follows is a file name, even if it starts with -\n"
           "\n"
           "corvane-cli is the command-line front end; see corvane(1) and corvane-cli(1).\n";
}

std::string versionText() {
    return std::string("corvane ") + CORVANE_VERSION + "\n";
}

} // namespace corvane::app
