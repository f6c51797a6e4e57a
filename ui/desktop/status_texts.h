#pragma once

// The texts of the main window's status line during and after a search. Numbers are plain
// decimal integers, whatever the locale.

#include <QString>

#include <cstdint>

namespace corvane::ui {

// `part / whole` times 100, to the nearest whole number, a half going to the even neighbour
// (1 of 8 gives 12, 3 of 8 gives 38); 0 when `whole` is not positive.
int percentOf(int64_t part, int64_t whole);

// "Searching..."
QString searchingStatus();
// "Found <files> files in <folders> folder"
QString foundFilesStatus(int64_t fileCount, int64_t folderCount);
// "Sorting Files [<percent>%]"
QString sortingStatus(int percent);
// "Comparing file <position> of <count>, Duplicate files found: <found> [<percent of position>%]"
QString comparingStatus(int64_t position, int64_t listCount, int64_t duplicatesFound);
// "Comparing <count> files of <size>: <read> of <count * size> read [<percent>%]", while the
// files of one run of equal size are compared; sizes in the locale's units (KiB, MiB, GiB).
QString runProgressStatus(int64_t fileCount, int64_t fileSize, int64_t bytesRead);
// The comparer's first look at the start of every file that may have a twin.
QString firstLookStatus(int64_t filesRead, int64_t fileCount);
// "Duplicate files: <duplicates>, File Searched: <searched>": the end of a scan (0 duplicates),
// of a comparison, and of opening a result set.
QString summaryStatus(int64_t duplicates, int64_t filesSearched);

// `status` followed by " (trash folders passed over: <count>)" when a search passed over trash
// folders, which it never enters; `status` itself when it passed over none.
QString withTrashFoldersNote(const QString& status, int64_t trashFolders);

// `status` followed by a note that the search options were in effect, with the files outside the
// size limits (searched, not compared) and the further names of files passed over, where there
// were any.
QString withSearchOptionsNote(const QString& status, int64_t outsideSizeLimits, int64_t furtherNames);

} // namespace corvane::ui
