// The main window's menus and the commands that open the output dialogs, the
// preferences, the help viewer and the about box, and the Supervisor button.
#include "app/main.h"
#include "app/scrollbox.h"
#include "dialogs/about.h"
#include "dialogs/cfg.h"
#include "dialogs/help.h"
#include "monitors/monitor.h"
#include "output/clip.h"
#include "output/export.h"
#include "output/print.h"
#include "platform/supervisorlink.h"
#include "platform/writeerror.h"
#include "settings/cfg.h"
#include "settings/runstat.h"
#include "analysis/events.h"
#include "analysis/eventsfill.h"
#include "analysis/rating.h"
#include "analysis/ratingfill.h"
#include "analysis/limitsfill.h"

#include <QAction>
#include <QListWidget>
#include <QMenuBar>
#include <QTabWidget>

namespace {

struct THelpItem
{
    const char* pszCaption;
    const char* pszName;
    const char* pszPage;
};

} // namespace

void TformMain::CreateMenus()
{
    QMenu* menuFile = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* menuExport = menuFile->addAction(QStringLiteral("HTML &Reports..."));
    menuExport->setObjectName(QStringLiteral("menuExport"));
    connect(menuExport, &QAction::triggered, this, [this] { menuExportClick(); });
    QAction* menuPrint = menuFile->addAction(QStringLiteral("&Print..."));
    menuPrint->setObjectName(QStringLiteral("menuPrint"));
    menuPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(menuPrint, &QAction::triggered, this, [this] { menuPrintClick(); });
    menuFile->addSeparator();
    QAction* menuExit = menuFile->addAction(QStringLiteral("E&xit"));
    menuExit->setObjectName(QStringLiteral("menuExit"));
    connect(menuExit, &QAction::triggered, this, &QWidget::close);

    QMenu* menuEdit = menuBar()->addMenu(QStringLiteral("&Edit"));
    QAction* menuCopy = menuEdit->addAction(QStringLiteral("&Copy to clipboard"));
    menuCopy->setObjectName(QStringLiteral("menuCopy"));
    menuCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    connect(menuCopy, &QAction::triggered, this, [this] { menuCopyClick(); });
    menuEdit->addSeparator();
    QAction* menuCfg = menuEdit->addAction(QStringLiteral("&Preferences..."));
    menuCfg->setObjectName(QStringLiteral("menuCfg"));
    connect(menuCfg, &QAction::triggered, this, [this] { menuCfgClick(); });

    QMenu* menuView = menuBar()->addMenu(QStringLiteral("&View"));
    menuMonitors = menuView->addAction(QStringLiteral("&Monitors"));
    menuMonitors->setObjectName(QStringLiteral("menuMonitors"));
    menuMonitors->setCheckable(true);
    menuMonitors->setChecked(true);
    connect(menuMonitors, &QAction::triggered, this, [this] { menuMonClick(); });

    QMenu* menuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    auto addHelp = [this](QMenu* menu, const THelpItem& item) {
        QAction* act = menu->addAction(QString::fromLatin1(item.pszCaption));
        act->setObjectName(QString::fromLatin1(item.pszName));
        const QString sPage = QString::fromLatin1(item.pszPage);
        connect(act, &QAction::triggered, this, [this, sPage] { LoadHelp(sPage); });
    };
    addHelp(menuHelp, {"&Overview", "menuHelpOverview", "overview.html"});
    QMenu* menuTypes = menuHelp->addMenu(QStringLiteral("&Report Types"));
    addHelp(menuTypes, {"&Periodic", "menuHelpPeriodic", "reptypes/periodic.html"});
    addHelp(menuTypes, {"&Alarms", "menuHelpAlarms", "reptypes/alarms.html"});
    addHelp(menuTypes, {"&Profile", "menuHelpProfile", "reptypes/profile.html"});
    addHelp(menuTypes, {"&Events", "menuHelpEvents", "reptypes/events.html"});
    addHelp(menuTypes, {"&Summary", "menuHelpSummary", "reptypes/summary.html"});
    addHelp(menuTypes, {"&Exceedances", "menuHelpExceed", "reptypes/exceedances.html"});
    addHelp(menuTypes, {"&Calibrations", "menuHelpCals", "reptypes/calibrations.html"});
    QMenu* menuSettings = menuHelp->addMenu(QStringLiteral("&Settings"));
    addHelp(menuSettings, {"&Program", "menuHelpCfgProg", "preferences/program.html"});
    addHelp(menuSettings, {"&Reports", "menuHelpCfgRep", "preferences/reports.html"});
    addHelp(menuSettings, {"&HTML && Printing", "menuHelpCfgHtml", "preferences/html_prn.html"});
    addHelp(menuSettings, {"R&ating", "menuHelpCfgRating", "preferences/rating.html"});
    addHelp(menuSettings, {"&Events", "menuHelpCfgEvents", "preferences/events.html"});
    addHelp(menuSettings, {"&Limits", "menuHelpCfgLimits", "preferences/limits.html"});
    QMenu* menuOutput = menuHelp->addMenu(QStringLiteral("Output && &Export"));
    addHelp(menuOutput, {"&HTML Reports", "menuHelpHtml", "output/html.html"});
    addHelp(menuOutput, {"&Printing", "menuHelpPrn", "output/printing.html"});
    addHelp(menuOutput, {"&Clipboard", "menuHelpClip", "output/clipboard.html"});
    menuHelp->addSeparator();
    QAction* menuAbout = menuHelp->addAction(QStringLiteral("&About"));
    menuAbout->setObjectName(QStringLiteral("menuAbout"));
    connect(menuAbout, &QAction::triggered, this, [this] { menuAboutClick(); });
}

