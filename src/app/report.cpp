// Report building: only the active tab is built, from the ticked monitors, the dates
// and the period length; the refresh timer rebuilds when the supervisor has written a
// day file of the report on screen since the last build.
#include "app/main.h"
#include "monitors/monitor.h"
#include "pages/reportpage.h"
#include "platform/platform.h"
#include "settings/cfg.h"
#include "views/scrollbox.h"

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

    TReportPage* page = ActivePage();
    if (page) {
        // A report of the start date alone is no preset's range.
        if (page->OneDay() && cfg->RepPreset() > 1)
            btnPresets->setText(QStringLiteral("Custom"));
        page->Build(TPageChoice{StartValue(), EndValue(), EndCutAtToday(), cfg->RepPerPeriod()});
        if (page->Follows())
            StampBuild();
        ReportSettingsErrors(*page);
    }

    bZoomed = false;
    const bool bOneDay = page && page->OneDay();
    panelPeriod->setVisible(!bOneDay);
    panelDateTo->setVisible(!bOneDay);
}

void TformMain::ReportSettingsErrors(const TReportPage& page)
{
    const QString sSource = page.ErrorSource();
    if (sSource.isEmpty())
        return;
    const QString sErrors = page.SettingsErrors();
    if (hashErrorsShown.value(sSource) == sErrors)
        return;
    hashErrorsShown.insert(sSource, sErrors);
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
    // A kind that is there only when the range holds something of it (the
    // calibrations) shows its tab only then.
    const QString sDataPath = cfg->DataPath();
    TMonitorSel aSel;
    for (int i : TickedRows())
        aSel.push_back(mons->GetHead(i));
    for (TReportPage* page : aPages) {
        const bool bShown = page->ShownFor(sDataPath, aSel, StartValue().date(), EndValue().date());
        if (!bShown && pagesMain->currentWidget() == page) {
            // This switch is part of the build under way, not a new one.
            const QSignalBlocker block(pagesMain);
            pagesMain->setCurrentWidget(aPages.front());
        }
        const int iTab = pagesMain->indexOf(page);
        if (pagesMain->isTabVisible(iTab) != bShown) {
            const QSignalBlocker block(pagesMain);
            pagesMain->setTabVisible(iTab, bShown);
        }
    }
}

TReportPage* TformMain::ActivePage() const
{
    for (TReportPage* page : aPages)
        if (page == pagesMain->currentWidget())
            return page;
    return nullptr;
}

const QList<TChartBase*>* TformMain::ActiveCharts() const
{
    const TReportPage* page = ActivePage();
    return page ? page->ActiveCharts() : nullptr;
}

TScrollBox* TformMain::ActiveScrollBox() const
{
    const TReportPage* page = ActivePage();
    return page ? page->ScrollBox() : nullptr;
}

const TGridView* TformMain::ActiveGrid() const
{
    const TReportPage* page = ActivePage();
    return page ? page->ActiveGrid() : nullptr;
}

void TformMain::LayoutCharts()
{
    if (TReportPage* page = ActivePage())
        page->LayoutCharts();
}

bool TformMain::NewDataSince(const QDateTime& dtStamp) const
{
    const QString sDataPath = cfg->DataPath();
    const int nPeriod = cfg->RepPerPeriod();
    // The kind of day file the report on screen is made from.
    const TReportPage* page = ActivePage();
    if (!page || !page->Follows())
        return false;

    const QList<int> anRows = TickedRows();
    for (QDate d = StartValue().date(); d.isValid() && d <= EndValue().date(); d = d.addDays(1)) {
        for (int i : anRows) {
            // Full-resolution file times: a write made just after a build must not
            // hide behind a stamp rounded to even seconds.
            const QDateTime dtFile = TPlatform::FileLastWrite(page->DataFile(sDataPath, mons->GetHead(i)->sID, d, nPeriod));
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
    // An exclusion file changed by someone else (another window, an editor) changes
    // every figure: the list is read again and the report rebuilt.
    if (ExclusionsFileChanged()) {
        LoadExclusions();
        UpdateReport();
        return;
    }
    if (NewDataSince(dtLastUpdate))
        UpdateReport();
}
