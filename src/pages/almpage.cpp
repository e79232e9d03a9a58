#include "pages/almpage.h"

#include "datafiles/almfile.h"
#include "monitors/monitor.h"
#include "output/htmlpage.h"
#include "pages/kindexport.h"
#include "platform/platform.h"
#include "reports/gridfill.h"
#include "views/almchart.h"
#include "views/almlist.h"
#include "views/almtbl.h"

const TKindInfo& TAlmPage::Info()
{
    static const TKindInfo info{
        QStringLiteral("alm"),
        QStringLiteral("alarms"),
        QStringLiteral("Alarms"),
        QStringLiteral("tabAlarms"),
        1,
        QStringLiteral("reptypes/alarms.html"),
        QStringLiteral("&Alarms"),
        QStringLiteral("menuHelpAlarms"),
        true,
        QStringLiteral("Alarm Report"),
        QStringLiteral("Alarm Reports"),
        QStringLiteral("Alarm reports: "),
        {QStringLiteral("alm-chart"), QStringLiteral("alm-table"), QStringLiteral("alm-list")},
        {TKindPage{QStringLiteral("Chart"),
                   true,
                   QStringLiteral("alarm-chart"),
                   QStringLiteral("Noise Alarm Count"),
                   false,
                   QString(),
                   {}},
         TKindPage{QStringLiteral("Table"), false, QStringLiteral("alarm-table"),
                   QStringLiteral("Alarm Table"), true, QStringLiteral("alarms"),
                   [](TStringGrid& grid, const TFillArgs& a) {
                       TGridFill::FillAlmTable(grid, a.sDataPath, a.aMons, a.dtFrom, a.dtTo, a.nPeriod);
                   }},
         TKindPage{QStringLiteral("List"), false, QStringLiteral("alarm-list"), QStringLiteral("Alarm List"),
                   false, QStringLiteral("alarm-list"), [](TStringGrid& grid, const TFillArgs& a) {
                       TGridFill::FillAlmList(grid, a.sDataPath, a.aMons, a.dtFrom, a.dtTo);
                   }}}};
    return info;
}

TAlmPage::TAlmPage(const TPageEnv& env, QWidget* parent) : TReportPage(Info(), env, parent)
{
    MakeLayout(QString(), QStringLiteral("pagesAlm"),
               {QStringLiteral("tabAlmChart"), QStringLiteral("tabAlmTable"), QStringLiteral("tabAlmList")},
               QStringLiteral("scrollboxAlmChart"), true);
    almTable = new TAlmTable(env.cfg, env.mons, PageWidget(1));
    SetGrid(1, almTable);
    almList = new TAlmList(env.cfg, env.mons, PageWidget(2));
    SetGrid(2, almList);
}

void TAlmPage::Build(const TPageChoice& c)
{
    if (CurrentPage() == 1) {
        almTable->LoadTable(c.dtStart, c.dtEnd, c.nPeriod, env.chklstMon);
    } else if (CurrentPage() == 2) {
        almList->LoadList(c.dtStart, c.dtEnd, env.chklstMon);
    } else {
        for (TAlmChart* chart : MakeCharts<TAlmChart>())
            chart->PlotPeriod(c.dtStart.date(), c.dtEndCut);
        ShareLevels();
    }
}

QString TAlmPage::DataFile(const QString& sDataPath, const QString& sID, const QDate& d, int) const
{
    return TAlmFile::FileName(sDataPath, sID, d);
}

bool TAlmPage::Export(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon)
{
    const int n = ex.Period();
    if (ex.Chosen(Info().aParts[0]) && !ex.Hooks().Cancelled()) {
        const QString sChartDir = ex.ChartDir(Info());
        if (!TPlatform::ForceDirectories(sChartDir))
            return ex.FolderFail(sChartDir);
        TAlmChart chart(ex.Cfg());
        chart.SetExclusions(ex.Exclusions());
        chart.SetTitle(QStringLiteral("Alarms Per ") + QString::number(n) + QStringLiteral(" Minute Period"));
        chart.SetMonitorID(mon.sID);
        chart.PlotPeriod(ex.From(), ex.To());
        if (!ex.SaveChartImages(page, Info(), mon.sID, chart))
            return false;
    }
    if (ex.Chosen(Info().aParts[1]))
        page.AddAlmTable(ex.DataPath(), mon.sID, ex.From(), ex.To(), n, ex.Hooks());
    if (ex.Chosen(Info().aParts[2]))
        page.AddAlmList(ex.DataPath(), mon.sID, ex.From(), ex.To(), ex.Hooks());
    return true;
}
