#include "analysis/limitsfill.h"

#include "monitors/monitor.h"
#include "reports/markup.h"
#include "reports/stringgrid.h"

#include <QTimeZone>

#include <gtest/gtest.h>

namespace {
// The row whose first cell is s, from nFrom on; -1 when there is none.
int RowOf(const TStringGrid& grid, const QString& s, int nFrom = 0)
{
    for (int r = nFrom; r < grid.RowCount(); ++r)
        if (grid.Cells(0, r) == s)
            return r;
    return -1;
}

TLimitRule Rule(const char* sz)
{
    QString sError;
    return TLimitRule::Parse(QLatin1String(sz), sError).value_or(TLimitRule());
}
} // namespace

TEST(TLimitsFill, FillExceedances_RowsPerExceedanceThenCountsPerDayAndRange)
{
    const TTQMonitor monA{QStringLiteral("M1"), QStringLiteral("North Gate"), QString()};
    const TTQMonitor monB{QStringLiteral("M2"), QStringLiteral("Quarry"), QString()};
    TLimitMonitor a;
    a.sID = monA.sID;
    a.aRules = {Rule("*;LAeq;Mon-Fri;07:00-19:00;65;Day"), Rule("*;LAFmax;Mon-Sun;23:00-07:00;80")};
    const QDate dt(2024, 5, 14);
    std::vector<TLimitExceedance> aExc;
    TLimitDayValues v;
    v.slParams = {QStringLiteral("LAeq"), QStringLiteral("LAFmax")};
    v.anStartSecs = {8 * 3600, 9 * 3600, 23 * 3600};
    v.aadValues = {{66.5, 60.0, 50.0}, {70.0, 70.0, 79.0}};
    // The night's highest lies after midnight, on the next date.
    TLimitDayValues next;
    next.slParams = {QStringLiteral("LAFmax")};
    next.anStartSecs = {2 * 3600, 8 * 3600};
    next.aadValues = {{79.5, 99.0}};
    a.aDays = {TLimitCheck::AssessDay(a.aRules, dt, 60, v, next, a.aExceedances, QTimeZone::utc())};
    a.aRange = a.aDays[0].aCounts;
    TLimitMonitor b;
    b.sID = monB.sID;

    TStringGrid grid;
    TLimitsFill::FillExceedances(grid, {&monA, &monB}, {a, b}, 75);
    EXPECT_EQ(grid.ColCount(), TLimitsFill::ColCount);
    EXPECT_EQ(grid.Cells(0, 0), QStringLiteral("~name~North Gate"));

    const int nExc = RowOf(grid, QStringLiteral("2024-05-14"));
    ASSERT_GT(nExc, 0);
    const QStringList slExc{QStringLiteral("2024-05-14"), QStringLiteral("08:00"), QStringLiteral("LAeq"),
                            QStringLiteral("66.5"),       QStringLiteral("65.0"),  QStringLiteral("^1.5"),
                            QStringLiteral("Day")};
    for (int c = 0; c < slExc.size(); ++c)
        EXPECT_EQ(grid.Cells(c, nExc), slExc[c]) << c;
    EXPECT_TRUE(TMarkup::Shown(grid.Cells(TLimitsFill::ColMargin, nExc)).bBold);
    // The only exceedance: the next row is blank, then the count headings.
    EXPECT_TRUE(grid.Cells(0, nExc + 1).isEmpty());
    EXPECT_EQ(grid.Cells(TLimitsFill::ColValue, nExc + 2), QStringLiteral("~h~Highest"));

    const int nDay = RowOf(grid, QStringLiteral("2024-05-14"), nExc + 1);
    ASSERT_GT(nDay, nExc);
    EXPECT_EQ(grid.Cells(TLimitsFill::ColTime, nDay), QStringLiteral("07:00-19:00"));
    EXPECT_EQ(grid.Cells(TLimitsFill::ColPeriods, nDay), QStringLiteral("2"));
    EXPECT_EQ(grid.Cells(TLimitsFill::ColCoverage, nDay), QStringLiteral("~low~16.7")); // 2 of 12
    EXPECT_EQ(grid.Cells(TLimitsFill::ColExceeded, nDay), QStringLiteral("^1"));
    EXPECT_EQ(grid.Cells(TLimitsFill::ColValue, nDay), QStringLiteral("66.5"));
    // Fault: a day row gave the time alone, though a night's highest may lie on the
    // next date; every row gives date and time.
    EXPECT_EQ(grid.Cells(TLimitsFill::ColHighestAt, nDay), QStringLiteral("2024-05-14 08:00"));
    // The night rule stayed below: the highest value shows, no margin and no bold count.
    // Its periods are 23:00 and the next day's 02:00; 08:00 is past the band.
    EXPECT_EQ(grid.Cells(TLimitsFill::ColValue, nDay + 1), QStringLiteral("79.5"));
    EXPECT_EQ(grid.Cells(TLimitsFill::ColHighestAt, nDay + 1), QStringLiteral("2024-05-15 02:00"));
    EXPECT_EQ(grid.Cells(TLimitsFill::ColPeriods, nDay + 1), QStringLiteral("2"));
    EXPECT_TRUE(grid.Cells(TLimitsFill::ColMargin, nDay + 1).isEmpty());
    EXPECT_EQ(grid.Cells(TLimitsFill::ColExceeded, nDay + 1), QStringLiteral("0"));
    EXPECT_EQ(grid.Cells(TLimitsFill::ColRule, nDay + 1), QStringLiteral("LAFmax Mon-Sun 23:00-07:00"));

    const int nRange = RowOf(grid, QStringLiteral("~h~Range"));
    ASSERT_EQ(nRange, nDay + 2);
    EXPECT_EQ(grid.Cells(TLimitsFill::ColHighestAt, nRange), QStringLiteral("2024-05-14 08:00"));
    EXPECT_EQ(RowOf(grid, QStringLiteral("~h~Range"), nRange + 2), -1);

    const int nB = RowOf(grid, QStringLiteral("~name~Quarry"));
    ASSERT_EQ(nB, nRange + 4);
    EXPECT_EQ(grid.Cells(0, nB + 2), QStringLiteral("~h~No limits"));
    EXPECT_EQ(grid.RowCount(), nB + 6);
}
