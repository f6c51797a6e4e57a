#pragma once

// The model behind a list in report view: rows of ListRow, shown one column per text (the
// caption, then each sub-item). Views draw only the rows they show; no widget per row.

#include "ui/views/list_row.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QTimer>

#include <cstdint>
#include <deque>
#include <vector>

namespace corvane::ui {

class ListViewModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Role {
        // The exact bytes of a row's caption (a path), as a QByteArray, in any column.
        CaptionBytesRole = Qt::UserRole + 1,
    };

    // `columns`: the column captions, left to right.
    explicit ListViewModel(QStringList columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // DisplayRole: the text of the column (caption or sub-item), converted from UTF-8 for
    // showing only; bytes that are not UTF-8 show as replacement characters.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Selectable, never editable: nothing shown is ever written back.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

    const QStringList& columns() const { return columns_; }
    // Replaces the columns (the rows stay).
    void setColumns(QStringList columns);

    int count() const { return static_cast<int>(rows_.size()); }
    const ListRow& row(int i) const { return rows_[static_cast<size_t>(i)]; }
    const std::deque<ListRow>& rows() const { return rows_; }

    // Appends at the end in amortised constant time. Views hear of appended rows in batches,
    // from the event loop a moment later (or at flushAppendedRows): a view told of every row of
    // a million lays itself out a million times. count() and row() include them at once.
    void appendRow(ListRow row);
    // Tells views now of the rows appended since they last heard; they then show them.
    void flushAppendedRows();
    // Replaces row `i`.
    void setRow(int i, ListRow row);
    // Replaces every row at once.
    void setRows(std::vector<ListRow> rows);
    void clear();

protected:
    // Puts the rows in the order `order` gives (old row numbers, each once), in one step that
    // keeps views' selections and current items on the same rows.
    void reorderRows(const std::vector<uint32_t>& order);

private:
    QStringList columns_;
    // A deque: growing never moves the rows already there, which for a million rows would stall
    // the window for a noticeable moment.
    std::deque<ListRow> rows_;
    int announced_ = 0; // rows the views know of: the first announced_ of rows_
    QTimer announceTimer_;
};

} // namespace corvane::ui
