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

void DuplicateComparer::setFileList(const StringList& list, std::vector<int64_t> sizes) {
    fileList = list;
    fileOrder.clear();
    fileSizes = std::move(sizes);
    handOver_ = false;
}

void DuplicateComparer::setFileList(StringList&& list, std::vector<int64_t> sizes) {
    setFileList(std::move(list), {}, std::move(sizes));
}

void DuplicateComparer::setFileList(StringList&& list, std::vector<uint32_t> order,
                                    std::vector<int64_t> sizes) {
    fileList = std::move(list);
    fileOrder = std::move(order);
    fileSizes = std::move(sizes);
    handOver_ = true;
}

CompareWorker* DuplicateComparer::makeWorker(std::shared_ptr<WorkerControl> control) {
    if (!handOver_) {
        return new CompareWorker(this, fileList, fileOrder, fileSizes, uiThread(), std::move(control));
    }
    CompareWorker* started = new CompareWorker(this, std::move(fileList), std::move(fileOrder),
                                               std::move(fileSizes), uiThread(), std::move(control));
    fileList.clear();
    fileOrder.clear();
    fileSizes.clear();
    handOver_ = false;
    return started;
}

// ---------------------------------------------------------------------------------------------
// CompareWorker

CompareWorker::CompareWorker(DuplicateComparer* driver, StringList list, std::vector<uint32_t> order,
                             std::vector<int64_t> sizes, std::shared_ptr<UiThread> uiThread,
                             std::shared_ptr<WorkerControl> control)
    : WorkerThread(std::move(uiThread), std::move(control)), owner(driver),
      onCompareProgress(driver->onCompareProgress), onCompareFinished(driver->onCompareFinished),
      onDuplicateGroup(driver->onDuplicateGroup), onRunProgress(driver->onRunProgress),
      onFirstLookProgress(driver->onFirstLookProgress), runProgressInterval(driver->runProgressInterval),
      fileList(std::move(list)), fileOrder(std::move(order)), fileSizes(std::move(sizes)),
      memoryBudget_(driver->memoryBudget), firstBlockDigest_(driver->firstBlockDigest),
      readingOrder_(std::exchange(driver->readingOrder, {})),
      earlierLooks_(std::exchange(driver->earlierLooks, {})) {
    startRunning();
}

void CompareWorker::execute() {
    duplicatesFound = 0;
    const OrderedPaths list = orderedList();
    const size_t count = list.size();
    if (count < 2) {
        return;
    }
    std::vector<Span> spans = findRuns();
    std::vector<int64_t>().swap(fileSizes); // the runs are known: the sizes are of no more use
    // Files whose first block has no twin in their run are left out before the runs are read.
    FirstBlockFilter filter;
    filter.digest = firstBlockDigest_;
    if (onFirstLookProgress) {
        auto lastReport = std::chrono::steady_clock::now();
        filter.onProgress = [this, lastReport](size_t filesRead, size_t fileCount) mutable {
            const auto now = std::chrono::steady_clock::now();
            if (filesRead < fileCount && now - lastReport < runProgressInterval) {
                return;
            }
            lastReport = now;
            synchronize([&] {
                if (onFirstLookProgress) {
                    onFirstLookProgress(static_cast<int32_t>(filesRead), static_cast<int32_t>(fileCount));
                }
            });
        };
    }
    filter.sift(
        list, spans, [this] { return terminated(); }, readingOrder_, earlierLooks_);
    std::vector<uint32_t>().swap(readingOrder_);
    std::deque<FirstLook>().swap(earlierLooks_);
    std::vector<RunsAhead::Job> jobs;
    for (const Span& span : spans) {
        RunsAhead::Job job;
        job.size = span.size;
        for (uint32_t at : span.candidates) {
            job.paths.push_back(list.c_str(at));
        }
        jobs.push_back(std::move(job));
    }
    RunsAhead ahead(
        std::move(jobs), [this] { return terminated(); }, memoryBudget_);

    Run run;
    size_t span = 0;
    for (size_t i = 0; i + 1 < count; ++i) {
        // Positions outside every run (a size no other entry has) have nothing to collect.
        if (span < spans.size() && i == spans[span].first) {
            if (!ahead.ready(span)) {
                // The run may take a while yet: what is queued is shown first.
                deliverReports();
                if (terminated()) {
                    break;
                }
            }
            ContentClasses::Result classes;
            const Span& current = spans[span];
            RunsAhead::Progress progress;
            if (onRunProgress) {
                progress = [&](int64_t bytesRead) {
                    reportRunProgress(static_cast<int32_t>(current.candidates.size()), current.size,
                                      bytesRead);
                };
            }
            try {
                classes = ahead.take(span, progress, runProgressInterval);
            } catch (...) {
                // The run could not be compared: the reports of the positions before it still
                // come first.
                deliverReports();
                throw;
            }
            for (const auto& [member, error] : classes.unreadable) {
                unreadableFiles.push_back({std::string(list[spans[span].candidates[member]]), error});
            }
            run = makeRun(spans[span], std::move(classes));
            ++span;
        }
        position = static_cast<int32_t>(i + 1);
        collectDuplicates(run, i);
        CompareReport progress;
        progress.position = position;
        progress.duplicatesFound = duplicatesFound;
        reports_.add(std::move(progress));
        if (reports_.due()) {
            deliverReports();
        }
        if (terminated()) {
            break;
        }
    }
    deliverReports();
}

