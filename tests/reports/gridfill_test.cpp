#include "reports/gridfill.h"

#include "settings/cfg.h"
#include "reports/stringgrid.h"

#include "reports/gridfill_daydir.h"

#include <gtest/gtest.h>

#include <string>

namespace {
const QDate d7{2024, 3, 7};
const QDate d8 = d7.addDays(1);
const QDate d9 = d7.addDays(2);
const char* const pszPerHeader = ".Time,LAeq,LAFmin,LAFmax,LAF10,LAF90";

class TGridFillTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.IsValid());
        ASSERT_TRUE(cfgDir.isValid());
    }

    // A row's cells joined by "|".
    std::string Row(int nRow) const
    {
        QStringList sl;
        for (int c = 0; c < grid.ColCount(); ++c)
            sl << grid.Cells(c, nRow);
        return sl.join(u'|').toStdString();
    }
    std::string Cell(int nCol, int nRow) const { return grid.Cells(nCol, nRow).toStdString(); }

    void PerTable(const TMonitorSel& aMons, const QDate& dtTo)
    {
        TGridFill::FillPerTable(grid, cfg, dir.DataPath(), aMons, d7, dtTo, 60);
    }
    void AlmTable(const TMonitorSel& aMons, const QDate& dtTo, int nPeriod)
    {
        TGridFill::FillAlmTable(grid, dir.DataPath(), aMons, d7, dtTo, nPeriod);
    }

    TDayDir dir;
    QTemporaryDir cfgDir;
    TCfg cfg{cfgDir.path()};
    TStringGrid grid;
    const TTQMonitor monA = TDayDir::Mon("M01", "North Gate");
    const TTQMonitor monB = TDayDir::Mon("M02", "East Fence");
    const TTQMonitor monC = TDayDir::Mon("M03", "West Yard");
};
} // namespace

TEST_F(TGridFillTest, NoMonitor_OneEmptyRowInEveryGrid)
{
    PerTable({}, d7);
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(Row(0), "|||||");
    AlmTable({}, d7, 60);
    EXPECT_EQ(grid.RowCount(), 1);
    TGridFill::FillAlmList(grid, dir.DataPath(), {}, d7, d7);
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(Row(0), "||");
}

// ---- Periodic table -------------------------------------------------------------

TEST_F(TGridFillTest, PerTable_CompleteDay)
{
    dir.Write(monA.sID, d7, "per-07-0060.csv", TDayDir::FullDay60(pszPerHeader));
    PerTable({&monA}, d7);
    EXPECT_EQ(grid.ColCount(), 6);
    EXPECT_EQ(grid.RowCount(), 28);
    EXPECT_EQ(Row(0), "~name~North Gate|||||");
    EXPECT_EQ(Row(1), "|||||");
    EXPECT_EQ(Row(2), "~h~Date|~h~.Time|~h~LAeq|~h~LAFmax|~h~LAF10|~h~LAF90"); // LAFmin not selected
    EXPECT_EQ(Row(3), "||^dB(A)|^dB(A)|^dB(A)|^dB(A)");
    EXPECT_EQ(Row(4), "2024-03-07|00:00:00|51.0|53.0|54.0|55.0");
    EXPECT_EQ(Row(27), "2024-03-07|23:00:00|51.3|53.3|54.3|55.3");
    EXPECT_EQ(grid.DefaultColWidth(), 60);
    EXPECT_EQ(grid.ColWidth(0), 80);
    EXPECT_EQ(grid.ColWidth(1), 80);
    EXPECT_EQ(grid.ColWidth(5), 60);
}

