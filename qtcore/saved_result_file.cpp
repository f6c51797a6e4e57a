#include "qtcore/saved_result_file.h"

#include "stream/error.h"
#include "stream/messages.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::qtcore {

namespace {

[[noreturn]] void failCreate(const std::string& path, const std::string& reason) {
    throw Error(stream::formatMessage(stream::kCannotCreateFile, {path, reason}));
}

} // namespace

SavedResultFile::SavedResultFile(const std::string& path)
    : path_(path), file_(QFile::decodeName(QByteArray::fromStdString(path))) {
    // QSaveFile words some refusals in its own texts; the message gives the system's.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            failCreate(path, stream::systemErrorText(EISDIR));
        }
        if (::access(path.c_str(), W_OK) != 0) {
            failCreate(path, stream::systemErrorText(errno));
        }
    }
    errno = 0;
    if (!file_.open(QIODevice::WriteOnly)) {
        const int error = errno;
        failCreate(path, error != 0 ? stream::systemErrorText(error) : file_.errorString().toStdString());
    }
}

void SavedResultFile::write(std::span<const uint8_t> bytes) {
    const auto size = static_cast<qint64>(bytes.size());
    if (file_.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        throw Error(std::string(stream::kStreamWriteError));
    }
}

void SavedResultFile::commit() {
    if (file_.commit()) {
        return;
    }
    if (file_.error() == QFileDevice::RenameError) {
        failCreate(path_, file_.errorString().toStdString());
    }
    throw Error(std::string(stream::kStreamWriteError));
}

std::unique_ptr<stream::ResultFileOutput> createResultFile(const std::string& path) {
    return std::make_unique<SavedResultFile>(path);
}

} // namespace corvane::qtcore
