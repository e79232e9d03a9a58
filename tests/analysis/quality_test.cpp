#include "analysis/quality.h"
#include "analysis/qualityfill.h"

#include "analysis/exclusions.h"
#include "datafiles/perfile.h"
#include "nonplainfile.h"
#include "reports/gridfill_daydir.h"
#include "reports/stringgrid.h"

#include <QTextStream>

#include <cmath>

#include <gtest/gtest.h>

namespace {
const QDate dtJune1(2024, 6, 1);

QString PerName(const QDate& dt)
{
    return QStringLiteral("per-%1-0060.csv").arg(dt.day(), 2, 10, QLatin1Char('0'));
}

// A 60-minute periodic day whose LAeq reads 50.0 every hour, except "-" in the hours
// [nNoneFrom, nNoneTo).
void WriteDay(const TDayDir& dir, const char* szID, const QDate& dt, int nNoneFrom = 0, int nNoneTo = 0,
              const char* szHeader = ".Time,LAeq,LAF90")
{
    QString s = QLatin1String(szHeader);
    for (int h = 0; h < 24; ++h) {
        const bool bNone = h >= nNoneFrom && h < nNoneTo;
        s += QStringLiteral("\n%1:00:00,%2,40.0").arg(h, 2, 10, QLatin1Char('0')).arg(bNone ? QStringLiteral("-") : QStringLiteral("50.0"));
    }
    dir.Write(QLatin1String(szID), dt, PerName(dt).toLatin1().constData(), s);
}

TQualitySettings Settings()
{
    TQualitySettings set; // day 07-19, evening 19-23, night 23-07, threshold 75 %
    return set;
}

std::vector<TQualityMonitor> Compute(const TDayDir& dir, const TMonitorSel& aMons, const QDate& dtFrom,
                                     const QDate& dtTo, const TExclusions* pExcl = nullptr,
                                     const TQualitySettings& set = Settings())
{
    return TQuality::Compute(set, dir.DataPath(), aMons, dtFrom, dtTo, 60, pExcl);
}

QString GapText(const TQualityGap& g)
{
    return TExclusion::WallText(g.nFrom) + QStringLiteral(" - ") + TExclusion::WallText(g.nTo) +
           QStringLiteral(" ") + TQuality::CauseText(g.nCauses);
}

// The June of the help page's example: three days without a file (the 10th, 11th and
// 20th), "-" on the 5th from 13:00 to 17:00 (four hours), on the 25th at 03:00 (one
// hour, not more than the threshold) and on the 28th from 00:00 to 08:00.
class TQualityMonth : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.IsValid());
        for (int d = 1; d <= 30; ++d) {
            const QDate dt(2024, 6, d);
            if (d == 10 || d == 11 || d == 20)
                continue;
            if (d == 5)
                WriteDay(dir, "7", dt, 13, 17);
            else if (d == 25)
                WriteDay(dir, "7", dt, 3, 4);
            else if (d == 28)
                WriteDay(dir, "7", dt, 0, 8);
            else
                WriteDay(dir, "7", dt);
        }
    }
    TDayDir dir;
    const TTQMonitor mon = TDayDir::Mon("7", "North Gate");
};
} // namespace

// --- a month with missing days and gaps -------------------------------------------------------

