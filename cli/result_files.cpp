#include "cli/result_files.h"

#include "engine/search_order.h"
#include "stream/error.h"
#include "stream/messages.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QDate>
#include <QFile>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <numeric>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::cli {

namespace {

// The window's date texts: the user's short date format with the year written with four digits,
// so that a date reads back as the year it was written for. Kept in step with the window's
// LocaleTexts; the window tests compare a set of `find --save` with the window's own, byte for byte.
class WindowDates {
public:
    WindowDates() : locale_(), format_(widenYear(locale_.dateFormat(QLocale::ShortFormat))) {}

    // An ISO date text of the scanner in the window's format; a text that is no such date as it is.
    std::string text(const std::string& isoText) const {
        const std::optional<platform::CivilDate> date = engine::parseIsoDate(isoText);
        if (!date) {
            return isoText;
        }
        return locale_.toString(QDate(date->year, date->month, date->day), format_).toStdString();
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
std::vector<size_t> textOrder(const QCollator& collator, const std::vector<const std::string*>& texts) {
    std::vector<QCollatorSortKey> keys;
    keys.reserve(texts.size());
    for (const std::string* text : texts) {
        keys.push_back(
            collator.sortKey(QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size()))));
    }
    std::vector<size_t> order(texts.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return keys[a].compare(keys[b]) < 0; });
    return order;
}

std::vector<stream::TreeNode> groupNodes(std::span<const DuplicateGroup> groups) {
    const QCollator collator = windowCollator();
    std::vector<const std::string*> originals;
    size_t count = 0;
    for (const DuplicateGroup& group : groups) {
        originals.push_back(&group.original);
        count += 1 + group.duplicates.size();
    }
    std::vector<stream::TreeNode> nodes;
    nodes.reserve(count);
    for (const size_t g : textOrder(collator, originals)) {
        const DuplicateGroup& group = groups[g];
        nodes.push_back({.text = group.original, .level = 0, .hasChildren = !group.duplicates.empty()});
        std::vector<const std::string*> duplicates;
        for (const std::string& duplicate : group.duplicates) {
            duplicates.push_back(&duplicate);
        }
        for (const size_t d : textOrder(collator, duplicates)) {
            nodes.push_back({.text = group.duplicates[d], .level = 1});
        }
    }
    return nodes;
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

} // namespace

void fillMainWindowLists(const SearchToSave& search, stream::MainWindowLists& lists) {
    std::vector<stream::ListRow> paths;
    for (size_t i = 0; i < search.folders.size(); ++i) {
        paths.push_back(
            {.caption = search.folders[i],
             .subItems = {{.text = i < search.patterns.size() ? search.patterns[i] : std::string()}}});
    }
    lists.searchPaths.setRows(std::move(paths));

    const WindowDates dates;
    std::vector<stream::ListRow> files;
    files.reserve(search.files.size());
    for (const SearchedFile& file : search.files) {
        files.push_back({.caption = file.path,
                         .subItems = {{.text = file.sizeText}, {.text = dates.text(file.dateText)}}});
    }
    lists.searchedFiles.setRows(std::move(files));
    lists.duplicates.setNodes(groupNodes(search.groups));
    // The window orders its searched files by size at the end of a scan that found any, and its
    // tree by text once the comparison of them has ended.
    const bool found = !search.files.empty();
    lists.searchedFiles.setSortType(found ? stream::stData : stream::stNone);
    lists.duplicates.setSortType(found ? stream::stText : stream::stNone);
}

void saveSearch(const std::string& name, const SearchToSave& search) {
    stream::MainWindowLists lists;
    fillMainWindowLists(search, lists);
    stream::writeResultSet(name, lists.set(),
                           [](const std::string& path) { return std::make_unique<SavedResultFile>(path); });
}

std::vector<StoredGroup> storedGroups(std::span<const stream::TreeNode> nodes) {
    std::vector<StoredGroup> groups;
    for (const stream::TreeNode& node : nodes) {
        const StoredFile file{node.text, node.stateIndex == stream::kStateChecked};
        if (node.level == 0) {
            groups.push_back({.original = file, .duplicates = {}});
        } else if (node.level == 1 && !groups.empty()) {
            groups.back().duplicates.push_back(file);
        }
    }
    return groups;
}

} // namespace corvane::cli
