#include "ui/desktop/status_texts.h"

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

} // namespace
} // namespace corvane::ui
