#include "monitors/monitor.h"
#include "reports/markup.h"
#include "analysis/ratingfill.h"
#include "reports/stringgrid.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {
constexpr double dNone = std::numeric_limits<double>::quiet_NaN();

// A day of 60-minute periods at dLevel; the hours in anMissing have no value.
TRatingLevels Day(const TRatingSettings& set, const QDate& dt, double dLevel,
                  std::initializer_list<int> anMissing = {})
{
    std::vector<TRatingPeriod> a;
    for (int h = 0; h < 24; ++h)
        if (std::find(anMissing.begin(), anMissing.end(), h) == anMissing.end())
            a.push_back({h * 3600, dLevel});
    TRatingLevels lv = TRating::ComputeDay(set, a, 60);
    lv.dt = dt;
    return lv;
}

// The row whose first cell is s; -1 when there is none.
int RowOf(const TStringGrid& grid, const QString& s, int nFrom = 0)
{
    for (int r = nFrom; r < grid.RowCount(); ++r)
        if (grid.Cells(0, r) == s)
            return r;
    return -1;
}

class TRatingFillTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        monA.sID = QStringLiteral("M1");
        monA.sName = QStringLiteral("North Gate");
        monB.sID = QStringLiteral("M2");
        monB.sName = QStringLiteral("Quarry");
    }

    // Monitor A: a full day of 60 dB, then a day of 50 dB without four of its eight
    // night hours. Monitor B: one day without any file.
    std::vector<TRatingMonitor> Results()
    {
        TRatingMonitor a;
        a.sID = monA.sID;
        a.aDays = {Day(set, QDate(2024, 5, 14), 60), Day(set, QDate(2024, 5, 15), 50, {0, 1, 2, 3})};
        a.range = Day(set, QDate(), 58);
        a.nLdenAbove = 2;
        a.nNightAbove = 1;
        TRatingMonitor b;
        b.sID = monB.sID;
        b.aDays = {Day(set, QDate(2024, 5, 14), 0, {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,
                                                    12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23})};
        b.range = b.aDays.front();
        b.range.dt = QDate();
        return {a, b};
    }

    TRatingSettings set;
    TTQMonitor monA;
    TTQMonitor monB;
    TStringGrid grid;
};
} // namespace

TEST_F(TRatingFillTest, FillSummary_BlocksPerMonitorWithDaysRangeAndMarkedLowCoverage)
{
    TRatingFill::FillSummary(grid, set, {&monA, &monB}, Results());
    ASSERT_EQ(grid.ColCount(), TRatingFill::ColCount);
    EXPECT_EQ(grid.Cells(0, 0), QStringLiteral("~name~North Gate"));
    EXPECT_EQ(grid.Cells(TRatingFill::ColLden, 2), QStringLiteral("~h~Lden"));
    EXPECT_EQ(grid.Cells(TRatingFill::ColLden, 3), QStringLiteral("^dB(A)"));

    const int r1 = RowOf(grid, QStringLiteral("2024-05-14"));
    ASSERT_EQ(r1, 4);
    EXPECT_EQ(grid.Cells(TRatingFill::ColLevel + rpNight, r1), QStringLiteral("60.0"));
    EXPECT_EQ(grid.Cells(TRatingFill::ColLden, r1), QStringLiteral("66.4"));
    EXPECT_EQ(grid.Cells(TRatingFill::ColCoverage + rpNight, r1), QStringLiteral("100.0"));

    // Half the night missing at a 75 % threshold: the night level and Lden keep their
    // values but are greyed, and so is the coverage that explains why.
    const int r2 = r1 + 1;
    EXPECT_EQ(grid.Cells(0, r2), QStringLiteral("2024-05-15"));
    EXPECT_EQ(grid.Cells(TRatingFill::ColLevel + rpDay, r2), QStringLiteral("50.0"));
    EXPECT_EQ(grid.Cells(TRatingFill::ColLevel + rpNight, r2), QStringLiteral("~low~50.0"));
    EXPECT_EQ(grid.Cells(TRatingFill::ColLden, r2), QStringLiteral("~low~56.4"));
    EXPECT_EQ(grid.Cells(TRatingFill::ColCoverage + rpNight, r2), QStringLiteral("~low~50.0"));
    EXPECT_EQ(grid.Cells(TRatingFill::ColCoverage + rpEvening, r2), QStringLiteral("100.0"));
    EXPECT_TRUE(TMarkup::Shown(grid.Cells(TRatingFill::ColLden, r2)).bDim);

    // The range row is emphasised; limits are off, so no limit rows follow it.
    EXPECT_EQ(grid.Cells(0, r2 + 1), QStringLiteral("~h~Range"));
    EXPECT_EQ(grid.Cells(TRatingFill::ColLevel + rpDay, r2 + 1), QStringLiteral("^58.0"));
    EXPECT_EQ(RowOf(grid, QStringLiteral("~h~Limit")), -1);

    // A day without a file: no levels at all, its zero coverage shown and marked.
    const int rB = RowOf(grid, QStringLiteral("~name~Quarry"));
    ASSERT_EQ(rB, r2 + 4);
    const int rB1 = RowOf(grid, QStringLiteral("2024-05-14"), rB);
    ASSERT_GT(rB1, rB);
    for (int c = TRatingFill::ColLevel; c <= TRatingFill::ColLden; ++c)
        EXPECT_TRUE(grid.Cells(c, rB1).isEmpty()) << c;
    EXPECT_EQ(grid.Cells(TRatingFill::ColCoverage + rpDay, rB1), QStringLiteral("~low~0.0"));
    EXPECT_EQ(grid.RowCount(), rB1 + 2 + 2 + 1);
}

