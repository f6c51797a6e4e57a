#include "ui/views/list_view_model.h"

#include "engine/search_order.h"
#include "stream/result_set.h"
#include "ui/views/reference_mark.h"
#include "ui/views/shown_name.h"

#include <QCoreApplication>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <numeric>

namespace corvane::ui {

namespace {

// Long enough for a view to lay out a long list between two batches, short enough to look live.
constexpr int kAnnounceIntervalMs = 100;

// Paths of compact rows are kept in blocks of this size (a longer path gets a block of its own).
constexpr size_t kPathBlockBytes = size_t{1} << 20;

// The plain decimal text of a size, as the scanner writes it.
std::string_view plainSizeText(int64_t size, char (&buffer)[24]) {
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, size);
    return {buffer, static_cast<size_t>(result.ptr - buffer)};
}

} // namespace

ListViewModel::ListViewModel(QStringList columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)) {
    announceTimer_.setSingleShot(true);
    announceTimer_.setInterval(kAnnounceIntervalMs);
    connect(&announceTimer_, &QTimer::timeout, this, &ListViewModel::flushAppendedRows);
}

int ListViewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : announced_;
}

int ListViewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const size_t kept = stored(index.row());
    std::string scratch;
    switch (role) {
    case Qt::DisplayRole:
        return shownName(storedText(kept, index.column(), scratch));
    case CaptionBytesRole: {
        const std::string_view caption = storedText(kept, 0, scratch);
        return QByteArray(caption.data(), static_cast<qsizetype>(caption.size()));
    }
    case Qt::DecorationRole:
        // A search path that is a reference folder (compact rows are searched files: never one).
        return !compact_ && index.column() == 0 && rows_[kept].data == stream::kReferenceFolderRowData
                   ? QVariant(referenceMark())
                   : QVariant();
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        return !compact_ && rows_[kept].data == stream::kReferenceFolderRowData
                   ? QVariant(QCoreApplication::translate("frm_utama",
                                                          "A reference folder: its files are never deleted"))
                   : QVariant();
    default:
        return {};
    }
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < columns_.size()) {
        return columns_[section];
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ListViewModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

bool ListViewModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || count <= 0 || row + count > this->count()) {
        return false;
    }
    flushAppendedRows();
    keepAsListRows();
    keepInShownOrder();
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    rows_.erase(rows_.begin() + row, rows_.begin() + row + count);
    announced_ = this->count();
    endRemoveRows();
    return true;
}

void ListViewModel::setColumns(QStringList columns) {
    beginResetModel();
    columns_ = std::move(columns);
    announceTimer_.stop();
    announced_ = count();
    endResetModel();
}

std::string_view ListViewModel::caption(int i) const {
    const size_t kept = stored(i);
    return compact_ ? std::string_view(files_[kept].path, files_[kept].pathSize) : rows_[kept].caption();
}

ListRow ListViewModel::storedRow(size_t i) const {
    if (!compact_) {
        return rows_[i];
    }
    std::string size, date;
    return ListRow(storedText(i, 0, size), {storedText(i, 1, size), storedText(i, 2, date)});
}

const std::string* ListViewModel::storedOddSizeText(size_t i) const {
    if (oddSizeTexts_.empty()) {
        return nullptr;
    }
    const auto odd = oddSizeTexts_.find(i);
    return odd == oddSizeTexts_.end() ? nullptr : &odd->second;
}

std::string_view ListViewModel::storedText(size_t i, int column, std::string& scratch) const {
    if (!compact_) {
        const ListRow& item = rows_[i];
        return column == 0 ? item.caption() : item.subItemText(column - 1);
    }
    const FileRow& file = files_[i];
    switch (column) {
    case 0:
        return {file.path, file.pathSize};
    case 1: {
        if (const std::string* odd = storedOddSizeText(i)) {
            return *odd;
        }
        char buffer[24];
        scratch = plainSizeText(file.size, buffer);
        return scratch;
    }
    case 2:
        return dateTexts_[file.dateIndex];
    default:
        return {};
    }
}

void ListViewModel::appendFileRow(std::string_view path, std::string_view sizeText,
                                  std::string_view dateText) {
    int64_t size = 0;
    const auto read = std::from_chars(sizeText.data(), sizeText.data() + sizeText.size(), size);
    size = read.ec == std::errc() ? size : 0;
    char buffer[24];
    const bool plain = plainSizeText(size, buffer) == sizeText;
    if (!appendCompactRow(path, size, dateText, plain ? nullptr : &sizeText)) {
        appendRow(ListRow(path, {sizeText, dateText}));
    }
}

void ListViewModel::appendFileRow(std::string_view path, int64_t size, std::string_view dateText) {
    if (!appendCompactRow(path, size, dateText, nullptr)) {
        char buffer[24];
        appendRow(ListRow(path, {plainSizeText(size, buffer), dateText}));
    }
}

