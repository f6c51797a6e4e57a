// corvane-cli trash | link | dedupe: acting on groups of identical files, with the checks the
// window makes before it deletes (engine/action_plan.h) and folders whose files stay untouched.

#include "cli/commands.h"
#include "cli/counted.h"
#include "cli/json_report.h"
#include "cli/progress_line.h"
#include "cli/result_files.h"
#include "cli/search_run.h"
#include "cli/terminal_text.h"
#include "cli/usage.h"
#include "cli/whole_input.h"
#include "engine/action_runner.h"
#include "engine/keep_in_folders.h"
#include "engine/keep_rules.h"
#include "engine/run_record.h"
#include "stream/error.h"
#include "stream/result_set.h"

#include <algorithm>
#include <set>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace corvane::cli {

namespace {

using engine::ActionOutcome;
using engine::ActionStatus;
using engine::FileGroup;
using engine::FilePlan;
using engine::GroupPlan;
using engine::Verdict;

// What sets one action apart from the others: its words and what it does to a file.
struct ActionKind {
    const char* command;   // "trash"
    const char* done;      // "trashed"
    const char* joinsWith; // between the file and the copy that stays: " to ", " with ", or none
    const char* closing;   // the closing line's verb: "Trashed"
    bool bytesShared;      // its bytes are those the file system shares, not the files' sizes
    engine::FileAction action;
    engine::ActionPreview preview; // what a dry run can tell of the action without acting
};

const ActionKind kTrash{"trash", "trashed", nullptr, "Trashed", false, engine::moveToTrashAction, nullptr};
const ActionKind kLink{
    "link", "linked", " to ", "Linked", false, engine::linkToKeeperAction, engine::previewLinkToKeeper};
const ActionKind kDedupe{"dedupe",
                         "deduped",
                         " with ",
                         "Deduplicated",
                         true,
                         engine::shareBlocksAction,
                         engine::previewShareBlocks};

struct ActionOptions {
    SearchArguments search;
    bool dryRun = false;
    std::vector<std::string> keepIn;
    std::string fromSet;
    std::string fromReport; // --from-json: a report of find --json, "-" for the standard input
    bool checked = false;   // --checked: the files ticked in the set, not every duplicate
};

std::string parseActionArguments(const Arguments& args, ActionOptions& options) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool open = options.search.optionsOpen();
        if (open && (arg == "--dry-run" || arg == "-n")) {
            options.dryRun = true;
        } else if (open && arg == "--keep-in") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                return "option --keep-in needs a FOLDER";
            }
            options.keepIn.push_back(args[++i]);
        } else if (open && arg == "--from") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                return "option --from needs the NAME of a result set";
            }
            if (!options.fromSet.empty()) {
                return "option --from may be given once";
            }
            options.fromSet = args[++i];
        } else if (open && arg == "--from-json") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                return "option --from-json needs a FILE, or - for the standard input";
            }
            if (!options.fromReport.empty()) {
                return "option --from-json may be given once";
            }
            options.fromReport = args[++i];
        } else if (open && arg == "--checked") {
            options.checked = true;
        } else if (std::string reason = options.search.take(args, i); !reason.empty()) {
            return reason;
        }
    }
    if (!options.fromSet.empty() && !options.fromReport.empty()) {
        return "--from SET and --from-json FILE name two sources: give one";
    }
    if (options.checked && options.fromSet.empty()) {
        return "--checked acts on the files ticked in a result set: it goes with --from SET";
    }
    if (options.checked && !options.search.request().keepRules.empty()) {
        return "--checked and --keep both choose the files to act on: give one";
    }
    if (!options.fromSet.empty() || !options.fromReport.empty()) {
        if (options.search.shapesSearch()) {
            return std::string(options.fromSet.empty() ? "--from-json FILE" : "--from SET") +
                   " takes no FOLDER and no search options";
        }
        return {};
    }
    if (std::string reason = options.search.finish(); !reason.empty()) {
        return reason + " (give FOLDERs, --from SET or --from-json FILE)";
    }
    return {};
}

