#include "pages/excpage.h"
#include "pages/statpage.h"
#include "pages/sumpage.h"

#include "analysis/limitsfill.h"
#include "analysis/ratingfill.h"
#include "analysis/statfill.h"
#include "monitors/monitor.h"
#include "settings/cfg.h"
#include "views/grid.h"
#include "views/statchart.h"

#include "views/tickedmonitors.h"

#include <QListWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {
const QDate d7(2024, 3, 7);

// The ticked monitors with the page's environment and a one-day choice.
class TPageTest : public TTickedMonitorsTest
{
protected:
    TPageEnv Env() { return TPageEnv{cfg, mons, &chklstMon, {}, nullptr, {}}; }
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

TEST_F(TPageTest, Statistics_TheChosenParameterRebuildsAndTheCarpetTellsItsCells)
{
    TStatPage page(Env(), nullptr);
    page.resize(1400, 900);
    // LAeq "5f.h": 51.h at hour h; LAF90 52.h.
    dir.Write(QStringLiteral("M02"), d7, "per-07-0060.csv", TDayDir::FullDay60(".Time,LAeq,LAF90"));
    Tick(0);
    EXPECT_EQ(page.Param(), QStringLiteral("LAF90"));
    page.Build(Day(d7));
    const TGridView& back = *page.Grid(0);
    EXPECT_EQ(back.Cells(0, 0), QStringLiteral("~name~East Fence"));
    EXPECT_EQ(back.Cells(0, 2), QStringLiteral("~h~LAF90"));
    EXPECT_EQ(back.Cells(0, 4), QStringLiteral("52-53"));
    // 7:00 to 18:00 are day: twelve periods.
    EXPECT_EQ(back.Cells(TStatFill::ColPart + 2 * rpDay, 4), QStringLiteral("12"));
    EXPECT_TRUE(page.Note().contains(QLatin1String("nearest rank")));

    // Choosing another parameter rebuilds what is on screen; one the file lacks says so.
    page.SetParam(QStringLiteral("LAF95"));
    EXPECT_EQ(back.Cells(0, 2), QStringLiteral("The day files have no LAF95 column"));
    page.SetParam(QStringLiteral("LAeq"));
    EXPECT_EQ(back.Cells(0, 4), QStringLiteral("51-52"));

    page.SetCurrentPage(1);
    page.Build(Day(d7));
    const TGridView& hours = *page.Grid(1);
    // 2024-03-07 is a Thursday: hour 13 of the carpet reads 51.3.
    EXPECT_EQ(hours.Cells(TStatFill::ColCarpet + 3, 4 + 13), QStringLiteral("51.3"));
    EXPECT_EQ(hours.Cells(TStatFill::ColCarpet + 4, 4 + 13), QString());

    page.SetCurrentPage(2);
    page.Build(Day(d7));
    ASSERT_EQ(page.Charts().size(), 1);
    auto* chart = static_cast<TStatChart*>(page.Charts().front());
    chart->resize(1200, 400);
    chart->replot();
    EXPECT_DOUBLE_EQ(chart->CarpetLevel(3, 13), 51.3);
    EXPECT_TRUE(std::isnan(chart->CarpetLevel(4, 13)));
    EXPECT_DOUBLE_EQ(chart->KeyMin(), 51.0);
    EXPECT_DOUBLE_EQ(chart->KeyMax(), 52.0);
    EXPECT_DOUBLE_EQ(chart->Value(TStatChart::SeriesWeekdays, 13), 51.3);
    // The tip of the cell under a point found from the carpet's own axes.
    const QList<QCPAxisRect*> aRects = chart->axisRects();
    ASSERT_EQ(aRects.size(), 3);
    QCPAxisRect* rectCarpet = aRects[2];
    const QPointF pt(rectCarpet->axis(QCPAxis::atBottom)->coordToPixel(13),
                     rectCarpet->axis(QCPAxis::atLeft)->coordToPixel(3));
    EXPECT_EQ(chart->CarpetTip(pt), QStringLiteral("Thu 13:00-14:00  51.3 dB"));
    const QPointF ptFri(pt.x(), rectCarpet->axis(QCPAxis::atLeft)->coordToPixel(4));
    EXPECT_EQ(chart->CarpetTip(ptFri), QStringLiteral("Fri 13:00-14:00  no value"));
    EXPECT_EQ(chart->CarpetTip(QPointF(2, 2)), QString());
    // The distribution of the chosen parameter (LAeq, chosen above): the day's twelve
    // values 51.7 to 51.9 and 51.0 to 51.8 all lie in the class 51-52.
    EXPECT_DOUBLE_EQ(chart->Value(TStatChart::SeriesParts + rpDay, 0), 100.0);
    EXPECT_TRUE(std::isnan(chart->Value(TStatChart::SeriesParts + rpDay, 1)));
}
