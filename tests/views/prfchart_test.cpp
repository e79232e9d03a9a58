#include "chartfixture.h"

#include "analysis/exclusions.h"
#include "views/prfchart.h"

#include <QFontMetrics>

#include <cmath>
#include <limits>
#include <utility>

namespace {
const QDate dt1(2024, 3, 5);

class TPrfChartTest : public TChartTest
{
protected:
    void SetUp() override
    {
        TChartTest::SetUp();
        chart = std::make_unique<TPrfChart>(*cfg);
        chart->SetMonitorID(sID);
    }
    // Point iSec stands for that second of the day and holds dLevel.
    void ExpectLevel(int iSec, double dLevel) const
    {
        EXPECT_EQ(chart->Label(iSec), QTime(0, 0).addSecs(iSec).toString(QStringLiteral("HH:mm:ss")));
        EXPECT_DOUBLE_EQ(chart->Value(0, iSec), dLevel) << "second " << iSec;
    }
    std::unique_ptr<TPrfChart> chart;
};
} // namespace

TEST_F(TPrfChartTest, PlotDay_EverySecondOfTheDayWithGapsWhereNoLevel)
{
    WritePrf(dt1, ".Time,LAeq\r\n00:00:00,41.3\r\n00:00:01,-\r\n10:00:00,92.0\r\n"
                  "10:00:01, 55.5\r\n23:59:59,60\r\n");
    chart->PlotDay(dt1);
    ASSERT_EQ(chart->PointCount(), 86400);
    ExpectLevel(0, 41.3);
    ExpectLevel(36000, 92.0);
    ExpectLevel(36001, 55.5);
    ExpectLevel(86399, 60);
    EXPECT_TRUE(std::isnan(chart->Value(0, 1))) << "a dash is a gap";
    EXPECT_TRUE(std::isnan(chart->Value(0, 35999))) << "a filler is a gap";
    EXPECT_EQ(chart->yAxis->range(), QCPRange(40, 100));
    EXPECT_EQ(chart->xAxis->label(), QStringLiteral("Date: 2024-03-05"));
    EXPECT_TRUE(chart->xAxis->labelFont().bold());
    EXPECT_DOUBLE_EQ(chart->BottomMax() - chart->BottomMin(), 86399);
}

TEST_F(TPrfChartTest, PlotDay_ZeroLevelIsAGapButSetsTheMinimum)
{
    WritePrf(dt1, ".Time,LAeq\n08:00:00,0.0\n08:00:01,55\n08:00:02,62.5\n");
    chart->PlotDay(dt1);
    EXPECT_TRUE(std::isnan(chart->Value(0, 8 * 3600)));
    ExpectLevel(8 * 3600 + 1, 55);
    EXPECT_EQ(chart->yAxis->range(), QCPRange(0, 70));
}

TEST_F(TPrfChartTest, PlotDay_ReplacesThePreviousDayEvenWithoutData)
{
    WritePrf(dt1, ".Time,LAeq\n00:00:00,50\n");
    WritePrf(dt1.addDays(1), ".Time,LAeq\n00:00:05,70\n");
    WritePrf(dt1.addDays(2), ".Time,LAeq\n00:00:00,-\n00:00:01,-\n");
    chart->PlotDay(dt1);
    chart->PlotDay(dt1.addDays(1));
    ASSERT_EQ(chart->PointCount(), 86400);
    EXPECT_TRUE(std::isnan(chart->Value(0, 0)));
    ExpectLevel(5, 70);
    EXPECT_EQ(chart->yAxis->range(), QCPRange(70, 80));

    // Only fillers: an empty line, the axis left as it was, the title naming the day.
    chart->PlotDay(dt1.addDays(2));
    EXPECT_EQ(chart->PointCount(), 0);
    EXPECT_EQ(chart->yAxis->range(), QCPRange(70, 80));
    EXPECT_EQ(chart->xAxis->label(), QStringLiteral("Date: 2024-03-07"));

    chart->PlotDay(dt1.addDays(3)); // no file
    EXPECT_EQ(chart->PointCount(), 0);
    EXPECT_EQ(chart->xAxis->label(), QStringLiteral("Date: 2024-03-08"));
    Layout(*chart, 800, 320);
    EXPECT_DOUBLE_EQ(chart->BottomMax() - chart->BottomMin(), 86399) << "the axis still shows the day";
}

