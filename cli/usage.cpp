#include "cli/usage.h"

#include <cstdio>

namespace corvane::cli {

const char* const kUsage = "Usage: corvane-cli COMMAND [OPTIONS] ARGUMENTS\n"
                           "\n"
                           "Finds files with identical contents, byte for byte.\n"
                           "\n"
                           "Commands:\n"
                           "  find [OPTIONS] [-t PATTERNS] FOLDER [[-t PATTERNS] FOLDER]...\n"
                           "      Searches each FOLDER and its subfolders for files matching PATTERNS\n"
                           "      (file-name patterns separated by \";\", default \"*.*\"; each -t applies\n"
                           "      to the folders after it), then prints every group of identical files:\n"
                           "      the original first, then its duplicates, a blank line between groups.\n"
                           "      --json       print one JSON object instead, with each group's size and\n"
                           "                   the bytes the duplicates occupy\n"
                           "      --format csv one row a file: group,size,role,path (RFC 4180 quoting)\n"
                           "      -0, --null   end each path with a NUL instead of a line break, and\n"
                           "                   separate groups with one more NUL\n"
                           "      --quiet, -q  no progress on stderr\n"
                           "      --save NAME  also keep the search as the result set NAME, NAME.~SR~ and\n"
                           "                   NAME.~DF~, which the window opens with File > Open\n"
                           "  dump FILE\n"
                           "      Prints a component stream (a result file or a window description) in\n"
                           "      its text form, the rows and nodes of its lists and trees as comments.\n"
                           "  show [--json] NAME\n"
                           "      Prints the result set NAME (as saved by the window or by find --save):\n"
                           "      its search paths with their patterns, the number of searched files and\n"
                           "      the groups of identical files as find prints them. --json prints the\n"
                           "      JSON of find --json with \"paths\" and each group's \"checked\" states.\n"
                           "\n"
                           "  --help       show this help\n"
                           "  --version    show the version\n"
                           "\n"
                           "Exit status: 0 success, 1 error, 2 usage error.\n";

int usageError(const std::string& reason) {
    std::fprintf(stderr, "corvane-cli: %s\n\n%s", reason.c_str(), kUsage);
    return 2;
}

} // namespace corvane::cli