// The groups to act on, the search folders they were found in (for first-folder), and those of
// the folders that a result set marks as reference folders (their files stay, as with --keep-in).
struct ActionSource {
    std::vector<FileGroup> groups;
    std::vector<std::string> folders;
    std::vector<std::string> referenceFolders;
};

// The groups of a result set on disk, each file chosen as it was ticked: no comparison of this
// session stands for their bytes.
ActionSource groupsOfSet(const std::string& name) {
    stream::MainWindowLists lists;
    stream::readResultSet(name, lists.set());
    ActionSource source;
    for (const stream::ListRow& row : lists.searchPaths.rowData()) {
        source.folders.push_back(row.caption);
        if (row.data == stream::kReferenceFolderRowData) {
            source.referenceFolders.push_back(row.caption);
        }
    }
    std::vector<FileGroup>& groups = source.groups;
    const auto relative = [](const StoredFile& file) {
        return file.path.empty() || file.path.front() != platform::kPathSeparator;
    };
    const auto zeroInName = [](const StoredFile& file) { return file.path.find('\0') != std::string::npos; };
    for (const StoredGroup& stored : storedGroups(lists.duplicates.nodeData())) {
        if (relative(stored.original) ||
            std::any_of(stored.duplicates.begin(), stored.duplicates.end(), relative)) {
            // Taken from here, such a path could name files that were never searched.
            throw Error(
                "The result set " + name +
                " names files by paths relative to the folder it was searched from, which is not known: "
                "search again to act on them");
        }
        if (zeroInName(stored.original) ||
            std::any_of(stored.duplicates.begin(), stored.duplicates.end(), zeroInName)) {
            // Given to the system, such a name would end at the zero and name another file.
            throw Error("The result set " + name +
                        " names a file with a zero byte in its name, which no name of a file can hold: "
                        "nothing was done");
        }
        FileGroup& group = groups.emplace_back();
        group.files.push_back({stored.original.path, std::nullopt, stored.original.checked, false});
        for (const StoredFile& duplicate : stored.duplicates) {
            group.files.push_back({duplicate.path, std::nullopt, duplicate.checked, false});
        }
    }
    return source;
}

// The groups of a report of find --json, from a file or the standard input.
ActionSource groupsOfReportFile(const std::string& name) {
    std::string text;
    if (const int error = readWholeInput(name, text); error == EFBIG) {
        throw Error("The report " + name + " is larger than " + wholeInputBoundText() +
                    ", more than corvane-cli reads: split the report");
    } else if (error != 0) {
        throw Error("Cannot read the report " + name + ": " + std::strerror(error));
    }
    const bool standardInput = name == "-";
    return {groupsOfReport(text, standardInput ? "on the standard input" : name), {}, {}};
}

// The groups of a search run now: what the comparer saw of each file stands for its bytes while
// the file is unchanged.
ActionSource groupsOfSearch(const SearchRequest& request) {
    const SearchResult result = runSearch(request, FindSettings{}, {.fileInfos = true});
    printSearchTotals(result);
    ActionSource source{{}, request.folders, {}};
    std::vector<FileGroup>& groups = source.groups;
    groups.reserve(result.groups.size());
    for (size_t g = 0; g < result.groups.size(); ++g) {
        const DuplicateGroup& found = result.groups[g];
        const std::vector<platform::FileInfo>& infos = result.fileInfos.at(g);
        FileGroup& group = groups.emplace_back();
        group.files.push_back({found.original, infos.at(0), false, false});
        for (size_t d = 0; d < found.duplicates.size(); ++d) {
            group.files.push_back({found.duplicates[d], infos.at(d + 1), false, false});
        }
    }
    return source;
}

// Counts and bytes for the closing line.
struct Tally {
    size_t done = 0;
    int64_t bytes = 0;
    size_t unchanged = 0;
    size_t kept = 0;
    size_t refused = 0;
    size_t failed = 0;
};