void TformMain::LoadHelp(const QString& sPage)
{
    if (!formHelp) {
        formHelp = std::make_unique<TformHelp>(runstat->HelpPath(), nullptr);
        formHelp->SetOwner(this);
    }
    formHelp->ShowHelp(sPage);
}

bool TformMain::ExecCfg(int nPage)
{
    TformCfg dlg(
        *cfg, [this](const QString& sPage) { LoadHelp(sPage); }, this);
    dlg.SetActivePage(nPage);
    std::vector<std::pair<QString, QString>> aMons;
    for (int i = 0; i < mons->Count(); ++i)
        aMons.emplace_back(mons->GetHead(i)->sID, mons->GetHead(i)->sName);
    dlg.SetMonitors(aMons);
    dlg.setWindowModality(Qt::WindowModal);
    return dlg.exec() == QDialog::Accepted;
}

void TformMain::menuCfgClick()
{
    try {
        if (ExecCfg(0)) {
            // The data folder may have changed: the list is refilled, keeping the monitors
            // ticked on screen ticked (matched by ID); only vanished monitors drop out.
            QStringList slTicked;
            for (int i : TickedRows())
                slTicked.append(mons->GetHead(i)->sID);
            LoadMonitorList();
            bSettingTicks = true;
            for (int i = 0; i < mons->Count(); ++i)
                chklstMon->item(i)->setCheckState(slTicked.contains(mons->GetHead(i)->sID) ? Qt::Checked
                                                                                          : Qt::Unchecked);
            bSettingTicks = false;
            UpdateReport();
        }
    } catch (const EWriteError& e) {
        ShowError(e.Message());
    }
    UpdateStatus();
}

void TformMain::menuExportClick()
{
    std::vector<int> anRows;
    for (int i : TickedRows())
        anRows.push_back(i);
    auto fnPreferences = [this] {
        const bool bOK = ExecCfg(2);
        if (bOK)
            UpdateReport();
        UpdateStatus();
        return bOK;
    };
    try {
        TformExport dlg(*cfg, *mons, anRows, StartValue().date(), EndValue().date(),
                        [this](const QString& sPage) { LoadHelp(sPage); }, fnPreferences, this);
        dlg.setWindowModality(Qt::WindowModal);
        dlg.exec();
    } catch (const EWriteError& e) {
        ShowError(e.Message());
    }
}

void TformMain::menuPrintClick()
{
    TPrintJob job;
    job.dtFrom = StartValue().date();
    job.dtTo = EndValue().date();
    job.grid = ActiveGrid();
    if (!job.grid)
        job.scrollbox = ActiveScrollBox()->Client();
    EPrintReport report = EPrintReport::Calibrations;
    QWidget* tab = pagesMain->currentWidget();
    if (tab == tabPeriodic) {
        report = pagesPer->currentWidget() == tabPerTbl ? EPrintReport::PerTable : EPrintReport::PerChart;
    } else if (tab == tabAlarms) {
        if (pagesAlm->currentWidget() == tabAlmChart)
            report = EPrintReport::AlmChart;
        else if (pagesAlm->currentWidget() == tabAlmTable)
            report = EPrintReport::AlmTable;
        else
            report = EPrintReport::AlmList;
    } else if (tab == tabTH) {
        report = EPrintReport::Profile;
    } else if (tab == tabEvents) {
        report = pagesEvt->currentWidget() == tabEvtList ? EPrintReport::EvtList : EPrintReport::EvtChart;
        job.sNote = TEventsFill::Note(TEventSettings::FromCfg(*cfg));
        // One day, as on screen.
        job.dtTo = job.dtFrom;
    } else if (tab == tabSummary) {
        report = EPrintReport::Summary;
        job.sNote = TRatingFill::Note(TRatingSettings::FromCfg(*cfg));
        // The report stops at today, as on screen.
        job.dtTo = std::max(job.dtFrom, EndCutAtToday());
    } else if (tab == tabExceed) {
        report = EPrintReport::Exceedances;
        job.sNote = TLimitsFill::Note();
        job.dtTo = std::max(job.dtFrom, EndCutAtToday());
    }
    job.sTitle = TPrintJob::Title(report, cfg->RepPerPeriod());
    TformPrint form(*cfg, this);
    // A PDF file that could not be written whole is not there; the user hears why.
    if (form.DoPrint(job) <= 0 && !form.Error().isEmpty())
        ShowError(form.Error());
}

void TformMain::menuCopyClick()
{
    if (const TGridView* grid = ActiveGrid())
        TClip::CopyGrid(*grid);
    else if (const TScrollBox* box = ActiveScrollBox())
        TClip::CopyCharts(box->Client());
}

void TformMain::menuAboutClick()
{
    TformAbout dlg(this);
    dlg.exec();
}

void TformMain::btnSupervisorClick()
{
    if (TSupervisorLink::Wake())
        return;
    if (!TSupervisorLink::Start(cfg->SupervisorProg()))
        ShowError(QStringLiteral("Failed to load Tarvik Supervisor"));
}
