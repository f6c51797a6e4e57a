#include "cli/usage.h"

#include "cli/terminal_text.h"

#include <cstdio>

namespace corvane::cli {

const char* const kUsage = "Usage: corvane-cli COMMAND [OPTIONS] ARGUMENTS\n"
                           "\n"
                           "Finds files with identical contents, byte for byte, and acts on them.\n"
                           "\n"
                           "Commands:\n"
                           "  find [OPTIONS] [-t PATTERNS] FOLDER [[-t PATTERNS] FOLDER]...\n"
                           "      Searches each FOLDER and its subfolders for files matching PATTERNS\n"
                           "      (file-name patterns separated by \";\", default \"*.*\"; each -t applies\n"
                           "      to the folders after it), then prints every group of identical files:\n"
                           "      the original first, then its duplicates, a blank line between groups.\n"
                           "  trash | link | dedupe [OPTIONS] --from SET | --from-json REPORT\n"
                           "  trash | link | dedupe [OPTIONS] FOLDER...\n"
                           "      Moves each duplicate to the trash, replaces it with a hard link to the\n"
                           "      copy that stays, or has the file system share its blocks with that copy;\n"
                           "      files in --keep-in folders are never touched, --keep chooses the copy\n"
                           "      that stays.\n"
                           "  restore [--dry-run] [PATH]...\n"
                           "      Undoes the last trash, link or dedupe run, or what it did to each PATH.\n"
                           "  show [--json] NAME\n"
                           "      Prints the result set NAME (as saved by the window or by find --save).\n"
                           "  dump FILE\n"
                           "      Prints a component stream (a result file or a window description) in\n"
                           "      its text form, the rows and nodes of its lists and trees as comments.\n"
                           "\n"
                           "Options take their values as \"--min-size 5\" or \"--min-size=5\"; one-letter\n"
                           "options may share one argument (\"-xq0\").\n"
                           "\n"
                           "  corvane-cli COMMAND --help   shows a command's options\n"
                           "  --help                       shows this help\n"
                           "  --version                    shows the version\n"
                           "\n"
                           "Exit status: 0 success, 1 error, 2 usage error.\n";

namespace {

constexpr const char* kFindHelp =
    "Usage: corvane-cli find [OPTIONS] [-t PATTERNS] FOLDER [[-t PATTERNS] FOLDER]...\n"
    "       corvane-cli find [OPTIONS] --files-from LIST [FOLDER]...\n"
    "\n"
    "Searches each FOLDER and its subfolders for files matching PATTERNS, compares the files of\n"
    "equal size byte for byte, and prints every group of identical files: the original (the\n"
    "earliest created, then the first found) first, then its duplicates, one path a line, a blank\n"
    "line between groups. The totals and the bytes the duplicates occupy follow on stderr. A FOLDER\n"
    "that is a file is searched as that one file; one that does not exist is named on stderr and\n"
    "the run ends with status 1 after its report. Folders and files that cannot be read are named\n"
    "on stderr with the reason, and counted at the end. Trash folders (the home trash, and .Trash\n"
    "and .Trash-UID at the top of a file system) are never searched: each one passed over is named\n"
    "on stderr at the end. With --save, the set holds absolute paths, whatever the FOLDERs were.\n"
    "\n"
    "Search:\n"
    "  -t, --types PATTERNS  file-name patterns for the folders that follow, separated by \";\"\n"
    "                        (\"*\" any run of characters, \"?\" one; case ignored; default \"*.*\",\n"
    "                        every file). A FOLDER must follow; a pattern that can never match\n"
    "                        (empty, or holding \"/\") is named in a warning\n"
    "  --min-size SIZE       files smaller than SIZE are not compared (they count as searched);\n"
    "                        SIZE in bytes, or with K, M, G or T (powers of 1024)\n"
    "  --max-size SIZE       files larger than SIZE are not compared\n"
    "  --exclude PATTERN     leave out every entry whose full path matches PATTERN, a glob as\n"
    "                        the shell's (\"*\" also across \"/\", case ignored): a folder is not\n"
    "                        entered, a file not searched. May be given several times\n"
    "  --skip-hidden         leave out every file and folder whose name starts with \".\" (a\n"
    "                        folder left out is not entered); by default they are searched\n"
    "  -x, --one-file-system do not enter folders on another file system than their FOLDER\n"
    "  --skip-hard-links     count the names of one file (hard links) once: only the first found\n"
    "                        is compared and reported. By default every name is reported, as in\n"
    "                        the window\n"
    "  -q, --quiet           no progress line on stderr\n"
    "  --stats               the time of each phase on stderr\n"
    "  --files-from LIST     also search each path of LIST (\"-\": standard input), one a line,\n"
    "                        or NUL-separated with -0\n"
    "  --                    every argument after it is a FOLDER\n"
    "\n"
    "Output:\n"
    "  --json                one JSON object (\"version\": 2): each group with its size, its files\n"
    "                        with the copy that stays marked \"keep\": true, the bytes the\n"
    "                        duplicates occupy, and the exact bytes (base64) of paths that are\n"
    "                        not UTF-8; the man page describes every member\n"
    "  --format FORMAT       text (the default), json, or csv: a header, then one row a file:\n"
    "                        group,size,role,path, quoted as RFC 4180 says\n"
    "  -0, --null            the plain list with each path ending in a NUL, and one more NUL\n"
    "                        between groups, for names that hold line breaks\n"
    "  -f, --omit-first      leave each group's first path (the copy that stays) out of the list\n"
    "  --keep RULE[,RULE...] mark the copy an action would keep: it comes first, \"+ \" before it\n"
    "                        and \"- \" before the others (csv: role keep); rules as for trash\n"
    "  --save NAME           also write the search as the result set NAME, NAME.~SR~ and\n"
    "                        NAME.~DF~, which the window opens with File > Open\n"
    "\n"
    "Exit status: 0 success (with or without duplicates), 1 error, 2 usage error.\n";

// The help of trash, link and dedupe: one text with the command's own first lines.
constexpr const char* kActionOptions =
    "\n"
    "Which copy stays: in each group of identical files, the original, unless files of the group lie\n"
    "in --keep-in folders: those are never touched, and the first of them in group order stays. A\n"
    "group whose files all lie in --keep-in folders is left alone. Else --keep RULE,... chooses:\n"
    "the first rule that tells the files apart decides, ties go on to the next rule, then to the\n"
    "group's order. Rules: original (the default), oldest, newest (modification time),\n"
    "first-folder (the FOLDER given first), shortest-path, longest-path. Just before each file is acted\n"
    "on, it and the copy that stays are checked to hold the same bytes still; if the original\n"
    "changed or is gone, the first of the duplicates that still agree stays in its place. No action\n"
    "ever removes the last copy of a content: files in a trash are never a copy that stays, a file\n"
    "mounted over another name is that file, not a copy of it, and right after each file goes, the\n"
    "copy that stays is looked at again; if it went too (one file seen through two paths, as on a\n"
    "second mount of a folder), the file is put back and refused. A file lies in a --keep-in folder\n"
    "when any path to it does (a bind mount of a folder inside it included).\n"
    "\n"
    "Options:\n"
    "  -n, --dry-run         print what would be done, change nothing\n"
    "  --keep-in FOLDER      never touch the files in FOLDER (at any depth); they are the copies\n"
    "                        that stay. May be given several times\n"
    "  --keep RULE[,RULE...] the copy that stays, by rule (see above)\n"
    "  --from SET            act on the groups of the result set SET (saved by the window or by\n"
    "                        find --save); every file is compared byte for byte again first. A\n"
    "                        set that names its files by relative paths is refused\n"
    "  --checked             with --from: act on the files ticked in the set, not on every\n"
    "                        duplicate; the files not ticked stay, and no last copy goes\n"
    "  --from-json REPORT    act on a report of find --json (\"-\": standard input), edited or not:\n"
    "                        only files every list of their group still names take part, the\n"
    "                        one marked \"keep\": true stays; each file is compared again first\n"
    "\n"
    "Without --from, the FOLDERs are searched first, as find searches them:\n"
    "  -t, --types PATTERNS  file-name patterns for the folders that follow (default \"*.*\")\n"
    "  --min-size SIZE, --max-size SIZE, --exclude PATTERN, --skip-hidden, -x,\n"
    "  --one-file-system, --skip-hard-links,\n"
    "  --files-from LIST, -0 as for find (see corvane-cli find --help)\n"
    "  -q, --quiet           no progress line on stderr\n"
    "  --                    every argument after it is a FOLDER\n"
    "\n"
    "Output: one line for each file acted on, left unchanged, kept, refused or failed, with the\n"
    "reason; on stderr a closing line with the counts and bytes.\n"
    "\n"
    "Exit status: 0 when every planned action was done, 1 when any was refused or failed (or the\n"
    "search, the set or the report failed), 2 usage error (a FOLDER that does not exist included:\n"
    "nothing is done).\n";

constexpr const char* kTrashHead =
    "Usage: corvane-cli trash [--dry-run] [--keep-in FOLDER]... [--keep RULES | --checked] --from SET\n"
    "       corvane-cli trash [--dry-run] [--keep-in FOLDER]... [--keep RULES] --from-json REPORT\n"
    "       corvane-cli trash [--dry-run] [--keep-in FOLDER]... [--keep RULES] [OPTIONS] FOLDER...\n"
    "\n"
    "Moves each duplicate to the freedesktop.org trash (the home trash, or the trash at the top of\n"
    "the file system that holds it), where any file manager can restore it. Nothing is deleted.\n";

constexpr const char* kLinkHead =
    "Usage: corvane-cli link [--dry-run] [--keep-in FOLDER]... [--keep RULES | --checked] --from SET\n"
    "       corvane-cli link [--dry-run] [--keep-in FOLDER]... [--keep RULES] --from-json REPORT\n"
    "       corvane-cli link [--dry-run] [--keep-in FOLDER]... [--keep RULES] [OPTIONS] FOLDER...\n"
    "\n"
    "Replaces each duplicate with a hard link to the copy that stays, in one step: a link under a\n"
    "temporary name in the duplicate's folder takes the duplicate's name. Both names then show one\n"
    "file, with the owner, permissions and times of the copy that stays. Only within one file\n"
    "system that can exchange two names in one step; a duplicate on another is refused, one that\n"
    "already is a link to it left alone, and empty files are passed over (nothing to reclaim).\n";

constexpr const char* kDedupeHead =
    "Usage: corvane-cli dedupe [--dry-run] [--keep-in FOLDER]... [--keep RULES | --checked] --from SET\n"
    "       corvane-cli dedupe [--dry-run] [--keep-in FOLDER]... [--keep RULES] --from-json REPORT\n"
    "       corvane-cli dedupe [--dry-run] [--keep-in FOLDER]... [--keep RULES] [OPTIONS] FOLDER...\n"
    "\n"
    "Has the file system keep one copy of the blocks of each duplicate and the copy that stays\n"
    "(Linux FIDEDUPERANGE, on XFS, Btrfs and others): both stay separate files with their own\n"
    "names, owners and times, and the space is reclaimed. The kernel compares the bytes itself\n"
    "before it shares them. On a file system that cannot (ext4, tmpfs) each file fails with the\n"
    "reason and nothing changes. Prints the bytes newly shared: blocks the two files shared\n"
    "already are not counted again, and empty files are passed over.\n";

constexpr const char* kShowHelp =
    "Usage: corvane-cli show [--json] NAME\n"
    "\n"
    "Prints the result set NAME, NAME.~SR~ and NAME.~DF~ (as saved by the window or by find --save):\n"
    "its search paths with their patterns, the number of searched files, and its groups of identical\n"
    "files as find printed them, in find's order.\n"
    "\n"
    "  --json    one JSON object: find's, with \"paths\" and each group's \"checked\" states\n"
    "\n"
    "Exit status: 0 success, 1 a file of the set cannot be read, 2 usage error.\n";

constexpr const char* kRestoreHelp =
    "Usage: corvane-cli restore [--dry-run] [--] [PATH]...\n"
    "\n"
    "Undoes what the last trash, link or dedupe run changed, the last change first (the window's\n"
    "Edit > Undo does the same). With PATHs, only what it did to those files. A trashed file is\n"
    "renamed back from the trash to its place, if its folder is still there, nothing else has taken\n"
    "the place, and the file in the trash is the one the run moved there. A file that became a hard\n"
    "link gets its own copy of the bytes again, with its former permissions, owner and modification\n"
    "time, while it is still a name of the file it was linked to. A deduplicated file needs nothing:\n"
    "its bytes always were its own.\n"
    "\n"
    "Each run keeps its record in $XDG_STATE_HOME/corvane/last-run (~/.local/state/corvane/last-run);\n"
    "what cannot be put back now but might be later (its place is taken, the system refused) stays\n"
    "there for another try.\n"
    "\n"
    "  -n, --dry-run   print what would be put back; change nothing\n"
    "  -q, --quiet     taken, as by every command (restore prints no progress line)\n"
    "\n"
    "Output: one line for each file put back, unchanged or not put back, with the reason; on stderr a\n"
    "closing line with the counts.\n"
    "\n"
    "Exit status: 0 when everything asked for was put back or needed nothing (or no run is\n"
    "recorded), 1 when anything was not put back, a PATH is not in the record, or the record cannot\n"
    "be read, 2 usage error.\n";

constexpr const char* kDumpHelp =
    "Usage: corvane-cli dump FILE\n"
    "\n"
    "Prints a component stream (a file of a result set, or a compiled window description) in its\n"
    "text form, one line a property, the rows and nodes of its lists and trees as comments. It prints\n"
    "while it reads: for a damaged file the text ends where the fault is found.\n"
    "\n"
    "Exit status: 0 success, 1 the file is not a valid stream or cannot be read, 2 usage error.\n";

} // namespace

std::string commandHelp(std::string_view command) {
    if (command == "find") {
        return kFindHelp;
    }
    if (command == "trash") {
        return std::string(kTrashHead) + kActionOptions;
    }
    if (command == "link") {
        return std::string(kLinkHead) + kActionOptions;
    }
    if (command == "dedupe") {
        return std::string(kDedupeHead) + kActionOptions;
    }
    if (command == "restore") {
        return kRestoreHelp;
    }
    if (command == "show") {
        return kShowHelp;
    }
    if (command == "dump") {
        return kDumpHelp;
    }
    return {};
}

int usageError(std::string_view command, const std::string& reason) {
    const std::string named = command.empty() ? std::string() : std::string(command) + ": ";
    const std::string help = command.empty() ? "--help" : std::string(command) + " --help";
    std::fprintf(stderr, "corvane-cli: %s%s\nTry 'corvane-cli %s'.\n", named.c_str(),
                 shownOn(stderr, reason).c_str(), help.c_str());
    return 2;
}

} // namespace corvane::cli
