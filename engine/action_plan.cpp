#include "engine/action_plan.h"

#include "engine/content_classes.h"
#include "platform/entry_identity.h"
#include "platform/file_reader.h"
#include "platform/trash_folders.h"

#include <algorithm>
#include <map>
#include <unordered_map>

namespace corvane::engine {

using platform::FileInfo;

namespace {

struct FileIdentityHash {
    size_t operator()(const platform::FileIdentity& identity) const {
        return std::hash<uint64_t>()(identity.device * 0x9E3779B97F4A7C15ULL ^ identity.inode);
    }
};

struct EntryIdentityHash {
    size_t operator()(const platform::EntryIdentity& entry) const {
        return std::hash<std::string>()(entry.name) ^
               FileIdentityHash()({entry.folderDevice, entry.folderInode}) * 31;
    }
};

bool asked(const GroupFile& file, size_t index, Choice choice) {
    if (file.isProtected) {
        return false;
    }
    return choice == Choice::ChosenFiles ? file.chosen : index > 0;
}

// Sorts one group's files into sets of identical contents and decides what each may become.
class GroupPlanner {
public:
    GroupPlanner(const FileGroup& group, Choice choice, ContentClasses& classes,
                 ContentClasses::Workspace& workspace, platform::TrashFolderTest& trashFolders)
        : group_(group), choice_(choice), classes_(classes), workspace_(workspace),
          trashFolders_(trashFolders) {
        plan_.files.resize(group.files.size());
    }

    // False when a stop request cut the reading short.
    bool run();
    GroupPlan take() { return std::move(plan_); }

private:
    void look();
    bool sortByContents();
    void decide(const std::vector<size_t>& members);
    void refuse(size_t i, Verdict verdict, platform::Reason reason);
    // A file already present that is the file `i` under another path, where one of the two paths
    // is a mount of it (hard links are two entries, and copies of each other).
    std::optional<size_t> oneFileWith(size_t i) const;

