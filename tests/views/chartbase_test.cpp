#include "chartfixture.h"

#include "views/labelticker.h"
#include "views/perchart.h"

#include <QFontMetrics>
#include <QImage>
#include <QSignalSpy>

namespace {
const QDate dt1(2024, 3, 5);

// A laid-out periodic chart of one parameter over days without files: 1440/nPeriod
// empty, labelled slots per day.
class TChartBaseTest : public TChartTest
{
protected:
    std::unique_ptr<TPerChart> MakeChart(int nDays, int nPeriod = 60)
    {
        SelectParams({QStringLiteral("LAeq")});
        auto chart = std::make_unique<TPerChart>(*cfg);
        chart->PlotPeriod(dt1, dt1.addDays(nDays - 1), nPeriod);
        Layout(*chart, 800, 320);
        return chart;
    }
    static QPoint At(const TChartBase& chart, double fx, double fy)
    {
        const QRect rc = chart.axisRect()->rect();
        return QPoint(rc.left() + int(rc.width() * fx), rc.top() + int(rc.height() * fy));
    }
};
} // namespace

// ---- Zoom --------------------------------------------------------------------------

TEST_F(TChartBaseTest, ZoomToRect_ZoomsTheBottomAxisLikeAnotherChartAndUndoRestoresAll)
{
    auto chartA = MakeChart(2);
    auto chartB = MakeChart(2);
    QSignalSpy spyZoom(chartB.get(), &TChartBase::Zoomed);
    QSignalSpy spyUnzoom(chartB.get(), &TChartBase::Unzoomed);
    const QCPRange rangeLeft = chartB->yAxis->range();

    chartA->ZoomToRect(QRect(At(*chartA, 0.25, 0.1), At(*chartA, 0.5, 0.9)));
    chartB->ZoomToRect(chartA->LastZoomRect());
    ASSERT_EQ(spyZoom.count(), 1);
    EXPECT_EQ(spyZoom.at(0).at(0).value<TChartBase*>(), chartB.get());
    EXPECT_EQ(chartB->LastZoomRect(), chartA->LastZoomRect());
    EXPECT_NEAR(chartB->BottomMin(), 0.25 * 47, 0.5);
    EXPECT_NEAR(chartB->BottomMax(), 0.5 * 47, 0.5);
    EXPECT_DOUBLE_EQ(chartB->BottomMin(), chartA->BottomMin());
    EXPECT_EQ(chartB->yAxis->range(), rangeLeft);

    chartB->UndoZoom();
    ASSERT_EQ(spyUnzoom.count(), 1);
    EXPECT_EQ(spyUnzoom.at(0).at(0).value<TChartBase*>(), chartB.get());
    EXPECT_EQ(chartB->xAxis->range(), QCPRange(0, 47));
}

TEST_F(TChartBaseTest, Mouse_DragTowardsLowerRightZoomsTowardsUpperLeftOrDoubleClickUndoes)
{
    auto chart = MakeChart(2);
    QSignalSpy spyZoom(chart.get(), &TChartBase::Zoomed);
    QSignalSpy spyUnzoom(chart.get(), &TChartBase::Unzoomed);

    Drag(*chart, Qt::LeftButton, At(*chart, 0.2, 0.2), At(*chart, 0.4, 0.8));
    ASSERT_EQ(spyZoom.count(), 1);
    EXPECT_NEAR(chart->BottomMin(), 0.2 * 47, 0.5);
    EXPECT_NEAR(chart->BottomMax(), 0.4 * 47, 0.5);

    Drag(*chart, Qt::LeftButton, At(*chart, 0.6, 0.2), At(*chart, 0.3, 0.8)); // down and left
    Drag(*chart, Qt::LeftButton, At(*chart, 0.3, 0.8), At(*chart, 0.6, 0.2)); // up and right
    EXPECT_EQ(spyZoom.count(), 1);
    EXPECT_EQ(spyUnzoom.count(), 0);

    Drag(*chart, Qt::LeftButton, At(*chart, 0.6, 0.8), At(*chart, 0.3, 0.2));
    ASSERT_EQ(spyUnzoom.count(), 1);
    EXPECT_EQ(chart->xAxis->range(), QCPRange(0, 47));

    chart->SetBottomRange(10, 20);
    SendMouse(*chart, QEvent::MouseButtonDblClick, Qt::LeftButton, At(*chart, 0.5, 0.5));
    EXPECT_EQ(spyUnzoom.count(), 2);
    EXPECT_EQ(chart->xAxis->range(), QCPRange(0, 47));
}

// ---- Panning and the scroll clamp -------------------------------------------------