// One line a file: its exact bytes for a script, escaped on a terminal.
void printLine(const std::string& word, const std::string& path, const std::string& rest) {
    std::string line = word + ' ' + shownOn(stdout, path + rest) + '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
}

// The text after "kept PATH: ", from the planner's reason ("kept: ...").
std::string keptReason(const std::string& reason) {
    constexpr std::string_view kPrefix = "kept: ";
    return reason.rfind(kPrefix, 0) == 0 ? reason.substr(kPrefix.size()) : reason;
}

class ActionRun {
public:
    ActionRun(const ActionKind& kind, bool dryRun)
        : kind_(kind), dryRun_(dryRun), record_(dryRun ? std::string() : engine::lastRunRecordPath()) {}

    void run(const std::vector<FileGroup>& groups, const std::vector<GroupPlan>& plans) {
        for (size_t g = 0; g < groups.size(); ++g) {
            for (size_t i = 0; i < groups[g].files.size(); ++i) {
                handle(groups, plans, {g, i});
            }
        }
    }

    const Tally& tally() const { return tally_; }
    // Why the run's record for `restore` could not be kept, or empty.
    const std::string& recordFailure() const { return record_.failure(); }

    void printClosing() const {
        std::fprintf(stderr, "%s%s %s (%lld bytes%s); unchanged %zu, kept %zu, refused %zu, failed %zu\n",
                     dryRun_ ? "Would " : "", dryRun_ ? kind_.command : kind_.closing,
                     counted(static_cast<int64_t>(tally_.done), "file", "files").c_str(),
                     static_cast<long long>(tally_.bytes), kind_.bytesShared && !dryRun_ ? " shared" : "",
                     tally_.unchanged, tally_.kept, tally_.refused, tally_.failed);
    }

private:
    void handle(const std::vector<FileGroup>& groups, const std::vector<GroupPlan>& plans,
                engine::FilePlace place) {
        const std::string& path = groups[place.group].files[place.file].path;
        const FilePlan& plan = plans[place.group].files[place.file];
        switch (plan.verdict) {
        case Verdict::Stays:
            return;
        case Verdict::KeptCopy:
            ++tally_.kept;
            printLine("kept", path, ": " + keptReason(plan.reason.text()));
            return;
        case Verdict::Act:
            break;
        default:
            ++tally_.refused;
            printLine("refused", path, ": " + plan.reason.text());
            return;
        }
        const engine::GroupFile& keeper = groups[place.group].files[static_cast<size_t>(plan.keeper)];
        const std::string joined = kind_.joinsWith ? kind_.joinsWith + keeper.path : std::string();
        if (dryRun_) {
            // The verdict the run would give where it can be told without acting.
            const FilePlan& keeperPlan = plans[place.group].files[static_cast<size_t>(plan.keeper)];
            if (kind_.preview) {
                if (const std::optional<ActionOutcome> outcome =
                        kind_.preview(path, plan.seen, {keeper.path, keeperPlan.seen})) {
                    report(*outcome, path, plan.seen, joined);
                    return;
                }
            }
            ++tally_.done;
            countBytes(plan.seen, plan.seen.size);
            printLine(std::string("would ") + kind_.command, path,
                      kind_.joinsWith ? joined : " (" + keeper.path + " stays)");
            return;
        }
        const ActionOutcome outcome = engine::actOnPlannedFile(groups, plans, place, kind_.action);
        if (outcome.change) {
            record_.add(*outcome.change);
        }
        report(outcome, path, plan.seen, joined);
    }

    // Bytes a file gives back, each file (inode) once: its further names give back nothing more.
    void countBytes(const platform::FileInfo& file, int64_t bytes) {
        if (kind_.bytesShared || countedFiles_.insert({file.device, file.inode}).second) {
            tally_.bytes += bytes;
        }
    }

