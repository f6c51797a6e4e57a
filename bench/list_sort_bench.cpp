// Puts a million rows of the searched files list into the comparer's order (size, then creation
// day, then found order) and prints how long each step took; checks the order it got.
//
//   corvane-list-sort-bench [ROWS]

#include "qtcore/locale_texts.h"
#include "ui/views/searched_files_model.h"

#include <QCoreApplication>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <tuple>

int main(int argc, char** argv) {
    using namespace corvane::ui;
    using Clock = std::chrono::steady_clock;
    QCoreApplication application(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
    const corvane::qtcore::LocaleTexts texts(QLocale(QLocale::English, QLocale::UnitedStates));
    SearchedFilesModel model{texts};
    std::mt19937 random(4);
    std::vector<std::string> days; // in calendar order
    std::map<std::string, size_t, std::less<>> dayIndex;
    for (int d = 0; d < 3000; ++d) {
        days.push_back(texts.shortDateText({1990 + d / 336, 1 + d / 28 % 12, 1 + d % 28}));
        dayIndex[days.back()] = days.size() - 1;
    }
    const auto seconds = [](Clock::time_point since) {
        return std::chrono::duration<double>(Clock::now() - since).count();
    };
    auto start = Clock::now();
    for (int i = 0; i < rows; ++i) {
        char path[32];
        std::snprintf(path, sizeof path, "/%07d", i); // the found order, in the path
        model.appendFile(path, std::to_string(random() % 5000), days[random() % days.size()]);
    }
    std::printf("append %d rows: %.3f s\n", rows, seconds(start));
    start = Clock::now();
    model.setSortType(corvane::stream::SortType::stText);
    std::printf("by text:        %.3f s\n", seconds(start));
    start = Clock::now();
    model.setSortType(corvane::stream::SortType::stData);
    std::printf("by size, day:   %.3f s\n", seconds(start));

    const auto sizeOf = [](const ListRow& row) {
        int64_t size = -1;
        const std::string_view text = row.subItemText(0);
        std::from_chars(text.data(), text.data() + text.size(), size);
        return size;
    };
    const auto dayOf = [&](const ListRow& row) { return dayIndex.find(row.subItemText(1))->second; };
    for (int i = 1; i < model.count(); ++i) {
        const ListRow& a = model.row(i - 1);
        const ListRow& b = model.row(i);
        if (std::make_tuple(sizeOf(a), dayOf(a), a.caption()) >=
            std::make_tuple(sizeOf(b), dayOf(b), b.caption())) {
            std::fprintf(stderr, "row %d is out of order\n", i);
            return 1;
        }
    }
    std::printf("order checked\n");
    return 0;
}
