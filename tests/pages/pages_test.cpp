#include "pages/excpage.h"
#include "pages/qualpage.h"
#include "pages/sumpage.h"

#include "analysis/limitsfill.h"
#include "analysis/qualityfill.h"
#include "analysis/ratingfill.h"
#include "monitors/monitor.h"
#include "settings/cfg.h"
#include "views/grid.h"
#include "views/qualchart.h"

#include "views/tickedmonitors.h"

#include <QListWidget>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {
const QDate d7(2024, 3, 7);

// The ticked monitors with the page's environment and a one-day choice.
class TPageTest : public TTickedMonitorsTest
{
protected:
    TPageEnv Env() { return TPageEnv{cfg, mons, &chklstMon, {}}; }
    static TPageChoice Day(const QDate& d) { return TPageChoice{d.startOfDay(), d.startOfDay(), d, 60}; }
};
} // namespace

TEST_F(TPageTest, SummaryTable_UsesTheSettingsAsTheyAreAtTheBuild)
{
    TSumPage page(Env(), nullptr);
    dir.Write(QStringLiteral("M02"), d7, "per-07-0060.csv", TDayDir::FullDay60(".Time,LAeq"));
    Tick(0);
    page.Build(Day(d7));
    const TGridView& tbl = *page.Grid(0);
    EXPECT_EQ(tbl.Cells(0, 0), QStringLiteral("~name~East Fence"));
    EXPECT_EQ(tbl.ColCount(), TRatingFill::ColCount);
    EXPECT_EQ(tbl.Cells(0, 4), QStringLiteral("2024-03-07"));
    EXPECT_FALSE(tbl.Cells(TRatingFill::ColLden, 4).isEmpty());
    EXPECT_EQ(tbl.columnWidth(0), 84);
    EXPECT_TRUE(tbl.Cells(0, 6).isEmpty()) << "no limit rows while the limits are off";

    cfg.SetRatingLdenLimitOn(true);
    page.Build(Day(d7));
    EXPECT_EQ(tbl.Cells(0, 6), QStringLiteral("~h~Limit"));
}

TEST_F(TPageTest, Exceedances_JudgedByTheRulesAsTheyAreAtTheBuild)
{
    TExcPage page(Env(), nullptr);
    dir.Write(QStringLiteral("M02"), d7, "per-07-0060.csv", TDayDir::FullDay60(".Time,LAeq"));
    Tick(0);
    page.Build(Day(d7));
    const QString sNone = page.Grid(0)->Cells(0, 2);
    // A rule every hourly period of the day is above: 24 rows of exceedances, each
    // at its start time, then the day's count row and the range's, which name the band.
    cfg.SetLimitRules({QStringLiteral("* ; LAeq ; Mon-Sun ; 00:00-00:00 ; 1.0 ; Low")});
    page.Build(Day(d7));
    int nRows = 0;
    for (int r = 0; r < page.Grid(0)->RowCount(); ++r)
        if (page.Grid(0)->Cells(TLimitsFill::ColLimit, r) == QStringLiteral("1.0") &&
            !page.Grid(0)->Cells(TLimitsFill::ColTime, r).contains(QLatin1Char('-')))
            ++nRows;
    EXPECT_EQ(nRows, 24);
    EXPECT_NE(page.Grid(0)->Cells(0, 2), sNone);
}

// --- data quality -----------------------------------------------------------------

namespace {
QPoint DayPoint(TQualChart& chart, int iDay)
{
    const QRect rc = chart.axisRect()->rect();
    return QPoint(int(chart.xAxis->coordToPixel(iDay)), rc.center().y());
}
} // namespace