TEST_F(TRatingFillTest, FillSummary_LimitRowsOnlyForLimitsThatAreOn)
{
    set.bLdenLimitOn = true;
    set.dLdenLimit = 55;
    TRatingFill::FillSummary(grid, set, {&monA}, {Results().front()});
    const int rLimit = RowOf(grid, QStringLiteral("~h~Limit"));
    ASSERT_GT(rLimit, 0);
    EXPECT_EQ(grid.Cells(0, rLimit - 1), QStringLiteral("~h~Range"));
    EXPECT_EQ(grid.Cells(TRatingFill::ColLden, rLimit), QStringLiteral("55.0"));
    EXPECT_EQ(grid.Cells(0, rLimit + 1), QStringLiteral("~h~Days above"));
    EXPECT_EQ(grid.Cells(TRatingFill::ColLden, rLimit + 1), QStringLiteral("^2"));
    // The night limit is off: nothing under Lnight, although the count was given.
    EXPECT_TRUE(grid.Cells(TRatingFill::ColLevel + rpNight, rLimit).isEmpty());
    EXPECT_TRUE(grid.Cells(TRatingFill::ColLevel + rpNight, rLimit + 1).isEmpty());

    // A refill starts from an empty grid.
    TRatingFill::FillSummary(grid, set, {}, {});
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_TRUE(grid.Cells(0, 0).isEmpty());
}

TEST(TRatingFill, Note_NamesTheCalendarDayHoursPenaltiesAndThreshold)
{
    TRatingSettings set;
    set.anStartHour = {6, 18, 22};
    set.dNightPenalty = 8;
    set.dCoverage = 60;
    const QString s = TRatingFill::Note(set);
    for (const char* psz : {"calendar day of the day file", "Day 06:00-18:00", "evening 18:00-22:00",
                            "night 22:00-06:00", "+5 dB evening", "+8 dB night", "under 60 %"})
        EXPECT_TRUE(s.contains(QLatin1String(psz))) << psz;
    EXPECT_EQ(TRatingFill::Level(dNone), QString());
    EXPECT_EQ(TRatingFill::Level(66.449), QStringLiteral("66.4"));
    EXPECT_EQ(TRatingFill::Percent(2.0 / 3.0), QStringLiteral("66.7"));
}
