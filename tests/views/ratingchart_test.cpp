#include "chartfixture.h"

#include "views/ratingchart.h"

#include <algorithm>
#include <cmath>

namespace {
const QDate dt1(2024, 3, 5);

// 60-minute records at dLevel; the hours in anMissing carry "-".
QByteArray PerDay(double dLevel, std::initializer_list<int> anMissing = {})
{
    QByteArray ba = ".Time,LAeq,LAF10\r\n";
    for (int h = 0; h < 24; ++h) {
        const bool bMissing = std::find(anMissing.begin(), anMissing.end(), h) != anMissing.end();
        ba += QByteArray::number(h).rightJustified(2, '0') + ":00:00," +
              (bMissing ? QByteArray("-") : QByteArray::number(dLevel, 'f', 1)) + ",99.0\r\n";
    }
    return ba;
}

class TRatingChartTest : public TChartTest
{
protected:
    std::unique_ptr<TRatingChart> Plot(const QDate& dtFrom, const QDate& dtTo)
    {
        auto chart = std::make_unique<TRatingChart>(*cfg);
        chart->SetMonitorID(sID);
        chart->PlotPeriod(dtFrom, dtTo, 60);
        return chart;
    }

    static bool InLegend(const QCustomPlot& chart, const QString& sName)
    {
        for (int i = 0; i < chart.legend->itemCount(); ++i)
            if (auto* item = qobject_cast<QCPPlottableLegendItem*>(chart.legend->item(i)))
                if (item->plottable()->name() == sName)
                    return true;
        return false;
    }
};
} // namespace

TEST_F(TRatingChartTest, PlotPeriod_OnePointPerDayGapsForMissingDaysRingsForLowCoverage)
{
    WritePer(dt1, 60, PerDay(60));
    // Day 3 misses half its night (00-03 of its eight hours): Lnight and Lden are low.
    WritePer(dt1.addDays(2), 60, PerDay(50, {0, 1, 2, 3}));
    auto chart = Plot(dt1, dt1.addDays(2));
    ASSERT_EQ(chart->PointCount(), 3);
    EXPECT_EQ(chart->graph(TRatingChart::SeriesLden)->name(), QStringLiteral("Lden"));
    EXPECT_EQ(chart->Label(0), QStringLiteral("2024-03-05"));
    EXPECT_EQ(chart->Label(2), QStringLiteral("2024-03-07"));
    EXPECT_NEAR(chart->Value(TRatingChart::SeriesLden, 0), 66.4, 0.05);
    EXPECT_DOUBLE_EQ(chart->Value(1, 0), 60.0); // Lday
    EXPECT_DOUBLE_EQ(chart->Value(3, 2), 50.0); // Lnight of the short night
    // The day without a file is a gap in every line, not a zero.
    for (int k = 0; k < 4; ++k)
        EXPECT_TRUE(std::isnan(chart->Value(k, 1))) << k;

    // Rings on Lden and Lnight of day 3, and a legend entry that says what they are.
    const QCPGraph* rings = chart->graph(TRatingChart::SeriesLow);
    ASSERT_EQ(rings->dataCount(), 2);
    for (auto it = rings->data()->constBegin(); it != rings->data()->constEnd(); ++it)
        EXPECT_DOUBLE_EQ(it->key, 2.0);
    EXPECT_TRUE(InLegend(*chart, QStringLiteral("Low coverage")));

    // Limits are off by default: no lines; levels from 50 to 66.4.
    EXPECT_EQ(chart->graphCount(), 5);
    EXPECT_DOUBLE_EQ(chart->LeftMin(), 50);
    EXPECT_DOUBLE_EQ(chart->LeftMax(), 70);
}

TEST_F(TRatingChartTest, PlotPeriod_LimitsAreLinesAcrossEveryDayAndWidenTheLevelRange)
{
    cfg->SetRatingLdenLimitOn(true);
    cfg->SetRatingLdenLimit(55);
    cfg->SetRatingNightLimitOn(true);
    cfg->SetRatingNightLimit(38);
    WritePer(dt1, 60, PerDay(60));
    WritePer(dt1.addDays(1), 60, PerDay(61));
    auto chart = Plot(dt1, dt1.addDays(1));
    ASSERT_EQ(chart->graphCount(), 7);
    EXPECT_FALSE(InLegend(*chart, QStringLiteral("Low coverage")));
    const QCPGraph* night = chart->graph(6);
    EXPECT_EQ(night->name(), QStringLiteral("Lnight limit 38 dB"));
    ASSERT_EQ(night->dataCount(), 2);
    EXPECT_DOUBLE_EQ(night->data()->at(0)->key, -0.5);
    EXPECT_DOUBLE_EQ(night->data()->at(1)->key, 1.5);
    EXPECT_DOUBLE_EQ(night->data()->at(1)->value, 38.0);
    // The night limit below every level pulls the axis down to 30.
    EXPECT_DOUBLE_EQ(chart->LeftMin(), 30);
}

