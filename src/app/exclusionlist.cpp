// The installation's exclusion list: read at start from beside the settings, read
// again when its file changes while the window runs (the refresh timer looks at its
// time as at the day files'), changed through "Exclude…" on the charts and the
// periodic table and through Edit > Undo Exclusion, and saved at once. Every change
// rebuilds the report, so that every figure on screen follows the file.
#include "app/main.h"

#include "analysis/exclusions.h"
#include "app/weatherapply.h"
#include "dialogs/exclusiondlg.h"
#include "monitors/monitor.h"
#include "platform/platform.h"
#include "platform/product.h"
#include "platform/writeerror.h"
#include "settings/cfg.h"
#include "views/chartbase.h"
#include "views/pertbl.h"

#include <QAction>
#include <QLabel>
#include <QMessageBox>

QString TformMain::ApplyWeather()
{
    const QString sSay = TWeatherApply::Apply(*excl, *cfg);
    if (sSay == sWeatherErrorsShown)
        return QString();
    sWeatherErrorsShown = sSay;
    if (!sSay.isEmpty() && lblStatus) {
        lblStatus->setText(sSay);
        lblStatus->setToolTip(sSay);
    }
    return sSay;
}

void TformMain::LoadExclusions()
{
    const QString sFile = TExclusions::DefaultFileName(TPlatform::CommonAppDataPath());
    QString sError;
    bExclUsable = excl->Load(sFile, sError);
    StampExclusionsFile();
    QStringList slIDs;
    for (int i = 0; i < mons->Count(); ++i)
        slIDs.append(mons->GetHead(i)->sID);
    QStringList slSay{sError, excl->ErrorSummary(), excl->UnknownSummary(slIDs)};
    slSay.removeAll(QString());
    const QString sSay = slSay.join(QStringLiteral("; "));
    // Each mistake once: a file read again with the same mistakes says nothing new.
    if (sSay != sExclErrorsShown) {
        sExclErrorsShown = sSay;
        if (!sSay.isEmpty() && lblStatus) {
            lblStatus->setText(sSay);
            lblStatus->setToolTip(sSay);
        }
    }
    UpdateExclusionActions();
}

bool TformMain::ExclusionsFileChanged() const
{
    return TPlatform::FileLastWrite(excl->FileName()) != dtExclFile;
}

void TformMain::StampExclusionsFile()
{
    dtExclFile = TPlatform::FileLastWrite(excl->FileName());
}

void TformMain::UpdateExclusionActions()
{
    if (menuUndoExclusion)
        menuUndoExclusion->setEnabled(bExclUsable && excl->CanUndo());
    if (perTable)
        perTable->SetExcludeEnabled(bExclUsable);
    if (const QList<TChartBase*>* charts = ActiveCharts())
        for (TChartBase* chart : *charts)
            chart->SetExcludeEnabled(bExclUsable);
}

void TformMain::ExclusionsSaved()
{
    StampExclusionsFile();
    UpdateExclusionActions();
    UpdateReport();
}

void TformMain::ExcludeSpan(const QString& sID, qint64 nFrom, qint64 nTo)
{
    if (!bExclUsable || sID.isEmpty() || nFrom >= nTo)
        return;
    TExclusion ex;
    ex.sMonitor = sID;
    ex.nFrom = nFrom;
    ex.nTo = nTo;
    QStringList slIDs;
    for (int i = 0; i < mons->Count(); ++i)
        slIDs.append(mons->GetHead(i)->sID);
    TExclusionDlg dlg(ex, slIDs, this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    QString sError;
    if (excl->Add(dlg.Result(), sError) == 0) {
        QMessageBox::warning(this, TProduct::AppTitle(), sError);
        return;
    }
    if (!excl->Save(sError)) {
        // The screen shows what the file holds: the addition goes again.
        excl->Undo();
        UpdateExclusionActions();
        QMessageBox::warning(this, TProduct::AppTitle(), sError);
        return;
    }
    ExclusionsSaved();
}

void TformMain::UndoExclusion()
{
    if (!bExclUsable || !excl->Undo())
        return;
    QString sError;
    if (!excl->Save(sError)) {
        QMessageBox::warning(this, TProduct::AppTitle(), sError);
        // The file keeps the change; so does the screen, read from it again.
        LoadExclusions();
        UpdateReport();
        return;
    }
    ExclusionsSaved();
}

void TformMain::menuApplyExclusionsClick()
{
    try {
        cfg->SetApplyExclusions(menuApplyExclusions->isChecked());
    } catch (const EWriteError& e) {
        ShowError(e.Message());
    }
    UpdateReport();
}
