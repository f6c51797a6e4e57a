#include "engine/run_record.h"

#include "platform/path_parts.h"
#include "platform/trash_info.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::engine {

namespace {

constexpr std::string_view kHeader = "corvane-run 1\n";
constexpr std::string_view kVersionWord = "corvane-run ";

const char* kindWord(RunChange::Kind kind) {
    switch (kind) {
    case RunChange::Kind::Trashed:
        return "trashed";
    case RunChange::Kind::Linked:
        return "linked";
    case RunChange::Kind::Shared:
        return "shared";
    }
    return "";
}

std::vector<std::string_view> fieldsOf(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(
            line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

template <typename Number> bool readNumber(std::string_view text, Number& value, int base = 10) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

std::optional<RunChange> parseChange(std::string_view line) {
    const std::vector<std::string_view> fields = fieldsOf(line);
    RunChange change;
    size_t expected = 5;
    if (fields[0] == "trashed") {
        change.kind = RunChange::Kind::Trashed;
    } else if (fields[0] == "linked") {
        change.kind = RunChange::Kind::Linked;
        expected = 9;
    } else if (fields[0] == "shared") {
        change.kind = RunChange::Kind::Shared;
    } else {
        return std::nullopt;
    }
    if (fields.size() != expected) {
        return std::nullopt;
    }
    std::optional<std::string> path = platform::percentDecodePath(fields[1]);
    std::optional<std::string> other = platform::percentDecodePath(fields[2]);
    if (!path || !other || path->empty() || other->empty() ||
        !readNumber(fields[3], change.identity.device) || !readNumber(fields[4], change.identity.inode)) {
        return std::nullopt;
    }
    change.path = std::move(*path);
    change.other = std::move(*other);
    if (change.kind == RunChange::Kind::Linked &&
        (!readNumber(fields[5], change.mode, 8) || !readNumber(fields[6], change.owner) ||
         !readNumber(fields[7], change.group) || !readNumber(fields[8], change.modifiedNs))) {
        return std::nullopt;
    }
    return change;
}

std::string systemFailure(const std::string& what, int error) {
    return what + ": " + std::strerror(error);
}

} // namespace

std::string lastRunRecordPath() {
    // Relative paths in these variables are not valid and are ignored.
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == platform::kPathSeparator) {
        return platform::joinPath(state, "corvane/last-run");
    }
    if (const char* home = std::getenv("HOME"); home && home[0] == platform::kPathSeparator) {
        return platform::joinPath(home, ".local/state/corvane/last-run");
    }
    return {};
}

std::string runChangeLine(const RunChange& change) {
    std::string line = kindWord(change.kind);
    for (const std::string* path : {&change.path, &change.other}) {
        line += '\t';
        line += platform::percentEncodePath(*path);
    }
    line += '\t' + std::to_string(change.identity.device) + '\t' + std::to_string(change.identity.inode);
    if (change.kind == RunChange::Kind::Linked) {
        char mode[16];
        const auto written = std::to_chars(mode, mode + sizeof mode, change.mode, 8);
        line += '\t' + std::string(mode, written.ptr) + '\t' + std::to_string(change.owner) + '\t' +
                std::to_string(change.group) + '\t' + std::to_string(change.modifiedNs);
    }
    return line;
}

RunRecordWriter::~RunRecordWriter() {
    if (fd_ >= 0) {
        // Once, at the end of the run: a flush for each change would cost a run of thousands of
        // files more than its actions (the trash's own info files are not flushed either).
        ::fdatasync(fd_);
        ::close(fd_);
    }
}

bool RunRecordWriter::start(const std::string& path, std::string* failure) {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    // The folders on the way, as the owner's own.
    for (size_t slash = path.find(platform::kPathSeparator, 1); slash != std::string::npos;
         slash = path.find(platform::kPathSeparator, slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            *failure = systemFailure("the record of the run cannot be kept in " + folder, errno);
            return false;
        }
    }
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        *failure = systemFailure("the record of the run cannot be written: " + path, errno);
        return false;
    }
    if (::write(fd, kHeader.data(), kHeader.size()) != static_cast<ssize_t>(kHeader.size())) {
        *failure = systemFailure("the record of the run cannot be written: " + path, errno);
        ::close(fd);
        return false;
    }
    fd_ = fd;
    size_ = static_cast<off_t>(kHeader.size());
    return true;
}