// The values of the periods an exclusion overlaps by a second or more are marked with
// its reasons, parameter by parameter; the date and time columns, values of "-" and
// the periods around stay plain. Each record row knows its monitor and period.
TEST_F(TGridFillTest, PerTable_ExcludedValuesMarkedPerParameterWithTheirReasons)
{
    dir.Write(monA.sID, d7, "per-07-0060.csv", TDayDir::FullDay60(pszPerHeader));
    QStringList slAsked;
    const TExcludedOn fn = [&](const QString& sID, const QString& sParam, const QDate& dt) {
        slAsked << sID + u' ' + sParam + u' ' + dt.toString(Qt::ISODate);
        std::vector<TDayExclusion> a;
        // 02:59:59-03:00:01 touches hours 2 and 3; 05:00-06:00 is hour 5 alone.
        a.push_back({2 * 3600 + 3599, 3 * 3600 + 1, QStringLiteral("rain")});
        if (sParam == QLatin1String("LAF90"))
            a.push_back({5 * 3600, 6 * 3600, QStringLiteral("works, fault")});
        return a;
    };
    std::vector<TRowPeriod> aRows;
    TGridFill::FillPerTable(grid, cfg, dir.DataPath(), {&monA}, d7, d7, 60, fn, &aRows);
    // Row 4 is 00:00; the time column is asked about by no one.
    EXPECT_FALSE(slAsked.contains(QStringLiteral("M01 .Time 2024-03-07")));
    EXPECT_TRUE(slAsked.contains(QStringLiteral("M01 LAF90 2024-03-07")));
    EXPECT_EQ(Row(5), "2024-03-07|01:00:00|51.1|53.1|54.1|55.1");
    EXPECT_EQ(Row(6), "2024-03-07|02:00:00|~x=rain~51.2|~x=rain~53.2|~x=rain~54.2|~x=rain~55.2");
    EXPECT_EQ(Row(7), "2024-03-07|03:00:00|~x=rain~51.3|~x=rain~53.3|~x=rain~54.3|~x=rain~55.3");
    EXPECT_EQ(Row(8), "2024-03-07|04:00:00|51.4|53.4|54.4|55.4");
    EXPECT_EQ(Row(9), "2024-03-07|05:00:00|51.5|53.5|54.5|~x=works, fault~55.5");
    EXPECT_EQ(Row(10), "2024-03-07|06:00:00|51.6|53.6|54.6|55.6");
    ASSERT_EQ(aRows.size(), 28U);
    EXPECT_EQ(aRows[3].nStart, -1);
    EXPECT_EQ(aRows[9].sID, QStringLiteral("M01"));
    EXPECT_EQ(aRows[9].nStart, d7.toJulianDay() * 86400 + 5 * 3600);
}

TEST_F(TGridFillTest, PerTable_ShownFieldsInEachFilesOrder)
{
    for (const QString& s : MeasurementParams())
        cfg.SetPerParam(s, s == QStringLiteral("LAeq"));
    dir.Write(monA.sID, d7, "per-07-0060.csv", QStringLiteral(".Time,LAFmax,LAeq\n01:00:00,70.1,-"));
    dir.Write(monA.sID, d9, "per-09-0060.csv", QStringLiteral("laeq,.Time\n-3,02:00:00"));
    PerTable({&monA}, d9);
    EXPECT_EQ(grid.ColCount(), 3);
    EXPECT_EQ(Row(2), "~h~Date|~h~.Time|~h~LAeq");
    EXPECT_EQ(Row(3), "||^dB(A)");
    EXPECT_EQ(Row(4), "2024-03-07|01:00:00|"); // "-" leaves the cell empty
    // The 8th has no file and adds no row; the 9th fills the columns in its own
    // field order under the headings of the 7th, and keeps its negative value.
    EXPECT_EQ(Row(5), "2024-03-09|-3|02:00:00");
    EXPECT_EQ(grid.RowCount(), 6);
}

TEST_F(TGridFillTest, PerTable_MonitorBlocks)
{
    dir.Write(monA.sID, d7, "per-07-0060.csv", TDayDir::FullDay60(pszPerHeader));
    dir.Write(monB.sID, d7, "per-07-0060.csv", QLatin1String(pszPerHeader));
    // C has no file: only its two spacing rows count. B has a header only: its title
    // and headings lie beyond the last data row, so beyond the row count.
    PerTable({&monC, &monA, &monB}, d7);
    EXPECT_EQ(Row(0), "|||||");
    EXPECT_EQ(Cell(0, 2), "~name~North Gate");
    EXPECT_EQ(Cell(1, 29), "23:00:00");
    EXPECT_EQ(grid.RowCount(), 30);
    EXPECT_EQ(Row(30), "|||||");
    EXPECT_EQ(Row(31), "|||||");
    EXPECT_EQ(Cell(0, 32), "~name~East Fence");
    EXPECT_EQ(Cell(5, 34), "~h~LAF90");
}

// ---- Alarm table ----------------------------------------------------------------

TEST_F(TGridFillTest, AlmTable_DayWithoutFile)
{
    AlmTable({&monA, &monB}, d7, 60);
    EXPECT_EQ(grid.ColCount(), 3);
    EXPECT_EQ(grid.DefaultColWidth(), 100);
    EXPECT_EQ(Row(0), "~name~North Gate||");
    EXPECT_EQ(Row(1), "||");
    EXPECT_EQ(Row(2), "~h~Date|~h~Time|~h~Alarms");
    EXPECT_EQ(Row(3), "2024-03-07|00:00:00|0");
    EXPECT_EQ(Row(26), "2024-03-07|23:00:00|0");
    EXPECT_EQ(Row(27), "||");
    EXPECT_EQ(Cell(0, 29), "~name~East Fence");
    EXPECT_EQ(grid.RowCount(), 58);
}

