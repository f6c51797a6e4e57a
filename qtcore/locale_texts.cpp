#include "qtcore/locale_texts.h"

#include <QDate>

namespace corvane::qtcore {

namespace {

QDate toQDate(const platform::CivilDate& date) {
    return QDate(date.year, date.month, date.day);
}

// `numerator / denominator` (both positive) to whole hundredths, an exact half upwards. Done in
// integers: a double does not hold the largest sizes to the hundredth.
int64_t hundredthsOf(int64_t numerator, int64_t denominator) {
    const __int128 scaled = static_cast<__int128>(numerator) * 100;
    const __int128 quotient = scaled / denominator;
    const __int128 remainder = scaled % denominator;
    return static_cast<int64_t>(remainder * 2 >= denominator ? quotient + 1 : quotient);
}

} // namespace

QString widenYearField(const QString& format) {
    QString widened;
    widened.reserve(format.size() + 2);
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'') {
            quoted = !quoted; // '' inside or outside a quote toggles twice: a literal quote
            widened += c;
        } else if (!quoted && c == u'y') {
            while (i + 1 < format.size() && format[i + 1] == u'y') {
                ++i;
            }
            widened += QStringLiteral("yyyy");
        } else {
            widened += c;
        }
    }
    return widened;
}

LocaleTexts::LocaleTexts(const QLocale& locale)
    : locale_(locale), shortDateFormat_(widenYearField(locale.dateFormat(QLocale::ShortFormat))) {}

std::string LocaleTexts::shortDateText(const platform::CivilDate& date) const {
    return locale_.toString(toQDate(date), shortDateFormat_).toStdString();
}

std::optional<platform::CivilDate> LocaleTexts::readShortDate(std::string_view text) const {
    const QDate date =
        locale_.toDate(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), shortDateFormat_);
    if (!date.isValid()) {
        return std::nullopt;
    }
    return platform::CivilDate{date.year(), date.month(), date.day()};
}

QString LocaleTexts::longDateText(const platform::CivilDate& date) const {
    return locale_.toString(toQDate(date), QLocale::LongFormat);
}

QString LocaleTexts::creationDateText(int64_t secondsSinceEpoch) const {
    return longDateText(platform::localDateOf(secondsSinceEpoch).value_or(platform::CivilDate{1900, 1, 1}));
}

QString LocaleTexts::sizeText(int64_t bytes) const {
    constexpr int64_t kKilo = 1024;
    constexpr int64_t kMega = 1024 * 1024;
    if (bytes < kKilo) {
        return QString::number(bytes) + QStringLiteral(" B");
    }
    const bool mega = bytes >= kMega;
    const int64_t hundredths = hundredthsOf(bytes, mega ? kMega : kKilo);
    return QString::number(hundredths / 100) + locale_.decimalPoint() +
           QString::number(hundredths % 100).rightJustified(2, u'0') +
           (mega ? QStringLiteral(" MB") : QStringLiteral(" KB"));
}

QCollator LocaleTexts::nodeTextCollator() const {
    const bool codePointOrder = locale_.language() == QLocale::C;
    QCollator collator(codePointOrder ? QLocale(QLocale::English, QLocale::UnitedStates) : locale_);
    collator.setCaseSensitivity(Qt::CaseSensitive);
    collator.setNumericMode(false);
    collator.setIgnorePunctuation(false);
    return collator;
}

} // namespace corvane::qtcore
