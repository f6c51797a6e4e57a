#include "ui/forms/list_controls_qt.h"
#include "ui/views/list_view_model.h"
#include "ui/views/searched_files_model.h"

#include "event_wait.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <map>
#include <random>
#include <tuple>

namespace corvane::ui {
namespace {

const QLocale kUnitedStates(QLocale::English, QLocale::UnitedStates);

TEST(ListRow, KeepsEveryTextAsItsExactBytes) {
    const std::string invalidUtf8 = "/tmp/caf\xe9\xff/\x01name";
    const std::string withNul("a\0b", 3);
    const std::string longText(20000, 'x'); // needs a three-byte length
    const ListRow row(invalidUtf8, {withNul, "", longText});
    EXPECT_EQ(row.caption(), invalidUtf8);
    ASSERT_EQ(row.subItemCount(), 3);
    EXPECT_EQ(row.subItemText(0), withNul);
    EXPECT_EQ(row.subItemText(1), "");
    EXPECT_EQ(row.subItemText(2), longText);
    EXPECT_EQ(row.subItemText(3), "");
    EXPECT_EQ(row.subItemText(-1), "");
    EXPECT_EQ(row.subItemImageIndex(2), -1);
    EXPECT_EQ(row.subItemImageIndex(3), -1);
}

TEST(ListRow, HoldsTheFieldsOfTheProgramsRowsUntilSet) {
    const ListRow row("/a");
    EXPECT_EQ(row.imageIndex, 0);
    EXPECT_EQ(row.stateIndex, -1);
    EXPECT_EQ(row.overlayIndex, -1);
    EXPECT_EQ(row.data, 0);
    EXPECT_EQ(ListRow(), ListRow(""));
}

TEST(ListRow, EditingOneTextLeavesTheOthers) {
    ListRow row("/path", {"*.*"});
    row.setSubItemImageIndex(0, 7);
    row.setSubItemText(2, "third"); // adds an empty second sub-item on the way
    ASSERT_EQ(row.subItemCount(), 3);
    EXPECT_EQ(row.subItemText(0), "*.*");
    EXPECT_EQ(row.subItemImageIndex(0), 7);
    EXPECT_EQ(row.subItemText(1), "");
    EXPECT_EQ(row.subItemImageIndex(1), -1);
    EXPECT_EQ(row.subItemText(2), "third");

    row.setSubItemText(0, std::string(300, 'p'));
    row.setCaption("/a much longer path than before");
    row.setSubItemImageIndex(2, -32768);
    row.setSubItemImageIndex(1, 32767);
    EXPECT_EQ(row.caption(), "/a much longer path than before");
    EXPECT_EQ(row.subItemText(0), std::string(300, 'p'));
    EXPECT_EQ(row.subItemImageIndex(0), 7);
    EXPECT_EQ(row.subItemImageIndex(1), 32767);
    EXPECT_EQ(row.subItemText(2), "third");
    EXPECT_EQ(row.subItemImageIndex(2), -32768);

    ListRow empty;
    empty.setSubItemText(0, "only");
    EXPECT_EQ(empty.caption(), "");
    EXPECT_EQ(empty.subItemText(0), "only");
    empty.setCaption("late caption");
    EXPECT_EQ(empty.subItemText(0), "only");
}

TEST(ListViewModel, ShowsCaptionAndSubItemsUnderItsColumns) {
    ListViewModel model({"Path", "File Type"});
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.appendRow(ListRow("/home/user/data", {"*.txt;*.doc"}));
    model.appendRow(ListRow("/srv"));
    model.flushAppendedRows();
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Path");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "File Type");
    EXPECT_EQ(model.index(0, 0).data().toString(), "/home/user/data");
    EXPECT_EQ(model.index(0, 1).data().toString(), "*.txt;*.doc");
    EXPECT_EQ(model.index(1, 1).data().toString(), "") << "a missing sub-item shows empty";
    EXPECT_FALSE(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsEditable));
}

TEST(ListViewModel, NameThatIsNotUtf8IsShownEscapedButNeverReplacesTheBytes) {
    ListViewModel model({"Path"});
    const std::string path = "/data/r\xe9sum\xe9.txt";
    model.appendRow(ListRow(path));
    model.flushAppendedRows();
    const QModelIndex index = model.index(0, 0);
    EXPECT_EQ(index.data().toString(), "/data/r\\xE9sum\\xE9.txt");
    EXPECT_EQ(index.data(ListViewModel::CaptionBytesRole).toByteArray().toStdString(), path);
    EXPECT_FALSE(model.setData(index, QStringLiteral("/data/other")));
    EXPECT_EQ(model.row(0).caption(), path);
}

TEST(ListViewModel, AppendedRowsReachViewsInOneBatchFromTheEventLoop) {
    ListViewModel model({"Path"});
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.appendRow(ListRow("/a"));
    model.flushAppendedRows();
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);
    testing::EventWait announced;
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, [&] { announced.finish(); });
    for (const char* path : {"/b", "/c", "/d"}) {
        model.appendRow(ListRow(path));
    }
    EXPECT_EQ(model.count(), 4);
    EXPECT_EQ(model.row(3).caption(), "/d");
    EXPECT_EQ(model.rowCount(), 1) << "views hear of appended rows later";
    ASSERT_TRUE(announced.wait());
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 1);
    EXPECT_EQ(inserted[0][2].toInt(), 3);
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(reset.size() + layout.size(), 0);
}

