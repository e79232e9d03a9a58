#include "chartfixture.h"

#include "views/perchart.h"

#include <QFontMetrics>

#include <cmath>

namespace {
const QDate dt1(2024, 3, 5);

class TPerChartTest : public TChartTest
{
protected:
    std::unique_ptr<TPerChart> Plot(const QStringList& slParams, const QDate& dtFrom, const QDate& dtTo,
                                    int nPeriod)
    {
        SelectParams(slParams);
        auto chart = std::make_unique<TPerChart>(*cfg);
        chart->SetMonitorID(sID);
        chart->PlotPeriod(dtFrom, dtTo, nPeriod);
        return chart;
    }
};
} // namespace

TEST_F(TPerChartTest, Series_FixedParameterOrderAndPaletteWhateverTheSelectionOrder)
{
    SelectParams({});
    for (const char* s : {"LAF90", "LAFmax", "LAeq"})
        cfg->SetPerParam(QLatin1String(s), true);
    TPerChart chart(*cfg);
    ASSERT_EQ(chart.SeriesCount(), 3);
    EXPECT_EQ(chart.graph(0)->name(), QStringLiteral("LAeq"));
    EXPECT_EQ(chart.graph(2)->name(), QStringLiteral("LAF90"));
    EXPECT_EQ(chart.graph(1)->pen().color(), QColor(0x008000));
    EXPECT_EQ(chart.graph(2)->pen().color(), QColor(0xFFFF00));
    EXPECT_EQ(chart.Title(), QStringLiteral("DYNAMIC"));
}

// ---- Points, nulls and labels -----------------------------------------------------

TEST_F(TPerChartTest, PlotPeriod_OnePointPerRecordNullsForBadValuesAndMissingColumns)
{
    // No LAF10 column; the columns are found by name, not by position. The record
    // of 03:00 and 04:00 are missing and are not filled in.
    WritePer(dt1, 60,
             ".Time,LAF90,laeq\r\n00:00:00,40.5,55.2\r\n01:00:00,0,180\r\n"
             "02:00:00,179.9,-\r\n05:00:00,0.1,n/a\r\n");
    WritePer(dt1.addDays(1), 60, ".Time,LAeq\r\n");
    auto chart = Plot({QStringLiteral("LAeq"), QStringLiteral("LAF10"), QStringLiteral("LAF90")}, dt1,
                      dt1.addDays(2), 60);

    ASSERT_EQ(chart->PointCount(), 4 + 0 + 24) << "a header-only file adds no slots, a missing file a day's";
    EXPECT_EQ(chart->graph(2)->dataCount(), 28);
    EXPECT_DOUBLE_EQ(chart->Value(0, 0), 55.2);
    EXPECT_DOUBLE_EQ(chart->Value(2, 0), 40.5);
    EXPECT_TRUE(std::isnan(chart->Value(0, 1)) && std::isnan(chart->Value(2, 1))) << "180 and 0 are null";
    EXPECT_DOUBLE_EQ(chart->Value(2, 2), 179.9);
    EXPECT_TRUE(std::isnan(chart->Value(0, 2)));
    EXPECT_DOUBLE_EQ(chart->Value(2, 3), 0.1);
    for (int i = 0; i < 28; ++i)
        ASSERT_TRUE(std::isnan(chart->Value(1, i))) << "LAF10 has no column, point " << i;
    EXPECT_EQ(chart->Label(0), QStringLiteral("00:00:00\n2024-03-05"));
    EXPECT_EQ(chart->Label(3), QStringLiteral("05:00:00\n2024-03-05"));
    EXPECT_EQ(chart->Label(4), QStringLiteral("00:00:00\n2024-03-07"));
    EXPECT_DOUBLE_EQ(chart->BottomMin(), 0);
    EXPECT_DOUBLE_EQ(chart->BottomMax(), 27);
}

TEST_F(TPerChartTest, PlotPeriod_MissingDaySlotsAreLabelledWithTheirTimes)
{
    auto chart = Plot({QStringLiteral("LAeq")}, dt1, dt1, 15);
    ASSERT_EQ(chart->PointCount(), 96);
    EXPECT_EQ(chart->Label(1), QStringLiteral("00:15:00\n2024-03-05"));
    EXPECT_EQ(chart->Label(2), QStringLiteral("00:30:00\n2024-03-05"));
    EXPECT_EQ(chart->Label(95), QStringLiteral("23:45:00\n2024-03-05"));

    auto chart7 = Plot({QStringLiteral("LAeq"), QStringLiteral("LAFmax")}, dt1, dt1, 7);
    ASSERT_EQ(chart7->PointCount(), 205);
    EXPECT_EQ(chart7->graph(1)->dataCount(), 205);
    EXPECT_EQ(chart7->Label(204), QStringLiteral("23:48:00\n2024-03-05"));
}

