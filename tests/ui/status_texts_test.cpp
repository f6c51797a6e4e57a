#include "ui/desktop/status_texts.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <climits>

namespace corvane::ui {
namespace {

TEST(Percent, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(percentOf(1, 8), 12);
    EXPECT_EQ(percentOf(3, 8), 38);
    EXPECT_EQ(percentOf(1, 40), 2);
    EXPECT_EQ(percentOf(3, 40), 8);
    EXPECT_EQ(percentOf(1, 3), 33);
    EXPECT_EQ(percentOf(2, 3), 67);
    EXPECT_EQ(percentOf(0, 1), 0);
    EXPECT_EQ(percentOf(7, 7), 100);
    EXPECT_EQ(percentOf(INT32_MAX - 1, INT32_MAX), 100);
    EXPECT_EQ(percentOf(0, 0), 0);
}

TEST(StatusTexts, AsTheStatusLineShowsThem) {
    EXPECT_EQ(searchingStatus(), "Searching...");
    EXPECT_EQ(foundFilesStatus(12, 3), "Found 12 files in 3 folder");
    EXPECT_EQ(sortingStatus(0), "Sorting Files [0%]");
    EXPECT_EQ(comparingStatus(1, 8, 0), "Comparing file 1 of 8, Duplicate files found: 0 [12%]");
    EXPECT_EQ(comparingStatus(3, 8, 2), "Comparing file 3 of 8, Duplicate files found: 2 [38%]");
    EXPECT_EQ(summaryStatus(0, 0), "Duplicate files: 0, File Searched: 0");
    EXPECT_EQ(summaryStatus(4, 1234567), "Duplicate files: 4, File Searched: 1234567");
}

TEST(StatusTexts, ALongRunTellsTheBytesRead) {
    const QLocale locale;
    const int64_t gib = int64_t{1} << 30;
    EXPECT_EQ(runProgressStatus(2, 2 * gib + gib / 2, gib + gib / 4),
              QString("Comparing 2 files of %1: %2 of %3 read [25%]")
                  .arg(locale.formattedDataSize(2 * gib + gib / 2), locale.formattedDataSize(gib + gib / 4),
                       locale.formattedDataSize(5 * gib)));
    // A file read twice (a class split by digest) counts no more than the run holds.
    EXPECT_TRUE(runProgressStatus(3, 1000, 5000).endsWith("read [100%]"));
    EXPECT_TRUE(runProgressStatus(0, 0, 0).endsWith("read [0%]"));
}

} // namespace
} // namespace corvane::ui
