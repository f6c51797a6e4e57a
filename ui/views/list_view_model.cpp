#include "ui/views/list_view_model.h"

#include "engine/search_order.h"

namespace corvane::ui {

namespace {

QString shown(std::string_view bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace

namespace {

// Long enough for a view to lay out a long list between two batches, short enough to look live.
constexpr int kAnnounceIntervalMs = 100;

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
    const ListRow& item = rows_[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return shown(index.column() == 0 ? item.caption() : item.subItemText(index.column() - 1));
    case CaptionBytesRole:
        return QByteArray(item.caption().data(), static_cast<qsizetype>(item.caption().size()));
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

void ListViewModel::appendRow(ListRow row) {
    rows_.push_back(std::move(row));
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
    rows_[static_cast<size_t>(i)] = std::move(row);
    emit dataChanged(index(i, 0), index(i, columnCount() - 1));
}

void ListViewModel::setRows(std::vector<ListRow> rows) {
    beginResetModel();
    announceTimer_.stop();
    rows_.assign(std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    announced_ = count();
    endResetModel();
}

void ListViewModel::clear() {
    beginResetModel();
    announceTimer_.stop();
    // Gives the memory back: after a large search the next one may be small.
    std::deque<ListRow>().swap(rows_);
    announced_ = 0;
    endResetModel();
}

void ListViewModel::reorderRows(const std::vector<uint32_t>& order) {
    flushAppendedRows();
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // In place: a second list of a million rows would double the list's memory.
    engine::applyOrder(rows_, order);
    const QModelIndexList before = persistentIndexList();
    if (!before.isEmpty()) {
        std::vector<int> newRowOf(rows_.size());
        for (size_t i = 0; i < order.size(); ++i) {
            newRowOf[order[i]] = static_cast<int>(i);
        }
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex& index : before) {
            after.append(this->index(newRowOf[static_cast<size_t>(index.row())], index.column()));
        }
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace corvane::ui