TEST_F(TGridFillTest, AlmTable_PeriodBoundaries)
{
    // The blank after 10:29:59 ends the field.
    dir.Write(monA.sID, d7, "alm-07.csv",
              QStringLiteral("Time,Level\n10:14:59,80.1\n10:15:00,81\n10:29:59 ,82\n10:30:00,83"));
    AlmTable({&monA}, d7, 15);
    EXPECT_EQ(grid.RowCount(), 3 + 96 + 2);
    EXPECT_EQ(Row(3 + 39), "2024-03-07|09:45:00|0");
    EXPECT_EQ(Row(3 + 40), "2024-03-07|10:00:00|^1");
    EXPECT_EQ(Row(3 + 41), "2024-03-07|10:15:00|^2");
    EXPECT_EQ(Row(3 + 42), "2024-03-07|10:30:00|^1");
}

// Regression: an unreadable time (-1 seconds) and a small negative one truncated to
// period 0, and a larger negative one indexed before the count array.
TEST_F(TGridFillTest, AlmTable_TimesOutsideTheDayNotCounted)
{
    dir.Write(monA.sID, d7, "alm-07.csv",
              QStringLiteral("Time\n24:00:00\n25:10:00\nab:00:00\n12:00\n00:-5:00\n-01:00:00\n23:59:59"));
    AlmTable({&monA}, d7, 60);
    for (int r = 3; r < 26; ++r)
        EXPECT_EQ(Cell(2, r), "0") << "row " << r;
    EXPECT_EQ(Cell(2, 26), "^1");
}

TEST_F(TGridFillTest, AlmTable_SevenMinutePeriodsOverTwoDays)
{
    dir.Write(monA.sID, d7, "alm-07.csv", QStringLiteral("Time\n00:06:59"));
    AlmTable({&monA}, d8, 7);
    EXPECT_EQ(grid.RowCount(), 3 + 2 * 205 + 2);
    EXPECT_EQ(Row(3), "2024-03-07|00:00:00|^1");
    EXPECT_EQ(Row(3 + 204), "2024-03-07|23:48:00|0");
    EXPECT_EQ(Row(3 + 205), "2024-03-08|00:00:00|0"); // counts start afresh each day
}

// Regression: a period length of 0 from a hand-edited settings file divided by zero.
TEST_F(TGridFillTest, AlmTable_PeriodOutOfRangeGivesNoPeriodRows)
{
    dir.Write(monA.sID, d7, "alm-07.csv", QStringLiteral("Time\n00:10:00"));
    for (const int nPeriod : {0, -5, 2000}) {
        AlmTable({&monA}, d7, nPeriod);
        EXPECT_EQ(grid.RowCount(), 5) << nPeriod;
        EXPECT_EQ(Row(2), "~h~Date|~h~Time|~h~Alarms");
    }
}

// ---- Alarm and calibration lists -------------------------------------------------

TEST_F(TGridFillTest, Lists_OneRowPerRecordInFileOrder)
{
    dir.Write(monA.sID, d7, "alm-07.csv", QStringLiteral("Time,Level\n12:00:00,80\n09:00:00,81\n,82"));
    TGridFill::FillAlmList(grid, dir.DataPath(), {&monA}, d7, d7);
    EXPECT_EQ(grid.RowCount(), 9);
    EXPECT_EQ(grid.DefaultColWidth(), 100);
    EXPECT_EQ(Row(0), "~name~North Gate||");
    EXPECT_EQ(Row(2), "~h~.Date|~h~.Time|");
    EXPECT_EQ(Row(3), "2024-03-07|12:00:00|");
    EXPECT_EQ(Row(4), "2024-03-07|09:00:00|");
    EXPECT_EQ(Row(5), "2024-03-07||"); // an empty time still gets its row

    dir.Write(monA.sID, d7, "cal-07.csv", QStringLiteral("Time,Offset\n06:30:00,0.1"));
    TGridFill::FillCalList(grid, dir.DataPath(), {&monA}, d7, d7);
    EXPECT_EQ(grid.RowCount(), 7);
    EXPECT_EQ(Row(3), "2024-03-07|06:30:00|");
}

TEST_F(TGridFillTest, AlmList_MonitorBlocks)
{
    TGridFill::FillAlmList(grid, dir.DataPath(), {&monA}, d7, d9);
    EXPECT_EQ(grid.RowCount(), 6);

    dir.Write(monA.sID, d8, "alm-08.csv", QStringLiteral("Time\n01:00:00"));
    TGridFill::FillAlmList(grid, dir.DataPath(), {&monA, &monB}, d7, d9);
    EXPECT_EQ(Row(3), "2024-03-08|01:00:00|");
    EXPECT_EQ(Cell(0, 6), "~name~East Fence");
    EXPECT_EQ(grid.RowCount(), 12);
}