TEST(ListViewModel, ChangesAfterAppendsTellViewsOfTheAppendsFirst) {
    ListViewModel model({"Path"});
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.appendRow(ListRow("/a"));
    model.appendRow(ListRow("/b"));
    EXPECT_TRUE(model.removeRows(1, 1));
    EXPECT_EQ(model.rowCount(), 1);
    model.appendRow(ListRow("/c"));
    model.setRow(1, ListRow("/C"));
    EXPECT_EQ(model.index(1, 0).data().toString(), "/C");
}

TEST(ListViewModel, RowsAreReplacedAndRemoved) {
    ListViewModel model({"Path", "File Type"});
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (const char* path : {"/a", "/b", "/c", "/d"}) {
        model.appendRow(ListRow(path, {"*.*"}));
    }
    model.setRow(1, ListRow("/B", {"*.txt"}));
    EXPECT_EQ(model.index(1, 1).data().toString(), "*.txt");
    EXPECT_TRUE(model.removeRows(0, 2));
    EXPECT_FALSE(model.removeRows(1, 5));
    ASSERT_EQ(model.count(), 2);
    EXPECT_EQ(model.row(0).caption(), "/c");
    model.clear();
    EXPECT_EQ(model.count(), 0);
}

std::vector<std::string> captions(const ListViewModel& model) {
    std::vector<std::string> result;
    for (int i = 0; i < model.count(); ++i) {
        result.emplace_back(model.row(i).caption());
    }
    return result;
}

// Found order; both re-sorts must keep the order of equal rows.
void fillFoundFiles(SearchedFilesModel& model) {
    model.appendFile("/a", "300", "3/1/2020");
    model.appendFile("/b", "100", "1/5/2021");
    model.appendFile("/c", "100", "12/31/1999");
    model.appendFile("/d", "300", "3/1/2020");
    model.appendFile("/e", "20", "1/5/2021");
    model.appendFile("/f", "100", "12/31/1999");
}

TEST(SearchedFilesModel, ColumnsOfTheSearchedFilesList) {
    SearchedFilesModel model{qtcore::LocaleTexts(kUnitedStates)};
    model.appendFile("/a", "300", "3/1/2020");
    model.flushAppendedRows();
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "File Name");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Size");
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), "Created Date");
    EXPECT_EQ(model.index(0, 1).data().toString(), "300");
    EXPECT_EQ(model.index(0, 2).data().toString(), "3/1/2020");
    EXPECT_EQ(model.sortType(), stream::stNone);
}

TEST(SearchedFilesModel, ByDateThenBySizeGivesTheComparersOrder) {
    SearchedFilesModel model{qtcore::LocaleTexts(kUnitedStates)};
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    fillFoundFiles(model);
    model.setSortType(stream::stText);
    EXPECT_EQ(captions(model), (std::vector<std::string>{"/c", "/f", "/a", "/d", "/b", "/e"}));
    model.setSortType(stream::stData);
    EXPECT_EQ(captions(model), (std::vector<std::string>{"/e", "/c", "/f", "/b", "/a", "/d"}));
}

TEST(SearchedFilesModel, AssigningTheCurrentModeOrNoSortingLeavesTheRows) {
    SearchedFilesModel model{qtcore::LocaleTexts(kUnitedStates)};
    fillFoundFiles(model);
    model.setSortType(stream::stNone);
    EXPECT_EQ(captions(model), (std::vector<std::string>{"/a", "/b", "/c", "/d", "/e", "/f"}));
    model.setSortType(stream::stData);
    model.appendFile("/g", "1", "1/1/2000"); // appended at the end, whatever the mode
    QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);
    model.setSortType(stream::stData);
    EXPECT_EQ(layout.size(), 0);
    EXPECT_EQ(model.row(model.count() - 1).caption(), "/g");
    model.setSortType(stream::stBoth);
    EXPECT_EQ(model.row(model.count() - 1).caption(), "/g");
}

