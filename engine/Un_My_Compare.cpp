#include "engine/Un_My_Compare.h"

#include "engine/content_classes.h"

#include <climits>
#include <cstdlib>
#include <map>
#include <optional>
#include <string_view>
#include <utility>

namespace corvane::engine {

using platform::EntryKind;
using platform::FileInfo;

namespace {

// The full name of a path's folder entry with every link and "." or ".." of its folders resolved,
// so that two spellings of one path are recognised; the path itself when that fails.
std::string canonicalEntryName(const std::string& path) {
    const size_t slash = path.rfind(platform::kPathSeparator);
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    char* resolved = realpath(folder.c_str(), nullptr);
    if (!resolved) {
        return path;
    }
    std::string result = resolved;
    std::free(resolved);
    if (result.empty() || result.back() != platform::kPathSeparator) {
        result += platform::kPathSeparator;
    }
    return result + name;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TmFileCompare

TmFileCompare::TmFileCompare(std::shared_ptr<UiThread> uiThread) : uiThread_(std::move(uiThread)) {}

TmFileCompare::~TmFileCompare() {
    if (Busy && workerControl_) {
        workerControl_->DetachFromOwner();
    }
}

void TmFileCompare::SetFileList(const StringList& list) {
    FileList = list;
}

void TmFileCompare::Start() {
    if (!Busy) {
        auto control = std::make_shared<WorkerControl>();
        Worker = new TCompareThread(this, OnCompareProgress, OnCompareFinished, OnDuplicateGroup, FileList,
                                    uiThread_, control);
        workerControl_ = std::move(control);
    }
    Busy = true;
}

void TmFileCompare::Stop() {
    if (Busy && workerControl_) {
        workerControl_->Terminate();
    }
}

// ---------------------------------------------------------------------------------------------
// TCompareThread

TCompareThread::TCompareThread(TmFileCompare* owner, TCompareProgressEvent onCompareProgress,
                               TCompareFinishedEvent onCompareFinished, TDuplicateGroupEvent onDuplicateGroup,
                               const StringList& fileList, std::shared_ptr<UiThread> uiThread,
                               std::shared_ptr<WorkerControl> control)
    : WorkerThread(std::move(uiThread), std::move(control)), Owner(owner),
      OnCompareProgress(std::move(onCompareProgress)), OnCompareFinished(std::move(onCompareFinished)),
      OnDuplicateGroup(std::move(onDuplicateGroup)), FileList(fileList) {
    StartRunning();
}

void TCompareThread::Execute() {
    try {
        Walk();
    } catch (...) {
        // A handler failed: the walk ends here, and the end report still follows.
    }
    try {
        Synchronize([this] { ReportCompareEnd(); });
    } catch (...) {
        // Nothing is left to report to.
    }
}

void TCompareThread::Walk() {
    DuplicatesFound = 0;
    const size_t count = FileList.size();
    if (count < 2) {
        return;
    }
    Run run;
    bool haveRun = false;
    for (size_t i = 0; i + 1 < count; ++i) {
        Position = static_cast<int32_t>(i + 1);
        if (!haveRun || i >= run.end) {
            run = CompareRun(i);
            haveRun = true;
        }
        CollectDuplicates(run, i);
        Synchronize([this] { ReportProgress(); });
        if (Terminated()) {
            break;
        }
    }
}

TCompareThread::Run TCompareThread::CompareRun(size_t first) {
    // A run is a stretch of consecutive entries whose sizes are equal. Entries that cannot be
    // compared (gone, or not regular files) do not end a run: they are passed over, so that
    // files on both sides of them are still compared.
    Run run;
    run.first = first;
    std::vector<std::optional<FileInfo>> looked;
    std::optional<int64_t> size;
    size_t end = first;
    for (; end < FileList.size(); ++end) {
        std::optional<FileInfo> info = platform::lookupFile(FileList[end]);
        if (info && info->kind != EntryKind::RegularFile) {
            info.reset();
        }
        if (info) {
            if (size && *size != info->size) {
                break;
            }
            size = info->size;
        }
        looked.push_back(std::move(info));
    }
    run.end = end;
    const size_t length = end - first;
    run.classOf.assign(length, -1);
    run.info.resize(length);
    run.identity.resize(length);

    std::vector<const std::string*> paths;
    std::vector<size_t> offsets;
    for (size_t k = 0; k < length; ++k) {
        if (looked[k]) {
            paths.push_back(&FileList[first + k]);
            offsets.push_back(k);
        }
    }
    if (paths.size() < 2) {
        return run;
    }
    ContentClasses classes([this] { return Terminated(); });
    ContentClasses::Result result = classes.split(paths, *size);
    run.complete = result.complete;

    int32_t classCount = 0;
    std::map<std::pair<uint64_t, uint64_t>, int> sharedInode;
    for (size_t m = 0; m < paths.size(); ++m) {
        const size_t k = offsets[m];
        run.classOf[k] = result.classOf[m];
        run.info[k] = result.info[m];
        run.identity[k] = FileList[first + k];
        if (result.classOf[m] >= 0) {
            classCount = std::max(classCount, result.classOf[m] + 1);
            ++sharedInode[{result.info[m].device, result.info[m].inode}];
        }
    }
    run.members.resize(static_cast<size_t>(classCount));
    run.indexInClass.assign(length, -1);
    for (size_t k = 0; k < length; ++k) {
        if (run.classOf[k] < 0) {
            continue;
        }
        auto& members = run.members[static_cast<size_t>(run.classOf[k])];
        run.indexInClass[k] = static_cast<int32_t>(members.size());
        members.push_back(first + k);
        // Two names of one inode are either hard links (two entries: real duplicates) or two
        // spellings of one path; only the resolved names tell them apart.
        if (sharedInode[{run.info[k].device, run.info[k].inode}] > 1) {
            run.identity[k] = canonicalEntryName(FileList[first + k]);
        }
    }
    run.distinct.assign(run.members.size(), true);
    run.scanned.assign(run.members.size(), 0);
    for (size_t c = 0; c < run.members.size(); ++c) {
        std::unordered_set<std::string_view> seen;
        for (size_t position : run.members[c]) {
            if (!seen.insert(run.identity[position - first]).second) {
                run.distinct[c] = false;
                break;
            }
        }
    }
    return run;
}

void TCompareThread::CollectDuplicates(Run& run, size_t position) {
    const size_t k = position - run.first;
    const int32_t cls = run.classOf[k];
    if (cls < 0) {
        return;
    }
    const auto c = static_cast<size_t>(cls);
    const std::vector<size_t>& members = run.members[c];
    const auto self = static_cast<size_t>(run.indexInClass[k]);
    GroupFile.clear();
    GroupDuplicates.clear();
    GroupDuplicateInfos.clear();
    bool found = false;
    // Every later member of the class is identical to this file. When no entry appears twice in
    // the class, members that an earlier file of it has handled are all reported already, so the
    // scan starts behind them and a class of k files costs k steps, not k * k.
    size_t from = self + 1;
    if (run.distinct[c]) {
        found = from < members.size();
        from = std::max(from, run.scanned[c]);
        run.scanned[c] = members.size();
    }
    for (size_t m = from; m < members.size(); ++m) {
        const size_t candidate = members[m];
        const size_t offset = candidate - run.first;
        if (run.identity[offset] == run.identity[k]) {
            continue; // the same directory entry again, not a duplicate of itself
        }
        found = true;
        const std::string& path = FileList[candidate];
        if (ReportedFiles.insert(path).second) {
            GroupFile = FileList[position];
            GroupFileInfo = run.info[k];
            GroupDuplicates.push_back(path);
            GroupDuplicateInfos.push_back(run.info[offset]);
        }
    }
    if (found) {
        ++DuplicatesFound;
        Synchronize([this] { ReportGroup(); });
    }
}

void TCompareThread::ReportProgress() {
    if (OnCompareProgress) {
        OnCompareProgress(this, Position, static_cast<int32_t>(FileList.size()), DuplicatesFound);
    }
}

void TCompareThread::ReportGroup() {
    if (!GroupDuplicates.empty() && OnDuplicateGroup) {
        OnDuplicateGroup(this, GroupFile, GroupDuplicates);
    }
}

void TCompareThread::ReportCompareEnd() {
    Owner->Busy = false;
    if (OnCompareFinished) {
        OnCompareFinished(this, static_cast<int32_t>(FileList.size()), DuplicatesFound);
    }
}

} // namespace corvane::engine
