#include "analysis/statfill.h"
#include "analysis/statistics.h"

#include "analysis/exclusions.h"
#include "nonplainfile.h"
#include "reports/gridfill_daydir.h"
#include "reports/stringgrid.h"

#include <QDateTime>

#include <cmath>
#include <functional>
#include <limits>

#include <gtest/gtest.h>

namespace {
constexpr double dNone = std::numeric_limits<double>::quiet_NaN();
const QDate dtMonday(2026, 6, 1); // a Monday; the fortnight runs to Sunday 14 June

double Round1(double d)
{
    return std::round(d * 10.0) / 10.0;
}

double EnergyMean(std::initializer_list<double> ad)
{
    double dSum = 0;
    for (double d : ad)
        dSum += std::pow(10.0, d / 10.0);
    return 10.0 * std::log10(dSum / double(ad.size()));
}

// A day of 60-minute records ".Time,LAeq,LAF90" from the levels of each hour.
QString Day60(const std::function<double(int)>& fnLAeq, const std::function<double(int)>& fnL90)
{
    QString s = QStringLiteral(".Time,LAeq,LAF90");
    for (int h = 0; h < 24; ++h)
        s += QStringLiteral("\n%1:00:00,%2,%3")
                 .arg(h, 2, 10, QLatin1Char('0'))
                 .arg(fnLAeq(h), 0, 'f', 1)
                 .arg(fnL90(h), 0, 'f', 1);
    return s;
}

// The fortnight from dtMonday: weekdays 40 + hour dB LAeq, weekends 60 dB, but
// Monday 08:00 50 dB in the first week and 60 dB in the second; LAF90 30 dB by day
// (07-19), 28 dB in the evening, 25 dB at night.
void WriteFortnight(const TDayDir& dir, const QString& sID)
{
    for (int i = 0; i < 14; ++i) {
        const QDate dt = dtMonday.addDays(i);
        const bool bWeekend = dt.dayOfWeek() >= 6;
        auto laeq = [&](int h) {
            if (dt.dayOfWeek() == 1 && h == 8)
                return i < 7 ? 50.0 : 60.0;
            return bWeekend ? 60.0 : 40.0 + h;
        };
        auto l90 = [](int h) { return h >= 7 && h < 19 ? 30.0 : h >= 19 && h < 23 ? 28.0 : 25.0; };
        dir.Write(sID, dt, qPrintable(dt.toString(QStringLiteral("'per-'dd'-0060.csv'"))), Day60(laeq, l90));
    }
}

std::vector<TStatMonitor> Fortnight(const TDayDir& dir, const TTQMonitor& mon, const TExclusions* pExcl,
                                    const QString& sParam = QStringLiteral("LAF90"))
{
    return TStatistics::Compute(TRatingSettings(), sParam, dir.DataPath(), TMonitorSel{&mon}, dtMonday,
                                dtMonday.addDays(13), 60, pExcl);
}
} // namespace

// --- the distribution and its candidates --------------------------------------------------

TEST(TStatistics, Distribution_KnownValuesGiveTheClassesMedianAndTenthPercentileExactly)
{
    // Ten levels, and three that are no level (0, 180 dB, not a number).
    const TStatDistribution dist = TStatistics::Distribution(
        {45.9, 40.2, 41.5, 0.0, 43.7, 41.0, 180.0, 46.0, 40.9, dNone, 41.5, 42.0, 45.1});
    EXPECT_EQ(dist.nValues, 10);
    EXPECT_EQ(dist.nLowestClass, 40);
    // 40: 40.2 40.9 | 41: 41.0 41.5 41.5 | 42: 42.0 | 43: 43.7 | 44: - | 45: 45.1 45.9 | 46: 46.0
    EXPECT_EQ(dist.anCount, (std::vector<int>{2, 3, 1, 1, 0, 2, 1}));
    EXPECT_EQ(dist.Count(39), 0);
    EXPECT_EQ(dist.Count(47), 0);
    EXPECT_DOUBLE_EQ(dist.Cumulative(39), 0.0);
    EXPECT_DOUBLE_EQ(dist.Cumulative(41), 0.5);
    EXPECT_DOUBLE_EQ(dist.Cumulative(44), 0.7);
    EXPECT_DOUBLE_EQ(dist.Cumulative(46), 1.0);
    EXPECT_DOUBLE_EQ(dist.dModeClass, 41.0);
    // Nearest rank: the median is the 5th of the ten sorted values, P10 the 1st.
    EXPECT_DOUBLE_EQ(dist.dMedian, 41.5);
    EXPECT_DOUBLE_EQ(dist.dP10, 40.2);
}

