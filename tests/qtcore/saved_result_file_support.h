#pragma once

// What the tests of the result file writer share: writing a file of a set, reading files and folders
// back, and catching a step's message.

#include "qtcore/saved_result_file.h"
#include "stream/error.h"
#include "stream/result_set.h"
#include "support/file_contents.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::qtcore {

using Names = std::vector<std::string>;

inline std::vector<uint8_t> bytesOf(std::string_view text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

inline std::string contentsOf(const std::string& path) {
    return testing::fileContents(path);
}

// The three files of the set NAME, in order.
inline Names setContents(const std::string& name) {
    Names contents;
    for (const std::string& file : stream::resultSetFiles(name)) {
        contents.push_back(contentsOf(file));
    }
    return contents;
}

// The names in a folder, sorted.
inline Names namesIn(const std::string& folder) {
    Names names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A file of a set for `path` holding `text`, finished but not committed.
inline std::unique_ptr<stream::ResultFileOutput> finished(const std::string& path, std::string_view text) {
    auto file = createResultFile(path);
    file->write(bytesOf(text));
    file->finish();
    return file;
}

// The message of the error `step` throws; empty when it throws none.
inline std::string messageOf(const std::function<void()>& step) {
    try {
        step();
        return {};
    } catch (const Error& error) {
        return error.what();
    }
}

} // namespace corvane::qtcore