    void report(const ActionOutcome& outcome, const std::string& path, const platform::FileInfo& seen,
                const std::string& joined) {
        switch (outcome.status) {
        case ActionStatus::Done:
            ++tally_.done;
            countBytes(seen, outcome.bytes);
            printLine(kind_.done, path,
                      kind_.bytesShared ? joined + ": " + std::to_string(outcome.bytes) + " bytes shared"
                                        : joined);
            return;
        case ActionStatus::AlreadyDone:
            ++tally_.unchanged;
            printLine("unchanged", path, ": " + outcome.reason.text());
            return;
        case ActionStatus::Refused:
            ++tally_.refused;
            printLine("refused", path, ": " + outcome.reason.text());
            return;
        case ActionStatus::Failed:
            ++tally_.failed;
            printLine("failed", path, ": " + outcome.reason.text());
            return;
        }
    }

    const ActionKind& kind_;
    const bool dryRun_;
    engine::RunRecorder record_;
    Tally tally_;
    std::set<std::pair<uint64_t, uint64_t>> countedFiles_; // device, inode
};

int runAction(const ActionKind& kind, const Arguments& args) {
    ActionOptions options;
    if (const std::string reason = parseActionArguments(args, options); !reason.empty()) {
        return usageError(kind.command, reason);
    }
    engine::KeepInFolders keepIn;
    for (const std::string& folder : options.keepIn) {
        if (const int error = keepIn.add(folder)) {
            // Never act with a reference folder that is not there: its copies would not be kept.
            return usageError(kind.command, "--keep-in " + folder + ": " + std::strerror(error));
        }
    }
    const SearchRequest& request = options.search.request();
    if (options.fromSet.empty() && options.fromReport.empty()) {
        // Never act on a search that missed a FOLDER: what it would have found there might be the
        // copies the user means to keep.
        for (const std::string& folder : request.folders) {
            if (std::string reason = searchRootProblem(folder); !reason.empty()) {
                return usageError(kind.command,
                                  "cannot search " + folder + ": " + reason + "; nothing was done");
            }
        }
    }
    // A set or a report that cannot be read, or a search that fails, throws its message to main.
    ActionSource source = !options.fromSet.empty()      ? groupsOfSet(options.fromSet)
                          : !options.fromReport.empty() ? groupsOfReportFile(options.fromReport)
                                                        : groupsOfSearch(request);
    for (const std::string& folder : source.referenceFolders) {
        if (const int error = keepIn.add(folder)) {
            // As with --keep-in: never act while the copies there cannot be told.
            throw Error("the reference folder " + folder + " of the set: " + std::strerror(error) +
                        "; nothing was done");
        }
    }
    std::vector<FileGroup>& groups = source.groups;
    if (!options.checked) {
        engine::placeKeepersFirst(groups, request.keepRules, source.folders);
    }
    for (FileGroup& group : groups) {
        for (engine::GroupFile& file : group.files) {
            file.isProtected = file.isProtected || keepIn.holds(file.path);
        }
    }
    ProgressLine progress(!request.quiet);
    const engine::Choice choice =
        options.checked ? engine::Choice::ChosenFiles : engine::Choice::AllDuplicates;
    const std::vector<GroupPlan> plans =
        engine::planGroups(groups, choice, {}, [&](size_t done, size_t total) {
            progress.show(
                [&] { return "Checking file " + std::to_string(done) + " of " + std::to_string(total); });
        });
    progress.clear();

    ActionRun run(kind, options.dryRun);
    run.run(groups, plans);
    const bool written = std::fflush(stdout) == 0 && !std::ferror(stdout);
    run.printClosing();
    if (!run.recordFailure().empty()) {
        std::fprintf(stderr, "corvane-cli: warning: %s; restore cannot undo this run\n",
                     run.recordFailure().c_str());
    }
    if (!written) {
        std::fprintf(stderr, "corvane-cli: error: cannot write the result: %s\n", std::strerror(errno));
        return 1;
    }
    return run.tally().refused + run.tally().failed == 0 ? 0 : 1;
}

} // namespace

int runTrash(const Arguments& args) {
    return runAction(kTrash, args);
}

int runLink(const Arguments& args) {
    return runAction(kLink, args);
}

int runDedupe(const Arguments& args) {
    return runAction(kDedupe, args);
}

} // namespace corvane::cli
