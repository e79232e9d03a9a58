#include "chartfixture.h"

#include "views/almchart.h"
#include "views/eventchart.h"

#include <QFontMetrics>
#include <QImage>

#include <cmath>
#include <vector>

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

// Regression: the level axis' tick count, meant for levels, overrode the alarm
// chart's own and gave 0, 2, 4, 6, 8 at 800x320 and 0, 2 on a 150-pixel chart.
TEST_F(TAlmChartTest, CountAxis_TicksAtWholeCountsWhereTheLabelsFit)
{
    WriteAlm(dt1, ".Time\n03:00:00\n03:10:00\n03:20:00\n03:59:59\n05:00:00\n");
    auto chart = Plot(60, dt1, dt1);
    Layout(*chart, 800, 320);
    EXPECT_EQ(chart->yAxis->range(), QCPRange(0, 5));
    EXPECT_EQ(chart->yAxis->tickVector(), QVector<double>({0, 1, 2, 3, 4, 5}));

    for (int nHighest : {4, 9, 250}) {
        QByteArray text(".Time\n");
        for (int i = 0; i < nHighest; ++i)
            text += "10:00:00\n";
        WriteAlm(dt1, text);
        chart = Plot(60, dt1, dt1);
        for (int nHeight : {150, 200, 320}) {
            Layout(*chart, 800, nHeight);
            const QVector<double> aTicks = chart->yAxis->tickVector();
            const int nPitch = QFontMetrics(chart->yAxis->tickLabelFont()).height();
            ASSERT_GE(aTicks.size(), 2) << nHighest << " at " << nHeight;
            EXPECT_EQ(aTicks.first(), 0);
            const double dStep = aTicks.at(1) - aTicks.at(0);
            EXPECT_TRUE(dStep == 1 || dStep == 2 || dStep == 5 || dStep == 10 || dStep == 20 || dStep == 50 ||
                        dStep == 100)
                << dStep;
            // Apart by at least a label's height, and no step coarser than needed:
            // the next finer one would not have left room for the labels.
            const double dPixelsPerCount = chart->axisRect()->height() / (nHighest + 1.0);
            EXPECT_GE(dStep * dPixelsPerCount, nPitch) << nHighest << " at " << nHeight;
            const double dFiner = dStep == 5 || dStep == 50 ? dStep * 0.4 : dStep / 2;
            if (dStep > 1) {
                EXPECT_LT(dFiner * dPixelsPerCount, 1.5 * nPitch) << nHighest << " at " << nHeight;
            }
            EXPECT_GE(aTicks.last() + dStep, nHighest + 1) << "the ticks reach the top";
        }
    }
}

// Regression: a highest count of 2 labelled only 0 and 2 on a 143-pixel chart, and
// only 0 on a 120-pixel one.
TEST_F(TAlmChartTest, CountAxis_TwoReadableLabelsOnTheLowestCharts)
{
    for (int nHighest : {1, 2, 7, 40}) {
        QByteArray text(".Time\n");
        for (int i = 0; i < nHighest; ++i)
            text += "10:00:00\n";
        WriteAlm(dt1, text);
        auto chart = Plot(60, dt1, dt1);
        for (int nHeight : {120, 143}) {
            Layout(*chart, 800, nHeight);
            ASSERT_EQ(chart->yAxis->range(), QCPRange(0, nHighest + 1));
            ExpectReadableLeftLabels(*chart, "alarm counts");
        }
    }
}

// ---- Bars at every size ------------------------------------------------------------

namespace {
constexpr QRgb rgbBar = 0xFF0000;

// Whether pixel column x of the plot holds any bar colour.
bool RedInColumn(const QImage& image, const QRect& rcPlot, int x)
{
    for (int y = rcPlot.top(); y <= rcPlot.bottom(); ++y)
        if ((image.pixel(x, y) & 0xFFFFFF) == rgbBar)
            return true;
    return false;
}
} // namespace

