// The main window's File > Export: the groups of the duplicate tree written as the command line's
// `find --format csv` or `find --json` writes them after the same search.

#include "engine/group_report.h"
#include "engine/worker_thread.h"
#include "platform/file_info.h"
#include "qtcore/saved_result_file.h"
#include "stream/error.h"
#include "ui/desktop/result_files.h"
#include "ui/forms/list_controls_qt.h"
#include "ui/forms/message_dialog.h"
#include "ui/windows/main_window.h"

#include <QCoreApplication>

#include <algorithm>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace corvane::ui {

namespace {

// The filters of the export dialog, in their order there; the one chosen decides the format.
struct ExportFilter {
    const char* caption;
    const char* extension;
    engine::GroupFormat format;
};
constexpr ExportFilter kExportFilters[] = {
    {QT_TRANSLATE_NOOP("frm_utama", "CSV files (*.csv)"), "csv", engine::GroupFormat::Csv},
    {QT_TRANSLATE_NOOP("frm_utama", "JSON files (*.json)"), "json", engine::GroupFormat::Json},
};

QString text(const char* english) {
    return QCoreApplication::translate("frm_utama", english);
}

// The groups as the comparer reported them, with what `find` writes of them: the tree is in the
// order of its texts, the comparer's order is that of the searched files.
struct ExportedGroups {
    std::vector<engine::DuplicateGroup> groups;
    int64_t duplicates = 0;
    int64_t reclaimable = 0;
};

ExportedGroups groupsOf(const DuplicateTreeModel& tree, const SearchedFilesModel& searched) {
    std::unordered_map<std::string_view, int> place;
    place.reserve(static_cast<size_t>(searched.count()));
    for (int row = 0; row < searched.count(); ++row) {
        place.emplace(searched.caption(row), row);
    }
    const auto placeOf = [&](const std::string& path) {
        const auto found = place.find(path);
        return found == place.end() ? searched.count() : found->second;
    };
    const auto earlier = [&](const std::string& a, const std::string& b) { return placeOf(a) < placeOf(b); };
    ExportedGroups out;
    out.groups.reserve(static_cast<size_t>(tree.rowCount()));
    std::vector<std::pair<uint64_t, uint64_t>> inodes;
    for (int g = 0; g < tree.rowCount(); ++g) {
        const QModelIndex top = tree.index(g, 0);
        if (tree.rowCount(top) == 0) {
            // Only the original is left: no longer a group of duplicates.
            continue;
        }
        const DuplicateNode& original = *tree.node(top);
        engine::DuplicateGroup& group = out.groups.emplace_back();
        group.original = original.text;
        // The numbers are those of the files as they are now: a run since the search may have
        // made names of one file of them (hard links take its bytes once) or taken some away (a
        // file not there holds no bytes). The size is that of a file of the group that is there,
        // else what the comparer saw.
        inodes.clear();
        std::optional<int64_t> size;
        std::optional<int64_t> sizeSeen;
        const auto count = [&](const DuplicateNode& node) {
            if (const std::optional<platform::FileInfo> now = platform::lookupFile(node.text)) {
                inodes.emplace_back(now->device, now->inode);
                size = size.value_or(now->size);
            }
            if (node.fileInfo) {
                sizeSeen = sizeSeen.value_or(node.fileInfo->size);
            }
        };
        count(original);
        // The copy that stays is the one the window keeps: the first of the group in a reference
        // folder, in tree order, as planning takes it; else the original.
        const std::string* kept = tree.inReferenceFolder(original.text) ? &original.text : nullptr;
        for (int d = 0; d < tree.rowCount(top); ++d) {
            const DuplicateNode& duplicate = *tree.node(tree.index(d, 0, top));
            group.duplicates.push_back(duplicate.text);
            count(duplicate);
            if (!kept && tree.inReferenceFolder(duplicate.text)) {
                kept = &duplicate.text;
            }
        }
        group.size = size.value_or(sizeSeen.value_or(0));
        std::stable_sort(group.duplicates.begin(), group.duplicates.end(), earlier);
        if (kept && kept != &original.text) {
            group.keeper =
                1 + static_cast<size_t>(std::find(group.duplicates.begin(), group.duplicates.end(), *kept) -
                                        group.duplicates.begin());
        }
        // Every other copy in a reference folder stays as well.
        for (size_t at = 1; kept && at <= group.duplicates.size(); ++at) {
            if (at != group.keeper && tree.inReferenceFolder(group.duplicates[at - 1])) {
                group.alsoKept.push_back(at);
            }
        }
        if (kept && group.keeper != 0 && tree.inReferenceFolder(group.original)) {
            group.alsoKept.insert(group.alsoKept.begin(), 0);
        }
        std::sort(inodes.begin(), inodes.end());
        inodes.erase(std::unique(inodes.begin(), inodes.end()), inodes.end());
        out.duplicates += static_cast<int64_t>(group.duplicates.size());
        if (inodes.size() > 1) {
            out.reclaimable += group.size * static_cast<int64_t>(inodes.size() - 1);
        }
    }
    std::stable_sort(out.groups.begin(), out.groups.end(),
                     [&](const engine::DuplicateGroup& a, const engine::DuplicateGroup& b) {
                         return earlier(a.original, b.original);
                     });
    return out;
}

} // namespace

