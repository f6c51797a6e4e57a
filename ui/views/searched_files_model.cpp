#include "ui/views/searched_files_model.h"

#include <numeric>
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
    const auto forgetKeys = [this] { keys_.clear(); };
    connect(this, &QAbstractItemModel::dataChanged, this, forgetKeys);
    connect(this, &QAbstractItemModel::rowsRemoved, this, forgetKeys);
    connect(this, &QAbstractItemModel::modelReset, this, forgetKeys);
}

void SearchedFilesModel::appendFile(std::string_view path, std::string_view sizeText,
                                    std::string_view dateText) {
    appendRow(ListRow(path, {sizeText, dateText}));
}

int64_t SearchedFilesModel::sizeOf(int i) const {
    const auto row = static_cast<size_t>(i);
    if (row < keys_.size()) {
        return keys_[row].size;
    }
    return engine::parseSizeText(rows()[row].subItemText(kSizeSubItem)).value_or(INT64_MIN);
}

void SearchedFilesModel::readSortKeys() {
    // Rows appended since the last sort are read on top of the keys kept.
    const size_t first = keys_.size();
    keys_.resize(rows().size());
    // Reading a date through the locale is slow, and the dates of one search repeat a lot.
    std::unordered_map<std::string_view, int64_t> dayOfText;
    for (size_t i = first; i < keys_.size(); ++i) {
        const ListRow& row = rows()[i];
        keys_[i].size = engine::parseSizeText(row.subItemText(kSizeSubItem)).value_or(INT64_MIN);
        const std::string_view dateText = row.subItemText(kDateSubItem);
        auto found = dayOfText.find(dateText);
        if (found == dayOfText.end()) {
            const auto date = texts_.readShortDate(dateText);
            found = dayOfText.emplace(dateText, date ? engine::dayNumber(*date) : INT64_MIN).first;
        }
        keys_[i].day = found->second;
    }
}

void SearchedFilesModel::setSortType(stream::SortType sortType) {
    if (sortType == sortType_) {
        return;
    }
    sortType_ = sortType;
    if (sortType != stream::stText && sortType != stream::stData) {
        return;
    }
    readSortKeys();
    std::vector<uint32_t> order(keys_.size());
    std::iota(order.begin(), order.end(), 0u);
    if (sortType == stream::stData) {
        engine::sortBySize(order, keys_);
    } else {
        engine::sortByCreationDay(order, keys_);
    }
    std::vector<engine::SearchOrderKey> keysInOrder(keys_.size());
    for (size_t i = 0; i < order.size(); ++i) {
        keysInOrder[i] = keys_[order[i]];
    }
    keys_ = std::move(keysInOrder);
    reorderRows(order);
}

} // namespace corvane::ui