    const FileGroup& group_;
    const Choice choice_;
    ContentClasses& classes_;
    ContentClasses::Workspace& workspace_;
    GroupPlan plan_;
    platform::TrashFolderTest& trashFolders_;
    std::vector<size_t> present_; // files that are there, each entry once
    bool originalPresent_ = false;
    // Of the files present, by device and inode: the first, and the first that is a mount's top.
    struct FirstOfFile {
        std::optional<size_t> any;
        std::optional<size_t> mountRoot;
    };
    std::unordered_map<platform::FileIdentity, FirstOfFile, FileIdentityHash> firstOfFile_;
    std::vector<std::vector<size_t>> contents_; // sets of identical files, each in tree order
};

// A file that was asked for and may not be acted on; one that was not stays as it is.
void GroupPlanner::refuse(size_t i, Verdict verdict, platform::Reason reason) {
    if (asked(group_.files[i], i, choice_)) {
        plan_.files[i].verdict = verdict;
        plan_.files[i].reason = std::move(reason);
    }
}

// What is there now: files that are gone, no longer files or in a trash drop out, and a second
// path to an entry already seen is that entry, not a copy of it. Each file is looked up in tables
// of what came before, so a group of many names costs in proportion to its names.
void GroupPlanner::look() {
    std::unordered_map<platform::EntryIdentity, size_t, EntryIdentityHash> entries;
    for (size_t i = 0; i < group_.files.size(); ++i) {
        const std::string& path = group_.files[i].path;
        if (path.find('\0') != std::string::npos) {
            // Given to the system, the name would end at the zero and name another file.
            refuse(i, Verdict::Gone, kReasonNulInName);
            continue;
        }
        const std::optional<FileInfo> now = platform::lookupFile(path);
        if (!now) {
            refuse(i, Verdict::Gone, kReasonGone);
            continue;
        }
        if (now->kind != platform::EntryKind::RegularFile) {
            refuse(i, Verdict::NotAFile, kReasonNotAFile);
            continue;
        }
        if (trashFolders_.holds(path)) {
            refuse(i, Verdict::InTrash, kReasonInTrash);
            continue;
        }
        plan_.files[i].seen = *now;
        if (const auto mounted = oneFileWith(i); mounted) {
            plan_.files[i].keeper = static_cast<int32_t>(*mounted);
            refuse(i, Verdict::SameEntry, kReasonOneFile);
            continue;
        }
        if (std::optional<platform::EntryIdentity> entry = platform::entryIdentityOf(path)) {
            const auto [same, added] = entries.emplace(std::move(*entry), i);
            if (!added) {
                plan_.files[i].keeper = static_cast<int32_t>(same->second);
                refuse(i, Verdict::SameEntry,
                       platform::Reason(kReasonSameFileAs, group_.files[same->second].path));
                continue;
            }
        }
        present_.push_back(i);
        FirstOfFile& first = firstOfFile_[identityOf(*now)];
        first.any = first.any.value_or(i);
        if (now->mountRoot) {
            first.mountRoot = first.mountRoot.value_or(i);
        }
    }
    originalPresent_ = !present_.empty() && present_.front() == 0;
}

// A file present under another path is this one where either path is a mount of it; of those,
// the first in group order.
std::optional<size_t> GroupPlanner::oneFileWith(size_t i) const {
    const FileInfo& file = plan_.files[i].seen;
    const auto first = firstOfFile_.find(identityOf(file));
    if (first == firstOfFile_.end()) {
        return std::nullopt;
    }
    return file.mountRoot ? first->second.any : first->second.mountRoot;
}

// Files unchanged since the comparer read them still hold the group's bytes together; every
// other file is read, with one of those to stand for them.
bool GroupPlanner::sortByContents() {
    std::vector<size_t> unchanged;
    std::map<int64_t, std::vector<size_t>> toRead; // by size
    for (size_t i : present_) {
        const GroupFile& file = group_.files[i];
        if (file.compared && platform::unchangedSince(plan_.files[i].seen, *file.compared)) {
            unchanged.push_back(i);
        } else {
            toRead[plan_.files[i].seen.size].push_back(i);
        }
    }
    if (!unchanged.empty()) {
        const size_t standIn = unchanged.front();
        auto& sameSize = toRead[plan_.files[standIn].seen.size];
        if (sameSize.empty()) {
            toRead.erase(plan_.files[standIn].seen.size);
        } else {
            sameSize.push_back(standIn);
        }
    }
    std::vector<std::vector<size_t>> sets;
    if (!unchanged.empty()) {
        sets.push_back(unchanged);
    }
    for (auto& [size, files] : toRead) {
        std::vector<std::string> paths;
        std::vector<const std::string*> pointers;
        for (size_t i : files) {
            paths.push_back(group_.files[i].path);
        }
        for (const std::string& path : paths) {
            pointers.push_back(&path);
        }
        const ContentClasses::Result result = classes_.split(pointers, size, workspace_);
        if (!result.complete) {
            return false;
        }
        std::map<int32_t, std::vector<size_t>> byClass;
        for (size_t k = 0; k < files.size(); ++k) {
            const size_t i = files[k];
            const bool standIn = !unchanged.empty() && i == unchanged.front();
            if (!standIn) {
                // The bytes were compared as the file was when it was opened.
                plan_.files[i].seen = result.info[k];
            }
            if (result.classOf[k] < 0) {
                if (!standIn) {
                    sets.push_back({i});
                }
            } else {
                byClass[result.classOf[k]].push_back(i);
            }
        }
        for (auto& [number, members] : byClass) {
            const bool holdsStandIn = !unchanged.empty() && std::find(members.begin(), members.end(),
                                                                      unchanged.front()) != members.end();
            if (holdsStandIn) {
                for (size_t i : members) {
                    if (i != unchanged.front()) {
                        sets.front().push_back(i);
                    }
                }
            } else {
                sets.push_back(std::move(members));
            }
        }
    }
    for (auto& set : sets) {
        std::sort(set.begin(), set.end());
    }
    contents_ = std::move(sets);
    return true;
}

// One set of identical files: which stays, which may go.
void GroupPlanner::decide(const std::vector<size_t>& members) {
    if (members.size() == 1) {
        const size_t i = members.front();
        // Nothing else holds its bytes: a file that cannot be opened is told apart from one that changed.
        platform::FileReader reader;
        const bool readable = reader.open(group_.files[i].path);
        const char* why = !readable                      ? kReasonUnreadable
                          : (i > 0 && !originalPresent_) ? kReasonOnlyCopyLeft
                                                         : kReasonChanged;
        refuse(i, readable ? Verdict::Changed : Verdict::Unreadable, why);
        return;
    }
    const auto isProtected = [&](size_t i) { return group_.files[i].isProtected; };
    if (const auto kept = std::find_if(members.begin(), members.end(), isProtected); kept != members.end()) {
        // A protected file stays for the others; with AllDuplicates the original goes too.
        for (size_t i : members) {
            if (!isProtected(i) && (choice_ == Choice::AllDuplicates || asked(group_.files[i], i, choice_))) {
                plan_.files[i].verdict = Verdict::Act;
                plan_.files[i].keeper = static_cast<int32_t>(*kept);
            }
        }
        return;
    }
    std::optional<size_t> keeper;
    for (size_t i : members) {
        if (!asked(group_.files[i], i, choice_)) {
            keeper = i; // the original when it is among them: it comes first
            break;
        }
    }
    if (!keeper) {
        if (choice_ == Choice::ChosenFiles) {
            for (size_t i : members) {
                plan_.files[i].verdict = Verdict::LastCopy;
                plan_.files[i].reason = kReasonLastCopy;
            }
            return;
        }
        // Every duplicate is asked for and the original is not among them: the first stays.
        keeper = members.front();
        FilePlan& kept = plan_.files[*keeper];
        kept.verdict = Verdict::KeptCopy;
        const bool originalThere = platform::lookupFile(group_.files[0].path).has_value();
        kept.reason = originalThere ? kReasonOriginalChanged : kReasonOriginalGone;
    }
    for (size_t i : members) {
        if (i != *keeper && asked(group_.files[i], i, choice_)) {
            plan_.files[i].verdict = Verdict::Act;
            plan_.files[i].keeper = static_cast<int32_t>(*keeper);
        }
    }
}

bool GroupPlanner::run() {
    look();
    if (!sortByContents()) {
        return false;
    }
    for (const auto& members : contents_) {
        decide(members);
    }
    return true;
}

} // namespace

PlanCounts countPlans(const std::vector<GroupPlan>& plans) {
    PlanCounts counts;
    for (const GroupPlan& group : plans) {
        for (const FilePlan& file : group.files) {
            switch (file.verdict) {
            case Verdict::Act:
                ++counts.toAct;
                break;
            case Verdict::LastCopy:
                ++counts.lastCopies;
                break;
            case Verdict::KeptCopy:
                ++counts.keptCopies;
                break;
            case Verdict::Stays:
                break;
            default:
                ++counts.refused;
            }
        }
    }
    return counts;
}

std::vector<GroupPlan> planGroups(const std::vector<FileGroup>& groups, Choice choice,
                                  const std::function<bool()>& stopRequested,
                                  const std::function<void(size_t, size_t)>& progress) {
    const auto stopped = [&] { return stopRequested && stopRequested(); };
    ContentClasses classes(stopped);
    ContentClasses::Workspace workspace;
    platform::TrashFolderTest trashFolders;
    size_t total = 0;
    for (const FileGroup& group : groups) {
        total += group.files.size();
    }
    std::vector<GroupPlan> plans;
    plans.reserve(groups.size());
    size_t done = 0;
    for (const FileGroup& group : groups) {
        GroupPlanner planner(group, choice, classes, workspace, trashFolders);
        if (stopped() || !planner.run()) {
            break;
        }
        plans.push_back(planner.take());
        done += group.files.size();
        if (progress) {
            progress(done, total);
        }
    }
    // Groups not planned act on nothing.
    while (plans.size() < groups.size()) {
        plans.push_back(GroupPlan{std::vector<FilePlan>(groups[plans.size()].files.size())});
    }
    return plans;
}

StillCopy checkStillCopy(const std::string& file, const FileInfo& fileSeen, const std::string& keeper,
                         const FileInfo& keeperSeen) {
    StillCopy result;
    const std::optional<FileInfo> fileNow = platform::lookupFile(file);
    if (!fileNow || fileNow->kind != platform::EntryKind::RegularFile) {
        result.reason = fileNow ? kReasonNotAFile : kReasonGone;
        return result;
    }
    const std::optional<FileInfo> keeperNow = platform::lookupFile(keeper);
    if (!keeperNow || keeperNow->kind != platform::EntryKind::RegularFile) {
        result.reason = kReasonKeeperGone;
        return result;
    }
    const std::optional<platform::EntryIdentity> fileEntry = platform::entryIdentityOf(file);
    if (!fileEntry) {
        result.reason = kReasonGone;
        return result;
    }
    if (fileEntry == platform::entryIdentityOf(keeper) ||
        (identityOf(*fileNow) == identityOf(*keeperNow) && (fileNow->mountRoot || keeperNow->mountRoot))) {
        result.reason = kReasonOneFile;
        return result;
    }
    if (platform::unchangedSince(*fileNow, fileSeen) && platform::unchangedSince(*keeperNow, keeperSeen)) {
        result.same = true;
        result.file = *fileNow;
        result.keeper = *keeperNow;
        return result;
    }
    if (fileNow->size != keeperNow->size) {
        result.reason = platform::sameState(*keeperNow, keeperSeen) ? kReasonChanged : kReasonKeeperChanged;
        return result;
    }
    const ContentClasses classes([] { return false; });
    ContentClasses::Workspace workspace;
    const std::vector<const std::string*> paths{&file, &keeper};
    const ContentClasses::Result compared = classes.split(paths, fileNow->size, workspace);
    if (compared.classOf[0] < 0 || compared.classOf[0] != compared.classOf[1]) {
        result.reason = platform::sameState(*keeperNow, keeperSeen) ? kReasonChanged : kReasonKeeperChanged;
        return result;
    }
    result.same = true;
    result.file = compared.info[0];
    result.keeper = compared.info[1];
    return result;
}

} // namespace corvane::engine
