#pragma once

// The files of a saved result set, written the same way by the window's File > Save and by
// `corvane-cli find --save`: through QSaveFile, so that a file replaces an older one only once it
// is complete.

#include "stream/result_set.h"

#include <QSaveFile>

#include <memory>
#include <span>
#include <string>

namespace corvane::qtcore {

// One file of a result set. The data goes to a temporary file beside PATH, which takes PATH's place
// on commit, so a full disk or a failed write leaves an older PATH whole.
class SavedResultFile final : public stream::ResultFileOutput {
public:
    // Throws Error("Cannot create file "PATH". REASON") when the file cannot be created, with the
    // system's reason wherever there is one.
    explicit SavedResultFile(const std::string& path);

    // Throw Error("Stream write error") when the data cannot be written; commit throws the
    // creation error when the finished file cannot take PATH's place.
    void write(std::span<const uint8_t> bytes) override;
    void commit() override;

private:
    std::string path_;
    QSaveFile file_;
};

// A SavedResultFile for PATH: the file factory that stream::writeResultSet takes.
std::unique_ptr<stream::ResultFileOutput> createResultFile(const std::string& path);

} // namespace corvane::qtcore
