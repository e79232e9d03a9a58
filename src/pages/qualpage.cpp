#include "pages/qualpage.h"

#include "analysis/quality.h"
#include "analysis/qualityfill.h"
#include "datafiles/perfile.h"
#include "monitors/monitor.h"
#include "output/htmlpage.h"
#include "pages/kindexport.h"
#include "platform/platform.h"
#include "reports/stringgrid.h"
#include "settings/cfg.h"
#include "views/fillgrid.h"
#include "views/qualchart.h"

#include <QTextStream>

#include <algorithm>

const TKindInfo& TQualPage::Info()
{
    static const TKindInfo info{QStringLiteral("qual"),
                                QStringLiteral("quality"),
                                QStringLiteral("Data Quality"),
                                QStringLiteral("tabQuality"),
                                7,
                                QStringLiteral("reptypes/quality.html"),
                                QStringLiteral("&Data Quality"),
                                QStringLiteral("menuHelpQuality"),
                                true,
                                QStringLiteral("Data Quality Report"),
                                QStringLiteral("Data Quality Reports"),
                                QStringLiteral("Data quality reports: "),
                                {QStringLiteral("qual")},
                                {TKindPage{QStringLiteral("Calendar"),
                                           true,
                                           QStringLiteral("quality-calendar"),
                                           QStringLiteral("Data Quality"),
                                           true,
                                           QString(),
                                           {}},
                                 TKindPage{QStringLiteral("Table"),
                                           false,
                                           QStringLiteral("quality"),
                                           QStringLiteral("Data Quality"),
                                           true,
                                           QStringLiteral("quality"),
                                           [](TStringGrid& grid, const TFillArgs& a) {
                                               const TQualitySettings set = TQualitySettings::FromCfg(
                                                   a.cfg, QDateTime::currentDateTime());
                                               TQualityFill::FillQuality(
                                                   grid, set, a.aMons,
                                                   TQuality::Compute(set, a.sDataPath, a.aMons, a.dtFrom,
                                                                     std::min(a.dtTo, QDate::currentDate()),
                                                                     a.nPeriod, a.pExcl));
                                           }}}};
    return info;
}

TQualPage::TQualPage(const TPageEnv& env, QWidget* parent) : TReportPage(Info(), env, parent)
{
    // The calendar first: where the record is thin shows at a glance; the figures behind it follow.
    MakeLayout(QStringLiteral("lblQualNote"), QStringLiteral("pagesQual"),
               {QStringLiteral("tabQualCalendar"), QStringLiteral("tabQualTbl")},
               QStringLiteral("scrollboxQualChart"), false);
    qualTable = new TFillGrid(env.cfg, env.mons, PageWidget(1));
    qualTable->setObjectName(QStringLiteral("qualTable"));
    SetGrid(1, qualTable);
}

void TQualPage::Build(const TPageChoice& c)
{
    SetNote(Note());
    // The settings and the clock as they are at the build; days still to come are
    // not rows, and today's periods count only once they are over.
    const TQualitySettings set = TQualitySettings::FromCfg(env.cfg, QDateTime::currentDateTime());
    const TExclusions* pExcl = Applied();
    if (CurrentPage() == 1) {
        qualTable->LoadTicked(env.chklstMon,
                              [&](TStringGrid& grid, const QString& sDataPath, const TMonitorSel& aMons) {
                                  TQualityFill::FillQuality(grid, set, aMons,
                                                            TQuality::Compute(set, sDataPath, aMons,
                                                                              c.dtStart.date(), c.dtEndCut,
                                                                              c.nPeriod, pExcl));
                              });
        return;
    }
    const QList<TQualChart*> charts = MakeCharts<TQualChart>();
    TMonitorSel aMons;
    for (int iRow : TickedRows())
        if (const TTQMonitor* mon = env.mons.GetHead(iRow))
            aMons.push_back(mon);
    // One walk for the whole stack; each chart takes its monitor's result.
    const std::vector<TQualityMonitor> aResults =
        TQuality::Compute(set, env.cfg.DataPath(), aMons, c.dtStart.date(), c.dtEndCut, c.nPeriod, pExcl);
    for (TQualChart* chart : charts) {
        const auto it = std::find_if(aResults.begin(), aResults.end(),
                                     [&](const TQualityMonitor& qm) { return qm.sID == chart->MonitorID(); });
        if (it != aResults.end())
            chart->PlotQuality(*it, set);
        // The window rebuilds the page for the day, which deletes this chart: the
        // request waits until the click has been handled.
        connect(chart, &TQualChart::DayClicked, this, &TReportPage::DayChosen, Qt::QueuedConnection);
    }
}

QString TQualPage::DataFile(const QString& sDataPath, const QString& sID, const QDate& d, int nPeriod) const
{
    return TPerFile::FileName(sDataPath, sID, d, nPeriod);
}

QDate TQualPage::PrintTo(const QDate& dtFrom, const QDate&, const QDate& dtCut) const
{
    // The report stops at today, as on screen.
    return std::max(dtFrom, dtCut);
}

QString TQualPage::Note() const
{
    return TQualityFill::Note(TQualitySettings::FromCfg(env.cfg, QDateTime()));
}

bool TQualPage::Export(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon)
{
    // One computation serves the calendar and the table, so the two cannot disagree.
    const TQualitySettings set = TQualitySettings::FromCfg(ex.Cfg(), QDateTime::currentDateTime());
    const TMonitorSel aOne{&mon};
    const QDate dtLast = std::min(ex.To(), QDate::currentDate());
    const std::vector<TQualityMonitor> aResults =
        TQuality::Compute(set, ex.DataPath(), aOne, ex.From(), dtLast, ex.Period(), ex.Exclusions());
    if (aResults.empty())
        return true;

    const QString sChartDir = ex.ChartDir(Info());
    if (TPlatform::ForceDirectories(sChartDir) && !ex.Hooks().Cancelled()) {
        TQualChart chart(ex.Cfg());
        chart.SetTitle(QStringLiteral("Data Quality - Period: ") + QString::number(ex.Period()) +
                       QStringLiteral(" minutes"));
        chart.SetMonitorID(mon.sID);
        chart.PlotQuality(aResults.front(), set);
        if (!ex.SaveChartImages(page, Info(), mon.sID, chart))
            return false;
    }

    TStringGrid grid;
    TQualityFill::FillQuality(grid, set, aOne, aResults);
    page.AddQualTable(grid, set);
    return true;
}

void TQualPage::WriteCsv(const TCfg& cfg, const QString& sDataPath, const TMonitorSel& aSel, const QDate& dtFrom,
                         const QDate& dtTo, int nPeriod, const TExclusions* pExcl, QTextStream& out)
{
    const TQualitySettings set = TQualitySettings::FromCfg(cfg, QDateTime::currentDateTime());
    const QDate dtLast = std::min(dtTo, QDate::currentDate());
    TQualityFill::WriteCsv(set, TQuality::Compute(set, sDataPath, aSel, dtFrom, dtLast, nPeriod, pExcl), out);
}
