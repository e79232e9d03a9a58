#include "output/pdfreport.h"

#include "analysis/events.h"
#include "analysis/eventsfill.h"
#include "analysis/limitsfill.h"
#include "analysis/rating.h"
#include "analysis/ratingfill.h"
#include "monitors/monitor.h"
#include "platform/writeerror.h"
#include "settings/cfg.h"
#include "views/almchart.h"
#include "views/almlist.h"
#include "views/almtbl.h"
#include "views/callist.h"
#include "views/chartlevels.h"
#include "views/eventchart.h"
#include "views/eventtbl.h"
#include "views/limitstbl.h"
#include "views/perchart.h"
#include "views/pertbl.h"
#include "views/prfchart.h"
#include "views/ratingchart.h"
#include "views/ratingtbl.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPrinter>

#include <algorithm>
#include <memory>

namespace {

// The window's monitor check-list: one row per catalogue monitor, the chosen ones ticked.
void FillCheckList(QListWidget& chklst, const TTQMonitors& mons, const TMonitorSel& aMons)
{
    for (int i = 0; i < mons.Count(); ++i) {
        const TTQMonitor* mon = mons.GetHead(i);
        auto* item = new QListWidgetItem(mon->sName, &chklst);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        const bool bTicked = std::find(aMons.begin(), aMons.end(), mon) != aMons.end();
        item->setCheckState(bTicked ? Qt::Checked : Qt::Unchecked);
    }
}

// One chart per chosen monitor, titled with its name, as the window stacks them.
template <class TChart>
QList<TChartBase*> MakeCharts(TCfg& cfg, const TMonitorSel& aMons, QWidget& holder)
{
    QList<TChartBase*> charts;
    for (const TTQMonitor* mon : aMons) {
        auto* chart = new TChart(cfg, &holder);
        chart->SetTitle(mon->sName);
        chart->SetMonitorID(mon->sID);
        charts.append(chart);
    }
    return charts;
}

} // namespace

TPdfReport::TPdfReport(TCfg& cfgRun, const TTQMonitors& monsAll, TMonitorSel aMonsSel, const QDate& dtFromRun,
                       const QDate& dtToRun)
    : cfg(cfgRun), mons(monsAll), aMons(std::move(aMonsSel)), dtFrom(dtFromRun), dtTo(dtToRun)
{
}

const QStringList& TPdfReport::ReportNames()
{
    static const QStringList sl{QStringLiteral("periodic-chart"), QStringLiteral("periodic-table"),
                                QStringLiteral("alarm-chart"),    QStringLiteral("alarm-table"),
                                QStringLiteral("alarm-list"),     QStringLiteral("profile"),
                                QStringLiteral("calibrations"),   QStringLiteral("summary"),
                                QStringLiteral("event-list"),     QStringLiteral("event-chart"),
                                QStringLiteral("exceedances")};
    return sl;
}

std::optional<EPrintReport> TPdfReport::ReportFromName(const QString& s)
{
    const qsizetype i = ReportNames().indexOf(s);
    if (i < 0)
        return std::nullopt;
    return EPrintReport(i);
}

int TPdfReport::Write(EPrintReport report, const QString& sFile)
{
    sError.clear();
    const QString sTarget = QFileInfo(sFile).absoluteFilePath();
    const int nPages = Print(report, sTarget);
    if (nPages <= 0 && sError.isEmpty())
        sError = EWriteError::Text(QDir::toNativeSeparators(sTarget), QString());
    return std::max(nPages, 0);
}