void MainWindow::exportClicked() {
    if (!exportAction_->isEnabled()) {
        return;
    }
    FileDialogSettings settings;
    settings.title = text(QT_TRANSLATE_NOOP("frm_utama", "Export"));
    for (const ExportFilter& filter : kExportFilters) {
        settings.filter +=
            (settings.filter.isEmpty() ? "" : "|") + text(filter.caption) + "|*." + filter.extension;
    }
    settings.defaultExt = QString::fromLatin1(kExportFilters[0].extension);
    const ChosenFile chosen = chooseResultFile(this, ResultFileDialog::Export, settings);
    if (chosen.name.isEmpty()) {
        return;
    }
    // The filter chosen decides the format, whatever the name ends with: the dialog gave the
    // filter's extension only to a name without one, and a name typed with another is the user's.
    const size_t filter = static_cast<size_t>(chosen.filter);
    const engine::GroupFormat format = kExportFilters[filter < std::size(kExportFilters) ? filter : 0].format;
    try {
        exportGroups(fileNameBytes(chosen.name), format);
    } catch (...) {
        // Whatever ended it, running out of memory included, in the standard error box.
        const std::string message = engine::failureMessage(std::current_exception());
        showErrorBox(QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())), this);
    }
}

void MainWindow::exportGroups(const std::string& file, engine::GroupFormat format) {
    const ExportedGroups exported = groupsOf(*duplicateTree_->treeModel(), *searchedFilesList_->listModel());
    // With reference folders the copy that stays is marked, as `find --keep` marks the one its
    // rules keep, so that acting on the file (trash --from-json) keeps what the window keeps.
    const engine::FoundGroups found{.searched = searchedFilesList_->listModel()->count(),
                                    .duplicates = exported.duplicates,
                                    .reclaimable = exported.reclaimable,
                                    .groups = exported.groups,
                                    .marksKeeper = !duplicateTree_->treeModel()->referenceFolders().empty()};
    // Into a file beside it, which takes the name only once it is whole and on the disk: a write
    // that fails leaves an older file of the name as it was.
    qtcore::SavedResultFile out(file);
    std::string pending;
    const auto flush = [&] {
        out.write(std::span(reinterpret_cast<const uint8_t*>(pending.data()), pending.size()));
        pending.clear();
    };
    engine::writeGroups(
        [&](std::string_view bytes) {
            pending.append(bytes);
            if (pending.size() >= 1 << 16) {
                flush();
            }
            return true;
        },
        found, format);
    flush();
    out.finish();
    out.commit();
}

} // namespace corvane::ui