TEST(SearchedFilesModel, SortInPiecesGivesUpWhenTheRowsChangeMeanwhile) {
    // More rows than one piece, so that the sort calls back; the found order is in the path.
    const qtcore::LocaleTexts texts(kUnitedStates);
    const auto fill = [&](SearchedFilesModel& model) {
        for (int i = 0; i < 100000; ++i) {
            model.appendFile("/" + std::to_string(i), std::to_string((i * 7919) % 1000),
                             texts.shortDateText({2000 + i % 20, 1, 1}));
        }
        model.flushAppendedRows();
    };
    SearchedFilesModel atOnce{texts};
    fill(atOnce);
    atOnce.setSortType(stream::stData);

    SearchedFilesModel inPieces{texts};
    fill(inPieces);
    int calls = 0;
    EXPECT_TRUE(inPieces.sortInPieces(stream::stData, [&] { return ++calls, true; }));
    EXPECT_GT(calls, 1);
    EXPECT_EQ(inPieces.sortType(), stream::stData);
    EXPECT_EQ(captions(inPieces), captions(atOnce));

    // A row found while the sort waits: the sort gives up and leaves rows and mode as they were.
    SearchedFilesModel changing{texts};
    fill(changing);
    const std::vector<std::string> before = captions(changing);
    bool appended = false;
    EXPECT_FALSE(changing.sortInPieces(stream::stText, [&] {
        if (!appended) {
            changing.appendFile("/late", "1", texts.shortDateText({1990, 1, 1}));
            changing.flushAppendedRows();
            appended = true;
        }
        return true;
    }));
    EXPECT_EQ(changing.sortType(), stream::stNone);
    std::vector<std::string> expected = before;
    expected.push_back("/late");
    EXPECT_EQ(captions(changing), expected);
    changing.setSortType(stream::stText); // and sorts whole afterwards
    EXPECT_EQ(changing.row(0).caption(), "/late");
}

TEST(SearchedFilesModel, YearsAndSizesReadBackInFull) {
    SearchedFilesModel model{qtcore::LocaleTexts(kUnitedStates)};
    const qtcore::LocaleTexts texts(kUnitedStates);
    // A two-digit year would read 1926 as 2026, after 2025.
    model.appendFile("/new", "5368709120", texts.shortDateText({2025, 6, 1}));
    model.appendFile("/old", "4294967296", texts.shortDateText({1926, 6, 1}));
    model.appendFile("/small", "100", texts.shortDateText({2000, 6, 1}));
    model.setSortType(stream::stText);
    EXPECT_EQ(captions(model), (std::vector<std::string>{"/old", "/small", "/new"}));
    model.setSortType(stream::stData);
    EXPECT_EQ(captions(model), (std::vector<std::string>{"/small", "/old", "/new"}));
}

// A search hands each file's size and day over as numbers: the rows show the user's texts, and
// sort by the numbers, also for a day whose text the locale would not read back.
TEST(SearchedFilesModel, FoundFilesShowTheirTextsAndSortByTheirNumbers) {
    SearchedFilesModel model{qtcore::LocaleTexts(kUnitedStates)};
    const qtcore::LocaleTexts texts(kUnitedStates);
    model.appendFile("/far", 7, platform::CivilDate{12026, 3, 1});
    model.appendFile("/new", 5368709120, platform::CivilDate{2025, 6, 1});
    model.appendFile("/old", 4294967296, platform::CivilDate{1926, 6, 1});
    model.appendFile("/also-new", 100, platform::CivilDate{2025, 6, 1});
    ASSERT_FALSE(texts.readShortDate(texts.shortDateText({12026, 3, 1})));
    EXPECT_EQ(model.row(1).subItemText(0), "5368709120");
    EXPECT_EQ(model.row(1).subItemText(1), texts.shortDateText({2025, 6, 1}));
    EXPECT_EQ(model.row(3).subItemText(1), model.row(1).subItemText(1));
    model.setSortType(stream::stText);
    EXPECT_EQ(captions(model), (std::vector<std::string>{"/old", "/new", "/also-new", "/far"}));
    model.setSortType(stream::stData);
    EXPECT_EQ(captions(model), (std::vector<std::string>{"/far", "/also-new", "/old", "/new"}));
    // A row of texts after them, as a result set gives: its date is read from its text.
    model.appendFile("/set", "1", texts.shortDateText({1900, 1, 2}));
    model.setSortType(stream::stText);
    EXPECT_EQ(captions(model).front(), "/set");
}

