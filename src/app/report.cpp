// Report building: only the active tab is built, from the ticked monitors, the dates
// and the period length; the refresh timer rebuilds when the supervisor has written a
// day file of the report on screen since the last build.
#include "app/main.h"
#include "app/scrollbox.h"
#include "datafiles/almfile.h"
#include "datafiles/calfile.h"
#include "datafiles/perfile.h"
#include "datafiles/thfile.h"
#include "monitors/monitor.h"
#include "platform/platform.h"
#include "settings/cfg.h"
#include "views/almchart.h"
#include "views/almlist.h"
#include "views/almtbl.h"
#include "views/callist.h"
#include "views/eventchart.h"
#include "views/eventtbl.h"
#include "analysis/events.h"
#include "analysis/eventsfill.h"
#include "views/perchart.h"
#include "views/pertbl.h"
#include "views/prfchart.h"
#include "analysis/rating.h"
#include "views/ratingchart.h"
#include "analysis/ratingfill.h"
#include "views/ratingtbl.h"
#include "analysis/limits.h"
#include "analysis/limitsfill.h"
#include "views/limitstbl.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

namespace {

// The busy cursor for the length of a build, restored on every way out.
class TBusyCursor final
{
public:
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    Q_DISABLE_COPY_MOVE(TBusyCursor)
};

} // namespace

QList<int> TformMain::TickedRows() const
{
    QList<int> anRows;
    for (int i = 0; i < chklstMon->count(); ++i)
        if (chklstMon->item(i)->checkState() == Qt::Checked)
            anRows.append(i);
    return anRows;
}

QDate TformMain::EndCutAtToday() const
{
    return qMin(EndValue().date(), Now().date());
}

void TformMain::UpdateReport()
{
    UpdateCalibrationsTab();
    TBusyCursor busy;
    timerUpdate->stop();

    QWidget* tab = pagesMain->currentWidget();
    if (tab == tabPeriodic) {
        if (pagesPer->currentWidget() == tabPerTbl)
            perTable->LoadTable(StartValue(), EndValue(), cfg->RepPerPeriod(), chklstMon);
        else
            ShowPeriodicCharts();
        StampBuild();
    } else if (tab == tabAlarms) {
        if (pagesAlm->currentWidget() == tabAlmChart)
            ShowAlarmCharts();
        else if (pagesAlm->currentWidget() == tabAlmTable)
            almTable->LoadTable(StartValue(), EndValue(), cfg->RepPerPeriod(), chklstMon);
        else
            almList->LoadList(StartValue(), EndValue(), chklstMon);
        StampBuild();
    } else if (tab == tabTH) {
        if (cfg->RepPreset() > 1)
            btnPresets->setText(QStringLiteral("Custom"));
        ShowProfileCharts();
        StampBuild();
    } else if (tab == tabEvents) {
        // Like the profile, the events are of the start date only.
        if (cfg->RepPreset() > 1)
            btnPresets->setText(QStringLiteral("Custom"));
        lblEvtNote->setText(TEventsFill::Note(TEventSettings::FromCfg(*cfg)));
        if (pagesEvt->currentWidget() == tabEvtList)
            evtTable->LoadList(StartValue().date(), chklstMon);
        else
            ShowEventCharts();
        StampBuild();
    } else if (tab == tabSummary) {
        lblSumNote->setText(TRatingFill::Note(TRatingSettings::FromCfg(*cfg)));
        // Days still to come have no data yet; as rows they would only dilute the range.
        if (pagesSum->currentWidget() == tabSumTbl)
            sumTable->LoadTable(StartValue(), QDateTime(EndCutAtToday(), QTime(0, 0)), cfg->RepPerPeriod(),
                                chklstMon);
        else
            ShowSummaryCharts();
        StampBuild();
    } else if (tab == tabExceed) {
        lblExcNote->setText(TLimitsFill::Note());
        // As in the summary, days still to come would only add unassessed periods.
        excTable->LoadTable(StartValue(), QDateTime(EndCutAtToday(), QTime(0, 0)), cfg->RepPerPeriod(),
                            chklstMon);
        StampBuild();
    } else if (tab == tabCals) {
        calList->LoadList(StartValue(), EndValue(), chklstMon);
    }
    if (tab == tabExceed || tab == tabPeriodic)
        ReportLimitErrors();
    if (tab == tabEvents || tab == tabTH)
        ReportEventErrors();

    bZoomed = false;
    const bool bProfile = tab == tabTH || tab == tabEvents;
    panelPeriod->setVisible(!bProfile);
    panelDateTo->setVisible(!bProfile);
}

