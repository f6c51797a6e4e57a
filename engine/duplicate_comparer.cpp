#include "engine/duplicate_comparer.h"

#include "engine/runs_ahead.h"

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
// DuplicateComparer

void DuplicateComparer::SetFileList(const StringList& list, std::vector<int64_t> sizes) {
    FileList = list;
    FileSizes = std::move(sizes);
    handOver_ = false;
}

void DuplicateComparer::SetFileList(StringList&& list, std::vector<int64_t> sizes) {
    FileList = std::move(list);
    FileSizes = std::move(sizes);
    handOver_ = true;
}

CompareWorker* DuplicateComparer::makeWorker(std::shared_ptr<WorkerControl> control) {
    if (!handOver_) {
        return new CompareWorker(this, OnCompareProgress, OnCompareFinished, OnDuplicateGroup, FileList,
                                 FileSizes, MemoryBudget, uiThread(), std::move(control));
    }
    CompareWorker* worker =
        new CompareWorker(this, OnCompareProgress, OnCompareFinished, OnDuplicateGroup, std::move(FileList),
                          std::move(FileSizes), MemoryBudget, uiThread(), std::move(control));
    FileList.clear();
    FileSizes.clear();
    handOver_ = false;
    return worker;
}

// ---------------------------------------------------------------------------------------------
// CompareWorker

CompareWorker::CompareWorker(DuplicateComparer* owner, CompareProgressHandler onCompareProgress,
                             CompareFinishedHandler onCompareFinished, DuplicateGroupHandler onDuplicateGroup,
                             StringList fileList, std::vector<int64_t> fileSizes, size_t memoryBudget,
                             std::shared_ptr<UiThread> uiThread, std::shared_ptr<WorkerControl> control)
    : WorkerThread(std::move(uiThread), std::move(control)), Owner(owner),
      OnCompareProgress(std::move(onCompareProgress)), OnCompareFinished(std::move(onCompareFinished)),
      OnDuplicateGroup(std::move(onDuplicateGroup)), OnRunProgress(owner->OnRunProgress),
      RunProgressInterval(owner->RunProgressInterval), FileList(std::move(fileList)),
      FileSizes(std::move(fileSizes)), memoryBudget_(memoryBudget) {
    StartRunning();
}

void CompareWorker::Execute() {
    DuplicatesFound = 0;
    const size_t count = FileList.size();
    if (count < 2) {
        return;
    }
    const std::vector<Span> spans = FindRuns();
    std::vector<int64_t>().swap(FileSizes); // the runs are known: the sizes are of no more use
    std::vector<RunsAhead::Job> jobs;
    for (const Span& span : spans) {
        RunsAhead::Job job;
        job.size = span.size;
        for (uint32_t position : span.candidates) {
            job.paths.push_back(&FileList[position]);
        }
        jobs.push_back(std::move(job));
    }
    RunsAhead ahead(
        std::move(jobs), [this] { return Terminated(); }, memoryBudget_);

    Run run;
    size_t span = 0;
    for (size_t i = 0; i + 1 < count; ++i) {
        // Positions outside every run (a size no other entry has) have nothing to collect.
        if (span < spans.size() && i == spans[span].first) {
            if (!ahead.ready(span)) {
                // The run may take a while yet: what is queued is shown first.
                DeliverReports();
                if (Terminated()) {
                    break;
                }
            }
            ContentClasses::Result classes;
            const Span& current = spans[span];
            RunsAhead::Progress progress;
            if (OnRunProgress) {
                progress = [&](int64_t bytesRead) {
                    ReportRunProgress(static_cast<int32_t>(current.candidates.size()), current.size,
                                      bytesRead);
                };
            }
            try {
                classes = ahead.take(span, progress, RunProgressInterval);
            } catch (...) {
                // The run could not be compared: the reports of the positions before it still
                // come first.
                DeliverReports();
                throw;
            }
            run = MakeRun(spans[span], std::move(classes));
            ++span;
        }
        Position = static_cast<int32_t>(i + 1);
        CollectDuplicates(run, i);
        CompareReport progress;
        progress.position = Position;
        progress.duplicatesFound = DuplicatesFound;
        reports_.add(std::move(progress));
        if (reports_.due()) {
            DeliverReports();
        }
        if (Terminated()) {
            break;
        }
    }
    DeliverReports();
}

void CompareWorker::DeliverReports() {
    const auto outcome = reports_.flush(
        [this](const std::function<void()>& routine) { Synchronize(routine); },
        [this](CompareReport& report) {
            Position = report.position;
            DuplicatesFound = report.duplicatesFound;
            if (report.group) {
                GroupFile = std::move(report.groupFile);
                GroupDuplicates = std::move(report.groupDuplicates);
                GroupFileInfo = report.groupFileInfo;
                GroupDuplicateInfos = std::move(report.groupDuplicateInfos);
                ReportGroup();
            } else {
                ReportProgress();
            }
        },
        // A stop takes effect after the progress of a position.
        [](const CompareReport& report) { return !report.group; }, [this] { return Terminated(); });
    if (outcome.dropped > 0 && outcome.delivered == 0) {
        // Back to before the first report: the positions after it were never reported.
        Position = reports_.front().position;
        DuplicatesFound = reports_.front().duplicatesFound - (reports_.front().group ? 1 : 0);
    }
    reports_.clear();
    if (outcome.failure) {
        std::rethrow_exception(outcome.failure);
    }
}