TEST_F(TPageTest, QualityCalendar_StepsPerDayAndAClickRebuildsForThatDay)
{
    // East Fence: the 6th without a file, the 7th whole, with a calibration whose
    // level is a number and whose note is not. North Gate has nothing at all.
    const QDate d6 = d7.addDays(-1);
    dir.Write(QStringLiteral("M02"), d7, "per-07-0060.csv", TDayDir::FullDay60(".Time,LAeq"));
    dir.Write(QStringLiteral("M02"), d7, "cal-07.csv", QStringLiteral(".Time,Level,Note\n08:00:00,94.0,ok"));
    Tick(0);
    Tick(1);
    TQualPage page(Env(), nullptr);
    ASSERT_EQ(page.CurrentPage(), 0);
    page.Build(TPageChoice{d6.startOfDay(), d7.startOfDay(), d7, 60});
    ASSERT_EQ(page.Charts().size(), 2);
    auto* east = static_cast<TQualChart*>(page.Charts()[0]);
    auto* north = static_cast<TQualChart*>(page.Charts()[1]);
    auto keys = [](TQualChart* chart, EQualityDay e) {
        QList<double> a;
        const auto* bars = static_cast<QCPBars*>(chart->plottable(int(e)));
        for (auto it = bars->data()->constBegin(); it != bars->data()->constEnd(); ++it)
            a.append(it->key);
        return a;
    };
    EXPECT_EQ(keys(east, EQualityDay::Full), QList<double>{1});
    EXPECT_EQ(keys(east, EQualityDay::NoData), QList<double>{0});
    EXPECT_EQ(keys(north, EQualityDay::NoData), (QList<double>{0, 1}));
    EXPECT_EQ(east->graph(TQualChart::SeriesCals - TQualChart::SeriesAlarms)->dataCount(), 1);
    // The level is drawn under the calendar, the note is not: one line.
    ASSERT_NE(east->CalRect(), nullptr);
    EXPECT_EQ(east->CalRect()->graphs().size(), 1);
    EXPECT_EQ(north->CalRect(), nullptr);
    // Fault guarded: in a stack of many monitors the calibration plot squeezed the
    // calendar to a line; a chart too low for both shows the calendar alone.
    static_cast<void>(east->toPixmap(800, 150));
    EXPECT_FALSE(east->CalRect()->visible());
    EXPECT_FALSE(east->legend->hasItemWithPlottable(east->CalRect()->graphs().at(0)));
    static_cast<void>(east->toPixmap(800, 400));
    EXPECT_TRUE(east->CalRect()->visible());
    EXPECT_TRUE(east->legend->hasItemWithPlottable(east->CalRect()->graphs().at(0)));

    // Fault guarded: the window rebuilds the page for the clicked day, which deletes
    // the chart clicked; done inside the chart's own mouse handler it ends the program.
    QList<QDate> aChosen;
    QObject::connect(&page, &TReportPage::DayChosen, &page, [&](const QDate& d) {
        aChosen.append(d);
        page.Build(TPageChoice{d.startOfDay(), d.startOfDay(), d, 60});
    });
    east->resize(800, 300);
    east->replot();
    QTest::mouseClick(east, Qt::LeftButton, {}, DayPoint(*east, 1));
    EXPECT_TRUE(aChosen.isEmpty()) << "asked for the day while the click was being handled";
    QCoreApplication::processEvents();
    EXPECT_EQ(aChosen, QList<QDate>{d7});
    ASSERT_EQ(page.Charts().size(), 2);
    EXPECT_EQ(keys(static_cast<TQualChart*>(page.Charts()[0]), EQualityDay::Full), QList<double>{0});

    // A drag zooms and picks no day.
    auto* again = static_cast<TQualChart*>(page.Charts()[0]);
    again->resize(800, 300);
    again->replot();
    const QPoint pt = DayPoint(*again, 0);
    QTest::mousePress(again, Qt::LeftButton, {}, pt - QPoint(30, 20));
    QTest::mouseMove(again, pt + QPoint(30, 20));
    QTest::mouseRelease(again, Qt::LeftButton, {}, pt + QPoint(30, 20));
    QCoreApplication::processEvents();
    EXPECT_EQ(aChosen.size(), 1);
}

TEST_F(TPageTest, QualityTable_FilledFromTheSameFiguresAsTheCalendar)
{
    dir.Write(QStringLiteral("M02"), d7, "per-07-0060.csv", TDayDir::FullDay60(".Time,LAeq"));
    Tick(0);
    TQualPage page(Env(), nullptr);
    page.SetCurrentPage(1);
    page.Build(Day(d7));
    const TGridView& tbl = *page.Grid(1);
    EXPECT_EQ(tbl.Cells(0, 0), QStringLiteral("~name~East Fence"));
    // Title, blank, heading, units, then Day, Evening, Night and the whole day.
    EXPECT_EQ(tbl.Cells(TQualityFill::ColExpected, 7), QStringLiteral("24"));
    EXPECT_EQ(tbl.Cells(TQualityFill::ColPresent, 7), QStringLiteral("24"));
    EXPECT_EQ(tbl.Cells(TQualityFill::ColClass, 14), QStringLiteral("full"));
    EXPECT_FALSE(page.Note().isEmpty());
}
