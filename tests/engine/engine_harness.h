#pragma once

// Runs the engine's drivers against a queue pumped by the test, as a window's thread would, and
// records every report in order.

#include "engine/duplicate_comparer.h"
#include "engine/file_scanner.h"
#include "engine/queued_ui_thread.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace corvane::testing {

inline constexpr std::chrono::seconds kGenerousTimeout{60};

struct FileReport {
    std::string fileName;
    int64_t size;
    int64_t totalSize;
    int32_t folderCount;
    int32_t fileCount;
};

struct ScanRecord {
    std::vector<FileReport> files;
    std::vector<std::string> foundFiles;   // as the end report gave them
    std::vector<std::string> trashFolders; // passed over, as the end report gave them
    std::string failure;                   // the message of the end report's Failure, if any
    int endReports = 0;
    bool busyAtEnd = true;
};

// What a comparison reported, one line per report: "group A|B|C", "progress 1 2 1", "end 2 1".
struct CompareRecord {
    std::vector<std::string> reports;
    std::string failure; // the message of the end report's Failure, if any
    int endReports = 0;
    bool busyAtEnd = true;
};

// A scan over `paths` and their pattern texts; waits for its end report.
ScanRecord runScan(const std::vector<std::string>& paths, const std::vector<std::string>& patterns);

// A comparison of `fileList` (with the sizes the scan gave, if any); waits for its end report.
// `firstBlockDigest`: the digest of the comparer's first look at each file.
CompareRecord runCompare(const engine::StringList& fileList, const std::vector<int64_t>& sizes = {},
                         engine::BlockDigest firstBlockDigest = engine::blockDigest);

// Hooks the recording handlers of a driver to a record.
void recordScan(engine::FileScanner& scan, ScanRecord& record);
void recordCompare(engine::DuplicateComparer& compare, CompareRecord& record);

} // namespace corvane::testing
