#include "qtcore/saved_result_file.h"

#include "stream/error.h"
#include "stream/messages.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace corvane::qtcore {

namespace {

constexpr int kNameAttempts = 100;

[[noreturn]] void failCreate(const std::string& path, int error) {
    throw Error(stream::formatMessage(stream::kCannotCreateFile, {path, stream::systemErrorText(error)}));
}

// Where a link at `path` leads, so that saving over a linked set keeps the link; `path` itself
// otherwise, also for a link that leads nowhere.
std::string followLink(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        if (char* resolved = ::realpath(path.c_str(), nullptr)) {
            std::string target(resolved);
            std::free(resolved);
            return target;
        }
    }
    return path;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A name beside `path` for a file of our own; O_EXCL and link() refuse one that is taken, and the
// caller tries the next.
std::string nameBeside(const std::string& path) {
    static std::atomic<uint64_t> counter{0};
    const auto now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const uint64_t mixed = (now * 0x9E3779B97F4A7C15ull) ^ (static_cast<uint64_t>(::getpid()) << 20) ^
                           counter.fetch_add(1, std::memory_order_relaxed);
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".tmp%08x", static_cast<unsigned>(mixed ^ (mixed >> 32)));
    return path + suffix;
}

bool exchangeNames(const std::string& a, const std::string& b) {
    return ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0;
}

// Writes the folder's entries to the disk, so that a crash cannot bring back the older file.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

SavedResultFile::SavedResultFile(const std::string& path) : path_(path), target_(followLink(path)) {
    mode_t mode = 0666; // less the umask, as for any new file
    bool replaces = false;
    struct stat older {};
    if (::stat(target_.c_str(), &older) == 0) {
        if (S_ISDIR(older.st_mode)) {
            failCreate(path_, EISDIR);
        }
        // Replacing a file needs only its folder's permission, but a file the user made read-only,
        // an immutable one or one on a read-only mount is not replaced all the same.
        if (::access(target_.c_str(), W_OK) != 0) {
            failCreate(path_, errno);
        }
        mode = older.st_mode & 07777;
        replaces = true;
    }
    for (int attempt = 0; attempt < kNameAttempts && fd_ < 0; ++attempt) {
        temporary_ = nameBeside(target_);
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd_ < 0 && errno != EEXIST) {
            failCreate(path_, errno);
        }
    }
    if (fd_ < 0) {
        failCreate(path_, EEXIST);
    }
    if (replaces) {
        ::fchmod(fd_, mode); // the older file's permissions, which the umask may have narrowed
    }
}

SavedResultFile::~SavedResultFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    switch (state_) {
    case State::Writing:
    case State::Finished:
    case State::Failed:
    case State::RolledBack:
        ::unlink(temporary_.c_str()); // this save's own data, which never took the name
        break;
    case State::CommittedOverOlder:
        syncFolder(folderOf(target_));
        ::unlink(temporary_.c_str()); // the older file, replaced
        break;
    case State::CommittedLinkedOlder:
        syncFolder(folderOf(target_));
        ::unlink(aside_.c_str());
        break;
    case State::CommittedNoWayBack:
    case State::CommittedNew:
        syncFolder(folderOf(target_));
        break;
    case State::Stranded:
        break;
    }
}

void SavedResultFile::fail(int error) {
    state_ = State::Failed;
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    failCreate(path_, error);
}

void SavedResultFile::write(std::span<const uint8_t> bytes) {
    if (state_ != State::Writing) {
        throw Error(std::string(stream::kStreamWriteError));
    }
    const uint8_t* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd_, data, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail(errno);
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
}

void SavedResultFile::finish() {
    if (state_ != State::Writing) {
        throw Error(std::string(stream::kStreamWriteError));
    }
    // Some file systems report a full disk or a failed write only here; and a file that takes its name
    // before its bytes are on the disk could be found short after a crash.
    if (::fsync(fd_) != 0) {
        fail(errno);
    }
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0) {
        fail(errno);
    }
    state_ = State::Finished;
}

void SavedResultFile::commit() {
    if (state_ != State::Finished) {
        throw Error(std::string(stream::kStreamWriteError));
    }
    if (exchangeNames(temporary_, target_)) {
        state_ = State::CommittedOverOlder;
        // An exchange takes a folder as readily as a file: a folder put in the file's place since the
        // save began goes back.
        struct stat older {};
        if (::lstat(temporary_.c_str(), &older) == 0 && S_ISDIR(older.st_mode)) {
            rollBack();
            failCreate(path_, EISDIR);
        }
        return;
    }
    int error = errno;
    if (error == ENOENT) { // no older file: an exchange needs two
        if (::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) == 0) {
            state_ = State::CommittedNew;
            return;
        }
        error = errno;
    }
    if (error == EINVAL || error == ENOSYS) { // the file system cannot exchange names
        commitWithoutExchange();
        return;
    }
    failCreate(path_, error);
}

// For file systems that cannot exchange two names: a second name (a hard link) keeps the older file
// for rollBack where the file system has them; without, the older file is replaced for good.
void SavedResultFile::commitWithoutExchange() {
    struct stat older {};
    const bool replaces = ::lstat(target_.c_str(), &older) == 0;
    bool linked = false;
    for (int attempt = 0; replaces && attempt < kNameAttempts; ++attempt) {
        aside_ = nameBeside(target_);
        linked = ::link(target_.c_str(), aside_.c_str()) == 0;
        if (linked || errno != EEXIST) {
            break;
        }
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        const int error = errno;
        if (linked) {
            ::unlink(aside_.c_str());
        }
        failCreate(path_, error);
    }
    state_ = !replaces ? State::CommittedNew
             : linked  ? State::CommittedLinkedOlder
                       : State::CommittedNoWayBack;
}

void SavedResultFile::rollBack() noexcept {
    switch (state_) {
    case State::CommittedOverOlder:
        state_ = exchangeNames(temporary_, target_) ? State::RolledBack : State::Stranded;
        break;
    case State::CommittedLinkedOlder:
        state_ = ::rename(aside_.c_str(), target_.c_str()) == 0 ? State::RolledBack : State::Stranded;
        break;
    case State::CommittedNew:
        state_ = ::rename(target_.c_str(), temporary_.c_str()) == 0 ? State::RolledBack : State::Stranded;
        break;
    default: // nothing committed, or nothing to go back to
        break;
    }
}

std::unique_ptr<stream::ResultFileOutput> createResultFile(const std::string& path) {
    return std::make_unique<SavedResultFile>(path);
}

} // namespace corvane::qtcore