TEST(TStatistics, Percentile_NearestRankCountsInWholeNumbersAndTiesTakeTheLowestClass)
{
    // 10 % of 20 values is rank 2 exactly (an interpolating definition would give a
    // value between the 2nd and the 3rd), 50 % rank 10, 90 % rank 18.
    std::vector<double> ad;
    for (int i = 20; i >= 1; --i)
        ad.push_back(30.0 + i);
    EXPECT_DOUBLE_EQ(TStatistics::Percentile(ad, 10), 32.0);
    EXPECT_DOUBLE_EQ(TStatistics::Percentile(ad, 50), 40.0);
    EXPECT_DOUBLE_EQ(TStatistics::Percentile(ad, 90), 48.0);
    EXPECT_DOUBLE_EQ(TStatistics::Percentile(ad, 100), 50.0);
    std::vector<double> adOne{47.3};
    EXPECT_DOUBLE_EQ(TStatistics::Percentile(adOne, 10), 47.3);
    std::vector<double> adNone;
    EXPECT_TRUE(std::isnan(TStatistics::Percentile(adNone, 50)));

    // Two classes of two values each: the lower one is the most frequent.
    const TStatDistribution dist = TStatistics::Distribution({52.1, 38.4, 52.7, 38.0});
    EXPECT_DOUBLE_EQ(dist.dModeClass, 38.0);
    const TStatDistribution empty = TStatistics::Distribution({0.0, dNone});
    EXPECT_EQ(empty.nValues, 0);
    EXPECT_TRUE(empty.anCount.empty());
    EXPECT_TRUE(std::isnan(empty.dMedian));
    EXPECT_TRUE(std::isnan(empty.Cumulative(40)));
}

// --- the day files of a fortnight ---------------------------------------------------------

