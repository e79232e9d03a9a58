#include "pages/excpage.h"
#include "pages/sumpage.h"

#include "analysis/limitsfill.h"
#include "analysis/ratingfill.h"
#include "monitors/monitor.h"
#include "settings/cfg.h"
#include "views/grid.h"

#include "views/tickedmonitors.h"

#include <QListWidget>

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
