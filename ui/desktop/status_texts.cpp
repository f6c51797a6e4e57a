#include "ui/desktop/status_texts.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>

#include <algorithm>

namespace corvane::ui {

int percentOf(int64_t part, int64_t whole) {
    if (whole <= 0) {
        return 0;
    }
    // Exact: a quotient such as 1/40 is no exact double, and its half must still go to even.
    const __int128 scaled = static_cast<__int128>(part) * 100;
    __int128 quotient = scaled / whole;
    const __int128 twiceRemainder = (scaled % whole) * 2;
    if (twiceRemainder > whole || (twiceRemainder == whole && quotient % 2 != 0)) {
        ++quotient;
    }
    return static_cast<int>(quotient);
}

QString searchingStatus() {
    return QCoreApplication::translate("frm_utama", "Searching...");
}

QString foundFilesStatus(int64_t fileCount, int64_t folderCount) {
    return QCoreApplication::translate("frm_utama", "Found %1 files in %2 folder")
        .arg(fileCount)
        .arg(folderCount);
}

QString sortingStatus(int percent) {
    return QCoreApplication::translate("frm_utama", "Sorting Files [%1%]").arg(percent);
}

QString comparingStatus(int64_t position, int64_t listCount, int64_t duplicatesFound) {
    return QCoreApplication::translate("frm_utama",
                                       "Comparing file %1 of %2, Duplicate files found: %3 [%4%]")
        .arg(position)
        .arg(listCount)
        .arg(duplicatesFound)
        .arg(percentOf(position, listCount));
}

QString runProgressStatus(int64_t fileCount, int64_t fileSize, int64_t bytesRead) {
    const QLocale locale;
    const int64_t total = fileCount * fileSize;
    const int64_t read = std::clamp<int64_t>(bytesRead, 0, total);
    return QCoreApplication::translate("frm_utama", "Comparing %1 files of %2: %3 of %4 read [%5%]")
        .arg(fileCount)
        .arg(locale.formattedDataSize(fileSize))
        .arg(locale.formattedDataSize(read))
        .arg(locale.formattedDataSize(total))
        .arg(percentOf(read, total));
}

QString firstLookStatus(int64_t filesRead, int64_t fileCount) {
    return QCoreApplication::translate("frm_utama", "Reading the first bytes of file %1 of %2 [%3%]")
        .arg(filesRead)
        .arg(fileCount)
        .arg(percentOf(filesRead, fileCount));
}

QString summaryStatus(int64_t duplicates, int64_t filesSearched) {
    return QCoreApplication::translate("frm_utama", "Duplicate files: %1, File Searched: %2")
        .arg(duplicates)
        .arg(filesSearched);
}

QString withTrashFoldersNote(const QString& status, int64_t trashFolders) {
    if (trashFolders <= 0) {
        return status;
    }
    return status +
           QCoreApplication::translate("frm_utama", " (trash folders passed over: %1)").arg(trashFolders);
}

QString withSearchOptionsNote(const QString& status, int64_t outsideSizeLimits, int64_t furtherNames) {
    QStringList facts;
    if (outsideSizeLimits > 0) {
        facts << QCoreApplication::translate("frm_utama", "%1 file(s) outside the size limits not compared")
                     .arg(outsideSizeLimits);
    }
    if (furtherNames > 0) {
        facts << QCoreApplication::translate("frm_utama", "%1 further name(s) of files passed over")
                     .arg(furtherNames);
    }
    if (facts.isEmpty()) {
        return status + QCoreApplication::translate("frm_utama", " (search options in effect)");
    }
    return status + QCoreApplication::translate("frm_utama", " (search options in effect: %1)")
                        .arg(facts.join(QStringLiteral(", ")));
}

} // namespace corvane::ui