TEST_F(TQualityMonth, Compute_CalendarStepsGapsAndPartTotalsCountedByHand)
{
    const auto a = Compute(dir, {&mon}, dtJune1, QDate(2024, 6, 30));
    ASSERT_EQ(a.size(), 1u);
    const TQualityMonitor& qm = a[0];
    ASSERT_EQ(qm.aDays.size(), 30u);

    // 24 full days, the 5th (20/24) and 25th (23/24) at or above 75 %, the 28th
    // (16/24) below it, three days without data.
    int anClass[6] = {};
    for (const TQualityDay& day : qm.aDays)
        ++anClass[int(day.Class(75))];
    EXPECT_EQ(anClass[int(EQualityDay::Full)], 24);
    EXPECT_EQ(anClass[int(EQualityDay::Good)], 2);
    EXPECT_EQ(anClass[int(EQualityDay::Low)], 1);
    EXPECT_EQ(anClass[int(EQualityDay::NoData)], 3);
    EXPECT_EQ(anClass[int(EQualityDay::Excluded)], 0);
    EXPECT_EQ(qm.aDays[4].Class(75), EQualityDay::Good);
    EXPECT_EQ(qm.aDays[27].Class(75), EQualityDay::Low);
    EXPECT_EQ(qm.aDays[9].Class(75), EQualityDay::NoData);
    EXPECT_EQ(qm.aDays[9].eFile, TDayRecords::EFile::Missing);
    EXPECT_EQ(qm.aDays[4].nPresent, 20);
    EXPECT_EQ(qm.aDays[4].Missing(), 4);

    // The two missing days in a row are one gap; the 25th's hour is not listed.
    ASSERT_EQ(qm.aGaps.size(), 4u);
    EXPECT_EQ(GapText(qm.aGaps[0]), QStringLiteral("2024-06-05 13:00:00 - 2024-06-05 17:00:00 no value"));
    EXPECT_EQ(GapText(qm.aGaps[1]), QStringLiteral("2024-06-10 00:00:00 - 2024-06-12 00:00:00 file missing"));
    EXPECT_EQ(GapText(qm.aGaps[2]), QStringLiteral("2024-06-20 00:00:00 - 2024-06-21 00:00:00 file missing"));
    EXPECT_EQ(GapText(qm.aGaps[3]), QStringLiteral("2024-06-28 00:00:00 - 2024-06-28 08:00:00 no value"));
    EXPECT_EQ(TQualityFill::Duration(qm.aGaps[1].Seconds()), QStringLiteral("48:00"));

    // Day part 07-19: 360 expected, less 36 on the missing days, 4 on the 5th and 1
    // (07:00) on the 28th. Evening: 120 less 12. Night: 240 less 24, the 25th's 03:00
    // and seven hours of the 28th.
    const TQualityTotals& t = qm.totals;
    EXPECT_EQ(t.anExpected[rpDay], 360);
    EXPECT_EQ(t.anPresent[rpDay], 319);
    EXPECT_EQ(t.anExpected[rpEvening], 120);
    EXPECT_EQ(t.anPresent[rpEvening], 108);
    EXPECT_EQ(t.anExpected[rpNight], 240);
    EXPECT_EQ(t.anPresent[rpNight], 208);
    EXPECT_EQ(t.Present(), 635);
    EXPECT_NEAR(t.Coverage(rpPartCount), 635.0 / 720.0, 1e-12);
    EXPECT_EQ(t.nDays, 30);
    EXPECT_EQ(t.nDaysWithData, 27);
    EXPECT_EQ(t.nDaysMissing, 3);
}

TEST_F(TQualityMonth, Compute_ThresholdAndLengthRuleOfTheGapList)
{
    // A gap must last longer than the threshold: at 60 minutes the 25th's hour is not
    // one, at 59 it is; at 5 hours only the 8-hour and whole-day gaps remain.
    TQualitySettings set = Settings();
    set.nGapMinutes = 59;
    EXPECT_EQ(Compute(dir, {&mon}, dtJune1, QDate(2024, 6, 30), nullptr, set)[0].aGaps.size(), 5u);
    set.nGapMinutes = 300;
    EXPECT_EQ(Compute(dir, {&mon}, dtJune1, QDate(2024, 6, 30), nullptr, set)[0].aGaps.size(), 3u);
    // A gap at the end of the range ends there, not at the next day with data.
    const auto a = Compute(dir, {&mon}, QDate(2024, 6, 9), QDate(2024, 6, 10));
    ASSERT_EQ(a[0].aGaps.size(), 1u);
    EXPECT_EQ(GapText(a[0].aGaps[0]), QStringLiteral("2024-06-10 00:00:00 - 2024-06-11 00:00:00 file missing"));
}