void CompareWorker::deliverReports() {
    const auto outcome = reports_.flush(
        [this](const std::function<void()>& routine) { synchronize(routine); },
        [this](CompareReport& report) {
            position = report.position;
            duplicatesFound = report.duplicatesFound;
            if (report.group) {
                reportGroup(report);
            } else {
                reportProgress();
            }
        },
        // A stop takes effect after the progress of a position.
        [](const CompareReport& report) { return !report.group; }, [this] { return terminated(); });
    if (outcome.dropped > 0 && outcome.delivered == 0) {
        // Back to before the first report: the positions after it were never reported.
        position = reports_.front().position;
        duplicatesFound = reports_.front().duplicatesFound - (reports_.front().group ? 1 : 0);
    }
    reports_.clear();
    if (outcome.failure) {
        std::rethrow_exception(outcome.failure);
    }
}

std::vector<CompareWorker::Span> CompareWorker::findRuns() const {
    // A run is a stretch of consecutive entries whose sizes are equal. Entries that cannot be
    // compared (gone, or not regular files) do not end a run: they are passed over, so that
    // files on both sides of them are still compared. Sizes the scan gave are trusted for the
    // bounds; every file is checked again when it is opened.
    const OrderedPaths list = orderedList();
    const bool hinted = fileSizes.size() == list.size();
    std::vector<Span> spans;
    Span current;
    bool sized = false;
    for (size_t j = 0; j < list.size(); ++j) {
        std::optional<int64_t> size;
        if (hinted) {
            size = fileSizes[j];
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

CompareWorker::Run CompareWorker::makeRun(const Span& span, ContentClasses::Result result) const {
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
            platform::EntryIdentity entry = entryOf(std::string(orderedList()[run.first + k]));
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

void CompareWorker::collectDuplicates(Run& run, size_t at) {
    if (at < run.first || at - run.first >= run.classOf.size()) {
        return;
    }
    const size_t k = at - run.first;
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
    const OrderedPaths list = orderedList();
    for (size_t m = from; m < members.size(); ++m) {
        const size_t candidate = members[m];
        const std::string_view path = list[candidate];
        if (reportedFiles.emplace(path).second) {
            group.groupFile = list[at];
            group.groupFileInfo = run.info[k];
            group.groupDuplicates.push_back(path);
            group.groupDuplicateInfos.push_back(run.info[candidate - run.first]);
        }
    }
    if (found) {
        ++duplicatesFound;
        group.position = position;
        group.duplicatesFound = duplicatesFound;
        reports_.add(std::move(group));
    }
}

void CompareWorker::reportProgress() {
    if (onCompareProgress) {
        onCompareProgress(position, static_cast<int32_t>(listCount()), duplicatesFound);
    }
}

void CompareWorker::reportGroup(const CompareReport& report) {
    if (!report.groupDuplicates.empty() && onDuplicateGroup) {
        onDuplicateGroup(FoundGroup{report.groupFile, report.groupDuplicates, report.groupFileInfo,
                                    report.groupDuplicateInfos});
    }
}

void CompareWorker::reportRunProgress(int32_t fileCount, int64_t fileSize, int64_t bytesRead) {
    synchronize([&] {
        if (onRunProgress) {
            onRunProgress(fileCount, fileSize, bytesRead);
        }
    });
}

void CompareWorker::reportEnd() {
    owner->busy = false;
    if (onCompareFinished) {
        onCompareFinished(
            CompareEnd{static_cast<int32_t>(listCount()), duplicatesFound, failure, unreadableFiles});
    }
}

} // namespace corvane::engine