TEST_F(TChartBaseTest, Mouse_RightDragPansAndTheClampKeepsTheRangeInsideTheData)
{
    auto chart = MakeChart(3); // 72 slots
    QSignalSpy spyScroll(chart.get(), &TChartBase::Scrolled);
    const QCPRange rangeLeft = chart->yAxis->range();

    // Dragging the data left by a tenth of the width shows one slot later.
    chart->SetBottomRange(30, 40);
    Drag(*chart, Qt::RightButton, At(*chart, 0.6, 0.5), At(*chart, 0.5, 0.5));
    ASSERT_EQ(spyScroll.count(), 1);
    EXPECT_EQ(spyScroll.at(0).at(0).value<TChartBase*>(), chart.get());
    EXPECT_NEAR(chart->BottomMin(), 31, 0.1);
    EXPECT_NEAR(chart->BottomMax(), 41, 0.1);
    EXPECT_EQ(chart->yAxis->range(), rangeLeft);

    chart->SetBottomRange(2, 12);
    Drag(*chart, Qt::RightButton, At(*chart, 0.1, 0.5), At(*chart, 0.9, 0.5));
    EXPECT_DOUBLE_EQ(chart->BottomMin(), 0);
    EXPECT_NEAR(chart->BottomMax(), 10, 1e-9);

    chart->SetBottomRange(60, 70);
    Drag(*chart, Qt::RightButton, At(*chart, 0.9, 0.5), At(*chart, 0.1, 0.5));
    EXPECT_NEAR(chart->BottomMin(), 61, 1e-9);
    EXPECT_NEAR(chart->BottomMax(), 71, 1e-9);
    EXPECT_EQ(spyScroll.count(), 3);
}

TEST_F(TChartBaseTest, ScrollClamp_ChartWithoutSeriesKeepsItsRange)
{
    SelectParams({});
    TPerChart chart(*cfg);
    Layout(chart, 800, 320);
    chart.SetBottomRange(-5, 3);
    QSignalSpy spyScroll(&chart, &TChartBase::Scrolled);
    SendMouse(chart, QEvent::MouseButtonPress, Qt::RightButton, At(chart, 0.5, 0.5));
    SendMouse(chart, QEvent::MouseButtonRelease, Qt::RightButton, At(chart, 0.5, 0.5));
    EXPECT_EQ(spyScroll.count(), 1);
    EXPECT_EQ(chart.xAxis->range(), QCPRange(-5, 3));
}

// ---- Category labels -----------------------------------------------------------------

TEST(TLabelTicker, NiceStep_DivisorsOfTheDayPreferringRoundTimesWholeDaysAbove)
{
    EXPECT_EQ(TLabelTicker::NiceStep(0.3, 144), 1);
    EXPECT_EQ(TLabelTicker::NiceStep(5, 144), 6);
    EXPECT_EQ(TLabelTicker::NiceStep(13, 144), 18) << "three hours rather than 160 minutes";
    EXPECT_EQ(TLabelTicker::NiceStep(100, 144), 144);
    EXPECT_EQ(TLabelTicker::NiceStep(145, 144), 288);
    EXPECT_EQ(TLabelTicker::NiceStep(400, 144), 720);
    EXPECT_EQ(TLabelTicker::NiceStep(3, 205), 5) << "no round time divides a day of 7-minute slots";
    EXPECT_EQ(TLabelTicker::NiceStep(7, 0), 10);
    EXPECT_EQ(TLabelTicker::NiceStep(1e12, 144), std::numeric_limits<int>::max());
}

TEST_F(TChartBaseTest, Labels_AYearOfTenMinuteSlotsNeverOverlapAtAnyWidth)
{
    auto chart = MakeChart(365, 10);
    ASSERT_EQ(chart->PointCount(), 52560);
    const int nLabelWidth =
        QFontMetrics(chart->xAxis->tickLabelFont()).horizontalAdvance(QStringLiteral("2024-03-05"));
    for (int nWidth : {300, 800, 2048}) {
        Layout(*chart, nWidth, 320);
        const QVector<double> aTicks = chart->xAxis->tickVector();
        const QVector<QString> aLabels = chart->xAxis->tickVectorLabels();
        // The narrowest chart, with its legend beside the plot, has room for one label.
        ASSERT_GE(aTicks.size(), nWidth > 300 ? 2 : 1) << nWidth;
        if (aTicks.size() > 1) {
            EXPECT_EQ(int(aTicks.at(1) - aTicks.at(0)) % 144, 0) << "whole days apart";
        }
        for (int i = 0; i < aTicks.size(); ++i) {
            EXPECT_EQ(aLabels.at(i), chart->Label(int(aTicks.at(i))));
            if (i > 0) {
                EXPECT_GT(chart->xAxis->coordToPixel(aTicks.at(i)) -
                              chart->xAxis->coordToPixel(aTicks.at(i - 1)),
                          nLabelWidth)
                    << nWidth;
            }
        }
    }

    // Zoomed into one day, the labels fall on round times within it.
    chart->SetBottomRange(100, 160);
    Layout(*chart, 800, 320);
    const QVector<double> aTicks = chart->xAxis->tickVector();
    ASSERT_GE(aTicks.size(), 3);
    EXPECT_EQ(144 % int(aTicks.at(1) - aTicks.at(0)), 0);
    EXPECT_GE(aTicks.first(), 100);
}

TEST_F(TChartBaseTest, SaveBmp_WritesABitmapOfTheAskedSize)
{
    auto chart = MakeChart(2);
    const QString sFile = dirData.filePath(QStringLiteral("chart.bmp"));
    ASSERT_TRUE(chart->SaveBmp(sFile, 640, 240));
    const QImage image(sFile);
    EXPECT_EQ(image.size(), QSize(640, 240));
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white));
    EXPECT_FALSE(chart->SaveBmp(dirData.filePath(QStringLiteral("no/such/folder/x.bmp")), 640, 240));
}