TEST_F(TQualityMonth, Fill_GridAndCsvCarryTheSameHandCountedFigures)
{
    const TQualitySettings set = Settings();
    const TMonitorSel aMons{&mon};
    const auto a = Compute(dir, aMons, dtJune1, QDate(2024, 6, 30));
    TStringGrid grid;
    TQualityFill::FillQuality(grid, set, aMons, a);
    // Title, blank, totals heading and unit row, then Day, Evening, Night, Whole day.
    EXPECT_EQ(grid.Cells(0, 0), QStringLiteral("~name~North Gate"));
    EXPECT_EQ(grid.Cells(TQualityFill::ColDate, 4), QStringLiteral("Day"));
    EXPECT_EQ(grid.Cells(TQualityFill::ColFile, 4), QStringLiteral("07:00-19:00"));
    EXPECT_EQ(grid.Cells(TQualityFill::ColPresent, 4), QStringLiteral("319"));
    EXPECT_EQ(grid.Cells(TQualityFill::ColCoverage, 4), QStringLiteral("88.6"));
    EXPECT_EQ(grid.Cells(TQualityFill::ColMissing, 7), QStringLiteral("85"));
    // After four day counts and a blank row, the day heading, then the days.
    const int nFirstDay = 4 + 4 + 4 + 1 + 1;
    EXPECT_EQ(grid.Cells(TQualityFill::ColDate, nFirstDay - 1), QStringLiteral("~h~Date"));
    EXPECT_EQ(grid.Cells(TQualityFill::ColClass, nFirstDay), QStringLiteral("full"));
    EXPECT_EQ(grid.Cells(TQualityFill::ColClass, nFirstDay + 4), QStringLiteral("^at or above 75%"));
    EXPECT_EQ(grid.Cells(TQualityFill::ColCoverage, nFirstDay + 27), QStringLiteral("~low~66.7"));
    EXPECT_EQ(grid.Cells(TQualityFill::ColFile, nFirstDay + 9), QStringLiteral("missing"));
    // Blank, gap heading and unit row, four gaps.
    const int nFirstGap = nFirstDay + 30 + 3;
    EXPECT_EQ(grid.Cells(TQualityFill::ColDate, nFirstGap - 2), QStringLiteral("~h~Gap from"));
    EXPECT_EQ(grid.Cells(TQualityFill::ColDate, nFirstGap), QStringLiteral("2024-06-05 13:00"));
    EXPECT_EQ(grid.Cells(TQualityFill::ColGapLength, nFirstGap), QStringLiteral("4:00"));
    EXPECT_EQ(grid.Cells(TQualityFill::ColGapCause, nFirstGap + 3), QStringLiteral("no value"));
    // Blank, calibration heading, "None", two spacing rows and the last empty one.
    EXPECT_EQ(grid.Cells(TQualityFill::ColDate, nFirstGap + 6), QStringLiteral("None"));
    EXPECT_EQ(grid.RowCount(), nFirstGap + 6 + 4);

    QString s;
    QTextStream out(&s);
    TQualityFill::WriteCsv(set, a, out);
    const QStringList sl = s.split(QLatin1Char('\n'));
    // Header and four gaps, blank, header, 30 days and the range row, blank, header and
    // three parts, and the final line end.
    ASSERT_EQ(sl.size(), 5 + 1 + 32 + 1 + 4 + 1);
    EXPECT_EQ(sl[1], QStringLiteral("7,2024-06-05 13:00,2024-06-05 17:00,240,no value"));
    EXPECT_EQ(sl[2], QStringLiteral("7,2024-06-10 00:00,2024-06-12 00:00,2880,file missing"));
    EXPECT_EQ(sl[7 + 27], QStringLiteral("7,2024-06-28,read,24,16,0,8,66.7,below 75%,0,0"));
    EXPECT_EQ(sl[7 + 30], QStringLiteral("7,Range,,720,635,0,85,88.2,,0,0"));
    EXPECT_EQ(sl[41], QStringLiteral("7,Evening,19:00-23:00,120,108,0,12,90.0"));
}

// --- exclusions -------------------------------------------------------------------------------

