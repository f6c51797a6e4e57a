// corvane-cli's save module: writes a search of `find --save` as the three files the window writes
// after the same search. It holds the command line's only use of Qt (Core: the user's short date
// format and collation, as the window's, and QSaveFile), so that corvane-cli starts without loading
// Qt and loads this module only when it saves.

#include "cli/save_module.h"
#include "stream/error.h"
#include "stream/messages.h"
#include "stream/result_set.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QDate>
#include <QFile>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <numeric>
#include <span>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::cli {

namespace {

std::string textOf(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

// The window's date texts: the user's short date format with the year written with four digits,
// so that a date reads back as the year it was written for. Kept in step with the window's
// LocaleTexts; the window tests compare a set of `find --save` with the window's own, byte for byte.
class WindowDates {
public:
    WindowDates() : locale_(), format_(widenYear(locale_.dateFormat(QLocale::ShortFormat))) {}

    // The scanner's date text of `file` in the window's format; a text that is no date as it is.
    std::string text(const CorvaneSavedFile& file) const {
        if (file.dated == 0) {
            return textOf(file.dateText);
        }
        return locale_.toString(QDate(file.year, file.month, file.day), format_).toStdString();
    }

private:
    static QString widenYear(const QString& format) {
        QString widened;
        bool quoted = false;
        for (qsizetype i = 0; i < format.size(); ++i) {
            const QChar c = format[i];
            if (c == u'\'') {
                quoted = !quoted;
                widened += c;
            } else if (!quoted && c == u'y') {
                while (i + 1 < format.size() && format[i + 1] == u'y') {
                    ++i;
                }
                widened += QStringLiteral("yyyy");
            } else {
                widened += c;
            }
        }
        return widened;
    }

    QLocale locale_;
    QString format_;
};

// The window's tree order: linguistic and case-sensitive under the user's locale, English rules
// where the locale is C or POSIX (which Qt would collate by code point). Kept in step with the
// window's LocaleTexts as the dates are.
QCollator windowCollator() {
    const QLocale locale;
    QCollator collator(locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates)
                                                       : locale);
    collator.setCaseSensitivity(Qt::CaseSensitive);
    collator.setNumericMode(false);
    collator.setIgnorePunctuation(false);
    return collator;
}

// The order of `texts` by the collator, equal texts keeping their order.
std::vector<size_t> textOrder(const QCollator& collator, std::span<const char* const> texts) {
    std::vector<QCollatorSortKey> keys;
    keys.reserve(texts.size());
    for (const char* text : texts) {
        keys.push_back(collator.sortKey(QString::fromUtf8(text != nullptr ? text : "")));
    }
    std::vector<size_t> order(texts.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return keys[a].compare(keys[b]) < 0; });
    return order;
}

std::vector<stream::TreeNode> groupNodes(std::span<const CorvaneSavedGroup> groups) {
    const QCollator collator = windowCollator();
    std::vector<const char*> originals;
    size_t count = 0;
    for (const CorvaneSavedGroup& group : groups) {
        originals.push_back(group.original);
        count += 1 + group.duplicateCount;
    }
    std::vector<stream::TreeNode> nodes;
    nodes.reserve(count);
    for (const size_t g : textOrder(collator, originals)) {
        const CorvaneSavedGroup& group = groups[g];
        const std::span<const char* const> duplicates(group.duplicates, group.duplicateCount);
        nodes.push_back({.text = textOf(group.original), .level = 0, .hasChildren = !duplicates.empty()});
        for (const size_t d : textOrder(collator, duplicates)) {
            nodes.push_back({.text = textOf(duplicates[d]), .level = 1});
        }
    }
    return nodes;
}

// The main window's lists after the search: the search paths, the searched files with their dates
// in the window's short date format of the user's locale, and the groups with their files ordered
// by text as the window orders its tree, every node unchecked.
void fillMainWindowLists(const CorvaneSavedSearch& search, stream::MainWindowLists& lists) {
    std::vector<stream::ListRow> paths;
    for (size_t i = 0; i < search.folderCount; ++i) {
        paths.push_back(
            {.caption = textOf(search.folders[i]), .subItems = {{.text = textOf(search.patterns[i])}}});
    }
    lists.searchPaths.setRows(std::move(paths));

    const WindowDates dates;
    std::vector<stream::ListRow> files;
    files.reserve(search.fileCount);
    for (const CorvaneSavedFile& file : std::span(search.files, search.fileCount)) {
        files.push_back({.caption = textOf(file.path),
                         .subItems = {{.text = textOf(file.sizeText)}, {.text = dates.text(file)}}});
    }
    lists.searchedFiles.setRows(std::move(files));
    lists.duplicates.setNodes(groupNodes({search.groups, search.groupCount}));
    // The window orders its searched files by size at the end of a scan that found any, and its
    // tree by text once the comparison of them has ended.
    const bool found = search.fileCount != 0;
    lists.searchedFiles.setSortType(found ? stream::stData : stream::stNone);
    lists.duplicates.setSortType(found ? stream::stText : stream::stNone);
}

[[noreturn]] void failCreate(const std::string& path, const std::string& reason) {
    throw Error(stream::formatMessage(stream::kCannotCreateFile, {path, reason}));
}

// As the window's result files: through QSaveFile, so a failed write leaves an older file whole.
class SavedResultFile final : public stream::ResultFileOutput {
public:
    explicit SavedResultFile(const std::string& path)
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

    void write(std::span<const uint8_t> bytes) override {
        const auto size = static_cast<qint64>(bytes.size());
        if (file_.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
            throw Error(std::string(stream::kStreamWriteError));
        }
    }

    void commit() override {
        if (file_.commit()) {
            return;
        }
        if (file_.error() == QFileDevice::RenameError) {
            failCreate(path_, file_.errorString().toStdString());
        }
        throw Error(std::string(stream::kStreamWriteError));
    }

private:
    std::string path_;
    QSaveFile file_;
};

// No exception leaves the module: each becomes the message handed to `fail`.
int saveSearch(const char* name, const CorvaneSavedSearch* search, CorvaneSaveFailure fail,
               void* context) noexcept {
    const auto failWith = [&](const char* message) {
        if (fail != nullptr) {
            fail(context, message, std::char_traits<char>::length(message));
        }
        return 0;
    };
    try {
        stream::MainWindowLists lists;
        fillMainWindowLists(*search, lists);
        stream::writeResultSet(textOf(name), lists.set(), [](const std::string& path) {
            return std::make_unique<SavedResultFile>(path);
        });
        return 1;
    } catch (const std::exception& error) {
        return failWith(error.what());
    } catch (...) {
        return failWith("unknown error");
    }
}

} // namespace

} // namespace corvane::cli

extern "C" __attribute__((visibility("default"))) const CorvaneSaveModule* corvane_save_module(void) {
    static const CorvaneSaveModule module{CORVANE_SAVE_MODULE_ABI, corvane::cli::saveSearch};
    return &module;
}