TEST_F(TRatingChartTest, BottomRange_HalfADayOfRoomEitherSideAfterZoomAndPan)
{
    for (int i = 0; i < 10; ++i)
        WritePer(dt1.addDays(i), 60, PerDay(55));
    auto chart = Plot(dt1, dt1.addDays(9));
    Layout(*chart, 800, 320);
    EXPECT_DOUBLE_EQ(chart->BottomMin(), -0.5);
    EXPECT_DOUBLE_EQ(chart->BottomMax(), 9.5);

    // Panned left past the first day, the axis comes back to its start, keeping its width.
    chart->SetBottomRange(2, 5);
    const QRect rc = chart->axisRect()->rect();
    const QPoint ptLeft(rc.left() + 10, rc.center().y());
    const QPoint ptRight(rc.right() - 10, rc.center().y());
    Drag(*chart, Qt::RightButton, ptLeft, ptRight);
    EXPECT_DOUBLE_EQ(chart->BottomMin(), -0.5);
    EXPECT_DOUBLE_EQ(chart->BottomMax(), 2.5);
    // And past the last day to the end.
    chart->SetBottomRange(6, 9);
    Drag(*chart, Qt::RightButton, ptRight, ptLeft);
    EXPECT_DOUBLE_EQ(chart->BottomMax(), 9.5);
    EXPECT_DOUBLE_EQ(chart->BottomMin(), 6.5);

    chart->UndoZoom();
    EXPECT_DOUBLE_EQ(chart->BottomMin(), -0.5);
    EXPECT_DOUBLE_EQ(chart->BottomMax(), 9.5);
}

// Regression: over a year on a 120-pixel chart the level axis showed only "40", and the
// points of the four lines (5 pixels a day, rings of 11) merged into one blot that hid
// the lines.
TEST_F(TRatingChartTest, LowAndLong_ReadableScaleAndPointsThatLeaveTheLinesInSight)
{
    const QDate dtLast = dt1.addDays(199);
    for (QDate d = dt1; d <= dtLast; d = d.addDays(1))
        WritePer(d, 60, PerDay(48 + d.day() % 20, d.day() == 9 ? std::initializer_list<int>{0, 1, 2, 3}
                                                             : std::initializer_list<int>{}));
    auto chart = Plot(dt1, dtLast);
    ASSERT_EQ(chart->PointCount(), 200);
    ASSERT_GT(chart->graph(TRatingChart::SeriesLow)->dataCount(), 0);
    for (int nHeight : {120, 160, 320}) {
        Layout(*chart, 700, nHeight);
        ExpectReadableLeftLabels(*chart, "summary");
        // Regression: at 120 px the layout squeezed the legend's row and cut its text.
        EXPECT_GE(chart->legend->outerRect().height(), chart->legend->minimumOuterSizeHint().height())
            << "the legend whole at " << nHeight;
        const double dPitch = chart->axisRect()->width() / chart->xAxis->range().size();
        const QCPScatterStyle point = chart->graph(TRatingChart::SeriesLden)->scatterStyle();
        EXPECT_TRUE(point.isNone() || point.size() < dPitch) << "a point within its day at " << nHeight;
        const QCPScatterStyle ring = chart->graph(TRatingChart::SeriesLow)->scatterStyle();
        EXPECT_FALSE(ring.isNone()) << "low coverage stays marked";
        // A sixth of the plot, but never under 5 px, the least a ring can be seen at.
        EXPECT_LE(ring.size(), std::max(5.0, chart->axisRect()->height() / 6.0)) << nHeight;
    }
    // A week at the export's size keeps the points and rings as they were.
    auto chartWeek = Plot(dt1, dt1.addDays(6));
    Layout(*chartWeek, 800, 320);
    EXPECT_EQ(chartWeek->graph(TRatingChart::SeriesLden)->scatterStyle().size(), 5);
    EXPECT_EQ(chartWeek->graph(TRatingChart::SeriesLow)->scatterStyle().size(), 11);
}
