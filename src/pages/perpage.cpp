#include "pages/perpage.h"

#include "analysis/exclusionfill.h"
#include "analysis/limits.h"
#include "datafiles/perfile.h"
#include "monitors/monitor.h"
#include "output/htmlpage.h"
#include "pages/kindexport.h"
#include "platform/platform.h"
#include "reports/gridfill.h"
#include "settings/cfg.h"
#include "views/perchart.h"
#include "views/pertbl.h"

const TKindInfo& TPerPage::Info()
{
    static const TKindInfo info{QStringLiteral("per"),
                                QStringLiteral("periodic"),
                                QStringLiteral("Periodic"),
                                QStringLiteral("tabPeriodic"),
                                0,
                                QStringLiteral("reptypes/periodic.html"),
                                QStringLiteral("&Periodic"),
                                QStringLiteral("menuHelpPeriodic"),
                                true,
                                QStringLiteral("Periodic Noise Report"),
                                QStringLiteral("Periodic Reports"),
                                QStringLiteral("Periodic reports: "),
                                {QStringLiteral("per-chart"), QStringLiteral("per-table")},
                                {TKindPage{QStringLiteral("Chart"),
                                           true,
                                           QStringLiteral("periodic-chart"),
                                           QStringLiteral("Periodic Noise"),
                                           true,
                                           QString(),
                                           {}},
                                 TKindPage{QStringLiteral("Table"), false, QStringLiteral("periodic-table"),
                                           QStringLiteral("Periodic Noise"), true, QStringLiteral("periodic"),
                                           [](TStringGrid& grid, const TFillArgs& a) {
                                               TGridFill::FillPerTable(grid, a.cfg, a.sDataPath, a.aMons,
                                                                       a.dtFrom, a.dtTo, a.nPeriod,
                                                                       TExclusionFill::Of(a.pExcl));
                                           }}}};
    return info;
}

TPerPage::TPerPage(const TPageEnv& env, QWidget* parent) : TReportPage(Info(), env, parent)
{
    MakeLayout(QString(), QStringLiteral("pagesPer"),
               {QStringLiteral("tabPerChart"), QStringLiteral("tabPerTbl")},
               QStringLiteral("scrollboxPerChart"), true);
    perTable = new TPerTable(env.cfg, env.mons, PageWidget(1));
    SetGrid(1, perTable);
}

void TPerPage::Build(const TPageChoice& c)
{
    if (CurrentPage() == 1) {
        perTable->LoadTable(c.dtStart, c.dtEnd, c.nPeriod, env.chklstMon, Applied());
        return;
    }
    for (TPerChart* chart : MakeCharts<TPerChart>())
        chart->PlotPeriod(c.dtStart.date(), c.dtEndCut, c.nPeriod);
    ShareLevels();
}

QString TPerPage::DataFile(const QString& sDataPath, const QString& sID, const QDate& d, int nPeriod) const
{
    return TPerFile::FileName(sDataPath, sID, d, nPeriod);
}

QString TPerPage::LimitErrors(const TPageEnv& env)
{
    const TLimits limits = TLimits::FromCfg(env.cfg);
    QStringList slIDs;
    for (int i = 0; i < env.mons.Count(); ++i)
        slIDs.append(env.mons.GetHead(i)->sID);
    QStringList slSay{limits.ErrorSummary(), limits.UnknownSummary(slIDs)};
    slSay.removeAll(QString());
    return slSay.join(QStringLiteral("; "));
}

QString TPerPage::ErrorSource() const
{
    // The limit marks of the chart read the limit rules.
    return Info().sKey;
}

QString TPerPage::SettingsErrors() const
{
    return LimitErrors(env);
}

bool TPerPage::Export(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon)
{
    ex.AddExcludedLine(page, mon);
    const int n = ex.Period();
    if (ex.Chosen(Info().aParts[0]) && !ex.Hooks().Cancelled()) {
        const QString sChartDir = ex.ChartDir(Info());
        if (!TPlatform::ForceDirectories(sChartDir))
            return ex.FolderFail(sChartDir);
        TPerChart chart(ex.Cfg());
        chart.SetExclusions(ex.Exclusions());
        chart.SetTitle(QStringLiteral("Period: ") + QString::number(n) + QStringLiteral(" minutes"));
        chart.SetMonitorID(mon.sID);
        chart.SetLimitKeyShown(true);
        chart.PlotPeriod(ex.From(), ex.To(), n);
        if (!ex.SaveChartImages(page, Info(), mon.sID, chart))
            return false;
    }
    if (ex.Chosen(Info().aParts[1]))
        page.AddPerTable(ex.Cfg(), ex.DataPath(), mon.sID, ex.From(), ex.To(), n, ex.Hooks(),
                         TExclusionFill::Of(ex.Exclusions()));
    return true;
}