TEST(TQuality, Compute_AnExcludedStretchIsExcludedNotAGap)
{
    // Fault guarded: an excluded stretch without values listed as a gap and counted
    // against the day's coverage. The 5th has "-" from 10:00 to 14:00, excluded for
    // rain; the 6th has no file and is excluded whole; on the 7th values from 02:00 to
    // 03:00 are excluded (a period is excluded when any of its seconds is: 02:30 to
    // 03:00 takes the 02:00 period).
    TDayDir dir;
    ASSERT_TRUE(dir.IsValid());
    const QDate d5(2024, 6, 5);
    WriteDay(dir, "7", d5, 10, 14);
    WriteDay(dir, "7", d5.addDays(2));
    TExclusions excl;
    QString sError;
    ASSERT_TRUE(excl.LoadText(QStringLiteral("id,monitor,from,to,covers,reason,comment,author,created,withdrawn,withdrawn by\n"
                                             "1,7,2024-06-05 10:00:00,2024-06-05 14:00:00,all,rain,,a,2024-06-08 09:00:00,,\n"
                                             "2,*,2024-06-06 00:00:00,2024-06-07 00:00:00,LAeq,fault,,a,2024-06-08 09:00:00,,\n"
                                             "3,7,2024-06-07 02:30:00,2024-06-07 03:00:00,all,works,,a,2024-06-08 09:00:00,,\n"),
                              QString(), sError))
        << qPrintable(sError);
    const TTQMonitor mon = TDayDir::Mon("7", "North Gate");
    const auto a = Compute(dir, {&mon}, d5, d5.addDays(2), &excl);
    const TQualityMonitor& qm = a[0];
    EXPECT_TRUE(qm.aGaps.empty()) << qPrintable(GapText(qm.aGaps[0]));
    EXPECT_EQ(qm.aDays[0].nExcluded, 4);
    EXPECT_EQ(qm.aDays[0].nPresent, 20);
    EXPECT_EQ(qm.aDays[0].Class(75), EQualityDay::Full);
    EXPECT_TRUE(qm.aDays[0].bExclusions);
    EXPECT_EQ(qm.aDays[1].Class(75), EQualityDay::Excluded);
    EXPECT_EQ(qm.aDays[1].nExcluded, 24);
    EXPECT_EQ(qm.aDays[2].nExcluded, 1);
    EXPECT_EQ(qm.aDays[2].nPresent, 23);
    EXPECT_EQ(qm.totals.Excluded(), 29);
    EXPECT_EQ(qm.totals.nDaysExcluded, 3);
    EXPECT_EQ(qm.totals.Coverage(rpPartCount), 1.0);

    // Without the exclusions, the raw figures: the 5th's hours and the 6th are gaps.
    const auto raw = Compute(dir, {&mon}, d5, d5.addDays(2));
    ASSERT_EQ(raw[0].aGaps.size(), 2u);
    EXPECT_EQ(raw[0].aDays[0].nExcluded, 0);
    EXPECT_EQ(raw[0].aDays[1].Class(75), EQualityDay::NoData);
}

// --- calibration record -------------------------------------------------------------------

TEST(TQuality, Compute_CalibrationFieldsByNameWithNumbersAndTextApart)
{
    // Files of different days name their fields in different orders; a text that is no
    // number stays text (NaN for the chart). Fault guarded: a deviation of -1 taken
    // for the day-file readers' "no number" and left out of the drift.
    TDayDir dir;
    ASSERT_TRUE(dir.IsValid());
    const QDate d1(2024, 6, 3);
    dir.Write(QStringLiteral("7"), d1, "cal-03.csv",
              QStringLiteral(".Time,Level,Deviation,Note\n08:00:00,94.0,-0.2,ok\n14:00:00,n/a,-1,drift?"));
    dir.Write(QStringLiteral("7"), d1.addDays(1), "cal-04.csv", QStringLiteral(".Time,Deviation,Level\n09:30:00,0.3,94.1"));
    const TTQMonitor mon = TDayDir::Mon("7", "North Gate");
    const auto a = Compute(dir, {&mon}, d1, d1.addDays(1));
    const TQualityMonitor& qm = a[0];
    EXPECT_EQ(qm.slCalFields, (QStringList{QStringLiteral("Level"), QStringLiteral("Deviation"), QStringLiteral("Note")}));
    ASSERT_EQ(qm.aCals.size(), 3u);
    EXPECT_EQ(qm.aDays[0].nCalibrations, 2);
    EXPECT_EQ(qm.aCals[0].adValues[1], -0.2);
    EXPECT_TRUE(std::isnan(qm.aCals[0].adValues[2]));
    EXPECT_EQ(qm.aCals[0].slTexts[2], QStringLiteral("ok"));
    EXPECT_TRUE(std::isnan(qm.aCals[1].adValues[0]));
    EXPECT_EQ(qm.aCals[1].slTexts[0], QStringLiteral("n/a"));
    EXPECT_EQ(qm.aCals[1].adValues[1], -1.0);
    EXPECT_EQ(qm.aCals[2].nSecs, 9 * 3600 + 1800);
    EXPECT_EQ(qm.aCals[2].adValues[0], 94.1);
    EXPECT_EQ(qm.aCals[2].adValues[1], 0.3);
    // The file without a Note has an empty text there, not a missing one.
    ASSERT_EQ(qm.aCals[2].slTexts.size(), 3);
    EXPECT_TRUE(qm.aCals[2].slTexts[2].isEmpty());

    // The grid keeps a negative deviation's sign (a leading "-" would show nothing).
    TStringGrid grid;
    TQualityFill::FillQuality(grid, Settings(), {&mon}, a);
    int nRow = -1;
    for (int r = 0; r < grid.RowCount(); ++r)
        if (grid.Cells(TQualityFill::ColCalTime, r) == QStringLiteral("08:00:00"))
            nRow = r;
    ASSERT_GE(nRow, 0);
    EXPECT_EQ(grid.Cells(TQualityFill::ColCalFirst + 1, nRow), QStringLiteral(" -0.2"));
    EXPECT_EQ(grid.Cells(TQualityFill::ColCalFirst + 2, nRow + 1), QStringLiteral("drift?"));

    double d = 0;
    EXPECT_FALSE(TQuality::Number(QStringLiteral("1,5"), d));
    EXPECT_FALSE(TQuality::Number(QStringLiteral("inf"), d));
    EXPECT_TRUE(TQuality::Number(QStringLiteral(" 94.25 "), d));
    EXPECT_EQ(d, 94.25);
}