void TformMain::ReportLimitErrors()
{
    const TLimits limits = TLimits::FromCfg(*cfg);
    QStringList slIDs;
    for (int i = 0; i < mons->Count(); ++i)
        slIDs.append(mons->GetHead(i)->sID);
    QStringList slSay{limits.ErrorSummary(), limits.UnknownSummary(slIDs)};
    slSay.removeAll(QString());
    const QString sErrors = slSay.join(QStringLiteral("; "));
    if (sErrors == sLimitErrorsShown)
        return;
    sLimitErrorsShown = sErrors;
    if (!sErrors.isEmpty()) {
        lblStatus->setText(sErrors);
        lblStatus->setToolTip(sErrors);
    }
}

void TformMain::ReportEventErrors()
{
    QStringList slErrors;
    TEventSettings::FromCfg(*cfg, &slErrors);
    const QString sErrors = slErrors.join(QLatin1Char(' '));
    if (sErrors == sEventErrorsShown)
        return;
    sEventErrorsShown = sErrors;
    if (!sErrors.isEmpty()) {
        lblStatus->setText(sErrors);
        lblStatus->setToolTip(sErrors);
    }
}

void TformMain::StampBuild()
{
    dtLastUpdate = Now();
    if (cfg->AutoRefresh())
        timerUpdate->start();
}

void TformMain::UpdateCalibrationsTab()
{
    const QString sDataPath = cfg->DataPath();
    const QList<int> anRows = TickedRows();
    bool bHit = false;
    // An invalid date compares below every other and stays invalid however many days
    // are added: the walk refuses it rather than never ending.
    for (QDate d = StartValue().date(); !bHit && d.isValid() && d <= EndValue().date(); d = d.addDays(1))
        for (int i : anRows)
            if (TCalFile::CalFileExists(sDataPath, mons->GetHead(i)->sID, d)) {
                bHit = true;
                break;
            }
    const int iCals = pagesMain->indexOf(tabCals);
    if (!bHit && pagesMain->currentWidget() == tabCals) {
        // This switch is part of the build under way, not a new one.
        const QSignalBlocker block(pagesMain);
        pagesMain->setCurrentWidget(tabPeriodic);
    }
    const QSignalBlocker block(pagesMain);
    pagesMain->setTabVisible(iCals, bHit);
}

template <class TChart>
void TformMain::CreateCharts(QList<TChartBase*>& achart, TScrollBox* box)
{
    qDeleteAll(achart);
    achart.clear();
    for (int i : TickedRows()) {
        auto* chart = new TChart(*cfg, box->Client());
        chart->SetTitle(chklstMon->item(i)->text());
        chart->SetMonitorID(mons->GetHead(i)->sID);
        connect(chart, &TChartBase::Zoomed, this, &TformMain::SyncZoom);
        connect(chart, &TChartBase::Unzoomed, this, &TformMain::SyncUnzoom);
        connect(chart, &TChartBase::Scrolled, this, &TformMain::SyncScroll);
        chart->show();
        achart.append(chart);
    }
    LayoutCharts();
}

void TformMain::ShowPeriodicCharts()
{
    CreateCharts<TPerChart>(achartPer, scrollboxPerChart);
    for (TChartBase* chart : std::as_const(achartPer))
        static_cast<TPerChart*>(chart)->PlotPeriod(StartValue().date(), EndCutAtToday(), cfg->RepPerPeriod());
    SyncAxes();
}

void TformMain::ShowAlarmCharts()
{
    CreateCharts<TAlmChart>(achartAlm, scrollboxAlmChart);
    for (TChartBase* chart : std::as_const(achartAlm))
        static_cast<TAlmChart*>(chart)->PlotPeriod(StartValue().date(), EndCutAtToday());
    SyncAxes();
}

void TformMain::ShowProfileCharts()
{
    CreateCharts<TPrfChart>(achartTH, scrollboxTHChart);
    for (TChartBase* chart : std::as_const(achartTH))
        static_cast<TPrfChart*>(chart)->PlotDay(StartValue().date());
    SyncAxes();
}

void TformMain::ShowEventCharts()
{
    CreateCharts<TEventChart>(achartEvt, scrollboxEvtChart);
    int nHighest = 0;
    for (TChartBase* chart : std::as_const(achartEvt)) {
        auto* evt = static_cast<TEventChart*>(chart);
        evt->PlotDay(StartValue().date());
        nHighest = std::max(nHighest, evt->HighestCount());
    }
    // Counts, not levels: the stack shares one count range instead of the level range.
    for (TChartBase* chart : std::as_const(achartEvt)) {
        static_cast<TEventChart*>(chart)->SetCountMax(nHighest);
        chart->replot(QCustomPlot::rpQueuedReplot);
    }
}