std::vector<CompareWorker::Span> CompareWorker::FindRuns() const {
    // A run is a stretch of consecutive entries whose sizes are equal. Entries that cannot be
    // compared (gone, or not regular files) do not end a run: they are passed over, so that
    // files on both sides of them are still compared. Sizes the scan gave are trusted for the
    // bounds; every file is checked again when it is opened.
    const bool hinted = FileSizes.size() == FileList.size();
    std::vector<Span> spans;
    Span current;
    bool sized = false;
    for (size_t j = 0; j < FileList.size(); ++j) {
        std::optional<int64_t> size;
        if (hinted) {
            size = FileSizes[j];
        } else if (const auto info = platform::lookupFile(FileList[j]);
                   info && info->kind == EntryKind::RegularFile) {
            size = info->size;
        }
        if (size && sized && *size != current.size) {
            if (current.candidates.size() >= 2) {
                spans.push_back(std::move(current));
            }
            current = Span{};
            current.first = j;
            sized = false;
        }
        if (size) {
            current.size = *size;
            sized = true;
            current.candidates.push_back(static_cast<uint32_t>(j));
        }
    }
    if (current.candidates.size() >= 2) {
        spans.push_back(std::move(current));
    }
    return spans;
}

CompareWorker::Run CompareWorker::MakeRun(const Span& span, ContentClasses::Result result) const {
    Run run;
    run.first = span.candidates.front();
    const size_t length = span.candidates.back() - run.first + 1;
    run.classOf.assign(length, -1);
    run.info.resize(length);
    run.indexInClass.assign(length, -1);
    run.identity.resize(length);

    int32_t classCount = 0;
    std::map<std::pair<uint64_t, uint64_t>, int> sharedInode;
    for (size_t m = 0; m < span.candidates.size(); ++m) {
        const size_t k = span.candidates[m] - run.first;
        run.classOf[k] = result.classOf[m];
        run.info[k] = result.info[m];
        run.identity[k] = FileList[span.candidates[m]];
        if (result.classOf[m] >= 0) {
            classCount = std::max(classCount, result.classOf[m] + 1);
            ++sharedInode[{result.info[m].device, result.info[m].inode}];
        }
    }
    run.members.resize(static_cast<size_t>(classCount));
    for (size_t k = 0; k < length; ++k) {
        if (run.classOf[k] < 0) {
            continue;
        }
        auto& members = run.members[static_cast<size_t>(run.classOf[k])];
        run.indexInClass[k] = static_cast<int32_t>(members.size());
        members.push_back(run.first + k);
        // Two names of one inode are either hard links (two entries: real duplicates) or two
        // spellings of one path; only the resolved names tell them apart.
        if (sharedInode[{run.info[k].device, run.info[k].inode}] > 1) {
            run.resolvedNames.push_back(canonicalEntryName(FileList[run.first + k]));
            run.identity[k] = run.resolvedNames.back();
        }
    }
    run.distinct.assign(run.members.size(), true);
    run.scanned.assign(run.members.size(), 0);
    for (size_t c = 0; c < run.members.size(); ++c) {
        std::unordered_set<std::string_view> seen;
        for (size_t position : run.members[c]) {
            if (!seen.insert(run.identity[position - run.first]).second) {
                run.distinct[c] = false;
                break;
            }
        }
    }
    return run;
}

void CompareWorker::CollectDuplicates(Run& run, size_t position) {
    if (position < run.first || position - run.first >= run.classOf.size()) {
        return;
    }
    const size_t k = position - run.first;
    const int32_t cls = run.classOf[k];
    if (cls < 0) {
        return;
    }
    const auto c = static_cast<size_t>(cls);
    const std::vector<size_t>& members = run.members[c];
    const auto self = static_cast<size_t>(run.indexInClass[k]);
    CompareReport group;
    group.group = true;
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
            group.groupFile = FileList[position];
            group.groupFileInfo = run.info[k];
            group.groupDuplicates.push_back(path);
            group.groupDuplicateInfos.push_back(run.info[offset]);
        }
    }
    if (found) {
        ++DuplicatesFound;
        group.position = Position;
        group.duplicatesFound = DuplicatesFound;
        reports_.add(std::move(group));
    }
}

void CompareWorker::ReportProgress() {
    if (OnCompareProgress) {
        OnCompareProgress(this, Position, static_cast<int32_t>(FileList.size()), DuplicatesFound);
    }
}

void CompareWorker::ReportGroup() {
    if (!GroupDuplicates.empty() && OnDuplicateGroup) {
        OnDuplicateGroup(this, GroupFile, GroupDuplicates);
    }
}

void CompareWorker::ReportRunProgress(int32_t fileCount, int64_t fileSize, int64_t bytesRead) {
    Synchronize([&] {
        if (OnRunProgress) {
            OnRunProgress(this, fileCount, fileSize, bytesRead);
        }
    });
}

void CompareWorker::ReportEnd() {
    Owner->Busy = false;
    if (OnCompareFinished) {
        OnCompareFinished(this, static_cast<int32_t>(FileList.size()), DuplicatesFound);
    }
}

} // namespace corvane::engine