TEST_F(TPerChartTest, PlotPeriod_NothingToPlotLeavesTheChartEmptyAndTheAxisUnset)
{
    WritePer(dt1, 60, ".Time,LAeq\n00:00:00,0\n01:00:00,-\n02:00:00,180\n");
    SelectParams({QStringLiteral("LAeq")});
    TPerChart chart(*cfg);
    const QCPRange rangeBefore = chart.yAxis->range();

    auto chartBackwards = Plot({QStringLiteral("LAeq")}, dt1.addDays(1), dt1, 60);
    EXPECT_EQ(chartBackwards->PointCount(), 0);
    EXPECT_EQ(chartBackwards->yAxis->range(), rangeBefore);

    auto chartNoLevel = Plot({QStringLiteral("LAeq")}, dt1, dt1, 60);
    EXPECT_EQ(chartNoLevel->PointCount(), 3);
    EXPECT_EQ(chartNoLevel->yAxis->range(), rangeBefore);

    auto chartNoSeries = Plot({}, dt1, dt1, 60);
    EXPECT_EQ(chartNoSeries->SeriesCount(), 0);
    EXPECT_EQ(chartNoSeries->Label(0), QString());
}

// ---- Level range -------------------------------------------------------------------

TEST_F(TPerChartTest, LevelRange_TensAroundTheLowestAndHighestOfAllSeries)
{
    const QStringList sl{QStringLiteral("LAeq"), QStringLiteral("LAF90")};
    WritePer(dt1, 60, ".Time,LAeq,LAF90\n00:00:00,78.2,34.9\n01:00:00,50,40\n");
    auto chart = Plot(sl, dt1, dt1, 60);
    EXPECT_EQ(chart->yAxis->range(), QCPRange(30, 80));

    WritePer(dt1, 60, ".Time,LAeq,LAF90\n00:00:00,80.0,61\n");
    EXPECT_EQ(Plot(sl, dt1, dt1, 60)->yAxis->range(), QCPRange(60, 90)) << "a highest level of 80.0";

    // Above the axis' initial maximum: setting the minimum first would swap the ends.
    WritePer(dt1, 60, ".Time,LAeq,LAF90\n00:00:00,131,120.5\n");
    EXPECT_EQ(Plot(sl, dt1, dt1, 60)->yAxis->range(), QCPRange(120, 140));
}

// ---- Legend and level axis on low charts ------------------------------------------------

// Regression: nine entries made one 622-pixel row over the level axis (the wrap never
// took effect), and below about 136 pixels the legend vanished, leaving the colours
// unexplained on pages of four or more monitors.
TEST_F(TPerChartTest, Legend_EveryEntryInsideTheChartBesideThePlotAtLowSizes)
{
    WritePer(dt1, 60, ".Time,LAeq\n00:00:00,55\n01:00:00,62\n");
    for (const QSize size : {QSize(600, 120), QSize(600, 200), QSize(800, 320)}) {
        auto chart = Plot(MeasurementParams(), dt1, dt1, 60);
        Layout(*chart, size.width(), size.height());
        ASSERT_EQ(chart->SeriesCount(), 9);
        EXPECT_TRUE(chart->legend->visible()) << size.height();
        const QRect rcChart(QPoint(0, 0), size);
        const QRect rcPlot = chart->axisRect()->rect();
        EXPECT_TRUE(rcChart.contains(chart->legend->outerRect())) << size.width() << "x" << size.height();
        EXPECT_GE(chart->legend->outerRect().left(), rcPlot.right()) << "beside the plot, not over it";
        EXPECT_GE(rcPlot.width(), size.width() / 2) << "the plot keeps most of the width";
        for (int i = 0; i < 9; ++i) {
            ASSERT_NE(chart->legend->itemWithPlottable(chart->graph(i)), nullptr);
            const QRect rcItem = chart->legend->itemWithPlottable(chart->graph(i))->outerRect();
            EXPECT_TRUE(chart->legend->outerRect().contains(rcItem)) << i << " at " << size.height();
            EXPECT_FALSE(rcItem.isEmpty());
            for (int k = 0; k < i; ++k)
                EXPECT_FALSE(rcItem.intersects(chart->legend->itemWithPlottable(chart->graph(k))->outerRect()))
                    << i << " and " << k;
        }
    }

    auto chartNone = Plot({}, dt1, dt1, 60);
    Layout(*chartNone, 600, 200);
    EXPECT_FALSE(chartNone->legend->visible()) << "no empty legend frame without a parameter";
}