// Regression: bars one slot wide without a pen vanished when a pixel held several
// slots (a month of 5-minute periods showed 14 of 160 bars, a year none at all), and
// a count far below the highest was less than a pixel high.
TEST_F(TAlmChartTest, Bars_EveryNonZeroSlotShowsAtEverySize)
{
    // 159 slots of one alarm on every other day, at a different time each day.
    const QDate dtLast = dt1.addDays(29);
    std::vector<int> aiSlots;
    for (int iDay = 1; iDay < 30; iDay += 2) {
        QByteArray text(".Time\n");
        for (int k = 0; k < 11 && aiSlots.size() < 159; ++k) {
            const int iSlot = k * 26 + iDay;
            aiSlots.push_back(iDay * 288 + iSlot);
            text += QTime(0, 0).addSecs(iSlot * 300 + 10).toString(QStringLiteral("HH:mm:ss")).toLatin1();
            text += '\n';
        }
        WriteAlm(dt1.addDays(iDay), text);
    }
    // And one slot of 400 alarms, which leaves a single alarm under half a pixel high.
    QByteArray textBusy(".Time\n");
    for (int i = 0; i < 400; ++i)
        textBusy += "12:00:00\n";
    WriteAlm(dt1.addDays(28), textBusy);
    aiSlots.push_back(28 * 288 + 144);

    auto chart = Plot(5, dt1, dtLast);
    ASSERT_EQ(chart->PointCount(), 30 * 288);
    int nNonZero = 0;
    for (int i = 0; i < chart->PointCount(); ++i)
        nNonZero += chart->Value(0, i) > 0;
    ASSERT_EQ(nNonZero, 160);
    EXPECT_EQ(Total(*chart), 159 + 400) << "the counts stay as they are";

    for (const QSize size : {QSize(800, 320), QSize(600, 120), QSize(2048, 800)}) {
        Layout(*chart, size.width(), size.height());
        const QImage image = chart->toPixmap(size.width(), size.height()).toImage();
        const QRect rcPlot = chart->axisRect()->rect();
        for (int iSlot : aiSlots) {
            const int x = int(chart->xAxis->coordToPixel(iSlot));
            EXPECT_TRUE(RedInColumn(image, rcPlot, x)) << "slot " << iSlot << " at " << size.width();
        }
        // The first day has no alarm: its columns stay free of bars.
        const int xDayEnd = int(chart->xAxis->coordToPixel(287));
        for (int x = rcPlot.left(); x < xDayEnd; ++x)
            ASSERT_FALSE(RedInColumn(image, rcPlot, x)) << "x " << x << " at " << size.width();
    }
}

TEST_F(TAlmChartTest, Bars_FirstAndLastShowWhole)
{
    WriteAlm(dt1, ".Time\n00:10:00\n23:10:00\n");
    auto chart = Plot(60, dt1, dt1);
    Layout(*chart, 800, 320);
    const QImage image = chart->toPixmap(800, 320).toImage();
    const QRect rcPlot = chart->axisRect()->rect();
    const double dSlotWidth = rcPlot.width() / 24.0;
    int nRed = 0;
    for (int x = rcPlot.left(); x <= rcPlot.right(); ++x)
        nRed += RedInColumn(image, rcPlot, x);
    EXPECT_NEAR(nRed, 2 * dSlotWidth, 2);
    EXPECT_TRUE(RedInColumn(image, rcPlot, rcPlot.left()));
    EXPECT_TRUE(RedInColumn(image, rcPlot, rcPlot.right()));
}

// ---- Hourly event bars ---------------------------------------------------------------

namespace {
constexpr QRgb rgbEvent = 0xC00000;

// The pixel columns of the plot that hold the event bars' colour, in order.
std::vector<int> EventColumns(const QImage& image, const QRect& rcPlot)
{
    std::vector<int> an;
    for (int x = rcPlot.left(); x <= rcPlot.right(); ++x)
        for (int y = rcPlot.top(); y <= rcPlot.bottom(); ++y)
            if ((image.pixel(x, y) & 0xFFFFFF) == rgbEvent) {
                an.push_back(x);
                break;
            }
    return an;
}
} // namespace

