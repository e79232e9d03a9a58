#include "pages/sumpage.h"

#include "analysis/rating.h"
#include "analysis/ratingfill.h"
#include "datafiles/perfile.h"
#include "monitors/monitor.h"
#include "output/htmlpage.h"
#include "pages/kindexport.h"
#include "platform/platform.h"
#include "reports/csvtext.h"
#include "reports/stringgrid.h"
#include "settings/cfg.h"
#include "views/fillgrid.h"
#include "views/ratingchart.h"

#include <QTextStream>

#include <algorithm>

namespace {

QString SummaryRow(const QString& sID, const QString& sDate, const TRatingLevels& lv, bool bExcluded)
{
    QStringList sl{TCsvText::Field(sID), sDate};
    for (double d : lv.adLevel)
        sl << TRatingFill::Level(d);
    sl << TRatingFill::Level(lv.dLden);
    for (double d : lv.adCoverage)
        sl << TRatingFill::Level(d * 100.0);
    if (bExcluded)
        for (double d : lv.adExcludedSecs)
            sl << QString::number(d / 3600.0, 'f', 1);
    return sl.join(QLatin1Char(','));
}

} // namespace

const TKindInfo& TSumPage::Info()
{
    static const TKindInfo info{QStringLiteral("sum"),
                                QStringLiteral("summaries"),
                                QStringLiteral("Summary"),
                                QStringLiteral("tabSummary"),
                                4,
                                QStringLiteral("reptypes/summary.html"),
                                QStringLiteral("&Summary"),
                                QStringLiteral("menuHelpSummary"),
                                true,
                                QStringLiteral("Daily Rating Level Report"),
                                QStringLiteral("Summary Reports"),
                                QStringLiteral("Summary reports: "),
                                {QStringLiteral("sum")},
                                {TKindPage{QStringLiteral("Table"),
                                           false,
                                           QStringLiteral("summary"),
                                           QStringLiteral("Daily Rating Levels"),
                                           true,
                                           QString(),
                                           {}},
                                 // The table and the chart share one printed title.
                                 TKindPage{QStringLiteral("Chart"),
                                           true,
                                           QString(),
                                           QStringLiteral("Daily Rating Levels"),
                                           true,
                                           QString(),
                                           {}}}};
    return info;
}

TSumPage::TSumPage(const TPageEnv& env, QWidget* parent) : TReportPage(Info(), env, parent)
{
    // The table first, then the chart; the note on what the figures mean above both.
    MakeLayout(QStringLiteral("lblSumNote"), QStringLiteral("pagesSum"),
               {QStringLiteral("tabSumTbl"), QStringLiteral("tabSumChart")},
               QStringLiteral("scrollboxSumChart"), false);
    sumTable = new TFillGrid(env.cfg, env.mons, PageWidget(0));
    sumTable->setObjectName(QStringLiteral("sumTable"));
    SetGrid(0, sumTable);
}

void TSumPage::Build(const TPageChoice& c)
{
    SetNote(Note());
    // Days still to come have no data yet; as rows they would only dilute the range.
    if (CurrentPage() == 0) {
        // The rating settings as they are at the build.
        sumTable->LoadTicked(
            env.chklstMon, [&](TStringGrid& grid, const QString& sDataPath, const TMonitorSel& aMons) {
                const TRatingSettings set = TRatingSettings::FromCfg(env.cfg);
                TRatingFill::FillSummary(
                    grid, set, aMons,
                    TRating::Compute(set, sDataPath, aMons, c.dtStart.date(), c.dtEndCut, c.nPeriod, Applied()));
            });
        return;
    }
    for (TRatingChart* chart : MakeCharts<TRatingChart>())
        chart->PlotPeriod(c.dtStart.date(), c.dtEndCut, c.nPeriod);
    ShareLevels();
}

QString TSumPage::DataFile(const QString& sDataPath, const QString& sID, const QDate& d, int nPeriod) const
{
    // Made from the periodic files.
    return TPerFile::FileName(sDataPath, sID, d, nPeriod);
}

QDate TSumPage::PrintTo(const QDate& dtFrom, const QDate&, const QDate& dtCut) const
{
    // The report stops at today, as on screen.
    return std::max(dtFrom, dtCut);
}

QString TSumPage::Note() const
{
    return TRatingFill::Note(TRatingSettings::FromCfg(env.cfg));
}

bool TSumPage::Export(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon)
{
    ex.AddExcludedLine(page, mon);
    // One computation serves the chart and the table, so the two cannot disagree.
    const TRatingSettings set = TRatingSettings::FromCfg(ex.Cfg());
    const TMonitorSel aOne{&mon};
    // As on screen, days still to come are not rows: they would only dilute the range.
    const QDate dtLast = std::min(ex.To(), QDate::currentDate());
    const std::vector<TRatingMonitor> aResults =
        TRating::Compute(set, ex.DataPath(), aOne, ex.From(), dtLast, ex.Period(), ex.Exclusions());
    if (aResults.empty())
        return true;
    const TRatingMonitor& rm = aResults.front();

    const QString sChartDir = ex.ChartDir(Info());
    if (TPlatform::ForceDirectories(sChartDir) && !ex.Hooks().Cancelled()) {
        TRatingChart chart(ex.Cfg());
        chart.SetExclusions(ex.Exclusions());
        chart.SetTitle(QStringLiteral("Daily Rating Levels - Period: ") + QString::number(ex.Period()) +
                       QStringLiteral(" minutes"));
        chart.SetMonitorID(mon.sID);
        chart.PlotRating(rm, set);
        if (!ex.SaveChartImages(page, Info(), mon.sID, chart))
            return false;
    }

    TStringGrid grid;
    TRatingFill::FillSummary(grid, set, aOne, aResults);
    page.AddSumTable(grid, set);
    return true;
}

void TSumPage::WriteCsv(const TCfg& cfg, const QString& sDataPath, const TMonitorSel& aSel,
                        const QDate& dtFrom, const QDate& dtTo, QTextStream& out, const TExclusions* pExcl)
{
    // As on screen and in the export, days still to come are not rows: their empty
    // parts would only pull the range's coverage down.
    const QDate dtLast = std::min(dtTo, QDate::currentDate());
    const auto aMons =
        TRating::Compute(TRatingSettings::FromCfg(cfg), sDataPath, aSel, dtFrom, dtLast, cfg.RepPerPeriod(), pExcl);
    // The hours excluded come as three more columns, only when there are any: the
    // columns of a run without exclusions stay as they always were.
    const bool bExcluded = TRatingFill::AnyExcluded(aMons);
    out << "Monitor,Date,Lday,Levening,Lnight,Lden,Day coverage %,Evening coverage %,Night coverage %"
        << (bExcluded ? ",Day excluded h,Evening excluded h,Night excluded h\n" : "\n");
    for (const TRatingMonitor& rm : aMons) {
        for (const TRatingLevels& lv : rm.aDays)
            out << SummaryRow(rm.sID, lv.dt.toString(QStringLiteral("yyyy-MM-dd")), lv, bExcluded) << '\n';
        out << SummaryRow(rm.sID, QStringLiteral("Range"), rm.range, bExcluded) << '\n';
    }
    out.flush();
}
