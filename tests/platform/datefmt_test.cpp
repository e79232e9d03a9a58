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

} // namespace
