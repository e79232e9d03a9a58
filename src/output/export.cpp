#include "output/export.h"

#include "datafiles/calfile.h"
#include "monitors/monitor.h"
#include "output/exportrun.h"
#include "platform/platform.h"
#include "platform/product.h"
#include "platform/writeerror.h"
#include "settings/cfg.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
QLabel* WrappedLabel(const QString& s, QWidget* parent)
{
    auto* lbl = new QLabel(s, parent);
    lbl->setWordWrap(true);
    return lbl;
}

QLabel* BoldLabel(const QString& s, QWidget* parent)
{
    auto* lbl = new QLabel(s, parent);
    QFont fnt = lbl->font();
    fnt.setBold(true);
    lbl->setFont(fnt);
    return lbl;
}

constexpr int nGroupLabelWidth = 170;
} // namespace

TformExport::TformExport(TCfg& cfgIn, const TTQMonitors& monsIn, std::vector<int> anTickedRows,
                         const QDate& dtFromIn, const QDate& dtToIn,
                         std::function<void(const QString&)> fnHelp, std::function<bool()> fnPrefs,
                         QWidget* parent)
    : QDialog(parent), cfg(cfgIn), mons(monsIn), dtFrom(dtFromIn), dtTo(dtToIn),
      fnShowHelp(std::move(fnHelp)), fnPreferences(std::move(fnPrefs))
{
    for (int iRow : anTickedRows)
        if (const TTQMonitor* mon = mons.GetHead(iRow))
            aMons.push_back(mon);

    fnError = [this](const QString& s) {
        QMessageBox box(QMessageBox::Critical, TProduct::AppTitle(), s, QMessageBox::Ok, this);
        box.exec();
    };
    fnFolder = [this] {
        return QFileDialog::getExistingDirectory(this, QStringLiteral("Export HTML to"), FolderToBrowse(),
                                                 QFileDialog::ShowDirsOnly);
    };

    BuildControls();
    SetDefaultFolder();
    editDir->setText(cfg.ExportDir());
    ProbeCalibrations();
    SetIdle();
}

TformExport::~TformExport() = default;

