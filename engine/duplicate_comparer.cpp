#include "engine/duplicate_comparer.h"

#include "engine/runs_ahead.h"
#include "platform/entry_identity.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

namespace corvane::engine {

using platform::EntryKind;
using platform::FileInfo;

namespace {

// What tells two paths of one inode apart: the directory entry each names. Two paths of one
// entry (the same path twice, another spelling, a linked folder, a bind mount) are one file; hard
// links are two entries. A path whose folder cannot be reached stands for itself.
platform::EntryIdentity entryOf(const std::string& path) {
    if (std::optional<platform::EntryIdentity> entry = platform::entryIdentityOf(path)) {
        return std::move(*entry);
    }
    return platform::EntryIdentity{0, 0, path};
}

} // namespace

// ---------------------------------------------------------------------------------------------
// DuplicateComparer

void DuplicateComparer::SetFileList(const StringList& list, std::vector<int64_t> sizes) {
    FileList = list;
    FileOrder.clear();
    FileSizes = std::move(sizes);
    handOver_ = false;
}

void DuplicateComparer::SetFileList(StringList&& list, std::vector<int64_t> sizes) {
    SetFileList(std::move(list), {}, std::move(sizes));
}

void DuplicateComparer::SetFileList(StringList&& list, std::vector<uint32_t> order,
                                    std::vector<int64_t> sizes) {
    FileList = std::move(list);
    FileOrder = std::move(order);
    FileSizes = std::move(sizes);
    handOver_ = true;
}

CompareWorker* DuplicateComparer::makeWorker(std::shared_ptr<WorkerControl> control) {
    if (!handOver_) {
        return new CompareWorker(this, OnCompareProgress, OnCompareFinished, OnDuplicateGroup, FileList,
                                 FileOrder, FileSizes, MemoryBudget, uiThread(), std::move(control));
    }
    CompareWorker* worker = new CompareWorker(this, OnCompareProgress, OnCompareFinished, OnDuplicateGroup,
                                              std::move(FileList), std::move(FileOrder), std::move(FileSizes),
                                              MemoryBudget, uiThread(), std::move(control));
    FileList.clear();
    FileOrder.clear();
    FileSizes.clear();
    handOver_ = false;
    return worker;
}

// ---------------------------------------------------------------------------------------------
// CompareWorker

CompareWorker::CompareWorker(DuplicateComparer* owner, CompareProgressHandler onCompareProgress,
                             CompareFinishedHandler onCompareFinished, DuplicateGroupHandler onDuplicateGroup,
                             StringList fileList, std::vector<uint32_t> fileOrder,
                             std::vector<int64_t> fileSizes, size_t memoryBudget,
                             std::shared_ptr<UiThread> uiThread, std::shared_ptr<WorkerControl> control)
    : WorkerThread(std::move(uiThread), std::move(control)), Owner(owner),
      OnCompareProgress(std::move(onCompareProgress)), OnCompareFinished(std::move(onCompareFinished)),
      OnDuplicateGroup(std::move(onDuplicateGroup)), OnRunProgress(owner->OnRunProgress),
      OnFirstLookProgress(owner->OnFirstLookProgress), RunProgressInterval(owner->RunProgressInterval),
      FileList(std::move(fileList)), FileOrder(std::move(fileOrder)), FileSizes(std::move(fileSizes)),
      memoryBudget_(memoryBudget), firstBlockDigest_(owner->FirstBlockDigest),
      readingOrder_(std::exchange(owner->ReadingOrder, {})),
      earlierLooks_(std::exchange(owner->EarlierLooks, {})) {
    StartRunning();
}

void CompareWorker::Execute() {
    DuplicatesFound = 0;
    const OrderedPaths list = List();
    const size_t count = list.size();
    if (count < 2) {
        return;
    }
    std::vector<Span> spans = FindRuns();
    std::vector<int64_t>().swap(FileSizes); // the runs are known: the sizes are of no more use
    // Files whose first block has no twin in their run are left out before the runs are read.
    FirstBlockFilter filter;
    filter.digest = firstBlockDigest_;
    if (OnFirstLookProgress) {
        auto lastReport = std::chrono::steady_clock::now();
        filter.onProgress = [this, lastReport](size_t filesRead, size_t fileCount) mutable {
            const auto now = std::chrono::steady_clock::now();
            if (filesRead < fileCount && now - lastReport < RunProgressInterval) {
                return;
            }
            lastReport = now;
            Synchronize([&] {
                if (OnFirstLookProgress) {
                    OnFirstLookProgress(static_cast<int32_t>(filesRead), static_cast<int32_t>(fileCount));
                }
            });
        };
    }
    filter.sift(
        list, spans, [this] { return Terminated(); }, readingOrder_, earlierLooks_);
    std::vector<uint32_t>().swap(readingOrder_);
    std::deque<FirstLook>().swap(earlierLooks_);
    std::vector<RunsAhead::Job> jobs;
    for (const Span& span : spans) {
        RunsAhead::Job job;
        job.size = span.size;
        for (uint32_t position : span.candidates) {
            job.paths.push_back(list.c_str(position));
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
            for (const auto& [member, error] : classes.unreadable) {
                UnreadableFiles.push_back({std::string(list[spans[span].candidates[member]]), error});
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
                ReportGroup(report);
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
    const OrderedPaths list = List();
    const bool hinted = FileSizes.size() == list.size();
    std::vector<Span> spans;
    Span current;
    bool sized = false;
    for (size_t j = 0; j < list.size(); ++j) {
        std::optional<int64_t> size;
        if (hinted) {
            size = FileSizes[j];
        } else if (const auto info = platform::lookupFile(list.c_str(j));
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

    int32_t classCount = 0;
    std::map<std::pair<uint64_t, uint64_t>, int> sharedInode;
    for (size_t m = 0; m < span.candidates.size(); ++m) {
        const size_t k = span.candidates[m] - run.first;
        run.classOf[k] = result.classOf[m];
        run.info[k] = result.info[m];
        if (result.classOf[m] >= 0) {
            classCount = std::max(classCount, result.classOf[m] + 1);
            ++sharedInode[{result.info[m].device, result.info[m].inode}];
        }
    }
    // A file reached again by another path is that file, not a copy of it: only its first path
    // stays in its class. Only paths that share an inode with another of the run are looked up,
    // so that the common case costs nothing.
    std::vector<std::vector<platform::EntryIdentity>> entriesOfClass(static_cast<size_t>(classCount));
    std::vector<size_t> classSize(static_cast<size_t>(classCount), 0);
    for (size_t k = 0; k < length; ++k) {
        if (run.classOf[k] < 0) {
            continue;
        }
        const auto c = static_cast<size_t>(run.classOf[k]);
        if (sharedInode[{run.info[k].device, run.info[k].inode}] > 1) {
            platform::EntryIdentity entry = entryOf(std::string(List()[run.first + k]));
            auto& seen = entriesOfClass[c];
            if (std::find(seen.begin(), seen.end(), entry) != seen.end()) {
                run.classOf[k] = -1;
                continue;
            }
            seen.push_back(std::move(entry));
        }
        ++classSize[c];
    }
    run.members.resize(static_cast<size_t>(classCount));
    for (size_t k = 0; k < length; ++k) {
        if (run.classOf[k] < 0) {
            continue;
        }
        if (classSize[static_cast<size_t>(run.classOf[k])] < 2) {
            run.classOf[k] = -1; // every other member was this file again
            continue;
        }
        auto& members = run.members[static_cast<size_t>(run.classOf[k])];
        run.indexInClass[k] = static_cast<int32_t>(members.size());
        members.push_back(run.first + k);
    }
    run.scanned.assign(run.members.size(), 0);
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
    // Every later member of the class is identical to this file. Members that an earlier file of
    // the class has handled are all reported already, so the scan starts behind them and a class
    // of k files costs k steps, not k * k.
    const size_t from = std::max(self + 1, run.scanned[c]);
    const bool found = self + 1 < members.size();
    run.scanned[c] = members.size();
    const OrderedPaths list = List();
    for (size_t m = from; m < members.size(); ++m) {
        const size_t candidate = members[m];
        const std::string_view path = list[candidate];
        if (ReportedFiles.emplace(path).second) {
            group.groupFile = list[position];
            group.groupFileInfo = run.info[k];
            group.groupDuplicates.push_back(path);
            group.groupDuplicateInfos.push_back(run.info[candidate - run.first]);
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
        OnCompareProgress(Position, static_cast<int32_t>(ListCount()), DuplicatesFound);
    }
}

void CompareWorker::ReportGroup(const CompareReport& report) {
    if (!report.groupDuplicates.empty() && OnDuplicateGroup) {
        OnDuplicateGroup(FoundGroup{report.groupFile, report.groupDuplicates, report.groupFileInfo,
                                    report.groupDuplicateInfos});
    }
}

void CompareWorker::ReportRunProgress(int32_t fileCount, int64_t fileSize, int64_t bytesRead) {
    Synchronize([&] {
        if (OnRunProgress) {
            OnRunProgress(fileCount, fileSize, bytesRead);
        }
    });
}

void CompareWorker::ReportEnd() {
    Owner->Busy = false;
    if (OnCompareFinished) {
        OnCompareFinished(
            CompareEnd{static_cast<int32_t>(ListCount()), DuplicatesFound, Failure, UnreadableFiles});
    }
}

} // namespace corvane::engine