int TPdfReport::Print(EPrintReport report, const QString& sPdf)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(sPdf);
    printer.setPageSize(QPageSize(idPaper));
    printer.setPageOrientation(bLandscapePaper ? QPageLayout::Landscape : QPageLayout::Portrait);

    const int nPeriod = cfg.RepPerPeriod();
    TPrintJob job;
    job.sTitle = TPrintJob::Title(report, nPeriod);
    job.dtFrom = dtFrom;
    job.dtTo = dtTo;
    // Charts stop at today as on screen; tables and lists take the range as given.
    const QDate dtChartTo = std::max(dtFrom, std::min(dtTo, QDate::currentDate()));
    const QDateTime dtStart(dtFrom, QTime(0, 0));
    const QDateTime dtEnd(dtTo, QTime(0, 0));

    QWidget holder;
    QListWidget chklst(&holder);
    FillCheckList(chklst, mons, aMons);
    QList<TChartBase*> charts;
    std::unique_ptr<TGridView> grid;
    switch (report) {
    case EPrintReport::PerChart:
        charts = MakeCharts<TPerChart>(cfg, aMons, holder);
        for (TChartBase* chart : std::as_const(charts))
            static_cast<TPerChart*>(chart)->PlotPeriod(dtFrom, dtChartTo, nPeriod);
        break;
    case EPrintReport::AlmChart:
        charts = MakeCharts<TAlmChart>(cfg, aMons, holder);
        for (TChartBase* chart : std::as_const(charts))
            static_cast<TAlmChart*>(chart)->PlotPeriod(dtFrom, dtChartTo);
        break;
    case EPrintReport::Profile:
        // The profile tab shows the one day of its start date.
        job.dtTo = dtFrom;
        charts = MakeCharts<TPrfChart>(cfg, aMons, holder);
        for (TChartBase* chart : std::as_const(charts))
            static_cast<TPrfChart*>(chart)->PlotDay(dtFrom);
        break;
    case EPrintReport::PerTable: {
        auto tbl = std::make_unique<TPerTable>(cfg, mons, nullptr);
        tbl->LoadTable(dtStart, dtEnd, nPeriod, &chklst);
        grid = std::move(tbl);
        break;
    }
    case EPrintReport::AlmTable: {
        auto tbl = std::make_unique<TAlmTable>(cfg, mons, nullptr);
        tbl->LoadTable(dtStart, dtEnd, nPeriod, &chklst);
        grid = std::move(tbl);
        break;
    }
    case EPrintReport::AlmList: {
        auto lst = std::make_unique<TAlmList>(cfg, mons, nullptr);
        lst->LoadList(dtStart, dtEnd, &chklst);
        grid = std::move(lst);
        break;
    }
    case EPrintReport::Calibrations: {
        auto lst = std::make_unique<TCalList>(cfg, mons, nullptr);
        lst->LoadList(dtStart, dtEnd, &chklst);
        grid = std::move(lst);
        break;
    }
    case EPrintReport::Summary: {
        // Days still to come would only dilute the range, as on screen.
        job.dtTo = dtChartTo;
        job.sNote = TRatingFill::Note(TRatingSettings::FromCfg(cfg));
        auto tbl = std::make_unique<TRatingTable>(cfg, mons, nullptr);
        tbl->LoadTable(dtStart, QDateTime(dtChartTo, QTime(0, 0)), nPeriod, &chklst);
        grid = std::move(tbl);
        break;
    }
    case EPrintReport::EvtList: {
        // The events, like the profile, are of the start date only.
        job.dtTo = dtFrom;
        job.sNote = TEventsFill::Note(TEventSettings::FromCfg(cfg));
        auto lst = std::make_unique<TEventTable>(cfg, mons, nullptr);
        lst->LoadList(dtFrom, &chklst);
        grid = std::move(lst);
        break;
    }
    case EPrintReport::Exceedances: {
        // Days still to come would only add unassessed periods, as on screen.
        job.dtTo = dtChartTo;
        job.sNote = TLimitsFill::Note();
        auto tbl = std::make_unique<TLimitsTable>(cfg, mons, nullptr);
        tbl->LoadTable(dtStart, QDateTime(dtChartTo, QTime(0, 0)), nPeriod, &chklst);
        grid = std::move(tbl);
        break;
    }
    case EPrintReport::EvtChart: {
        job.dtTo = dtFrom;
        job.sNote = TEventsFill::Note(TEventSettings::FromCfg(cfg));
        charts = MakeCharts<TEventChart>(cfg, aMons, holder);
        int nHighest = 0;
        for (TChartBase* chart : std::as_const(charts)) {
            auto* evt = static_cast<TEventChart*>(chart);
            evt->PlotDay(dtFrom);
            nHighest = std::max(nHighest, evt->HighestCount());
        }
        // Counts share one count range across the stack, as on screen.
        for (TChartBase* chart : std::as_const(charts))
            static_cast<TEventChart*>(chart)->SetCountMax(nHighest);
        break;
    }
    }
    if (!charts.isEmpty())
        TChartLevels::Share(charts, cfg);

    if (grid) {
        job.grid = grid.get();
    } else {
        if (charts.isEmpty()) {
            sError = QStringLiteral("No monitor chosen: there are no charts to print");
            return 0;
        }
        job.scrollbox = &holder;
    }
    TformPrint form(cfg, nullptr);
    const int nPages = form.DoPrint(job, &printer);
    sError = form.Error();
    return nPages;
}