// Regression: four labels, every 6 hours, on the 800-pixel image and on the 2048-pixel
// zoom image alike.
TEST_F(TPrfChartTest, TimeAxis_LabelsAsCloseAsTheWidthAllowsOnRoundTimes)
{
    WritePrf(dt1, ".Time,LAeq\n00:00:00,50\n23:59:59,60\n");
    chart->PlotDay(dt1);
    const int nLabelWidth =
        QFontMetrics(chart->xAxis->tickLabelFont()).horizontalAdvance(QStringLiteral("00:00:00"));
    for (const auto& [nWidth, nMaxStep] : {std::pair(800, 7200), std::pair(2048, 3600), std::pair(300, 43200)}) {
        Layout(*chart, nWidth, 320);
        const QVector<double> aTicks = chart->xAxis->tickVector();
        const QVector<QString> aLabels = chart->xAxis->tickVectorLabels();
        ASSERT_GE(aTicks.size(), 2) << nWidth;
        const double dStep = aTicks.at(1) - aTicks.at(0);
        EXPECT_LE(dStep, nMaxStep) << nWidth;
        EXPECT_EQ(aLabels.first(), QStringLiteral("00:00:00")) << nWidth;
        for (double dTick : aTicks)
            EXPECT_EQ(qint64(dTick) % qint64(dStep), 0) << "round times of the day";
        for (int i = 1; i < aTicks.size(); ++i)
            EXPECT_GT(chart->xAxis->coordToPixel(aTicks.at(i)) - chart->xAxis->coordToPixel(aTicks.at(i - 1)),
                      nLabelWidth)
                << nWidth;
    }
}

// --- noise events on the profile --------------------------------------------------------------

TEST_F(TPrfChartTest, PlotDay_EventSpansAndThresholdLineFollowTheSettingsAndTheDay)
{
    QByteArray ba = ".Time,LAeq\r\n";
    for (int s = 0; s < 10; ++s)
        ba += "10:00:0" + QByteArray::number(s) + ",72.0\r\n";
    WritePrf(dt1, ba);
    WritePrf(dt1.addDays(1), ".Time,LAeq\n10:00:00,40\n");
    const auto spans = [this] {
        QList<QCPItemRect*> a;
        for (int i = 0; i < chart->itemCount(); ++i)
            if (auto* rect = qobject_cast<QCPItemRect*>(chart->item(i)))
                a << rect;
        return a;
    };
    chart->PlotDay(dt1);
    ASSERT_EQ(spans().size(), 1);
    const double dStart = chart->BottomMin();
    EXPECT_DOUBLE_EQ(spans()[0]->topLeft->key(), dStart + 36000);
    EXPECT_DOUBLE_EQ(spans()[0]->bottomRight->key(), dStart + 36010);
    EXPECT_EQ(spans()[0]->layer()->name(), QStringLiteral("grid"));
    // The level line stays the first series; the threshold steps to the night value at 23:00.
    ASSERT_EQ(chart->graphCount(), 2);
    ExpectLevel(36000, 72.0);
    const QCPGraph* threshold = chart->graph(1);
    EXPECT_EQ(threshold->pen().style(), Qt::DashLine);
    // The step line's value at a time: that of the last point at or before it.
    const auto thresholdAt = [&](double dKey) {
        double d = std::numeric_limits<double>::quiet_NaN();
        for (auto it = threshold->data()->constBegin(); it != threshold->data()->constEnd() && it->key <= dKey; ++it)
            d = it->value;
        return d;
    };
    EXPECT_DOUBLE_EQ(thresholdAt(dStart + 6 * 3600 + 3599), 55);
    EXPECT_DOUBLE_EQ(thresholdAt(dStart + 7 * 3600), 65);
    EXPECT_DOUBLE_EQ(thresholdAt(dStart + 23 * 3600), 55);
    EXPECT_DOUBLE_EQ(threshold->data()->at(threshold->data()->size() - 1)->key, dStart + 86400);

    // Relative to the background the line draws the threshold the detection used: with
    // an hour of 40 dB from 09:00 it lies at the floor, 65 - 10 dB, once the first
    // minute is past, and at the fixed 65 dB before.
    QByteArray baQuiet = ".Time,LAeq\r\n";
    for (int s = 9 * 3600; s < 10 * 3600; ++s)
        baQuiet += QString::asprintf("%02d:%02d:%02d,40.0\r\n", s / 3600, s / 60 % 60, s % 60).toLatin1();
    WritePrf(dt1.addDays(2), baQuiet);
    cfg->SetEvtBackground(true);
    chart->PlotDay(dt1.addDays(2));
    threshold = chart->graph(1);
    const double dStart2 = chart->BottomMin();
    EXPECT_DOUBLE_EQ(thresholdAt(dStart2 + 9 * 3600 + 30), 65);
    EXPECT_DOUBLE_EQ(thresholdAt(dStart2 + 9 * 3600 + 1800), 55);
    cfg->SetEvtBackground(false);
    chart->PlotDay(dt1);
    threshold = chart->graph(1);

    // The next day has no event; plotting it clears the old span and keeps one threshold line.
    chart->PlotDay(dt1.addDays(1));
    EXPECT_TRUE(spans().isEmpty());
    EXPECT_EQ(chart->graphCount(), 2);

    cfg->SetEvtShowSpans(false);
    cfg->SetEvtShowThreshold(false);
    chart->PlotDay(dt1);
    EXPECT_TRUE(spans().isEmpty());
    EXPECT_EQ(chart->graphCount(), 1);
}

