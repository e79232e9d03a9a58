#include "chartfixture.h"

#include "analysis/exclusions.h"
#include "views/limitlines.h"
#include "views/perchart.h"

#include <QFontMetrics>
#include <QMenu>
#include <QTime>

#include <cmath>
#include <random>

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

// A graph's points as the chart's own code reads them, through the one-dimensional
// interface: the limit marks keep no copy of their series' data.
QVector<QCPGraphData> Points(QCPGraph* graph)
{
    QVector<QCPGraphData> aPoints;
    const QCPPlottableInterface1D* points = graph->interface1D();
    for (int i = 0; i < points->dataCount(); ++i)
        aPoints.append(QCPGraphData(points->dataMainKey(i), points->dataMainValue(i)));
    return aPoints;
}

QVector<double> Keys(QCPGraph* graph)
{
    QVector<double> adKeys;
    for (const QCPGraphData& point : Points(graph))
        adKeys.append(point.key);
    return adKeys;
}
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
                EXPECT_FALSE(
                    rcItem.intersects(chart->legend->itemWithPlottable(chart->graph(k))->outerRect()))
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

// Regression: on a 120-pixel chart the level axis showed only its minimum ("30"), which
// gives no scale; the level range keeps its tens either way.
TEST_F(TPerChartTest, LevelAxis_TwoReadableLabelsOnTheLowestCharts)
{
    for (const auto& [sDay, range] :
         {std::pair(QByteArray(".Time,LAeq\n00:00:00,34.9\n01:00:00,78.2\n"), QCPRange(30, 80)),
          std::pair(QByteArray(".Time,LAeq\n00:00:00,41.0\n01:00:00,93.5\n"), QCPRange(40, 100)),
          std::pair(QByteArray(".Time,LAeq\n00:00:00,52.0\n01:00:00,55.5\n"), QCPRange(50, 60))}) {
        WritePer(dt1, 60, sDay);
        for (const QStringList& slParams : {QStringList{QStringLiteral("LAeq")}, MeasurementParams()}) {
            auto chart = Plot(slParams, dt1, dt1, 60);
            for (int nHeight : {120, 140, 160}) {
                Layout(*chart, 600, nHeight);
                ASSERT_EQ(chart->yAxis->range(), range);
                ExpectReadableLeftLabels(*chart, "periodic");
                const QVector<double> adLabels = LeftLabels(*chart);
                EXPECT_EQ(adLabels.first(), range.lower);
                // Two labels name the bottom and the top: 40 and 100, not 40 and 90.
                if (adLabels.size() == 2) {
                    EXPECT_EQ(adLabels.last(), range.upper) << nHeight << " px";
                }
            }
            // Where the usual room gives a good scale it stays: at 800 x 320 a label
            // every 10 dB from 30 to 80, every 20 from 40 to 100 (no more than six
            // labels), every 2 from 50 to 60.
            Layout(*chart, 800, 320);
            const QVector<double> ad = LeftLabels(*chart);
            ASSERT_GE(ad.size(), 2);
            EXPECT_EQ(ad.at(1) - ad.at(0), range.lower == 30 ? 10 : range.lower == 40 ? 20 : 2) << range.lower;
        }
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
    EXPECT_EQ(Keys(chart.graph(2)), (QVector<double>{23, 24})) << "02:00 at 70 dB lies outside the band";
    EXPECT_DOUBLE_EQ(chart.Value(2, 1), chart.Value(0, 24)) << "a mark sits on its period's level";
    // The level axis takes the limit in with the levels.
    EXPECT_DOUBLE_EQ(chart.LeftMin(), 40);
}

// The marks are the graph's own points, drawn as a plain graph of the same points and
// style draws them, on screen and in image files as on a scaled painter.
TEST_F(TPerChartTest, LimitLines_MarksLookLikeAPlainGraphOfTheirPoints)
{
    // Five-minute periods around a limit of 50 dB, many above it, some close
    // together so that their marks overlap at this width.
    QByteArray baDay = ".Time,LAeq\r\n";
    for (int p = 0; p < 288; ++p)
        baDay += QTime(0, 0).addSecs(p * 300).toString(QStringLiteral("HH:mm:ss")).toLatin1() + ',' +
                 QByteArray::number(44.0 + (p * 37 % 130) / 10.0, 'f', 1) + "\r\n";
    WritePer(dt1, 5, baDay);
    SelectParams({QStringLiteral("LAeq")});
    TPerChart chart(*cfg);
    chart.SetMonitorID(sID);
    QString sError;
    chart.SetLimitRules({*TLimitRule::Parse(QStringLiteral("*; LAeq; Mon-Sun; 06:00-22:00; 50.0"), sError)});
    chart.PlotPeriod(dt1, dt1, 5);
    ASSERT_EQ(chart.SeriesCount(), 3);
    QCPGraph* marks = chart.graph(2);
    ASSERT_GE(marks->dataCount(), 100);
    chart.graph(0)->setVisible(false);
    chart.graph(1)->setVisible(false);
    // Eight hours, some 4 pixels a period: marks, not the band of longer ranges.
    chart.SetBottomRange(100, 196);
    QCPGraph* each = chart.addGraph();
    each->removeFromLegend();
    each->setLineStyle(QCPGraph::lsNone);
    each->setScatterStyle(marks->scatterStyle());
    each->data()->set(Points(marks), true);

    // The plain graph takes the marks' style as they sized it for the plot.
    int nHeight = 200;
    const auto render = [&](bool bMarks, double dScale = 1.0) {
        marks->setVisible(bMarks);
        each->setVisible(!bMarks);
        each->setScatterStyle(marks->scatterStyle());
        // Two renderings, so that both ways see the layout in the same state.
        chart.toPixmap(500, nHeight, dScale);
        return chart.toPixmap(500, nHeight, dScale).toImage().convertToFormat(QImage::Format_RGB32);
    };
    // On the lowest charts the marks are smaller, whichever way they are drawn.
    for (const int nChartHeight : {200, 120}) {
        nHeight = nChartHeight;
        Layout(chart, 500, nHeight);
        // A scaled painter, as on a printer.
        const QImage imScaled = render(true, 2.0);
        EXPECT_EQ(imScaled, render(false, 2.0)) << nHeight;
        const QImage imMarks = render(true);
        EXPECT_EQ(imMarks, render(false)) << nHeight;
        const QColor colMark = chart.graph(0)->pen().color();
        int nMarkPixels = 0;
        for (int y = 0; y < imMarks.height(); ++y)
            for (int x = 0; x < imMarks.width(); ++x)
                nMarkPixels += imMarks.pixelColor(x, y) == colMark;
        EXPECT_GT(nMarkPixels, nHeight == 200 ? 200 : 60) << "the marks are drawn at " << nHeight;
    }
}

// Regression: a year of 7-pixel marks on seven stacked 120-pixel charts covered the
// whole plot, lines and all. On a low plot the mark is a disc of 3 pixels in 5, and no
// more than a sixteenth of the plot's height on any plot.
TEST_F(TPerChartTest, LimitLines_MarksScaleWithThePlotsHeight)
{
    WritePer(dt1, 60, ".Time,LAeq\n00:00:00,55\n01:00:00,62\n02:00:00,48\n");
    SelectParams({QStringLiteral("LAeq")});
    TPerChart chart(*cfg);
    chart.SetMonitorID(sID);
    QString sError;
    chart.SetLimitRules({*TLimitRule::Parse(QStringLiteral("*; LAeq; Mon-Sun; 00:00-00:00; 50.0"), sError)});
    chart.PlotPeriod(dt1, dt1, 60);
    ASSERT_EQ(chart.SeriesCount(), 3);
    QCPGraph* marks = chart.graph(2);
    ASSERT_EQ(marks->dataCount(), 2);
    // The marks alone, so that the line does not pass for a mark.
    chart.graph(0)->setVisible(false);
    chart.graph(1)->setVisible(false);
    int nLastSize = 0;
    for (int nHeight : {100, 120, 160, 200, 320, 600}) {
        Layout(chart, 600, nHeight);
        const QImage im = chart.toPixmap(600, nHeight).toImage();
        const int nPlot = chart.axisRect()->height();
        const int nSize = marks->scatterStyle().pixmap().width();
        EXPECT_EQ(nSize, TLimitLines::MarkSize(nPlot)) << nHeight;
        EXPECT_GE(nSize, 5) << nHeight;
        EXPECT_LE(nSize, 7) << nHeight;
        EXPECT_TRUE(nSize == 5 || nSize * 16 <= nPlot) << nSize << " on a plot of " << nPlot;
        EXPECT_GE(nSize, nLastSize) << "never smaller on a higher plot";
        nLastSize = nSize;
        // The disc drawn at 01:00 is some nSize - 2 pixels across, its soft edge aside.
        const QPoint pt = chart.graph(0)->coordsToPixels(1, 62).toPoint();
        int nAcross = 0;
        for (int x = pt.x() - 6; x <= pt.x() + 6; ++x)
            nAcross += im.pixelColor(x, pt.y()).red() > 200 && im.pixelColor(x, pt.y()).green() < 80;
        EXPECT_LE(nAcross, nSize - 1) << nHeight;
        EXPECT_GE(nAcross, nSize - 3) << nHeight;
    }
    EXPECT_EQ(TLimitLines::MarkSize(60), 5);
    EXPECT_EQ(TLimitLines::MarkSize(300), 7);
}

// Regression: over weeks or a year, periods lie a fraction of a pixel apart and their
// marks buried the lines. There the periods above a limit are a band at the plot's
// foot, one per parameter, in the columns of those periods, and the lines stay free.
TEST_F(TPerChartTest, LimitLines_ManyPeriodsToAPixelMarkABandAtThePlotsFoot)
{
    // Three weeks of hourly periods; LAeq above 50 dB from 08:00 to 11:00 on every
    // day, LAF90 above 40 dB at 03:00 on the second week's days.
    const QDate dtLast = dt1.addDays(20);
    for (QDate d = dt1; d <= dtLast; d = d.addDays(1)) {
        QByteArray ba = ".Time,LAeq,LAF90\r\n";
        const bool bSecondWeek = dt1.daysTo(d) >= 7 && dt1.daysTo(d) < 14;
        for (int h = 0; h < 24; ++h)
            ba += QTime(h, 0).toString(QStringLiteral("HH:mm:ss")).toLatin1() + (h >= 8 && h <= 11 ? ",60" : ",45") +
                  (h == 3 && bSecondWeek ? ",42" : ",35") + "\r\n";
        WritePer(d, 60, ba);
    }
    SelectParams({QStringLiteral("LAeq"), QStringLiteral("LAF90")});
    TPerChart chart(*cfg);
    chart.SetMonitorID(sID);
    QString sError;
    chart.SetLimitRules({*TLimitRule::Parse(QStringLiteral("*; LAeq; Mon-Sun; 00:00-00:00; 50.0"), sError),
                         *TLimitRule::Parse(QStringLiteral("*; LAF90; Mon-Sun; 00:00-00:00; 40.0"), sError)});
    chart.PlotPeriod(dt1, dtLast, 60);
    ASSERT_EQ(chart.SeriesCount(), 6); // two lines, two limit lines, two sets of marks
    const QColor colLAeq = chart.graph(0)->pen().color();
    const QColor colLAF90 = chart.graph(1)->pen().color();
    for (int k = 0; k < 4; ++k)
        chart.graph(k)->setVisible(false);
    for (int nHeight : {120, 320}) {
        Layout(chart, 700, nHeight);
        const QRect rcPlot = chart.axisRect()->rect();
        ASSERT_TRUE(TLimitLines::DrawsBand(rcPlot.width() / chart.xAxis->range().size(), 5));
        const int nBand = TLimitLines::MarkSize(rcPlot.height()) - 2;
        for (const double dScale : {1.0, 2.0}) {
            const QImage im = chart.toPixmap(700, nHeight, dScale).toImage();
            const auto at = [&](int x, int y) { return im.pixelColor(int(x * dScale), int(y * dScale)); };
            // Nothing of the marks' colours away from the foot.
            for (int y = rcPlot.top(); y <= rcPlot.bottom() - 2 * nBand; ++y)
                for (int x = rcPlot.left(); x <= rcPlot.right(); ++x)
                    ASSERT_TRUE(at(x, y) != colLAeq && at(x, y) != colLAF90) << x << "," << y << " at " << nHeight;
            // LAeq's band at the foot under 08:00-11:00 of every day; LAF90's above it
            // under 03:00 of the second week only.
            const int yLAeq = rcPlot.bottom() - nBand / 2;
            const int yLAF90 = rcPlot.bottom() - nBand - nBand / 2;
            for (int d = 0; d < 21; ++d) {
                // The bottom axis' ticks may cross a band.
                int nRed = 0;
                const int xFrom = int(chart.xAxis->coordToPixel(d * 24 + 8));
                const int xTo = int(chart.xAxis->coordToPixel(d * 24 + 11));
                for (int x = xFrom; x <= xTo; ++x)
                    nRed += at(x, yLAeq) == colLAeq;
                EXPECT_GE(nRed, (xTo - xFrom + 1) / 2) << d << " at " << nHeight;
                EXPECT_NE(at(int(chart.xAxis->coordToPixel(d * 24 + 18)), yLAeq), colLAeq) << d;
                const bool bSecondWeek = d >= 7 && d < 14;
                EXPECT_EQ(at(int(chart.xAxis->coordToPixel(d * 24 + 3)), yLAF90) == colLAF90, bSecondWeek) << d;
            }
        }
    }
}

// The export's images are read without the program: a chart with limit lines gets a key
// for the dashed lines and the marks beside its parameters; one without gets none.
TEST_F(TPerChartTest, LimitLines_KeyInTheLegendOnlyWhereLinesAreDrawn)
{
    WritePer(dt1, 60, ".Time,LAeq\n00:00:00,55\n01:00:00,62\n");
    SelectParams({QStringLiteral("LAeq")});
    QString sError;
    const auto make = [&](const QString& sRule, bool bKey) {
        auto chart = std::make_unique<TPerChart>(*cfg);
        chart->SetMonitorID(sID);
        chart->SetLimitRules({*TLimitRule::Parse(sRule, sError)});
        chart->SetLimitKeyShown(bKey);
        chart->PlotPeriod(dt1, dt1, 60);
        Layout(*chart, 800, 320);
        return chart;
    };
    const auto texts = [](const TPerChart& chart) {
        QStringList sl;
        for (int i = 0; i < chart.legend->itemCount(); ++i)
            if (QCPAbstractLegendItem* item = chart.legend->item(i)) {
                if (auto* series = qobject_cast<QCPPlottableLegendItem*>(item))
                    sl << series->plottable()->name();
                else
                    sl << QStringLiteral("key");
            }
        return sl;
    };
    auto chartKey = make(QStringLiteral("*; LAeq; Mon-Sun; 00:00-00:00; 50.0"), true);
    EXPECT_EQ(texts(*chartKey), (QStringList{QStringLiteral("LAeq"), QStringLiteral("key"), QStringLiteral("key")}));
    // Beside the plot, inside the chart, one under the other.
    const QRect rcChart(0, 0, 800, 320);
    for (int i = 0; i < chartKey->legend->itemCount(); ++i) {
        const QRect rc = chartKey->legend->item(i)->outerRect();
        EXPECT_TRUE(rcChart.contains(rc)) << i;
        EXPECT_GE(rc.left(), chartKey->axisRect()->rect().right()) << i;
        EXPECT_GT(rc.width(), chartKey->legend->iconSize().width()) << "icon and text " << i;
    }
    // The key is drawn: the legend holds dark grey pixels of the dashed line and the mark.
    const QImage im = chartKey->toPixmap(800, 320).toImage();
    int nKeyPixels = 0;
    const QRect rcLegend = chartKey->legend->outerRect();
    for (int y = rcLegend.top(); y <= rcLegend.bottom(); ++y)
        for (int x = rcLegend.left(); x < rcLegend.left() + 30; ++x)
            nKeyPixels += (im.pixel(x, y) & 0xFFFFFF) == 0x404040;
    EXPECT_GE(nKeyPixels, 8);

    // A rule whose parameter is not plotted draws no line: no key.
    auto chartNone = make(QStringLiteral("*; LAF90; Mon-Sun; 00:00-00:00; 50.0"), true);
    EXPECT_EQ(texts(*chartNone), QStringList{QStringLiteral("LAeq")});
    // And the screen's charts keep their legend as it was.
    auto chartScreen = make(QStringLiteral("*; LAeq; Mon-Sun; 00:00-00:00; 50.0"), false);
    EXPECT_EQ(texts(*chartScreen), QStringList{QStringLiteral("LAeq")});
}

// The lines and marks worked out stretch by stretch against the rules asked period
// by period, over random schedules and days, some with their periods out of order or
// with times no day has.
TEST_F(TPerChartTest, LimitLines_AgreeWithTheRulesAskedPeriodByPeriod)
{
    std::mt19937 gen(12);
    const QStringList slParams = {QStringLiteral("LAeq"), QStringLiteral("LAF90")};
    const QDate dtFrom(2024, 3, 1);
    constexpr int nDays = 9;
    for (int nTrial = 0; nTrial < 12; ++nTrial) {
        // The periods as the chart reads them: date, start and each parameter's value.
        struct TPeriod
        {
            QDate dt;
            int nSecs;
            double adValue[2];
        };
        std::vector<TPeriod> aPeriods;
        for (int d = 0; d < nDays; ++d) {
            const QDate dt = dtFrom.addDays(d);
            std::vector<int> anSecs;
            for (int s = 0; s < 86400; s += 1800)
                anSecs.push_back(s);
            if (gen() % 3 == 0)
                std::swap(anSecs[gen() % anSecs.size()], anSecs[gen() % anSecs.size()]);
            if (gen() % 4 == 0)
                anSecs.back() = 90000; // "25:00:00"
            QByteArray ba = ".Time,LAeq,LAF90\r\n";
            for (const int nSecs : anSecs) {
                TPeriod period{dt, nSecs, {}};
                QByteArray baLine =
                    QString::asprintf("%02d:%02d:%02d", nSecs / 3600, nSecs / 60 % 60, nSecs % 60).toLatin1();
                for (double& dValue : period.adValue) {
                    const int nTenths = 440 + int(gen() % 30); // 44.0 to 46.9, around the limits
                    dValue = nTenths / 10.0;
                    baLine += ',' + QByteArray::number(dValue, 'f', 1);
                }
                ba += baLine + "\r\n";
                aPeriods.push_back(period);
            }
            WritePer(dt, 30, ba);
        }
        std::vector<TLimitRule> aRules;
        QString sError;
        for (int r = 0; r < 4; ++r) {
            const int nDays = 1 + int(gen() % 127);
            TLimitRule rule =
                *TLimitRule::Parse(QStringLiteral("*; LAeq; Mon-Sun; 00:00-00:00; 45.0"), sError);
            rule.sParam = slParams[gen() % 2];
            rule.nDays = nDays;
            rule.nStartMin = int(gen() % 48) * 30 + (gen() % 2 ? 15 : 0);
            rule.nEndMin = gen() % 5 == 0 ? rule.nStartMin : int(gen() % 48) * 30;
            rule.dLimit = 44.5 + int(gen() % 20) / 10.0;
            aRules.push_back(rule);
        }

        SelectParams(slParams);
        TPerChart chart(*cfg);
        chart.SetMonitorID(sID);
        chart.SetLimitRules(aRules);
        chart.PlotPeriod(dtFrom, dtFrom.addDays(nDays - 1), 30);
        ASSERT_EQ(chart.PointCount(), int(aPeriods.size()));

        // Each rule asked period by period, as the chart once did it.
        int iGraph = 2;
        std::vector<std::vector<bool>> aabAbove(2, std::vector<bool>(aPeriods.size()));
        for (const TLimitRule& rule : aRules) {
            const int k = int(slParams.indexOf(rule.sParam));
            QVector<double> adKeys;
            QVector<double> adValues;
            bool bInRun = false;
            for (size_t i = 0; i <= aPeriods.size(); ++i) {
                const bool bHolds = i < aPeriods.size() && rule.Contains(aPeriods[i].dt, aPeriods[i].nSecs);
                if (bHolds != bInRun) {
                    adKeys.append(double(i));
                    adValues.append(rule.dLimit);
                    if (!bHolds) {
                        adKeys.append(double(i) + 0.5);
                        adValues.append(std::numeric_limits<double>::quiet_NaN());
                    }
                    bInRun = bHolds;
                }
                if (bHolds && std::lround(aPeriods[i].adValue[k] * 10) > std::lround(rule.dLimit * 10))
                    aabAbove[size_t(k)][i] = true;
            }
            if (adKeys.isEmpty())
                continue;
            ASSERT_LT(iGraph, chart.graphCount());
            const auto data = chart.graph(iGraph++)->data();
            ASSERT_EQ(data->size(), adKeys.size()) << rule.Text().toStdString();
            for (int j = 0; j < adKeys.size(); ++j) {
                EXPECT_EQ((data->constBegin() + j)->key, adKeys[j]) << rule.Text().toStdString();
                const double dValue = (data->constBegin() + j)->value;
                EXPECT_TRUE(dValue == adValues[j] || (std::isnan(dValue) && std::isnan(adValues[j])));
            }
        }
        for (int k = 0; k < 2; ++k) {
            QVector<double> adWant;
            for (size_t i = 0; i < aPeriods.size(); ++i)
                if (aabAbove[size_t(k)][i])
                    adWant.append(double(i));
            if (adWant.isEmpty())
                continue;
            ASSERT_LT(iGraph, chart.graphCount());
            EXPECT_EQ(Keys(chart.graph(iGraph++)), adWant) << "trial " << nTrial << " parameter " << k;
        }
        EXPECT_EQ(iGraph, chart.graphCount());
    }
}

// ---- Exclusion bands ----------------------------------------------------------------

namespace {
// The exclusion file's rows, under its header.
std::unique_ptr<TExclusions> Excl(const QStringList& slRows)
{
    auto excl = std::make_unique<TExclusions>();
    QString sError;
    EXPECT_TRUE(excl->LoadText(QStringLiteral("id,monitor,from,to,covers,reason,comment,author,created,withdrawn,"
                                              "withdrawn by\n") +
                                   slRows.join(u'\n') + u'\n',
                               QString(), sError))
        << qPrintable(sError);
    return excl;
}

QByteArray HourlyDay()
{
    QByteArray ba = ".Time,LAeq,LAF90\r\n";
    for (int h = 0; h < 24; ++h)
        ba += QTime(h, 0).toString(QStringLiteral("HH:mm:ss")).toLatin1() + ",60.0,50.0\r\n";
    return ba;
}
} // namespace

// A band for each run of periods the chart's monitor has excluded: its own exclusions
// and those of every monitor ("*"), of all levels or of a parameter the chart draws; a
// period overlapped by a minute is excluded whole, as in the figures. Withdrawn rows,
// other monitors' rows and rows of a parameter not drawn show nothing.
TEST_F(TPerChartTest, ExclusionBands_OwnAndEveryMonitorsRowsOfDrawnParametersOnly)
{
    WritePer(dt1, 60, HourlyDay());
    const auto excl = Excl({
        QStringLiteral("1,M01,2024-03-05 02:00:00,2024-03-05 04:00:00,all,rain,heavy shower,anna,2024-03-06 07:00:00,,"),
        QStringLiteral("2,*,2024-03-05 10:30:00,2024-03-05 11:00:00,all,works,,anna,2024-03-06 07:00:00,,"),
        QStringLiteral("3,M01,2024-03-05 15:00:00,2024-03-05 16:00:00,all,fault,,anna,2024-03-06 07:00:00,"
                       "2024-03-06 08:00:00,anna"),
        QStringLiteral("4,M02,2024-03-05 18:00:00,2024-03-05 19:00:00,all,wind,,anna,2024-03-06 07:00:00,,"),
        QStringLiteral("5,m01,2024-03-05 20:00:00,2024-03-05 21:00:00,LAFmax,wind,,anna,2024-03-06 07:00:00,,"),
        QStringLiteral("6,m01,2024-03-05 22:00:00,2024-03-05 23:00:00,LAF90,calibration,,anna,2024-03-06 07:00:00,,"),
    });
    SelectParams({QStringLiteral("LAeq"), QStringLiteral("LAF90")});
    TPerChart chart(*cfg);
    chart.SetMonitorID(sID);
    chart.SetExclusions(excl.get());
    chart.PlotPeriod(dt1, dt1, 60);

    const QList<QCPRange> aBands = chart.BandRanges();
    ASSERT_EQ(aBands.size(), 3);
    EXPECT_EQ(aBands.at(0), QCPRange(1.5, 3.5));
    EXPECT_EQ(aBands.at(1), QCPRange(9.5, 10.5));
    EXPECT_EQ(aBands.at(2), QCPRange(21.5, 22.5));
    ASSERT_EQ(chart.ExcludedSpans().size(), 3U);
    EXPECT_EQ(chart.ExcludedSpans()[1].nFrom, TExclusion::Wall(dt1, 10 * 3600 + 1800));
    EXPECT_EQ(chart.ExcludedSpans()[1].nTo, TExclusion::Wall(dt1, 11 * 3600));

    // The tooltip names the reason and the consultant's comment; none between bands.
    EXPECT_TRUE(chart.BandTip(2).contains(QStringLiteral("rain"))) << qPrintable(chart.BandTip(2));
    EXPECT_TRUE(chart.BandTip(2).contains(QStringLiteral("heavy shower")));
    EXPECT_TRUE(chart.BandTip(10).contains(QStringLiteral("works")));
    EXPECT_TRUE(chart.BandTip(15).isEmpty());

    // The bands lie under the graphs, so the levels stay in sight.
    QCPLayer* layerBands = chart.layer(QStringLiteral("exclusions"));
    ASSERT_NE(layerBands, nullptr);
    EXPECT_LT(layerBands->index(), chart.graph(0)->layer()->index());

    // Without the list (raw figures) there are no bands.
    TPerChart raw(*cfg);
    raw.SetMonitorID(sID);
    raw.PlotPeriod(dt1, dt1, 60);
    EXPECT_TRUE(raw.BandRanges().isEmpty());
}

// "Exclude…" takes the selected keys' periods, from the start of the first to the end
// of the last, and without a selection the range shown; across days and missing files.
TEST_F(TPerChartTest, ExcludeSpan_SelectionElseTheRangeShownWholePeriods)
{
    WritePer(dt1, 60, HourlyDay());
    const auto chart = Plot({QStringLiteral("LAeq")}, dt1, dt1.addDays(1), 60);
    ASSERT_EQ(chart->PointCount(), 48);
    EXPECT_EQ(chart->ExcludeSpan(), std::make_pair(TExclusion::Wall(dt1, 0), TExclusion::Wall(dt1.addDays(2), 0)));
    chart->Select(2.8, 4.2);
    EXPECT_EQ(chart->Selection(), std::make_pair(TExclusion::Wall(dt1, 3 * 3600), TExclusion::Wall(dt1, 5 * 3600)));
    EXPECT_EQ(chart->ExcludeSpan(), chart->Selection());
    // Backwards the same.
    chart->Select(25.2, 22.9);
    EXPECT_EQ(chart->Selection(),
              std::make_pair(TExclusion::Wall(dt1, 23 * 3600), TExclusion::Wall(dt1.addDays(1), 2 * 3600)));
    chart->ClearSelection();
    chart->SetBottomRange(10, 12);
    EXPECT_EQ(chart->ExcludeSpan(), std::make_pair(TExclusion::Wall(dt1, 10 * 3600), TExclusion::Wall(dt1, 13 * 3600)));

    // Shift and the left button select; without Shift the button zooms as before.
    Layout(*chart, 600, 300);
    chart->SetBottomRange(0, 47);
    chart->replot();
    const int y = chart->axisRect()->center().y();
    auto x = [&](double dKey) { return int(std::lround(chart->xAxis->coordToPixel(dKey))); };
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(x(6), y), QPointF(chart->mapToGlobal(QPoint(x(6), y))),
                      Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(chart.get(), &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(x(8), y), QPointF(chart->mapToGlobal(QPoint(x(8), y))),
                     Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(chart.get(), &move);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(x(8), y), QPointF(chart->mapToGlobal(QPoint(x(8), y))),
                        Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(chart.get(), &release);
    EXPECT_EQ(chart->Selection(), std::make_pair(TExclusion::Wall(dt1, 6 * 3600), TExclusion::Wall(dt1, 9 * 3600)));
    EXPECT_DOUBLE_EQ(chart->BottomMin(), 0);
    EXPECT_DOUBLE_EQ(chart->BottomMax(), 47);

    // The context menu offers it, disabled while the list could not be read.
    std::unique_ptr<QMenu> menu(chart->MakeMenu());
    ASSERT_NE(menu, nullptr);
    QAction* act = menu->findChild<QAction*>(QStringLiteral("menuExclude"));
    ASSERT_NE(act, nullptr);
    EXPECT_TRUE(act->isEnabled());
    EXPECT_EQ(act->text(), QStringLiteral("Exclude\u2026"));
    qint64 nFrom = 0;
    QObject::connect(chart.get(), &TChartBase::ExcludeRequested, [&](const QString& sMon, qint64 n, qint64) {
        EXPECT_EQ(sMon, QStringLiteral("M01"));
        nFrom = n;
    });
    act->trigger();
    EXPECT_EQ(nFrom, TExclusion::Wall(dt1, 6 * 3600));
    chart->SetExcludeEnabled(false);
    std::unique_ptr<QMenu> menuOff(chart->MakeMenu());
    EXPECT_FALSE(menuOff->findChild<QAction*>(QStringLiteral("menuExclude"))->isEnabled());
}