void TformExport::BuildControls()
{
    setWindowTitle(QStringLiteral("Create HTML Reports"));
    setFixedSize(FormWidth, FormHeight);

    auto* layMain = new QVBoxLayout(this);
    layMain->setContentsMargins(12, 10, 12, 10);

    panelControls = new QWidget(this);
    auto* layCtl = new QVBoxLayout(panelControls);
    layCtl->setContentsMargins(0, 0, 0, 0);

    auto* layTop = new QHBoxLayout;
    layTop->addWidget(BoldLabel(QStringLiteral("Reports Folder"), panelControls));
    layTop->addStretch();
    btnCfg = new QToolButton(panelControls);
    btnCfg->setText(QStringLiteral("Settings"));
    btnCfg->setToolTip(QStringLiteral("HTML and printing preferences"));
    btnCfg->setAutoRaise(true);
    layTop->addWidget(btnCfg);
    layCtl->addLayout(layTop);

    layCtl->addWidget(
        WrappedLabel(QStringLiteral("Select the location for the report files. This can be a folder on "
                                    "your computer or a memory stick. If the folder doesn't exist it "
                                    "will be created."),
                     panelControls));
    auto* layDir = new QHBoxLayout;
    editDir = new QLineEdit(panelControls);
    btnDir = new QPushButton(QStringLiteral("..."), panelControls);
    btnDir->setToolTip(QStringLiteral("Choose the reports folder"));
    btnDir->setFixedWidth(32);
    layDir->addWidget(editDir);
    layDir->addWidget(btnDir);
    layCtl->addLayout(layDir);
    layCtl->addWidget(
        WrappedLabel(QStringLiteral("Multiple exports to the same folder will build up a library of "
                                    "reports. Existing reports will not be deleted and new reports "
                                    "will be included in the index file."),
                     panelControls));
    layCtl->addWidget(
        WrappedLabel(QStringLiteral("Select all the report types you want to generate for the "
                                    "selected monitors and dates. Periodic and Alarm tables can be "
                                    "very large, especially with short measurement periods."),
                     panelControls));

    auto* layKinds = new QGridLayout;
    layKinds->setColumnMinimumWidth(0, nGroupLabelWidth);
    auto addGroup = [&](int nRow, const QString& sGroup) {
        layKinds->addWidget(BoldLabel(sGroup, panelControls), nRow, 0);
    };
    auto addChk = [&](int nRow, int nCol, const QString& sCaption) {
        auto* chk = new QCheckBox(sCaption, panelControls);
        layKinds->addWidget(chk, nRow, nCol);
        return chk;
    };
    addGroup(0, QStringLiteral("Periodic Measurements"));
    chkPerChart = addChk(0, 1, QStringLiteral("Chart"));
    chkPerTbl = addChk(0, 2, QStringLiteral("Table"));
    addGroup(1, QStringLiteral("Alarms Triggered"));
    chkAlmChart = addChk(1, 1, QStringLiteral("Chart"));
    chkAlmTbl = addChk(1, 2, QStringLiteral("Table"));
    chkAlmList = addChk(1, 3, QStringLiteral("List"));
    addGroup(2, QStringLiteral("Profile 24 Hr"));
    chkPrfChart = addChk(2, 1, QStringLiteral("Chart"));
    addGroup(3, QStringLiteral("Daily Rating Levels"));
    chkSummary = addChk(3, 1, QStringLiteral("Summary"));
    chkSummary->setObjectName(QStringLiteral("chkSummary"));
    addGroup(4, QStringLiteral("Noise Events"));
    chkEvents = addChk(4, 1, QStringLiteral("Chart && List"));
    chkEvents->setObjectName(QStringLiteral("chkEvents"));
    addGroup(5, QStringLiteral("Noise Limits"));
    chkExceed = addChk(5, 1, QStringLiteral("Exceedances"));
    chkExceed->setObjectName(QStringLiteral("chkExceed"));
    addGroup(6, QStringLiteral("Exclusions"));
    chkExclusions = addChk(6, 1, QStringLiteral("List && Effect"));
    chkExclusions->setObjectName(QStringLiteral("chkExclusions"));
    addGroup(7, QStringLiteral("Data Quality"));
    chkQuality = addChk(7, 1, QStringLiteral("Calendar && Table"));
    chkQuality->setObjectName(QStringLiteral("chkQuality"));
    addGroup(8, QStringLiteral("Statistics"));
    chkStatistics = addChk(8, 1, QStringLiteral("Chart && Tables"));
    chkStatistics->setObjectName(QStringLiteral("chkStatistics"));
    layKinds->setColumnStretch(4, 1);
    layCtl->addLayout(layKinds);
    layMain->addWidget(panelControls);

    panelCals = new QWidget(this);
    auto* layCals = new QGridLayout(panelCals);
    layCals->setContentsMargins(0, 0, 0, 0);
    layCals->setColumnMinimumWidth(0, nGroupLabelWidth);
    layCals->addWidget(BoldLabel(QStringLiteral("Calibrations"), panelCals), 0, 0);
    chkCalList = new QCheckBox(QStringLiteral("List"), panelCals);
    layCals->addWidget(chkCalList, 0, 1);
    layCals->setColumnStretch(2, 1);
    layMain->addWidget(panelCals);

    layMain->addStretch();
    lblStat = new QLabel(QStringLiteral("Exporting"), this);
    // The line names monitors: a name is text, never markup.
    lblStat->setTextFormat(Qt::PlainText);
    lblStat->setAlignment(Qt::AlignCenter);
    lblStat->hide();
    layMain->addWidget(lblStat);
    layMain->addStretch();

    auto* layButtons = new QHBoxLayout;
    btnHelp = new QPushButton(QStringLiteral("&Help"), this);
    btnExport = new QPushButton(QStringLiteral("Create Report"), this);
    btnCancel = new QPushButton(QStringLiteral("Close"), this);
    btnExport->setDefault(true);
    layButtons->addWidget(btnHelp);
    layButtons->addStretch();
    layButtons->addWidget(btnExport);
    layButtons->addWidget(btnCancel);
    layMain->addLayout(layButtons);

    btnHelp->setEnabled(bool(fnShowHelp));
    btnCfg->setEnabled(bool(fnPreferences));

    connect(btnDir, &QPushButton::clicked, this, [this] { btnDirClick(); });
    connect(btnCfg, &QToolButton::clicked, this, [this] { btnCfgClick(); });
    connect(btnHelp, &QPushButton::clicked, this, [this] { btnHelpClick(); });
    connect(btnExport, &QPushButton::clicked, this, [this] { btnExportClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
}

void TformExport::SetDefaultFolder()
{
    if (!cfg.ExportDir().isEmpty())
        return;
    // A refused settings write leaves the field set all the same; the folder is
    // stored again when a run starts, and that store reports a refusal.
    try {
        cfg.SetExportDir(cfg.DataPath() + QStringLiteral("export") + TPlatform::Sep());
        const QString sDesktop = TPlatform::DesktopPath();
        if (!sDesktop.isEmpty())
            cfg.SetExportDir(sDesktop + TPlatform::Sep() + QStringLiteral("Tarvik Reports") +
                             TPlatform::Sep());
    } catch (const EWriteError&) {
    }
}

void TformExport::ProbeCalibrations()
{
    panelCals->hide();
    const QString sDataPath = cfg.DataPath();
    for (QDate d = dtFrom; d.isValid() && d <= dtTo; d = d.addDays(1))
        for (const TTQMonitor* mon : std::as_const(aMons))
            if (TCalFile::CalFileExists(sDataPath, mon->sID, d)) {
                panelCals->show();
                return;
            }
}

TformExport::EState TformExport::State() const
{
    if (!bReportRunning)
        return EState::Idle;
    return bCancelReport ? EState::Cancelling : EState::Running;
}

void TformExport::ShowStat(const QString& s)
{
    if (s.isEmpty()) {
        lblStat->hide();
    } else {
        lblStat->show();
        lblStat->setText(s);
    }
    repaint();
}

void TformExport::ShowError(const QString& s)
{
    if (fnError)
        fnError(s);
}

void TformExport::SetIdle()
{
    bReportRunning = false;
    bCancelReport = false;
    panelControls->setEnabled(true);
    btnExport->setEnabled(true);
    btnCancel->setEnabled(true);
    btnCancel->setText(QStringLiteral("Close"));
}

QString TformExport::FolderToBrowse() const
{
    // The chooser opens where the reports go now, or at the nearest folder above it that
    // exists, so that a new reports folder can be made there with its "Create New
    // Folder" button. Opened anywhere else (the working folder of a program started
    // from a menu is often one the user may not write to) that button is greyed out.
    QString sDir = QDir::cleanPath(editDir->text().trimmed());
    while (!sDir.isEmpty() && sDir != QLatin1String(".") && !QFileInfo(sDir).isDir()) {
        const QString sParent = QFileInfo(sDir).path();
        if (sParent == sDir)
            break;
        sDir = sParent;
    }
    return QFileInfo(sDir).isDir() && QDir::isAbsolutePath(sDir) ? sDir : QDir::homePath();
}

void TformExport::btnDirClick()
{
    const QString sDir = fnFolder ? fnFolder() : QString();
    if (sDir.isEmpty())
        return;
    editDir->setText(sDir);
    try {
        cfg.SetExportDir(sDir);
    } catch (const EWriteError& e) {
        ShowError(e.Message());
    }
}

void TformExport::btnCfgClick()
{
    if (fnPreferences)
        fnPreferences();
}

void TformExport::btnHelpClick()
{
    if (fnShowHelp)
        fnShowHelp(QStringLiteral("output/html.html"));
}

void TformExport::btnCancelClick()
{
    if (!bReportRunning) {
        QDialog::reject();
        return;
    }
    btnCancel->setText(QStringLiteral("Cancelling"));
    btnCancel->setEnabled(false);
    repaint();
    bCancelReport = true;
}

void TformExport::reject()
{
    if (bReportRunning) {
        if (!bCancelReport)
            btnCancelClick();
        return;
    }
    QDialog::reject();
}

void TformExport::btnExportClick()
{
    if (bReportRunning)
        return;
    sHtmlDir = editDir->text();
    if (sHtmlDir.isEmpty()) {
        ShowError(QStringLiteral("Enter a folder to export the measurements to"));
        return;
    }
    const bool bMade = TExportRun::MakeReportFolder(sHtmlDir);
    editDir->setText(sHtmlDir);
    if (!bMade) {
        ShowError(TExportRun::FolderFailText(sHtmlDir));
        return;
    }

    panelControls->setEnabled(false);
    btnExport->setEnabled(false);
    btnCancel->setText(QStringLiteral("Cancel"));
    repaint();
    bReportRunning = true;
    try {
        cfg.SetExportDir(sHtmlDir);
    } catch (const EWriteError& e) {
        SetIdle();
        ShowError(e.Message());
        return;
    }

    TExportOptions opt = TExportOptions::FromCfg(cfg);
    opt.Choose({QStringLiteral("per-chart")}, chkPerChart->isChecked());
    opt.Choose({QStringLiteral("per-table")}, chkPerTbl->isChecked());
    opt.Choose({QStringLiteral("alm-chart")}, chkAlmChart->isChecked());
    opt.Choose({QStringLiteral("alm-table")}, chkAlmTbl->isChecked());
    opt.Choose({QStringLiteral("alm-list")}, chkAlmList->isChecked());
    opt.Choose({QStringLiteral("prf")}, chkPrfChart->isChecked());
    opt.Choose({QStringLiteral("sum")}, chkSummary->isChecked());
    opt.Choose({QStringLiteral("evt")}, chkEvents->isChecked());
    opt.Choose({QStringLiteral("exc")}, chkExceed->isChecked());
    opt.Choose({QStringLiteral("exl")}, chkExclusions->isChecked());
    opt.Choose({QStringLiteral("qual")}, chkQuality->isChecked());
    opt.Choose({QStringLiteral("stat")}, chkStatistics->isChecked());
    // The calibration option is offered only where the range has a calibration.
    opt.Choose({QStringLiteral("cal")}, chkCalList->isChecked() && !panelCals->isHidden());
    opt.pExcl = pExcl;

    TExportRun run(cfg, mons, aMons, dtFrom, dtTo, opt);
    run.SetStatusFn([this](const QString& s) { ShowStat(s); });
    run.SetPumpFn([] { QCoreApplication::processEvents(); });
    run.SetCancelFn([this] { return bCancelReport; });
    bool bOK = false;
    QString sError;
    try {
        bOK = run.Run(sHtmlDir);
        sError = run.Error();
    } catch (const EWriteError& e) {
        sError = e.Message();
    }
    ShowStat(QString());
    if (!bOK) {
        SetIdle();
        ShowError(sError);
        return;
    }
    bReportRunning = false;
    accept();
}