// --- bad input and short ranges -------------------------------------------------------------

TEST(TQuality, Compute_RefusedFilesLackingColumnsAndMonitorsWithoutData)
{
    // One day each: a pipe in place of the file (not read, never waited on), a file
    // without a LAeq column, and a monitor with no folder at all.
    TDayDir dir;
    ASSERT_TRUE(dir.IsValid());
    const QDate d1(2024, 6, 3);
    WriteDay(dir, "7", d1.addDays(1), 0, 0, ".Time,LAF90,LAFmax");
    WriteDay(dir, "7", d1.addDays(2)); // makes the month folder
    const QString sFifo = TPerFile::FileName(dir.DataPath(), QStringLiteral("7"), d1, 60);
    ASSERT_TRUE(MakeFifo(sFifo));
    const TTQMonitor mon = TDayDir::Mon("7", "North Gate");
    const TTQMonitor none = TDayDir::Mon("9", "Nowhere");
    const auto a = WithinTimeLimit(sFifo, [&] { return Compute(dir, {&mon, &none}, d1, d1.addDays(1)); });
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0].aDays[0].eFile, TDayRecords::EFile::NotRead);
    ASSERT_EQ(a[0].aGaps.size(), 1u);
    EXPECT_EQ(a[0].aGaps[0].nCauses, gcNotRead | gcNoField);
    EXPECT_EQ(TQuality::CauseText(a[0].aGaps[0].nCauses), QStringLiteral("file not read; no LAeq column"));
    EXPECT_EQ(a[0].aGaps[0].Seconds(), 2 * 86400);

    // No data anywhere: every period missing, no coverage, not a crash or a NaN class.
    EXPECT_EQ(a[1].totals.Present(), 0);
    EXPECT_EQ(a[1].totals.nDaysMissing, 2);
    EXPECT_EQ(a[1].totals.Coverage(rpPartCount), 0.0);
    EXPECT_EQ(a[1].aDays[1].Class(75), EQualityDay::NoData);
    ASSERT_EQ(a[1].aGaps.size(), 1u);

    // A range of one day; a period length that is no positive number of minutes.
    EXPECT_EQ(Compute(dir, {&mon}, d1.addDays(2), d1.addDays(2))[0].aDays.size(), 1u);
    EXPECT_TRUE(TQuality::Compute(Settings(), dir.DataPath(), {&mon}, d1, d1, 0, nullptr).empty());
}

TEST(TQuality, Compute_TodayExpectsOnlyThePeriodsThatHaveEnded)
{
    // Fault guarded: the hours still to come today listed as a gap "no record" and
    // pulling today's coverage down. At 10:30 the periods 00:00 to 09:00 have ended.
    TDayDir dir;
    ASSERT_TRUE(dir.IsValid());
    const QDate d1(2024, 6, 3);
    QString s = QStringLiteral(".Time,LAeq");
    for (int h = 0; h < 10; ++h)
        s += QStringLiteral("\n%1:00:00,50.0").arg(h, 2, 10, QLatin1Char('0'));
    dir.Write(QStringLiteral("7"), d1, "per-03-0060.csv", s);
    TQualitySettings set = Settings();
    set.dtNow = QDateTime(d1, QTime(10, 30));
    const TTQMonitor mon = TDayDir::Mon("7", "North Gate");
    const auto a = Compute(dir, {&mon}, d1.addDays(-1), d1.addDays(1), nullptr, set);
    ASSERT_EQ(a[0].aDays.size(), 3u);
    EXPECT_EQ(a[0].aDays[1].nExpected, 10);
    EXPECT_EQ(a[0].aDays[1].Class(75), EQualityDay::Full);
    EXPECT_EQ(a[0].aDays[2].Class(75), EQualityDay::NotDue);
    // Only yesterday, which had no file, is a gap.
    ASSERT_EQ(a[0].aGaps.size(), 1u);
    EXPECT_EQ(a[0].aGaps[0].nTo, TExclusion::Wall(d1, 0));
}