bool ListViewModel::appendCompactRow(std::string_view path, int64_t size, std::string_view dateText,
                                     const std::string_view* oddSizeText) {
    if (!compact_ && rows_.empty()) {
        compact_ = true;
    }
    if (!compact_ || path.size() > UINT32_MAX) {
        return false;
    }
    FileRow file{};
    if (path.size() > pathRoom_) {
        const size_t bytes = std::max(path.size(), kPathBlockBytes);
        pathBlocks_.push_back(std::make_unique_for_overwrite<char[]>(bytes));
        pathNext_ = pathBlocks_.back().get();
        pathRoom_ = bytes;
    }
    char* const at = pathNext_;
    if (!path.empty()) {
        std::memcpy(at, path.data(), path.size());
    }
    pathNext_ += path.size();
    pathRoom_ -= path.size();
    file.path = at;
    file.pathSize = static_cast<uint32_t>(path.size());
    // Files of one folder mostly share their date: the last date text is looked at first.
    if (lastDate_ < dateTexts_.size() && dateTexts_[lastDate_] == dateText) {
        file.dateIndex = lastDate_;
    } else {
        auto [found, added] =
            dateIndex_.try_emplace(std::string(dateText), static_cast<uint32_t>(dateTexts_.size()));
        if (added) {
            dateTexts_.emplace_back(dateText);
        }
        file.dateIndex = lastDate_ = found->second;
    }
    file.size = size;
    if (oddSizeText) {
        oddSizeTexts_.emplace(files_.size(), *oddSizeText); // kept as it came
    }
    files_.push_back(file);
    rowAppended();
    return true;
}

void ListViewModel::appendRow(ListRow row) {
    if (compact_) {
        if (files_.empty()) {
            compact_ = false;
        } else {
            keepAsListRows();
        }
    }
    rows_.push_back(std::move(row));
    rowAppended();
}

void ListViewModel::rowAppended() {
    if (!order_.empty()) {
        order_.push_back(static_cast<uint32_t>(count() - 1)); // shown last, whatever the order
    }
    if (!announceTimer_.isActive()) {
        announceTimer_.start();
    }
}

void ListViewModel::flushAppendedRows() {
    announceTimer_.stop();
    if (announced_ < count()) {
        beginInsertRows(QModelIndex(), announced_, count() - 1);
        announced_ = count();
        endInsertRows();
    }
}

void ListViewModel::setRow(int i, ListRow row) {
    if (i < 0 || i >= count()) {
        return;
    }
    flushAppendedRows();
    keepAsListRows();
    rows_[stored(i)] = std::move(row);
    emit dataChanged(index(i, 0), index(i, columnCount() - 1));
}

void ListViewModel::setRows(std::vector<ListRow> rows) {
    beginResetModel();
    announceTimer_.stop();
    clearFiles();
    rows_.assign(std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    std::vector<uint32_t>().swap(order_);
    announced_ = count();
    endResetModel();
}

void ListViewModel::clear() {
    beginResetModel();
    announceTimer_.stop();
    // Gives the memory back: after a large search the next one may be small.
    std::deque<ListRow>().swap(rows_);
    std::vector<uint32_t>().swap(order_);
    clearFiles();
    announced_ = 0;
    endResetModel();
}

std::vector<uint32_t> ListViewModel::shownOrder() const {
    if (!order_.empty()) {
        return order_;
    }
    std::vector<uint32_t> order(static_cast<size_t>(count()));
    std::iota(order.begin(), order.end(), 0u);
    return order;
}

void ListViewModel::setShownOrder(std::vector<uint32_t> order) {
    flushAppendedRows();
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    if (!before.isEmpty()) {
        // Views keep a few persistent indexes (the current row, a selection): their new rows come
        // from one pass over the new order, not from a table of a million new rows.
        std::vector<uint32_t> kept; // where each persistent index's row is kept, once each
        for (const QModelIndex& index : before) {
            kept.push_back(static_cast<uint32_t>(stored(index.row())));
        }
        std::sort(kept.begin(), kept.end());
        kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
        std::vector<int> newRow(kept.size(), -1);
        for (size_t i = 0; i < order.size(); ++i) {
            if (kept.size() <= 8) { // usually one or two: a look at each beats a search
                for (size_t k = 0; k < kept.size(); ++k) {
                    if (order[i] == kept[k]) {
                        newRow[k] = static_cast<int>(i);
                    }
                }
            } else if (const auto at = std::lower_bound(kept.begin(), kept.end(), order[i]);
                       at != kept.end() && *at == order[i]) {
                newRow[static_cast<size_t>(at - kept.begin())] = static_cast<int>(i);
            }
        }
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex& index : before) {
            const auto at =
                std::lower_bound(kept.begin(), kept.end(), static_cast<uint32_t>(stored(index.row())));
            after.append(this->index(newRow[static_cast<size_t>(at - kept.begin())], index.column()));
        }
        changePersistentIndexList(before, after);
    }
    order_ = std::move(order);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ListViewModel::keepInShownOrder() {
    if (order_.empty()) {
        return;
    }
    // In place: a second list of a million rows would double the list's memory.
    keepAsListRows();
    engine::applyOrder(rows_, order_);
    std::vector<uint32_t>().swap(order_);
}

void ListViewModel::keepAsListRows() {
    if (!compact_) {
        return;
    }
    std::deque<ListRow> rows;
    for (size_t i = 0; i < files_.size(); ++i) {
        rows.push_back(storedRow(i));
    }
    clearFiles();
    rows_ = std::move(rows);
}

void ListViewModel::clearFiles() {
    compact_ = false;
    std::deque<FileRow>().swap(files_);
    pathBlocks_.clear();
    pathBlocks_.shrink_to_fit();
    pathNext_ = nullptr;
    pathRoom_ = 0;
    dateTexts_.clear();
    dateTexts_.shrink_to_fit();
    dateIndex_.clear();
    lastDate_ = 0;
    oddSizeTexts_.clear();
}

} // namespace corvane::ui