TEST(TStatistics, Compute_AFortnightGivesTheTypicalDayTheCarpetAndThePartsByHand)
{
    TDayDir dir;
    ASSERT_TRUE(dir.IsValid());
    WriteFortnight(dir, QStringLiteral("A"));
    const TTQMonitor mon = TDayDir::Mon("A", "North");
    const std::vector<TStatMonitor> a = Fortnight(dir, mon, nullptr);
    ASSERT_EQ(a.size(), 1u);
    const TStatMonitor& sm = a.front();
    EXPECT_TRUE(sm.bParamColumn);
    EXPECT_TRUE(sm.bLAeqColumn);
    EXPECT_EQ(sm.nDaysRead, 14);

    // Constant hourly levels give themselves, with no spread.
    for (int h : {0, 7, 12, 23}) {
        const TStatHour& wd = sm.aaTypical[sdWeekdays][size_t(h)];
        EXPECT_EQ(Round1(wd.dLevel), 40.0 + h) << h;
        EXPECT_DOUBLE_EQ(wd.dP10, 40.0 + h) << h;
        EXPECT_DOUBLE_EQ(wd.dP90, 40.0 + h) << h;
        EXPECT_EQ(wd.nDays, 10) << h;
        const TStatHour& we = sm.aaTypical[sdWeekends][size_t(h)];
        EXPECT_DOUBLE_EQ(Round1(we.dLevel), 60.0) << h;
        EXPECT_EQ(we.nDays, 4) << h;
    }
    // 08:00 on the ten weekdays: eight at 48, then 50 and 60 on the two Mondays.
    const TStatHour& at8 = sm.aaTypical[sdWeekdays][8];
    EXPECT_DOUBLE_EQ(at8.dLevel, EnergyMean({48, 48, 48, 48, 48, 48, 48, 48, 50, 60}));
    EXPECT_DOUBLE_EQ(at8.dP10, 48.0); // rank 1 of 10
    EXPECT_DOUBLE_EQ(at8.dP90, 50.0); // rank 9 of 10

    // The carpet: Monday 08:00 from its two days, the other cells their one level.
    EXPECT_DOUBLE_EQ(sm.aadCarpet[0][8], EnergyMean({50, 60}));
    EXPECT_EQ(Round1(sm.aadCarpet[0][8]), 57.4);
    EXPECT_EQ(Round1(sm.aadCarpet[1][8]), 48.0);
    EXPECT_EQ(Round1(sm.aadCarpet[4][23]), 63.0);
    EXPECT_EQ(Round1(sm.aadCarpet[5][3]), 60.0);
    EXPECT_EQ(Round1(sm.aadCarpet[6][15]), 60.0);

    // LAF90 per part over 14 days: 12 day hours, 4 evening hours, 8 night hours each.
    EXPECT_EQ(sm.aParts[rpDay].nValues, 14 * 12);
    EXPECT_EQ(sm.aParts[rpEvening].nValues, 14 * 4);
    EXPECT_EQ(sm.aParts[rpNight].nValues, 14 * 8);
    EXPECT_DOUBLE_EQ(sm.aParts[rpDay].dMedian, 30.0);
    EXPECT_DOUBLE_EQ(sm.aParts[rpEvening].dP10, 28.0);
    EXPECT_DOUBLE_EQ(sm.aParts[rpNight].dModeClass, 25.0);
}

TEST(TStatistics, Compute_ExcludedPeriodsAreLeftOutOfTheParameterTheyCover)
{
    TDayDir dir;
    ASSERT_TRUE(dir.IsValid());
    WriteFortnight(dir, QStringLiteral("A"));
    const TTQMonitor mon = TDayDir::Mon("A", "North");
    // The second Monday's 08:00 hour for LAeq alone, and all of Tuesday 2 June 07-09.
    TExclusions excl;
    excl.SetLogin(QStringLiteral("anna"));
    excl.SetClock([] { return QDateTime(QDate(2026, 6, 20), QTime(9, 0)); });
    QString sError;
    ASSERT_TRUE(excl.LoadText(QStringLiteral("id,monitor,from,to,covers,reason,comment,author,created,withdrawn,"
                                             "withdrawn by\n"
                                             "1,A,2026-06-08 08:00:00,2026-06-08 09:00:00,LAeq,works,,anna,"
                                             "2026-06-20 09:00:00,,\n"
                                             "2,*,2026-06-02 07:00:00,2026-06-02 09:00:00,all,rain,,anna,"
                                             "2026-06-20 09:00:00,,\n"),
                              QString(), sError))
        << qPrintable(sError);
    const TStatMonitor sm = Fortnight(dir, mon, &excl).front();
    // Monday 08:00 keeps only the first week's 50 dB.
    EXPECT_DOUBLE_EQ(sm.aadCarpet[0][8], 50.0);
    // The weekdays' 08:00: the second Monday and the first Tuesday are gone.
    const TStatHour& at8 = sm.aaTypical[sdWeekdays][8];
    EXPECT_EQ(at8.nDays, 8);
    EXPECT_DOUBLE_EQ(at8.dLevel, EnergyMean({48, 48, 48, 48, 48, 48, 48, 50}));
    EXPECT_EQ(sm.aaTypical[sdWeekdays][7].nDays, 9);
    EXPECT_EQ(Round1(sm.aadCarpet[1][7]), 47.0);
    // LAF90: only Tuesday's two day hours are gone.
    EXPECT_EQ(sm.aParts[rpDay].nValues, 14 * 12 - 2);
    EXPECT_EQ(sm.aParts[rpNight].nValues, 14 * 8);
    // Without the list the figures are the raw ones.
    EXPECT_EQ(Fortnight(dir, mon, nullptr).front().aParts[rpDay].nValues, 14 * 12);
}