bool RunRecordWriter::add(const RunChange& change, std::string* failure) {
    if (fd_ < 0) {
        *failure = "no record of the run was started";
        return false;
    }
    const std::string line = runChangeLine(change) + '\n';
    // One write a line, so that a line is whole or cut short at its end, never mixed.
    const ssize_t written = ::write(fd_, line.data(), line.size());
    if (written != static_cast<ssize_t>(line.size())) {
        *failure = written < 0 ? systemFailure("the record of the run cannot be written", errno)
                               : "the record of the run cannot be written: the disk is full";
        // A line cut short goes, so that a later line is not glued to it.
        if (written > 0 && ::ftruncate(fd_, size_) != 0) {
            ::close(fd_);
            fd_ = -1; // nothing more is added after a line that cannot be taken back
        }
        return false;
    }
    size_ += static_cast<off_t>(line.size());
    return true;
}

void RunRecorder::add(RunChange change) {
    if (path_.empty() || !failure_.empty()) {
        return;
    }
    if (!writer_.started() && !writer_.start(path_, &failure_)) {
        ::unlink(path_.c_str());
        return;
    }
    const std::string here = platform::currentFolder();
    for (std::string* path : {&change.path, &change.other}) {
        if (!path->empty() && path->front() != platform::kPathSeparator) {
            *path = platform::absolutePath(*path, here);
        }
    }
    if (!writer_.add(change, &failure_)) {
        // A record that misses a change would undo the run in part and say nothing of the rest.
        ::unlink(path_.c_str());
    }
}

bool replaceRunRecord(const std::string& path, const std::vector<RunChange>& changes, std::string* failure) {
    if (changes.empty()) {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
            *failure = systemFailure("the record of the last run cannot be removed: " + path, errno);
            return false;
        }
        return true;
    }
    const std::string fresh = path + ".new";
    {
        RunRecordWriter writer;
        if (!writer.start(fresh, failure)) {
            return false;
        }
        for (const RunChange& change : changes) {
            if (!writer.add(change, failure)) {
                ::unlink(fresh.c_str());
                return false;
            }
        }
    }
    if (::rename(fresh.c_str(), path.c_str()) != 0) {
        *failure = systemFailure("the record of the last run cannot be replaced: " + path, errno);
        ::unlink(fresh.c_str());
        return false;
    }
    return true;
}

std::optional<std::vector<RunChange>> readRunRecord(const std::string& path, std::string* failure) {
    std::string text;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    int error = fd < 0 ? errno : 0;
    if (fd >= 0) {
        char buffer[65536];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                error = got < 0 ? errno : 0;
                break;
            }
            text.append(buffer, static_cast<size_t>(got));
        }
        ::close(fd);
    }
    if (error != 0) {
        *failure = systemFailure("no record of the last run can be read: " + path, error);
        return std::nullopt;
    }
    if (text.compare(0, kVersionWord.size(), kVersionWord) == 0 &&
        text.compare(0, kHeader.size(), kHeader) != 0) {
        *failure = "the record of the last run was written by a later version of Corvane: " + path;
        return std::nullopt;
    }
    if (text.compare(0, kHeader.size(), kHeader) != 0) {
        *failure = "not a record of a run: " + path;
        return std::nullopt;
    }
    std::vector<RunChange> changes;
    size_t start = kHeader.size();
    for (int lineNumber = 2; start < text.size(); ++lineNumber) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            break; // cut short while written
        }
        std::optional<RunChange> change = parseChange(std::string_view(text).substr(start, end - start));
        if (!change) {
            *failure =
                "the record of the last run is damaged at line " + std::to_string(lineNumber) + ": " + path;
            return std::nullopt;
        }
        changes.push_back(std::move(*change));
        start = end + 1;
    }
    return changes;
}

} // namespace corvane::engine
