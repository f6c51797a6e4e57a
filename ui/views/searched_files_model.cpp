#include "ui/views/searched_files_model.h"

#include <unordered_map>

namespace corvane::ui {

namespace {

constexpr int kSizeSubItem = 0;
constexpr int kDateSubItem = 1;

} // namespace

SearchedFilesModel::SearchedFilesModel(qtcore::LocaleTexts texts, QObject* parent)
    : ListViewModel({QStringLiteral("File Name"), QStringLiteral("Size"), QStringLiteral("Created Date")},
                    parent),
      texts_(std::move(texts)) {
    const auto forgetKeys = [this] {
        keys_.clear();
        daysOfDates_.clear();
    };
    connect(this, &QAbstractItemModel::dataChanged, this, forgetKeys);
    connect(this, &QAbstractItemModel::rowsRemoved, this, forgetKeys);
    connect(this, &QAbstractItemModel::modelReset, this, forgetKeys);
    // A sort in pieces gives up when the rows change between its pieces.
    const auto changed = [this] { ++changes_; };
    connect(this, &QAbstractItemModel::rowsInserted, this, changed);
    connect(this, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(this, &QAbstractItemModel::modelReset, this, changed);
    connect(this, &QAbstractItemModel::dataChanged, this, changed);
    connect(this, &QAbstractItemModel::layoutChanged, this, changed);
}

void SearchedFilesModel::appendFile(std::string_view path, int64_t size,
                                    const platform::CivilDate& createdOn) {
    // Files of one folder mostly share their day, and a search meets few days.
    const int64_t day = engine::dayNumber(createdOn);
    if (!lastDateText_ || day != lastDay_) {
        auto [known, added] = dateTextOfDay_.try_emplace(day);
        if (added) {
            known->second = texts_.shortDateText(createdOn);
            dayOfDateText_.emplace(known->second, day);
        }
        lastDay_ = day;
        lastDateText_ = &known->second;
    }
    appendFileRow(path, size, *lastDateText_);
}

void SearchedFilesModel::appendFile(std::string_view path, std::string_view sizeText,
                                    std::string_view dateText) {
    appendFileRow(path, sizeText, dateText);
}

int64_t SearchedFilesModel::dayOf(std::string_view dateText) const {
    if (const auto made = dayOfDateText_.find(std::string(dateText)); made != dayOfDateText_.end()) {
        return made->second;
    }
    const auto date = texts_.readShortDate(dateText);
    return date ? engine::dayNumber(*date) : INT64_MIN;
}

int64_t SearchedFilesModel::sizeOf(int i) const {
    const size_t kept = stored(i);
    if (compact()) {
        return compactSize(kept);
    }
    if (kept < keys_.size()) {
        return keys_[kept].size;
    }
    std::string scratch;
    return engine::parseSizeText(storedText(kept, 1 + kSizeSubItem, scratch)).value_or(INT64_MIN);
}

int64_t SearchedFilesModel::compactSize(size_t kept) const {
    const std::string* odd = storedOddSizeText(kept);
    return odd ? engine::parseSizeText(*odd).value_or(INT64_MIN) : storedSize(kept);
}

void SearchedFilesModel::readSortKeys() {
    if (compact()) {
        // Compact rows keep their sizes as numbers; only the days of new date texts are read.
        if (daysOfDates_.size() > dateTextCount()) {
            daysOfDates_.clear();
        }
        for (size_t d = daysOfDates_.size(); d < dateTextCount(); ++d) {
            daysOfDates_.push_back(dayOf(dateText(static_cast<uint32_t>(d))));
        }
        return;
    }
    // Rows appended since the last sort are read on top of the keys kept.
    const size_t first = keys_.size();
    keys_.resize(static_cast<size_t>(count()));
    // Reading a date through the locale is slow, and the dates of one search repeat a lot.
    std::unordered_map<std::string_view, int64_t> dayOfText;
    for (size_t i = first; i < keys_.size(); ++i) {
        std::string sizeScratch, dateScratch;
        keys_[i].size =
            engine::parseSizeText(storedText(i, 1 + kSizeSubItem, sizeScratch)).value_or(INT64_MIN);
        const std::string_view dateText = storedText(i, 1 + kDateSubItem, dateScratch);
        auto found = dayOfText.find(dateText);
        if (found == dayOfText.end()) {
            found = dayOfText.emplace(dateText, dayOf(dateText)).first;
        }
        keys_[i].day = found->second;
    }
}

void SearchedFilesModel::setSortType(stream::SortType sortType) {
    sortInPieces(sortType, {});
}

bool SearchedFilesModel::sortInPieces(stream::SortType sortType, const engine::BetweenPieces& between) {
    if (sortType == sortType_) {
        return true;
    }
    if (sortType != stream::stText && sortType != stream::stData) {
        sortType_ = sortType;
        return true;
    }
    flushAppendedRows(); // rows found last are shown before the sort, not between its pieces
    const uint64_t changesBefore = changes_;
    engine::BetweenPieces pieces;
    if (between) {
        pieces = [&] { return between() && changes_ == changesBefore; };
    }
    readSortKeys();
    // Compact rows give their keys for this sort only: a million keys kept would take 16 MB.
    std::vector<engine::SearchOrderKey> compactKeys;
    if (compact()) {
        // Reserved rather than sized: sizing writes 16 MB of zeros at once, which takes a
        // few dozen milliseconds; pushing spreads the cost over the pieces.
        compactKeys.reserve(static_cast<size_t>(count()));
        for (size_t i = 0; i < static_cast<size_t>(count()); ++i) {
            compactKeys.push_back({compactSize(i), daysOfDates_[storedDateIndex(i)]});
            if (pieces && i % (1 << 16) == 0xffff && !pieces()) {
                return false;
            }
        }
    }
    const std::vector<engine::SearchOrderKey>& keys = compact() ? compactKeys : keys_;
    // The keys stay with the rows where they are kept; only the order shown changes.
    std::vector<uint32_t> order = shownOrder();
    const bool sorted = sortType == stream::stData ? engine::sortBySize(order, keys, pieces)
                                                   : engine::sortByCreationDay(order, keys, pieces);
    if (!sorted) {
        return false;
    }
    sortType_ = sortType;
    setShownOrder(std::move(order));
    return true;
}

} // namespace corvane::ui