// Regression: a span of 10 seconds is a seventieth of a pixel on a whole day at 800
// pixels, and was not drawn at all. Every span shows as at least one pixel column.
TEST_F(TPrfChartTest, EventSpans_AtLeastOnePixelWideOnAWholeDay)
{
    QByteArray ba = ".Time,LAeq\r\n00:00:00,40.0\r\n";
    for (int s = 0; s < 10; ++s)
        ba += "10:00:0" + QByteArray::number(s) + ",72.0\r\n";
    ba += "23:59:59,40.0\r\n";
    WritePrf(dt1, ba);
    chart->PlotDay(dt1);
    chart->graph(0)->setVisible(false);
    for (int i = 1; i < chart->graphCount(); ++i)
        chart->graph(i)->setVisible(false);
    for (const QSize size : {QSize(800, 320), QSize(600, 120), QSize(2048, 800)}) {
        Layout(*chart, size.width(), size.height());
        const QImage image = chart->toPixmap(size.width(), size.height()).toImage();
        const QRect rcPlot = chart->axisRect()->rect();
        // Shaded columns: neither white nor grid grey at the middle of the plot.
        int nFirst = -1;
        int nColumns = 0;
        for (int x = rcPlot.left() + 1; x < rcPlot.right(); ++x) {
            const QColor col = image.pixelColor(x, rcPlot.center().y() + 3);
            if (col.red() > col.blue() + 40) {
                nColumns += 1;
                nFirst = nFirst < 0 ? x : nFirst;
            }
        }
        EXPECT_EQ(nColumns, 1) << size.width() << "x" << size.height();
        EXPECT_NEAR(nFirst, chart->xAxis->coordToPixel(chart->BottomMin() + 36005), 1) << size.width();
    }
}

// The profile's bands run to the second, over the part of the day the exclusions of
// LAeq cover; an exclusion of another parameter shows nothing. A day plotted after
// takes its own bands, and a span selected on it runs from its first second to the
// second after its last.
TEST_F(TPrfChartTest, ExclusionBands_ToTheSecondAndSelectionInWallTime)
{
    WritePrf(dt1, ".Time,LAeq\r\n00:00:00,41.3\r\n23:59:59,60\r\n");
    TExclusions excl;
    QString sError;
    ASSERT_TRUE(excl.LoadText(
        QStringLiteral("id,monitor,from,to,covers,reason,comment,author,created,withdrawn,withdrawn by\n"
                       "1,*,2024-03-04 23:00:00,2024-03-05 00:10:30,all,rain,,anna,2024-03-06 07:00:00,,\n"
                       "2,M01,2024-03-05 12:00:00,2024-03-05 12:00:05,LAeq,works,,anna,2024-03-06 07:00:00,,\n"
                       "3,M01,2024-03-05 13:00:00,2024-03-05 14:00:00,LAF90,works,,anna,2024-03-06 07:00:00,,\n"
                       "4,M01,2024-03-06 01:00:00,2024-03-06 02:00:00,all,fault,,anna,2024-03-06 07:00:00,,\n"),
        QString(), sError))
        << qPrintable(sError);
    chart->SetExclusions(&excl);
    chart->PlotDay(dt1);
    const double d0 = chart->xAxis->range().lower; // the day's midnight
    const QList<QCPRange> aBands = chart->BandRanges();
    ASSERT_EQ(aBands.size(), 2);
    EXPECT_EQ(aBands.at(0), QCPRange(d0, d0 + 630));
    EXPECT_EQ(aBands.at(1), QCPRange(d0 + 43200, d0 + 43205));
    EXPECT_TRUE(chart->BandTip(d0 + 43202).contains(QStringLiteral("works")));

    chart->Select(d0 + 3600.4, d0 + 3659.6);
    EXPECT_EQ(chart->Selection(), std::make_pair(TExclusion::Wall(dt1, 3600), TExclusion::Wall(dt1, 3660)));
    // The shown range is the whole day, up to its last second's end.
    chart->ClearSelection();
    EXPECT_EQ(chart->ExcludeSpan(), std::make_pair(TExclusion::Wall(dt1, 0), TExclusion::Wall(dt1.addDays(1), 0)));

    chart->PlotDay(dt1.addDays(1));
    ASSERT_EQ(chart->BandRanges().size(), 1);
    EXPECT_EQ(chart->BandRanges().at(0).size(), 3600);
    EXPECT_EQ(chart->Selection(), std::make_pair(qint64(0), qint64(0)));
}