TEST(SearchedFilesModel, UnreadableTextsComeFirst) {
    SearchedFilesModel model{qtcore::LocaleTexts(kUnitedStates)};
    model.appendFile("/a", "10", "1/1/2000");
    model.appendFile("/b", "", "31.12.1999");
    model.appendFile("/c", "9x", "1/1/1990");
    model.setSortType(stream::stText);
    EXPECT_EQ(captions(model), (std::vector<std::string>{"/b", "/c", "/a"}));
    model.setSortType(stream::stData);
    EXPECT_EQ(captions(model), (std::vector<std::string>{"/b", "/c", "/a"}));
}

TEST(SearchedFilesModel, SelectionFollowsItsRowThroughASort) {
    SearchedFilesModel model{qtcore::LocaleTexts(kUnitedStates)};
    fillFoundFiles(model);
    model.flushAppendedRows();
    const QPersistentModelIndex selected(model.index(4, 2)); // "/e"
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.setSortType(stream::stText);
    EXPECT_EQ(selected.row(), 5);
    model.setSortType(stream::stData);
    EXPECT_EQ(selected.row(), 0);
    EXPECT_EQ(selected.column(), 2);
    EXPECT_EQ(reset.size(), 0);
}

TEST(SearchedFilesModel, RowsAppendedOrChangedAfterASortAreSortedByTheirOwnTexts) {
    SearchedFilesModel model{qtcore::LocaleTexts(kUnitedStates)};
    fillFoundFiles(model);
    model.setSortType(stream::stData);
    model.appendFile("/g", "5", "1/1/2030");
    model.setRow(0, ListRow("/E", {"400", "1/1/1980"})); // was "/e", 20
    model.setSortType(stream::stText);
    EXPECT_EQ(captions(model), (std::vector<std::string>{"/E", "/c", "/f", "/a", "/d", "/b", "/g"}));
    model.setSortType(stream::stData);
    EXPECT_EQ(captions(model), (std::vector<std::string>{"/g", "/c", "/f", "/b", "/a", "/d", "/E"}));
}

TEST(SearchedFilesModel, SizesForTheComparerFollowTheRows) {
    SearchedFilesModel model{qtcore::LocaleTexts(kUnitedStates)};
    fillFoundFiles(model);
    model.appendFile("/big", "5368709120", "1/1/2000");
    const auto sizes = [&] {
        std::vector<int64_t> result;
        for (int i = 0; i < model.count(); ++i) {
            result.push_back(model.sizeOf(i));
        }
        return result;
    };
    EXPECT_EQ(sizes(), (std::vector<int64_t>{300, 100, 100, 300, 20, 100, 5368709120}));
    model.setSortType(stream::stText);
    model.setSortType(stream::stData);
    EXPECT_EQ(sizes(), (std::vector<int64_t>{20, 100, 100, 100, 300, 300, 5368709120}));
    model.setRow(0, ListRow("/e", {"7", "1/5/2021"}));
    model.appendFile("/late", "9", "1/1/2000");
    EXPECT_EQ(sizes(), (std::vector<int64_t>{7, 100, 100, 100, 300, 300, 5368709120, 9}));
}