TEST_F(TPerChartTest, LevelAxis_LabelsItsMinimumAtEveryHeight)
{
    WritePer(dt1, 60, ".Time,LAeq\n00:00:00,34.9\n01:00:00,78.2\n");
    auto chart = Plot({QStringLiteral("LAeq")}, dt1, dt1, 60);
    for (int nHeight : {120, 160, 200, 320, 600}) {
        Layout(*chart, 600, nHeight);
        ASSERT_EQ(chart->yAxis->range(), QCPRange(30, 80));
        const QVector<double> aTicks = chart->yAxis->tickVector();
        ASSERT_GE(aTicks.size(), 2) << nHeight;
        EXPECT_EQ(aTicks.first(), 30) << nHeight;
        const int nLabelHeight = QFontMetrics(chart->yAxis->tickLabelFont()).height();
        EXPECT_GE(chart->yAxis->coordToPixel(aTicks.at(0)) - chart->yAxis->coordToPixel(aTicks.at(1)),
                  nLabelHeight)
            << nHeight;
    }
}

// ---- Limit lines ----------------------------------------------------------------------

TEST_F(TPerChartTest, LimitLines_FollowTheRuleAcrossDaysAndMarkOnlyPeriodsAbove)
{
    // 2024-03-05 is a Tuesday. A Tuesday night rule, 22:00-02:00 at 50 dB: its periods
    // are Tuesday 22:00 and 23:00 and Wednesday 00:00 and 01:00 (keys 22-25). 50.0 is
    // within the limit, 50.1 above it.
    QByteArray baDay = ".Time,LAeq\r\n";
    for (int h = 0; h < 24; ++h)
        baDay += QTime(h, 0).toString(QStringLiteral("HH:mm:ss")).toLatin1() +
                 (h == 23 ? ",50.1\r\n" : ",50.0\r\n");
    WritePer(dt1, 60, baDay);
    WritePer(dt1.addDays(1), 60, ".Time,LAeq\r\n00:00:00,62.0\r\n01:00:00,40.0\r\n02:00:00,70.0\r\n");
    SelectParams({QStringLiteral("LAeq")});
    TPerChart chart(*cfg);
    chart.SetMonitorID(sID);
    QString sError;
    chart.SetLimitRules({*TLimitRule::Parse(QStringLiteral("*; LAeq; Tue; 22:00-02:00; 50.0; Night"), sError),
                         *TLimitRule::Parse(QStringLiteral("*; LAF90; Tue; 00:00-00:00; 10.0"), sError)});
    chart.PlotPeriod(dt1, dt1.addDays(1), 60);

    // The parameter, its one line (no LAF90 series to draw on) and its marks.
    ASSERT_EQ(chart.SeriesCount(), 3);
    EXPECT_FALSE(chart.legend->hasItemWithPlottable(chart.graph(1)));
    EXPECT_EQ(chart.graph(1)->pen().style(), Qt::DashLine);
    EXPECT_EQ(chart.graph(1)->pen().color(), chart.graph(0)->pen().color());
    // From the start of 22:00 to the end of Wednesday 01:00, then a break.
    QVector<double> adKeys;
    for (auto it = chart.graph(1)->data()->constBegin(); it != chart.graph(1)->data()->constEnd(); ++it) {
        adKeys.append(it->key);
        if (!std::isnan(it->value)) {
            EXPECT_DOUBLE_EQ(it->value, 50.0);
        }
    }
    EXPECT_EQ(adKeys, (QVector<double>{22, 26, 26.5}));
    QVector<double> adMarks;
    for (auto it = chart.graph(2)->data()->constBegin(); it != chart.graph(2)->data()->constEnd(); ++it)
        adMarks.append(it->key);
    EXPECT_EQ(adMarks, (QVector<double>{23, 24})) << "02:00 at 70 dB lies outside the band";
    // The level axis takes the limit in with the levels.
    EXPECT_DOUBLE_EQ(chart.LeftMin(), 40);
}
