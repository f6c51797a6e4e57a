#include "ui/desktop/recycle_bin.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::ui {

namespace {

bool sameFile(const platform::FileInfo& a, const platform::FileInfo& b) {
    return a.kind == b.kind && a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modificationTimeNs == b.modificationTimeNs;
}

bool isFolder(const QByteArray& path) {
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Folders made here are the owner's alone: the base directory rules ask so of a new data
// folder, and the trash holds what the user threw away.
bool makeFolder(const QByteArray& path) {
    return ::mkdir(path.constData(), 0700) == 0 || (errno == EEXIST && isFolder(path));
}

bool makeFolders(const QString& absolutePath) {
    const QByteArray path = QFile::encodeName(QDir::cleanPath(absolutePath));
    for (qsizetype slash = path.indexOf('/', 1); slash != -1; slash = path.indexOf('/', slash + 1)) {
        if (!makeFolder(path.left(slash))) {
            return false;
        }
    }
    return makeFolder(path);
}

QString parentOf(const QString& path) {
    return QFileInfo(path).absolutePath();
}

// The trash info that goes with a file in a trash's files/ folder.
QString trashInfoOf(const QString& location) {
    const QFileInfo moved(location);
    return parentOf(moved.absolutePath()) + QLatin1String("/info/") + moved.fileName() +
           QLatin1String(".trashinfo");
}

// Qt 6.4 falls back to the current folder when it cannot make the home trash, creating files/
// and info/ there. What existed before a move, so that undoing it removes only what it made.
struct CurrentFolderBefore {
    QString folder = QDir::currentPath();
    bool hadFiles = QFileInfo::exists(folder + QLatin1String("/files"));
    bool hadInfo = QFileInfo::exists(folder + QLatin1String("/info"));
};

// Undoes a move that did not end in a trash: the file goes back to `original` (never over a
// file that has appeared there since), the trash info written beside it is removed, and so are
// the folders the move made in the current folder if they are empty again.
bool putBack(const QString& location, const std::string& original, const CurrentFolderBefore& before) {
    const QFileInfo moved(location);
    const QByteArray from = QFile::encodeName(moved.absoluteFilePath());
    bool back = ::link(from.constData(), original.c_str()) == 0;
    if (back) {
        back = ::unlink(from.constData()) == 0;
    } else if (errno != EEXIST && !platform::lookupFile(original)) {
        // A file system without hard links: a plain rename, now that nothing is in the way.
        back = ::rename(from.constData(), original.c_str()) == 0;
    }
    if (!back) {
        return false;
    }
    const QString root = parentOf(moved.absolutePath());
    const QString info = trashInfoOf(location);
    if (QFileInfo(info).isFile()) {
        QFile::remove(info);
    }
    if (QFileInfo(root) == QFileInfo(before.folder)) {
        QDir folder(root);
        if (!before.hadFiles) {
            folder.rmdir(QStringLiteral("files"));
        }
        if (!before.hadInfo) {
            folder.rmdir(QStringLiteral("info"));
        }
    }
    return true;
}

// Qt 6.4 writes the original path into the trash info as it is, where the trash wants it
// escaped as in URLs: a name with "%" would be restored under another name, and one with a line
// break not at all. The info is written again, escaped, keeping Qt's deletion date.
void escapeOriginalPath(const QString& location, const QString& original) {
    const QString infoPath = trashInfoOf(location);
    QFile written(infoPath);
    if (!written.open(QIODevice::ReadOnly)) {
        return;
    }
    QByteArray date;
    for (const QByteArray& line : written.readAll().split('\n')) {
        if (line.startsWith("DeletionDate=")) {
            date = line.mid(13);
        }
    }
    written.close();
    if (date.isEmpty()) {
        date = QDateTime::currentDateTime().toString(Qt::ISODate).toLatin1();
    }
    QSaveFile info(infoPath);
    if (info.open(QIODevice::WriteOnly)) {
        info.write("[Trash Info]\nPath=" +
                   QUrl::toPercentEncoding(QFile::encodeName(QFileInfo(original).absoluteFilePath()), "/") +
                   "\nDeletionDate=" + date + "\n");
        info.commit();
    }
}

// The home trash ($XDG_DATA_HOME/Trash, by default ~/.local/share/Trash) with its files/ and
// info/ folders, made where missing; empty when it cannot be had. Qt 6.4 takes the current
// folder for the trash when it cannot make this one itself.
QString ensureHomeTrash() {
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // A relative $XDG_DATA_HOME is not valid; Qt would resolve it against the current folder.
    if (dataHome.isEmpty() || QDir::isRelativePath(dataHome)) {
        return {};
    }
    const QString trash = QDir::cleanPath(dataHome + QLatin1String("/Trash"));
    if (!makeFolders(trash) || !makeFolder(QFile::encodeName(trash + QLatin1String("/files"))) ||
        !makeFolder(QFile::encodeName(trash + QLatin1String("/info")))) {
        return {};
    }
    return trash;
}

// Whether `location`, where a file was moved to, lies in the files/ folder of a trash (the home
// trash, or a .Trash/$uid or .Trash-$uid at the top of the file's file system) that also holds
// its trash info.
bool isTrashLocation(const QString& location, const QString& homeTrash) {
    const QFileInfo file(location);
    const QString filesFolder = file.absolutePath();
    if (QFileInfo(filesFolder).fileName() != QLatin1String("files")) {
        return false;
    }
    const QString root = parentOf(filesFolder);
    if (!QFileInfo(trashInfoOf(location)).isFile()) {
        return false;
    }
    if (!homeTrash.isEmpty() &&
        QFileInfo(root).canonicalFilePath() == QFileInfo(homeTrash).canonicalFilePath()) {
        return true;
    }
    // A trash at the top of the file's own file system: .Trash/$uid or .Trash-$uid.
    const QString uid = QString::number(::getuid());
    const QString name = QFileInfo(root).fileName();
    QString top;
    if (name == QLatin1String(".Trash-") + uid) {
        top = parentOf(root);
    } else if (name == uid && QFileInfo(parentOf(root)).fileName() == QLatin1String(".Trash")) {
        top = parentOf(parentOf(root));
    } else {
        return false;
    }
    return QFileInfo(top) == QFileInfo(QStorageInfo(file.absoluteFilePath()).rootPath());
}

} // namespace

bool DeleteToRecycleBin(const std::string& path, const std::optional<platform::FileInfo>& expected,
                        QString* reason, const TrashMover& mover) {
    const auto refuse = [reason](const QString& why) {
        if (reason) {
            *reason = why;
        }
        return false;
    };
    if (reason) {
        reason->clear();
    }
    // Qt takes names as text. A name whose bytes do not survive the trip would reach the trash
    // as a look-alike: another file, or none.
    const QByteArray bytes = QByteArray::fromStdString(path);
    const QString name = QFile::decodeName(bytes);
    if (bytes.isEmpty() || bytes.contains('\0') || QFile::encodeName(name) != bytes) {
        return refuse(QStringLiteral("its name cannot be handed to the trash unchanged"));
    }
    const auto now = platform::lookupFile(path);
    if (!now) {
        return refuse(QStringLiteral("no longer there"));
    }
    if (now->kind != platform::EntryKind::RegularFile) {
        return refuse(QStringLiteral("not a regular file"));
    }
    if (expected && !sameFile(*expected, *now)) {
        return refuse(QStringLiteral("changed since it was compared"));
    }
    const QString homeTrash = ensureHomeTrash();
    if (homeTrash.isEmpty()) {
        return refuse(QStringLiteral("the trash folder cannot be made"));
    }
    const CurrentFolderBefore before;
    QString location;
    if (!mover(name, &location)) {
        return false;
    }
    if (isTrashLocation(location, homeTrash)) {
        escapeOriginalPath(location, name);
        return true;
    }
    if (putBack(location, path, before)) {
        return refuse(QStringLiteral("no trash would take it; left in place"));
    }
    return refuse(
        QStringLiteral("moved to %1, which is not a trash").arg(QFileInfo(location).absoluteFilePath()));
}

bool DeleteToRecycleBin(const std::string& path, const std::optional<platform::FileInfo>& expected,
                        QString* reason) {
    return DeleteToRecycleBin(path, expected, reason, [](const QString& fileName, QString* pathInTrash) {
        return QFile::moveToTrash(fileName, pathInTrash);
    });
}

} // namespace corvane::ui
