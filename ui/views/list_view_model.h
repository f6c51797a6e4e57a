#pragma once

// The model behind a list in report view: rows of ListRow, shown one column per text (the
// caption, then each sub-item). Views draw only the rows they show; no widget per row.

#include "ui/views/list_row.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QTimer>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
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
    // DisplayRole: the text of the column (caption or sub-item) as the window shows a name
    // (shown_name.h: control characters and bytes that are not UTF-8 as escapes).
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Selectable, never editable: nothing shown is ever written back.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

    const QStringList& columns() const { return columns_; }
    // Replaces the columns (the rows stay).
    void setColumns(QStringList columns);

    int count() const { return static_cast<int>(compact_ ? files_.size() : rows_.size()); }
    // Row `i` in the order shown.
    ListRow row(int i) const { return storedRow(stored(i)); }
    // The caption of row `i`, valid until the rows change.
    std::string_view caption(int i) const;

    // Appends at the end in amortised constant time. Views hear of appended rows in batches,
    // from the event loop a moment later (or at flushAppendedRows): a view told of every row of
    // a million lays itself out a million times. count() and row() include them at once.
    void appendRow(ListRow row);
    // Appends a row of a path, a size and a date text, as appendRow(ListRow(path, {sizeText,
    // dateText})) would. Rows appended only this way are kept compact: the path's bytes in a
    // shared block, the size as a number, the date as one of the texts seen; the texts are made
    // again, byte for byte, when asked for (a million rows take about a hundred bytes each).
    void appendFileRow(std::string_view path, std::string_view sizeText, std::string_view dateText);
    // The same with the size as a number, shown as its plain text.
    void appendFileRow(std::string_view path, int64_t size, std::string_view dateText);
    // Tells views now of the rows appended since they last heard; they then show them.
    void flushAppendedRows();
    // Replaces row `i`.
    void setRow(int i, ListRow row);
    // Replaces every row at once.
    void setRows(std::vector<ListRow> rows);
    void clear();

    // Where row `i` (in the order shown) is kept: the rows stay where they were appended, and a
    // sort only changes the order shown.
    size_t stored(int i) const {
        return order_.empty() ? static_cast<size_t>(i) : order_[static_cast<size_t>(i)];
    }

protected:
    // The rows as they are kept, in the order they were appended (or last replaced).
    ListRow storedRow(size_t i) const;
    // Column `column`'s text of kept row `i`; `scratch` may hold it.
    std::string_view storedText(size_t i, int column, std::string& scratch) const;
    // Kept rows are compact file rows (see appendFileRow); then these give their keys.
    bool compact() const { return compact_; }
    // The size of kept compact row `i`, unless its size text is not the number's plain text
    // (storedOddSizeText gives that text then).
    int64_t storedSize(size_t i) const { return files_[i].size; }
    const std::string* storedOddSizeText(size_t i) const;
    // The date text of kept compact row `i`, and a number the same for every row of that text.
    std::string_view storedDateText(size_t i) const { return dateTexts_[files_[i].dateIndex]; }
    uint32_t storedDateIndex(size_t i) const { return files_[i].dateIndex; }
    size_t dateTextCount() const { return dateTexts_.size(); }
    std::string_view dateText(uint32_t index) const { return dateTexts_[index]; }
    // The rows in the order shown: for each place, where its row is kept.
    std::vector<uint32_t> shownOrder() const;
    // Shows the rows in `order` (where each row is kept, every row once), in one step that keeps
    // views' selections and current items on the same rows.
    void setShownOrder(std::vector<uint32_t> order);

private:
    // Puts the kept rows in the order shown, so that row i is kept at i again.
    void keepInShownOrder();
    // Turns compact rows into ListRows, for a change that compact rows cannot hold.
    void keepAsListRows();
    void clearFiles();
    // Appends a compact row (`oddSizeText`: the size text, when it is not `size`'s plain text);
    // false when the rows are not kept compact, or the path is too long for one.
    bool appendCompactRow(std::string_view path, int64_t size, std::string_view dateText,
                          const std::string_view* oddSizeText);
    // Tells views of an appended row, soon.
    void rowAppended();

    // A compact row: what appendFileRow was given.
    struct FileRow {
        const char* path; // in pathBlocks_
        uint32_t pathSize;
        uint32_t dateIndex; // in dateTexts_
        int64_t size;       // the size text read as a number; its text is the number's
    };

    QStringList columns_;
    // A deque: growing never moves the rows already there, which for a million rows would stall
    // the window for a noticeable moment.
    std::deque<ListRow> rows_;
    // Compact rows, used instead of rows_ while every row was appended by appendFileRow.
    bool compact_ = false;
    std::deque<FileRow> files_;
    std::vector<std::unique_ptr<char[]>> pathBlocks_;
    char* pathNext_ = nullptr; // where the next path goes in the last path block
    size_t pathRoom_ = 0;      // bytes left there
    std::vector<std::string> dateTexts_;
    std::unordered_map<std::string, uint32_t> dateIndex_;
    uint32_t lastDate_ = 0; // the date of the last row appended
    // Size texts that are not the plain decimal text of their number, by where their row is kept.
    std::unordered_map<size_t, std::string> oddSizeTexts_;
    // Where the row shown at each place is kept; empty while that is rows_'s own order. Moving a
    // million rows into a new order costs a cache miss per row (over 100 ms); this costs none.
    std::vector<uint32_t> order_;
    int announced_ = 0; // rows the views know of: the first announced_ of rows_
    QTimer announceTimer_;
};

} // namespace corvane::ui