TEST(TStatistics, Compute_MissingParameterNoDataOneDayAndAPipeAreToldApart)
{
    TDayDir dir;
    ASSERT_TRUE(dir.IsValid());
    WriteFortnight(dir, QStringLiteral("A"));
    const TTQMonitor monA = TDayDir::Mon("A", "North");
    const TTQMonitor monB = TDayDir::Mon("B", "Empty");
    const std::vector<TStatMonitor> a =
        TStatistics::Compute(TRatingSettings(), QStringLiteral("LAF95"), dir.DataPath(),
                             TMonitorSel{&monA, &monB}, dtMonday, dtMonday.addDays(13), 60, nullptr);
    ASSERT_EQ(a.size(), 2u);
    EXPECT_FALSE(a[0].bParamColumn);
    EXPECT_EQ(a[0].aParts[rpDay].nValues, 0);
    EXPECT_EQ(TStatFill::Lack(a[0], true), QStringLiteral("The day files have no LAF95 column"));
    // The LAeq figures do not depend on the parameter.
    EXPECT_EQ(TStatFill::Lack(a[0], false), QString());
    EXPECT_EQ(Round1(a[0].aaTypical[sdWeekdays][3].dLevel), 43.0);
    EXPECT_EQ(a[1].nDaysRead, 0);
    EXPECT_EQ(TStatFill::Lack(a[1], true), QStringLiteral("No periodic day file in the range"));
    EXPECT_EQ(TStatFill::Lack(a[1], false), QStringLiteral("No periodic day file in the range"));

    // A range of one day; a pipe in place of the next day's file counts as missing.
    const QDate dtPipe = dtMonday.addDays(14);
    dir.Write(QStringLiteral("A"), dtPipe, "per-15-0060.csv", QString());
    const QString sPipe = dir.DataPath() + QStringLiteral("A/2026-06/per-15-0060.csv");
    ASSERT_TRUE(QFile::remove(sPipe));
    ASSERT_TRUE(MakeFifo(sPipe));
    const std::vector<TStatMonitor> aPipe = WithinTimeLimit(sPipe, [&] {
        return TStatistics::Compute(TRatingSettings(), QStringLiteral("LAF90"), dir.DataPath(),
                                    TMonitorSel{&monA}, dtPipe, dtPipe, 60, nullptr);
    });
    EXPECT_EQ(aPipe.front().nDaysRead, 0);
    const TStatMonitor one = TStatistics::Compute(TRatingSettings(), QStringLiteral("LAF90"), dir.DataPath(),
                                                  TMonitorSel{&monA}, dtMonday, dtMonday, 60, nullptr)
                                 .front();
    EXPECT_EQ(one.nDaysRead, 1);
    EXPECT_EQ(one.aaTypical[sdWeekends][0].nDays, 0);
    EXPECT_TRUE(std::isnan(one.aaTypical[sdWeekends][0].dLevel));
    EXPECT_DOUBLE_EQ(one.aadCarpet[0][8], 50.0);
    EXPECT_TRUE(std::isnan(one.aadCarpet[1][8]));
}

// --- the tables ---------------------------------------------------------------------------

