#pragma once

// The window program's command line: `corvane [--help | --version | [--] FILE.CVN]`. It is read
// before anything of Qt starts, so that --help and --version work without a display, and a bad
// command line ends at once with one line on stderr and status 2.

#include <string>
#include <vector>

namespace corvane::app {

struct CommandLine {
    enum class Action {
        Run,     // start the window, with `file` opened when it is not empty
        Help,    // print helpText() and end with status 0
        Version, // print versionText() and end with status 0
        Invalid, // print `error` on stderr and end with status 2
    };
    Action action = Action::Run;
    // The result set to open: the absolute name of its .CVN file, as bytes.
    std::string file;
    // One line, without its newline.
    std::string error;
};

// Reads the arguments after the program's name. A file must exist and be no folder; a relative
// name is made absolute against the current folder (not resolved: links stay as given), since it
// may be handed to a running instance with another current folder.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

std::string helpText();
std::string versionText();

} // namespace corvane::app
