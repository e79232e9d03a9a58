#include "chartfixture.h"

#include "views/almchart.h"

#include <cmath>

namespace {
const QDate dt1(2024, 3, 5);

class TAlmChartTest : public TChartTest
{
protected:
    std::unique_ptr<TAlmChart> Plot(int nPeriod, const QDate& dtFrom, const QDate& dtTo)
    {
        cfg->SetRepPerPeriod(nPeriod);
        auto chart = std::make_unique<TAlmChart>(*cfg);
        chart->SetMonitorID(sID);
        chart->PlotPeriod(dtFrom, dtTo);
        return chart;
    }
    static double Total(const TChartBase& chart)
    {
        double d = 0;
        for (int i = 0; i < chart.PointCount(); ++i)
            d += chart.Value(0, i);
        return d;
    }
};
} // namespace

TEST_F(TAlmChartTest, PlotPeriod_AlarmsCountInTheSlotTheirTimeFallsIn)
{
    WriteAlm(dt1, ".Time,Level\r\n00:00:00,80\r\n00:14:59,80\r\n00:15:00,80\r\n"
                  "12:07:30,80\r\n23:59:59,80\r\n24:00:00,80\r\n");
    auto chart = Plot(15, dt1, dt1);
    ASSERT_EQ(chart->PointCount(), 96);
    EXPECT_EQ(chart->Value(0, 0), 2);
    EXPECT_EQ(chart->Value(0, 1), 1);
    EXPECT_EQ(chart->Value(0, 48), 1);
    EXPECT_EQ(chart->Value(0, 95), 1);
    EXPECT_EQ(Total(*chart), 5) << "24:00:00 lies beyond the last slot";
    EXPECT_EQ(chart->Label(95), QStringLiteral("23:45:00\n2024-03-05"));
    EXPECT_EQ(chart->yAxis->range(), QCPRange(0, 3));
}

// Regression: an alarm whose time cannot be read used to be counted in the first
// slot, and a negative time indexed before the counters.
TEST_F(TAlmChartTest, PlotPeriod_UnreadableOrNegativeTimeIsNotCounted)
{
    WriteAlm(dt1, ".Time\n12:0a:00\n12:00\nnoise\n-1:00:00\n01:30:00\n");
    auto chart = Plot(60, dt1, dt1);
    ASSERT_EQ(chart->PointCount(), 24);
    EXPECT_EQ(chart->Value(0, 1), 1);
    EXPECT_EQ(Total(*chart), 1);
}

TEST_F(TAlmChartTest, PlotPeriod_EveryDayGivesItsSlotsWithOrWithoutFile)
{
    WriteAlm(dt1, ".Time\n23:47:59\n23:48:00\n23:55:00\n");
    auto chart = Plot(7, dt1, dt1.addDays(1));
    ASSERT_EQ(chart->PointCount(), 2 * 205);
    EXPECT_EQ(chart->Value(0, 203), 1);
    EXPECT_EQ(chart->Value(0, 204), 1) << "23:55:00 would be slot 205, which does not exist";
    EXPECT_EQ(chart->Label(205), QStringLiteral("00:00:00\n2024-03-06"));

    auto chartEmpty = Plot(15, dt1.addDays(1), dt1.addDays(3));
    EXPECT_EQ(chartEmpty->PointCount(), 3 * 96);
    EXPECT_EQ(Total(*chartEmpty), 0);
    EXPECT_EQ(chartEmpty->yAxis->range(), QCPRange(0, 1));

    auto chartBackwards = Plot(60, dt1, dt1.addDays(-1));
    EXPECT_EQ(chartBackwards->PointCount(), 0);
    EXPECT_EQ(chartBackwards->yAxis->range(), QCPRange(0, 1));
}

TEST_F(TAlmChartTest, CountAxis_TicksAtWholeCountsFewerForLargeCounts)
{
    WriteAlm(dt1, ".Time\n03:00:00\n03:10:00\n03:20:00\n03:59:59\n05:00:00\n");
    auto chart = Plot(60, dt1, dt1);
    Layout(*chart, 800, 320);
    EXPECT_EQ(chart->yAxis->range(), QCPRange(0, 5));
    EXPECT_EQ(chart->yAxis->tickVector(), QVector<double>({0, 1, 2, 3, 4, 5}));

    QByteArray text(".Time\n");
    for (int i = 0; i < 250; ++i)
        text += "10:00:00\n";
    WriteAlm(dt1, text);
    chart = Plot(60, dt1, dt1);
    Layout(*chart, 800, 320);
    const QVector<double> aTicks = chart->yAxis->tickVector();
    EXPECT_GE(aTicks.size(), 3);
    EXPECT_LE(aTicks.size(), 12);
    for (double d : aTicks)
        EXPECT_EQ(d, std::round(d));
}