void TformMain::ShowSummaryCharts()
{
    CreateCharts<TRatingChart>(achartSum, scrollboxSumChart);
    for (TChartBase* chart : std::as_const(achartSum))
        static_cast<TRatingChart*>(chart)->PlotPeriod(StartValue().date(), EndCutAtToday(),
                                                      cfg->RepPerPeriod());
    SyncAxes();
}

const QList<TChartBase*>* TformMain::ActiveCharts() const
{
    QWidget* tab = pagesMain->currentWidget();
    if (tab == tabSummary)
        return &achartSum;
    if (tab == tabEvents)
        return &achartEvt;
    if (tab == tabTH)
        return &achartTH;
    if (tab == tabAlarms)
        return &achartAlm;
    if (tab == tabPeriodic)
        return &achartPer;
    return nullptr;
}

TScrollBox* TformMain::ActiveScrollBox() const
{
    QWidget* tab = pagesMain->currentWidget();
    if (tab == tabSummary)
        return scrollboxSumChart;
    if (tab == tabEvents)
        return scrollboxEvtChart;
    if (tab == tabTH)
        return scrollboxTHChart;
    if (tab == tabAlarms)
        return scrollboxAlmChart;
    if (tab == tabPeriodic)
        return scrollboxPerChart;
    return nullptr;
}

const TGridView* TformMain::ActiveGrid() const
{
    QWidget* tab = pagesMain->currentWidget();
    if (tab == tabPeriodic)
        return pagesPer->currentWidget() == tabPerTbl ? perTable : nullptr;
    if (tab == tabAlarms) {
        if (pagesAlm->currentWidget() == tabAlmTable)
            return almTable;
        if (pagesAlm->currentWidget() == tabAlmList)
            return almList;
        return nullptr;
    }
    if (tab == tabSummary)
        return pagesSum->currentWidget() == tabSumTbl ? sumTable : nullptr;
    if (tab == tabEvents)
        return pagesEvt->currentWidget() == tabEvtList ? evtTable : nullptr;
    if (tab == tabExceed)
        return excTable;
    if (tab == tabCals)
        return calList;
    return nullptr;
}

void TformMain::LayoutCharts()
{
    const QList<TChartBase*>* charts = ActiveCharts();
    TScrollBox* box = ActiveScrollBox();
    if (!charts || !box)
        return;
    QList<QWidget*> aw;
    for (TChartBase* chart : *charts)
        aw.append(chart);
    box->LayoutCharts(aw);
}

bool TformMain::NewDataSince(const QDateTime& dtStamp) const
{
    const QString sDataPath = cfg->DataPath();
    const int nPeriod = cfg->RepPerPeriod();
    // The kind of day file the report on screen is made from; the summary is made
    // from the periodic files.
    std::function<QString(const QString&, const QDate&)> fnFile;
    QWidget* tab = pagesMain->currentWidget();
    if (tab == tabPeriodic || tab == tabSummary || tab == tabExceed)
        fnFile = [&](const QString& sID, const QDate& d) {
            return TPerFile::FileName(sDataPath, sID, d, nPeriod);
        };
    else if (tab == tabAlarms)
        fnFile = [&](const QString& sID, const QDate& d) { return TAlmFile::FileName(sDataPath, sID, d); };
    else if (tab == tabTH || tab == tabEvents)
        fnFile = [&](const QString& sID, const QDate& d) { return TTHFile::FileName(sDataPath, sID, d); };
    else
        return false;

    const QList<int> anRows = TickedRows();
    for (QDate d = StartValue().date(); d.isValid() && d <= EndValue().date(); d = d.addDays(1)) {
        for (int i : anRows) {
            // Full-resolution file times: a write made just after a build must not
            // hide behind a stamp rounded to even seconds.
            const QDateTime dtFile = TPlatform::FileLastWrite(fnFile(mons->GetHead(i)->sID, d));
            if (dtFile.isValid() && dtFile > dtStamp)
                return true;
        }
    }
    return false;
}

void TformMain::timerUpdateTimer()
{
    // While printing the window is disabled: the views being printed must not change.
    if (bZoomed || !cfg->AutoRefresh() || !isEnabled())
        return;
    if (nSelectedPreset != -1)
        ApplyPreset(nSelectedPreset);
    if (NewDataSince(dtLastUpdate))
        UpdateReport();
}
