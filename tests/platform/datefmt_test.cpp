#include "platform/datefmt.h"

#include <gtest/gtest.h>

namespace {

const QDateTime dtSample(QDate(2024, 3, 5), QTime(7, 30, 15));

struct TCase
{
    const char* szPattern;
    const char* szExpected;
};

// --- patterns as the reports spell them ---

TEST(TDateFmt, Format_ReportPatterns)
{
    const TCase aCases[] = {
        {"MMM DD, YYYY", "Mar 05, 2024"},
        {"ddd mmm d, yyyy", "Tue Mar 5, 2024"},
        {"yyyy-mm-dd", "2024-03-05"},
        {"hh:nn:ss", "07:30:15"},
        {"hh:mm:ss", "07:30:15"},
        {"HH:MM", "07:30"},
        {"yyyy-mm", "2024-03"},
        {"YYYYMMDD", "20240305"},
        {"dd/mm/yyyy hh:mm", "05/03/2024 07:30"},
        {"yyyy-mm-ddThh:nn", "2024-03-05T07:30"},
        {"at hh o'clock", "at 07 o'clock"},
        {"hh mmm", "07 Mar"},
        {"mm hh", "03 07"},
    };
    for (const TCase& c : aCases)
        EXPECT_EQ(TDateFmt::Format(dtSample, QLatin1String(c.szPattern)), QLatin1String(c.szExpected))
            << c.szPattern;
    EXPECT_EQ(TDateFmt::Format(QTime(23, 5, 9), QStringLiteral("hh:nn:ss")), QStringLiteral("23:05:09"));
    EXPECT_EQ(TDateFmt::Format(QDate(2024, 12, 25), QStringLiteral("ddd d mmm")),
              QStringLiteral("Wed 25 Dec"));
}

// --- names in the user's locale ---

// Sets the names locale for one test and puts back the English default after it.
class TDateFmtNames : public ::testing::Test
{
protected:
    void TearDown() override { TDateFmt::SetNamesLocale(QLocale(QLocale::English)); }
};

TEST_F(TDateFmtNames, MonthAndWeekdayNamesFollowTheLocaleDigitsDoNot)
{
    const QDate d(2024, 3, 5);
    TDateFmt::SetNamesLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(TDateFmt::Format(d, QStringLiteral("MMM DD, YYYY")), QStringLiteral("M\u00e4rz 05, 2024"));
    EXPECT_EQ(TDateFmt::Format(dtSample, QStringLiteral("ddd mmm d, yyyy hh:nn")),
              QStringLiteral("Di. M\u00e4rz 5, 2024 07:30"));
    EXPECT_EQ(TDateFmt::Format(d, QStringLiteral("dddd d mmmm")), QStringLiteral("Dienstag 5 M\u00e4rz"));
    // Quoted text stays as written; numeric patterns are untouched.
    EXPECT_EQ(TDateFmt::Format(dtSample, QStringLiteral("at hh o'clock")), QStringLiteral("at 07 o'clock"));
    EXPECT_EQ(TDateFmt::Format(d, QStringLiteral("yyyymmdd")), QStringLiteral("20240305"));

    TDateFmt::SetNamesLocale(QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(TDateFmt::Format(QDate(2024, 2, 1), QStringLiteral("ddd mmm d, yyyy")),
              QStringLiteral("jeu. f\u00e9vr. 1, 2024"));

    // A locale with digits of its own still gets 0-9 in the reports; its date pickers
    // fall back to English rather than show other digits.
    const QLocale ar(QLocale::Arabic, QLocale::Egypt);
    TDateFmt::SetNamesLocale(ar);
    EXPECT_EQ(TDateFmt::Format(d, QStringLiteral("MMM DD, YYYY")),
              ar.monthName(3, QLocale::ShortFormat) + QStringLiteral(" 05, 2024"));
    EXPECT_EQ(TDateFmt::PickerLocale().language(), QLocale::English);
    TDateFmt::SetNamesLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(TDateFmt::PickerLocale().language(), QLocale::German);
}

TEST_F(TDateFmtNames, CLocaleWritesExactlyTheEnglishTexts)
{
    TDateFmt::SetNamesLocale(QLocale::c());
    EXPECT_EQ(TDateFmt::Format(dtSample, QStringLiteral("ddd mmm d, yyyy")),
              QStringLiteral("Tue Mar 5, 2024"));
    EXPECT_EQ(TDateFmt::Format(QDate(2024, 12, 25), QStringLiteral("dddd MMMM DD")),
              QStringLiteral("Wednesday December 25"));
    EXPECT_TRUE(TDateFmt::Format(QDate(), QStringLiteral("MMM DD, YYYY")).isEmpty());
}

} // namespace
