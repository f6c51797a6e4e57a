#pragma once

// The model behind the searched-files list: one row per found file (path, size text, date
// text) and the list's sort mode, whose re-sorts put the rows in the order the comparer needs.
// A search hands over each file's size and creation day as numbers: they are made texts here,
// for the list, and kept as numbers for the sorts. Only rows that come as texts (from a result
// set) have their texts read back.

#include "engine/search_order.h"
#include "qtcore/locale_texts.h"
#include "stream/list_controls.h"
#include "ui/views/list_view_model.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace corvane::ui {

class SearchedFilesModel final : public ListViewModel {
    Q_OBJECT

public:
    // `texts` makes the date texts of found files and reads date texts back.
    explicit SearchedFilesModel(qtcore::LocaleTexts texts = qtcore::LocaleTexts(), QObject* parent = nullptr);

    // Appends a found file at the end, whatever the sort mode: its size, and the day it was
    // created on in the short date format.
    void appendFile(std::string_view path, int64_t size, const platform::CivilDate& createdOn);
    // Appends a row of texts at the end, whatever the sort mode; its sort keys are read from
    // them.
    void appendFile(std::string_view path, std::string_view sizeText, std::string_view dateText);

    // The size that row `i`'s size text gives (the least 64-bit value when it cannot be read):
    // the sizes the comparer may take beside the ordered paths.
    int64_t sizeOf(int i) const;

    stream::SortType sortType() const { return sortType_; }
    // Assigning stText re-sorts all rows by the creation day read back from their date texts,
    // stData by the size read back from their size texts, both ascending and keeping the order
    // of equal rows; a text that cannot be read counts as the least value. Assigning the
    // current mode does nothing; stNone and stBoth only change the mode.
    void setSortType(stream::SortType sortType);
    // The same, calling `between` between pieces of the sort (see engine::BetweenPieces). False
    // when `between` stopped it: the rows and the mode are then as they were.
    bool sortInPieces(stream::SortType sortType, const engine::BetweenPieces& between);

    // Reads the sort keys of the rows appended since the last call or sort. A search calls it
    // as it goes, so that the sort at its end has no million texts left to read.
    void readSortKeys();

private:
    // The size key of a kept compact row.
    int64_t compactSize(size_t kept) const;

    qtcore::LocaleTexts texts_;
    stream::SortType sortType_ = stream::stNone;
    // Both keys of every row, by where the row is kept (a sort moves no row, so neither key),
    // read as rows come and kept for the next sort: reading a million texts again would cost
    // more than the sort. Emptied whenever rows change other than by appending.
    std::vector<engine::SearchOrderKey> keys_;
    // For compact rows: the day of each date text they use, by the text's number.
    std::vector<int64_t> daysOfDates_;
    // The date texts made for found files, by day, and their days by text: a found file's day
    // is never read back from its text.
    std::unordered_map<int64_t, std::string> dateTextOfDay_;
    std::unordered_map<std::string, int64_t> dayOfDateText_;
    int64_t lastDay_ = 0;
    const std::string* lastDateText_ = nullptr; // dateTextOfDay_[lastDay_]
    // The day of a date text: the one it was made for, else read with texts_.
    int64_t dayOf(std::string_view dateText) const;
    // Counts changes of the rows, so that a sort in pieces notices one made between its pieces.
    uint64_t changes_ = 0;
};

} // namespace corvane::ui