// The list shows a sort through an order of where its rows are kept, never moving a row. What it
// shows, saves and hands to the comparer must be what rows physically sorted would give, through
// any mix of sorts, appends after a sort, replaced and removed rows.
TEST(SearchedFilesModel, SortsThroughAnOrderShowWhatSortedRowsWould) {
    const qtcore::LocaleTexts texts(kUnitedStates);
    SearchedFilesModel model{texts};
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    struct Row {
        std::string path, size, date;
        int64_t sizeKey, dayKey;
    };
    std::vector<Row> expected; // the rows as a list that moves them would hold them
    std::mt19937 random(7);
    int made = 0;
    const auto makeRow = [&] {
        char path[16];
        std::snprintf(path, sizeof path, "/%05d", made++);
        const int64_t size = random() % 6;
        const int day = static_cast<int>(random() % 5);
        Row row{path, std::to_string(size), texts.shortDateText({2020, 1 + day, 1}), size, day};
        if (random() % 10 == 0) {
            row.size = "?"; // unreadable texts count as the least value
            row.sizeKey = INT64_MIN;
        }
        return row;
    };
    const auto append = [&](int count) {
        for (int i = 0; i < count; ++i) {
            Row row = makeRow();
            model.appendFile(row.path, row.size, row.date);
            expected.push_back(row);
        }
    };
    const auto sortBy = [&](stream::SortType type) {
        if (type == model.sortType()) {
            return; // the current mode: nothing moves
        }
        model.setSortType(type);
        if (type == stream::stText) {
            std::stable_sort(expected.begin(), expected.end(),
                             [](const Row& a, const Row& b) { return a.dayKey < b.dayKey; });
        } else if (type == stream::stData) {
            std::stable_sort(expected.begin(), expected.end(),
                             [](const Row& a, const Row& b) { return a.sizeKey < b.sizeKey; });
        }
    };
    const auto check = [&](const char* step) {
        model.flushAppendedRows();
        ASSERT_EQ(model.count(), static_cast<int>(expected.size())) << step;
        for (int i = 0; i < model.count(); ++i) {
            const Row& want = expected[static_cast<size_t>(i)];
            ASSERT_EQ(model.row(i).caption(), want.path) << step << ", row " << i;
            ASSERT_EQ(model.index(i, 1).data().toString().toStdString(), want.size) << step << ", row " << i;
            ASSERT_EQ(model.index(i, 0).data(ListViewModel::CaptionBytesRole).toByteArray().toStdString(),
                      want.path);
            ASSERT_EQ(model.sizeOf(i), want.sizeKey) << step << ", row " << i;
        }
    };
    append(200);
    sortBy(stream::stText);
    check("by day");
    sortBy(stream::stData);
    check("by size");
    append(50); // after a sort: shown last, in the order found
    check("appended after a sort");
    sortBy(stream::stText);
    sortBy(stream::stData);
    check("sorted again with the appended rows");
    const Row replaced = makeRow();
    model.setRow(3, ListRow(replaced.path, {replaced.size, replaced.date}));
    expected[3] = replaced;
    check("a row replaced");
    sortBy(stream::stNone);
    sortBy(stream::stText);
    check("sorted by day after a replaced row");
    ASSERT_TRUE(model.removeRows(10, 20));
    expected.erase(expected.begin() + 10, expected.begin() + 30);
    check("rows removed from a sorted list");
    append(30);
    sortBy(stream::stData);
    check("appended and sorted after a removal");
}

// A result set saves the list's rows through its widget: in the order shown.
TEST(SearchedFilesModel, SavedRowsAreInTheOrderShown) {
    ListViewWidget list;
    fillFoundFiles(*list.listModel()); // the widget's dates are the system's: sizes only here
    list.setSortType(stream::stData);
    list.listModel()->appendFile("/g", "1", "1/1/2000");
    std::vector<std::string> saved;
    for (const stream::ListRow& row : list.rows()) {
        saved.push_back(row.caption + "|" + (*row.subItems.begin()).text);
    }
    EXPECT_EQ(saved,
              (std::vector<std::string>{"/e|20", "/b|100", "/c|100", "/f|100", "/a|300", "/d|300", "/g|1"}));
}

// Enough rows for every pass of the ordering step to matter; bench/list_sort_bench.cpp times a
// million.
TEST(SearchedFilesModel, ManyRowsSortIntoTheComparersOrder) {
    constexpr int kRows = 60'000;
    const qtcore::LocaleTexts texts(kUnitedStates);
    SearchedFilesModel model{texts};
    std::mt19937 random(4);
    std::vector<std::string> days; // in calendar order
    std::map<std::string, size_t, std::less<>> dayIndex;
    for (int d = 0; d < 3000; ++d) {
        days.push_back(texts.shortDateText({1990 + d / 336, 1 + d / 28 % 12, 1 + d % 28}));
        dayIndex[days.back()] = days.size() - 1;
    }
    for (int i = 0; i < kRows; ++i) {
        char path[32];
        std::snprintf(path, sizeof path, "/%07d", i); // the found order, in the path
        model.appendFile(path, std::to_string(random() % 5000), days[random() % days.size()]);
    }
    model.setSortType(stream::stText);
    model.setSortType(stream::stData);
    ASSERT_EQ(model.count(), kRows);
    const auto sizeOf = [](const ListRow& row) {
        int64_t size = -1;
        std::from_chars(row.subItemText(0).data(), row.subItemText(0).data() + row.subItemText(0).size(),
                        size);
        return size;
    };
    const auto dayOf = [&](const ListRow& row) { return dayIndex.find(row.subItemText(1))->second; };
    for (int i = 1; i < kRows; ++i) {
        const ListRow& a = model.row(i - 1);
        const ListRow& b = model.row(i);
        const auto keyA = std::make_tuple(sizeOf(a), dayOf(a), a.caption());
        const auto keyB = std::make_tuple(sizeOf(b), dayOf(b), b.caption());
        ASSERT_LT(keyA, keyB) << "row " << i << ": by size, then day, then found order";
    }
}

} // namespace
} // namespace corvane::ui