TEST(TStatFill, Tables_RowsPerMonitorCountedByHandAndALackingMonitorSaysWhy)
{
    TDayDir dir;
    ASSERT_TRUE(dir.IsValid());
    WriteFortnight(dir, QStringLiteral("A"));
    const TTQMonitor monA = TDayDir::Mon("A", "North");
    const TTQMonitor monB = TDayDir::Mon("B", "Empty");
    const TMonitorSel aMons{&monA, &monB};
    const std::vector<TStatMonitor> a = TStatistics::Compute(
        TRatingSettings(), QStringLiteral("LAF90"), dir.DataPath(), aMons, dtMonday, dtMonday.addDays(13), 60, nullptr);

    TStringGrid grid;
    TStatFill::FillBackground(grid, aMons, a);
    // North: title, blank, heading, unit, classes 25 to 30 (6 rows), periods, most
    // frequent, median, 10th percentile, two spacing rows = 16; Empty: title, blank,
    // the line, two spacing rows = 5; one row after the last block.
    EXPECT_EQ(grid.RowCount(), 16 + 5 + 1);
    EXPECT_EQ(grid.Cells(0, 0), QStringLiteral("~name~North"));
    EXPECT_EQ(grid.Cells(0, 4), QStringLiteral("25-26"));
    EXPECT_EQ(grid.Cells(TStatFill::ColPart + 2 * rpNight, 4), QStringLiteral("112"));
    EXPECT_EQ(grid.Cells(TStatFill::ColPart + 2 * rpNight + 1, 4), QStringLiteral("100.0"));
    EXPECT_EQ(grid.Cells(TStatFill::ColPart + 2 * rpDay, 4), QStringLiteral("0"));
    EXPECT_EQ(grid.Cells(TStatFill::ColPart + 2 * rpDay + 1, 4), QStringLiteral("0.0"));
    EXPECT_EQ(grid.Cells(0, 9), QStringLiteral("30-31"));
    EXPECT_EQ(grid.Cells(TStatFill::ColPart + 2 * rpDay, 9), QStringLiteral("168"));
    EXPECT_EQ(grid.Cells(0, 10), QStringLiteral("~h~Periods"));
    EXPECT_EQ(grid.Cells(TStatFill::ColPart + 2 * rpEvening, 10), QStringLiteral("56"));
    EXPECT_EQ(grid.Cells(TStatFill::ColPart + 2 * rpEvening, 11), QStringLiteral("28-29"));
    EXPECT_EQ(grid.Cells(TStatFill::ColPart + 2 * rpDay, 12), QStringLiteral("30.0"));
    EXPECT_EQ(grid.Cells(TStatFill::ColPart + 2 * rpNight, 13), QStringLiteral("25.0"));
    EXPECT_EQ(grid.Cells(0, 16), QStringLiteral("~name~Empty"));
    EXPECT_EQ(grid.Cells(0, 18), QStringLiteral("No periodic day file in the range"));

    TStatFill::FillHours(grid, aMons, a);
    // North: title, blank, heading, unit, 24 hours, two spacing rows = 30; Empty 5.
    EXPECT_EQ(grid.RowCount(), 30 + 5 + 1);
    EXPECT_EQ(grid.Cells(TStatFill::ColCarpet, 2), QStringLiteral("~h~Mon"));
    EXPECT_EQ(grid.Cells(TStatFill::ColCarpet + 6, 2), QStringLiteral("~h~Sun"));
    EXPECT_EQ(grid.Cells(0, 4 + 8), QStringLiteral("08:00"));
    EXPECT_EQ(grid.Cells(TStatFill::ColCarpet, 4 + 8), QStringLiteral("57.4"));
    EXPECT_EQ(grid.Cells(TStatFill::ColTypical + 1, 4 + 8), QStringLiteral("48.0"));
    EXPECT_EQ(grid.Cells(TStatFill::ColTypical + 2, 4 + 8), QStringLiteral("50.0"));
    EXPECT_EQ(grid.Cells(TStatFill::ColTypical + 3, 4 + 8), QStringLiteral("60.0"));
    EXPECT_EQ(grid.Cells(0, 30 + 2), QStringLiteral("No periodic day file in the range"));
}
