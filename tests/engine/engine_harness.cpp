#include "engine/engine_harness.h"

#include <gtest/gtest.h>

namespace corvane::testing {

void recordScan(engine::FileScanner& scan, ScanRecord& record) {
    scan.OnFileFound = [&record](engine::ScanWorker*, const std::string& fileName,
                                 const std::string& sizeText, const std::string&, int64_t totalSize,
                                 int32_t folderCount, int32_t fileCount) {
        record.files.push_back({fileName, sizeText, totalSize, folderCount, fileCount});
    };
    scan.OnScanFinished = [&record, &scan](engine::ScanWorker* sender, engine::StringList& foundFiles) {
        record.foundFiles.assign(foundFiles.begin(), foundFiles.end());
        record.trashFolders = sender->TrashFoldersPassedOver;
        record.failure = engine::failureMessage(sender->Failure);
        record.busyAtEnd = scan.Busy;
        ++record.endReports;
    };
}

void recordCompare(engine::DuplicateComparer& compare, CompareRecord& record) {
    compare.OnDuplicateGroup = [&record](engine::CompareWorker*, const std::string& groupFile,
                                         const engine::StringList& duplicates) {
        std::string line = "group " + groupFile;
        for (std::string_view path : duplicates) {
            line += "|";
            line += path;
        }
        record.reports.push_back(line);
    };
    compare.OnCompareProgress = [&record](engine::CompareWorker*, int32_t position, int32_t count,
                                          int32_t found) {
        record.reports.push_back("progress " + std::to_string(position) + " " + std::to_string(count) + " " +
                                 std::to_string(found));
    };
    compare.OnCompareFinished = [&record, &compare](engine::CompareWorker* sender, int32_t count,
                                                    int32_t found) {
        record.reports.push_back("end " + std::to_string(count) + " " + std::to_string(found));
        record.failure = engine::failureMessage(sender->Failure);
        record.busyAtEnd = compare.Busy;
        ++record.endReports;
    };
}

ScanRecord runScan(const std::vector<std::string>& paths, const std::vector<std::string>& patterns) {
    auto ui = std::make_shared<engine::QueuedUiThread>();
    engine::FileScanner scan(ui);
    ScanRecord record;
    recordScan(scan, record);
    scan.SearchPaths = paths;
    scan.FileTypes = patterns;
    scan.Start();
    EXPECT_TRUE(ui->runUntil([&] { return record.endReports > 0; }, kGenerousTimeout))
        << "the scan never ended";
    EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
    return record;
}

CompareRecord runCompare(const engine::StringList& fileList, const std::vector<int64_t>& sizes,
                         engine::BlockDigest firstBlockDigest) {
    auto ui = std::make_shared<engine::QueuedUiThread>();
    engine::DuplicateComparer compare(ui);
    compare.FirstBlockDigest = firstBlockDigest;
    CompareRecord record;
    recordCompare(compare, record);
    compare.SetFileList(fileList, sizes);
    compare.Start();
    EXPECT_TRUE(ui->runUntil([&] { return record.endReports > 0; }, kGenerousTimeout))
        << "the comparison never ended";
    EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
    return record;
}

} // namespace corvane::testing