// Regression: the bar of the events starting 02:00-03:00 was drawn from 01:30 to 02:30,
// centred on the "02:00" label, and the 00:00 and 23:00 bars were cut in half by the
// frame. Now the axis reads as clock times, 00:00 to 24:00, and each bar fills its hour.
TEST_F(TAlmChartTest, EventBars_EachSpansItsHourFromItsLabelToTheNext)
{
    TEventDay day;
    day.dt = dt1;
    day.anPerHour[0] = 1;
    day.anPerHour[2] = 3;
    day.anPerHour[23] = 2;
    TEventChart chart(*cfg);
    chart.PlotEvents(day);
    EXPECT_EQ(chart.PointCount(), 24);
    EXPECT_DOUBLE_EQ(chart.Value(0, 2), 3);
    for (const QSize size : {QSize(800, 320), QSize(600, 120), QSize(2048, 800)}) {
        Layout(chart, size.width(), size.height());
        EXPECT_EQ(chart.xAxis->range(), QCPRange(0, 24));
        const QRect rcPlot = chart.axisRect()->rect();
        const QImage image = chart.toPixmap(size.width(), size.height()).toImage();
        const std::vector<int> anRed = EventColumns(image, rcPlot);
        const auto hourColumns = [&](int h) {
            return std::pair(int(std::ceil(chart.xAxis->coordToPixel(h) - 0.5)),
                             int(std::ceil(chart.xAxis->coordToPixel(h + 1) - 0.5)) - 1);
        };
        std::vector<int> anExpected;
        for (int h : {0, 2, 23}) {
            const auto [xFrom, xTo] = hourColumns(h);
            for (int x = xFrom; x <= xTo; ++x)
                anExpected.push_back(x);
        }
        EXPECT_EQ(anRed, anExpected) << size.width() << "x" << size.height();
        EXPECT_EQ(anRed.front(), rcPlot.left()) << "00:00 whole from the frame on";
        EXPECT_EQ(anRed.back(), rcPlot.right()) << "23:00 whole up to the frame";
        // The labels stand at the hours' starts, where the bars begin and end.
        const QVector<double> aTicks = chart.xAxis->tickVector();
        const QVector<QString> aLabels = chart.xAxis->tickVectorLabels();
        ASSERT_EQ(aTicks.size(), aLabels.size());
        for (qsizetype i = 0; i < aTicks.size(); ++i)
            EXPECT_EQ(aLabels.at(i), QString::asprintf("%02d:00", int(aTicks.at(i)))) << aTicks.at(i);
        EXPECT_EQ(aLabels.last(), QStringLiteral("24:00")) << size.width();
        // The component leaves out a label that would reach past the chart's edge.
        const int nHalf =
            QFontMetrics(chart.xAxis->tickLabelFont()).horizontalAdvance(QStringLiteral("24:00")) / 2;
        EXPECT_LE(rcPlot.right() + nHalf, size.width() - 1) << "room for the last label at " << size.width();
    }
}

// Regression: the count axis labelled every count from 0 to 16 on a 120-pixel chart,
// one over the other.
TEST_F(TAlmChartTest, EventBars_CountAxisLabelsNeverOverlap)
{
    for (int nHighest : {1, 3, 16, 90}) {
        TEventDay day;
        day.dt = dt1;
        day.anPerHour[5] = nHighest;
        TEventChart chart(*cfg);
        chart.PlotEvents(day);
        for (int nHeight : {120, 200, 320}) {
            Layout(chart, 800, nHeight);
            ASSERT_EQ(chart.yAxis->range(), QCPRange(0, nHighest + 1));
            ExpectReadableLeftLabels(chart, "event counts");
            for (double d : LeftLabels(chart))
                EXPECT_EQ(d, std::floor(d)) << "whole counts";
        }
    }
}
