#pragma once

// How the user's locale writes the main window's dates and sizes and orders its tree texts. A
// result set saved by `corvane-cli find --save` takes its dates and tree order from here too, so
// that it holds the bytes the window would save after the same search.

#include "platform/local_time.h"

#include <QCollator>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvane::qtcore {

// A copy may be used on a worker thread (the scanner writes its date texts there); one object
// is not meant to be shared between threads.
class LocaleTexts {
public:
    explicit LocaleTexts(const QLocale& locale = QLocale());

    const QLocale& locale() const { return locale_; }

    // The locale's short date format with the year widened to four digits ("M/d/yyyy" for
    // en_US), so that a date text reads back as the year it was written for.
    const QString& shortDateFormat() const { return shortDateFormat_; }
    // The date text of a found file (UTF-8), in shortDateFormat().
    std::string shortDateText(const platform::CivilDate& date) const;
    // A text of shortDateText read back; nothing when it is not a date in that format.
    std::optional<platform::CivilDate> readShortDate(std::string_view text) const;

    // A date in the locale's long date format, for the file information box.
    QString longDateText(const platform::CivilDate& date) const;
    // The creation date of a file given in seconds since the epoch, as longDateText of its local
    // calendar day, or of 1 January 1900 when the moment cannot be converted.
    QString creationDateText(int64_t secondsSinceEpoch) const;

    // A file size: "%d B" below 1024 bytes, "%.2f KB" below 1048576, else "%.2f MB"; two
    // decimals with the locale's decimal separator, an exact half rounded away from zero.
    QString sizeText(int64_t bytes) const;

    // The order of the duplicate tree's texts: linguistic, case-sensitive, under the locale's
    // rules; the C and POSIX locales, which Qt collates by code point, use English rules.
    QCollator nodeTextCollator() const;

private:
    QLocale locale_;
    QString shortDateFormat_;
};

// `format` (a QLocale date format) with every year field written with four digits; quoted
// literal text is left alone.
QString widenYearField(const QString& format);

} // namespace corvane::qtcore
