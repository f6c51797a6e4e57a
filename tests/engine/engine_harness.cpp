#include "engine/engine_harness.h"

#include <gtest/gtest.h>

namespace corvane::testing {

void recordScan(engine::FileScanner& scan, ScanRecord& record) {
    scan.onFileFound = [&record](const engine::FoundFile& file) {
        record.files.push_back(
            {std::string(file.path), file.info.size, file.totalSize, file.folderCount, file.fileCount});
    };
    scan.onScanFinished = [&record, &scan](engine::ScanEnd& end) {
        record.foundFiles.assign(end.foundFiles.begin(), end.foundFiles.end());
        record.trashFolders = end.trashFoldersPassedOver;
        record.failure = engine::failureMessage(end.failure);
        record.busyAtEnd = scan.busy;
        ++record.endReports;
    };
}

void recordCompare(engine::DuplicateComparer& compare, CompareRecord& record) {
    compare.onDuplicateGroup = [&record](const engine::FoundGroup& group) {
        std::string line = "group " + group.file;
        for (std::string_view path : group.duplicates) {
            line += "|";
            line += path;
        }
        record.reports.push_back(line);
    };
    compare.onCompareProgress = [&record](int32_t position, int32_t count, int32_t found) {
        record.reports.push_back("progress " + std::to_string(position) + " " + std::to_string(count) + " " +
                                 std::to_string(found));
    };
    compare.onCompareFinished = [&record, &compare](const engine::CompareEnd& end) {
        record.reports.push_back("end " + std::to_string(end.listCount) + " " +
                                 std::to_string(end.duplicatesFound));
        record.failure = engine::failureMessage(end.failure);
        record.busyAtEnd = compare.busy;
        ++record.endReports;
    };
}

ScanRecord runScan(const std::vector<std::string>& paths, const std::vector<std::string>& patterns) {
    auto ui = std::make_shared<engine::QueuedUiThread>();
    engine::FileScanner scan(ui);
    ScanRecord record;
    recordScan(scan, record);
    scan.searchPaths = paths;
    scan.fileTypes = patterns;
    scan.start();
    EXPECT_TRUE(ui->runUntil([&] { return record.endReports > 0; }, kGenerousTimeout))
        << "the scan never ended";
    EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
    return record;
}

CompareRecord runCompare(const engine::StringList& fileList, const std::vector<int64_t>& sizes,
                         engine::BlockDigest firstBlockDigest) {
    auto ui = std::make_shared<engine::QueuedUiThread>();
    engine::DuplicateComparer compare(ui);
    compare.firstBlockDigest = firstBlockDigest;
    CompareRecord record;
    recordCompare(compare, record);
    compare.setFileList(fileList, sizes);
    compare.start();
    EXPECT_TRUE(ui->runUntil([&] { return record.endReports > 0; }, kGenerousTimeout))
        << "the comparison never ended";
    EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
    return record;
}

} // namespace corvane::testing
