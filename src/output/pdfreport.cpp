#include "output/pdfreport.h"

#include "monitors/monitor.h"
#include "pages/reportkinds.h"
#include "pages/reportpage.h"
#include "platform/writeerror.h"
#include "settings/cfg.h"
#include "views/chartlevels.h"
#include "views/scrollbox.h"

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

} // namespace

TPdfReport::TPdfReport(TCfg& cfgRun, const TTQMonitors& monsAll, TMonitorSel aMonsSel, const QDate& dtFromRun,
                       const QDate& dtToRun)
    : cfg(cfgRun), mons(monsAll), aMons(std::move(aMonsSel)), dtFrom(dtFromRun), dtTo(dtToRun)
{
}

QStringList TPdfReport::ReportNames()
{
    return TReportKinds::ReportNames();
}

int TPdfReport::Write(const QString& sReport, const QString& sFile)
{
    sError.clear();
    const QString sTarget = QFileInfo(sFile).absoluteFilePath();
    const int nPages = Print(sReport, sTarget);
    if (nPages <= 0 && sError.isEmpty())
        sError = EWriteError::Text(QDir::toNativeSeparators(sTarget), QString());
    return std::max(nPages, 0);
}

int TPdfReport::Print(const QString& sReport, const QString& sPdf)
{
    const TReportKind* kind = nullptr;
    int iPage = 0;
    if (!TReportKinds::FindReport(sReport, kind, iPage)) {
        sError = QStringLiteral("unknown report ") + sReport;
        return 0;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(sPdf);
    printer.setPageSize(QPageSize(idPaper));
    printer.setPageOrientation(bLandscapePaper ? QPageLayout::Landscape : QPageLayout::Portrait);

    // The page is built off-screen as the window builds its tab. Charts stop at today
    // as on screen; tables and lists take the range as given.
    TPageChoice choice;
    choice.dtStart = QDateTime(dtFrom, QTime(0, 0));
    choice.dtEnd = QDateTime(dtTo, QTime(0, 0));
    choice.dtEndCut = std::max(dtFrom, std::min(dtTo, QDate::currentDate()));
    choice.nPeriod = cfg.RepPerPeriod();

    QWidget holder;
    QListWidget chklst(&holder);
    FillCheckList(chklst, mons, aMons);
    std::unique_ptr<TReportPage> page(kind->fnMakePage(TPageEnv{cfg, mons, &chklst, {}, pExcl, {}}, nullptr));
    page->SetCurrentPage(iPage);
    page->Build(choice);

    TPrintJob job;
    job.sTitle = kind->info.aPages[size_t(iPage)].Title(choice.nPeriod);
    job.dtFrom = dtFrom;
    job.dtTo = page->PrintTo(dtFrom, dtTo, choice.dtEndCut);
    job.sNote = page->Note();
    job.grid = page->Grid(iPage);
    if (!job.grid) {
        const QList<TChartBase*>& charts = page->Charts();
        if (charts.isEmpty()) {
            sError = QStringLiteral("No monitor chosen: there are no charts to print");
            return 0;
        }
        TChartLevels::Share(charts, cfg);
        job.scrollbox = page->ScrollBox()->Client();
    }
    TformPrint form(cfg, nullptr);
    const int nPages = form.DoPrint(job, &printer);
    sError = form.Error();
    return nPages;
}
