#include "qtcore/locale_texts.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <algorithm>
#include <climits>

namespace corvane::qtcore {
namespace {

const QLocale kUnitedStates(QLocale::English, QLocale::UnitedStates);
const QLocale kGermany(QLocale::German, QLocale::Germany);

TEST(SizeText, ThresholdsAndRounding) {
    const LocaleTexts texts(kUnitedStates);
    EXPECT_EQ(texts.sizeText(0), "0 B");
    EXPECT_EQ(texts.sizeText(1023), "1023 B");
    EXPECT_EQ(texts.sizeText(1024), "1.00 KB");
    EXPECT_EQ(texts.sizeText(1152), "1.13 KB"); // 1.125: a half goes away from zero
    EXPECT_EQ(texts.sizeText(1536), "1.50 KB");
    EXPECT_EQ(texts.sizeText(1048575), "1024.00 KB");
    EXPECT_EQ(texts.sizeText(1048576), "1.00 MB");
    EXPECT_EQ(texts.sizeText(1179648), "1.13 MB"); // 1.125 MB
    EXPECT_EQ(texts.sizeText(1053818), "1.00 MB"); // 1.00499...
    EXPECT_EQ(texts.sizeText(5LL * 1024 * 1024 * 1024), "5120.00 MB");
    EXPECT_EQ(texts.sizeText(INT64_MAX), "8796093022208.00 MB");
}

TEST(SizeText, UsesTheDecimalSeparatorOfTheLocale) {
    EXPECT_EQ(LocaleTexts(kGermany).sizeText(1152), "1,13 KB");
    EXPECT_EQ(LocaleTexts(kGermany).sizeText(1048576), "1,00 MB");
    EXPECT_EQ(LocaleTexts(kGermany).sizeText(999), "999 B");
}

TEST(ShortDate, YearFieldIsWidenedToFourDigits) {
    EXPECT_EQ(widenYearField("M/d/yy"), "M/d/yyyy");
    EXPECT_EQ(widenYearField("dd.MM.yyyy"), "dd.MM.yyyy");
    EXPECT_EQ(widenYearField("yy. M. d."), "yyyy. M. d.");
    EXPECT_EQ(widenYearField("d.MM.yy 'y'."), "d.MM.yyyy 'y'.");
    EXPECT_EQ(widenYearField("d''yy 'it''s yy'"), "d''yyyy 'it''s yy'");
    EXPECT_EQ(LocaleTexts(kUnitedStates).shortDateFormat(), "M/d/yyyy");
}

TEST(ShortDate, WrittenInTheLocaleFormat) {
    EXPECT_EQ(LocaleTexts(kUnitedStates).shortDateText({1999, 12, 31}), "12/31/1999");
    EXPECT_EQ(LocaleTexts(kUnitedStates).shortDateText({1926, 3, 4}), "3/4/1926");
    EXPECT_EQ(LocaleTexts(kGermany).shortDateText({2024, 2, 29}), "29.02.2024");
}

TEST(ShortDate, ReadsBackTheDateItWrote) {
    const platform::CivilDate dates[] = {
        {1926, 3, 4}, {1999, 12, 31}, {2000, 2, 29}, {2099, 1, 1}, {1900, 1, 1}};
    for (const char* name : {"en_US", "de_DE", "ja_JP", "ko_KR", "bg_BG", "ar_EG", "fa_IR", "hu_HU"}) {
        const LocaleTexts texts{QLocale(QString::fromLatin1(name))};
        for (const platform::CivilDate& date : dates) {
            const std::string text = texts.shortDateText(date);
            EXPECT_EQ(texts.readShortDate(text), date) << name << ": " << text;
        }
    }
}

TEST(ShortDate, TextsThatAreNoDateReadAsNothing) {
    const LocaleTexts texts(kUnitedStates);
    EXPECT_EQ(texts.readShortDate(""), std::nullopt);
    EXPECT_EQ(texts.readShortDate("2/30/2020"), std::nullopt);
    EXPECT_EQ(texts.readShortDate("31.12.1999"), std::nullopt);
    EXPECT_EQ(texts.readShortDate("1/2/2020\xff"), std::nullopt);
}

TEST(LongDate, InTheLocaleFormat) {
    EXPECT_EQ(LocaleTexts(kUnitedStates).longDateText({2024, 3, 5}), "Tuesday, March 5, 2024");
    EXPECT_EQ(LocaleTexts(kGermany).longDateText({2024, 3, 5}), "Dienstag, 5. März 2024");
    EXPECT_EQ(LocaleTexts(kUnitedStates).creationDateText(INT64_MAX), "Monday, January 1, 1900")
        << "a moment that cannot be converted shows the first day of 1900";
}

QStringList sortedBy(const QCollator& collator, QStringList texts) {
    std::stable_sort(texts.begin(), texts.end(),
                     [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return texts;
}

TEST(NodeTextOrder, LinguisticAndCaseSensitiveAlsoUnderTheCLocale) {
    for (const QLocale& locale : {QLocale::c(), kUnitedStates}) {
        const QCollator collator = LocaleTexts(locale).nodeTextCollator();
        EXPECT_EQ(sortedBy(collator, {"/C", "/B", "/b", "/a"}), QStringList({"/a", "/b", "/B", "/C"}))
            << locale.name().toStdString();
        EXPECT_NE(collator.compare("/x/A", "/x/a"), 0);
    }
}

TEST(NodeTextOrder, FollowsTheRulesOfTheLocale) {
    const QLocale sweden(QLocale::Swedish, QLocale::Sweden);
    EXPECT_LT(LocaleTexts(sweden).nodeTextCollator().compare(QStringLiteral("z"), QStringLiteral("\u00f6")),
              0);
    EXPECT_LT(LocaleTexts(kGermany).nodeTextCollator().compare(QStringLiteral("\u00f6"), QStringLiteral("z")),
              0);
}

} // namespace
} // namespace corvane::qtcore
