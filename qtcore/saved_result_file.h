#pragma once

// The files of a saved result set, written the same way by the window's File > Save and by
// `corvane-cli find --save`: each into a temporary file beside it, checked write by write and flushed
// to the disk before it may take its name, so that a full disk, a failed write or a crash never leaves
// a short file in place of a whole one.

#include "stream/result_set.h"

#include <memory>
#include <span>
#include <string>

namespace corvane::qtcore {

// One file of a result set (see stream::ResultFileOutput). The name is used as bytes, whatever they
// are. A link at PATH is followed: the file it leads to is the one replaced.
class SavedResultFile final : public stream::ResultFileOutput {
public:
    // Throws Error("Cannot create file "PATH". REASON") with the system's reason when PATH is a folder,
    // cannot be replaced, or no temporary file can be made beside it.
    explicit SavedResultFile(const std::string& path);
    ~SavedResultFile() override;
    SavedResultFile(const SavedResultFile&) = delete;
    SavedResultFile& operator=(const SavedResultFile&) = delete;

    // Each throws the create error with the system's reason; after one, the file can only be dropped.
    void write(std::span<const uint8_t> bytes) override;
    void finish() override;
    void commit() override;
    void rollBack() noexcept override;

private:
    // How far the file has come, and where the older file is once this one has its name.
    enum class State {
        Writing,
        Finished,
        Failed,
        CommittedOverOlder,   // exchanged: the older file is at temporary_
        CommittedLinkedOlder, // the older file is also at aside_
        CommittedNoWayBack,   // the file system keeps no second name for the older file
        CommittedNew,         // there was no older file
        RolledBack,
        Stranded, // the older file could not take its name back: it stays at its temporary name
    };

    [[noreturn]] void fail(int error);
    void commitWithoutExchange();

    std::string path_;   // as given: the messages name it
    std::string target_; // the file replaced: path_, or where a link at path_ leads
    std::string temporary_;
    std::string aside_;
    int fd_ = -1;
    State state_ = State::Writing;
};

// A SavedResultFile for PATH: the file factory that stream::writeResultSet takes.
std::unique_ptr<stream::ResultFileOutput> createResultFile(const std::string& path);

} // namespace corvane::qtcore
