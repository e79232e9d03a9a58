// The main window's menus and the commands that open the output dialogs, the
// preferences, the help viewer and the about box, and the Supervisor button.
#include "app/main.h"
#include "views/scrollbox.h"
#include "analysis/exclusions.h"
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
#include "pages/reportkinds.h"
#include "pages/reportpage.h"

#include <algorithm>

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QTabWidget>

namespace {

struct THelpItem
{
    QString sCaption;
    QString sName;
    QString sPage;
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
    menuUndoExclusion = menuEdit->addAction(QStringLiteral("&Undo Exclusion"));
    menuUndoExclusion->setObjectName(QStringLiteral("menuUndoExclusion"));
    menuUndoExclusion->setEnabled(false);
    connect(menuUndoExclusion, &QAction::triggered, this, [this] { UndoExclusion(); });
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
    menuApplyExclusions = menuView->addAction(QStringLiteral("Apply &Exclusions"));
    menuApplyExclusions->setObjectName(QStringLiteral("menuApplyExclusions"));
    menuApplyExclusions->setCheckable(true);
    menuApplyExclusions->setChecked(cfg->ApplyExclusions());
    connect(menuApplyExclusions, &QAction::triggered, this, [this] { menuApplyExclusionsClick(); });

    QMenu* menuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    auto addHelp = [this](QMenu* menu, const THelpItem& item) {
        QAction* act = menu->addAction(item.sCaption);
        act->setObjectName(item.sName);
        const QString sPage = item.sPage;
        connect(act, &QAction::triggered, this, [this, sPage] { LoadHelp(sPage); });
    };
    addHelp(menuHelp, {QStringLiteral("&Overview"), QStringLiteral("menuHelpOverview"), QStringLiteral("overview.html")});
    QMenu* menuTypes = menuHelp->addMenu(QStringLiteral("&Report Types"));
    // The report kinds in tab order.
    std::vector<const TKindInfo*> aKinds = TReportKinds::Infos();
    std::stable_sort(aKinds.begin(), aKinds.end(),
                     [](const TKindInfo* a, const TKindInfo* b) { return a->nTab < b->nTab; });
    for (const TKindInfo* kind : aKinds)
        addHelp(menuTypes, {kind->sHelpMenu, kind->sHelpAction, kind->sHelp});
    QMenu* menuSettings = menuHelp->addMenu(QStringLiteral("&Settings"));
    addHelp(menuSettings, {QStringLiteral("&Program"), QStringLiteral("menuHelpCfgProg"), QStringLiteral("preferences/program.html")});
    addHelp(menuSettings, {QStringLiteral("&Reports"), QStringLiteral("menuHelpCfgRep"), QStringLiteral("preferences/reports.html")});
    addHelp(menuSettings, {QStringLiteral("&HTML && Printing"), QStringLiteral("menuHelpCfgHtml"), QStringLiteral("preferences/html_prn.html")});
    addHelp(menuSettings, {QStringLiteral("R&ating"), QStringLiteral("menuHelpCfgRating"), QStringLiteral("preferences/rating.html")});
    addHelp(menuSettings, {QStringLiteral("&Events"), QStringLiteral("menuHelpCfgEvents"), QStringLiteral("preferences/events.html")});
    addHelp(menuSettings, {QStringLiteral("&Limits"), QStringLiteral("menuHelpCfgLimits"), QStringLiteral("preferences/limits.html")});
    addHelp(menuSettings, {QStringLiteral("&Weather"), QStringLiteral("menuHelpCfgWeather"), QStringLiteral("preferences/weather.html")});
    QMenu* menuOutput = menuHelp->addMenu(QStringLiteral("Output && &Export"));
    addHelp(menuOutput, {QStringLiteral("&HTML Reports"), QStringLiteral("menuHelpHtml"), QStringLiteral("output/html.html")});
    addHelp(menuOutput, {QStringLiteral("&Printing"), QStringLiteral("menuHelpPrn"), QStringLiteral("output/printing.html")});
    addHelp(menuOutput, {QStringLiteral("&Clipboard"), QStringLiteral("menuHelpClip"), QStringLiteral("output/clipboard.html")});
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
    QString sWeatherSay;
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
            // The weather rules or their files may have changed.
            sWeatherSay = ApplyWeather();
            UpdateReport();
        }
    } catch (const EWriteError& e) {
        ShowError(e.Message());
    }
    UpdateStatus();
    // A weather file the new settings name that cannot be read is told after the
    // status it would otherwise hide under.
    if (!sWeatherSay.isEmpty()) {
        lblStatus->setText(sWeatherSay);
        lblStatus->setToolTip(sWeatherSay);
    }
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
        // The reports leave out what the figures on screen leave out, as the list
        // stands now: a copy, which a re-read during the run leaves alone.
        if (cfg->ApplyExclusions())
            dlg.SetExclusions(std::make_shared<const TExclusions>(*excl));
        dlg.setWindowModality(Qt::WindowModal);
        dlg.exec();
    } catch (const EWriteError& e) {
        ShowError(e.Message());
    }
}

void TformMain::menuPrintClick()
{
    const TReportPage* page = ActivePage();
    if (!page)
        return;
    TPrintJob job;
    job.dtFrom = StartValue().date();
    job.dtTo = page->PrintTo(job.dtFrom, EndValue().date(), EndCutAtToday());
    job.grid = ActiveGrid();
    if (!job.grid)
        job.scrollbox = ActiveScrollBox()->Client();
    job.sNote = page->Note();
    job.sTitle = page->Info().aPages[size_t(page->CurrentPage())].Title(cfg->RepPerPeriod());
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
