#include "app/main.h"

#include "app/datepicker.h"
#include "app/logopanel.h"
#include "analysis/exclusions.h"
#include "views/scrollbox.h"
#include "dialogs/help.h"
#include "monitors/monitor.h"
#include "platform/datefmt.h"
#include "platform/product.h"
#include "platform/writeerror.h"
#include "settings/cfg.h"
#include "settings/runstat.h"
#include "views/almlist.h"
#include "views/almtbl.h"
#include "views/callist.h"
#include "views/chartbase.h"
#include "views/eventtbl.h"
#include "views/grid.h"
#include "views/pertbl.h"
#include "pages/reportkinds.h"
#include "pages/reportpage.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The client area the window is designed for.
constexpr int cxDesign = 946;
constexpr int cyDesign = 563;
// The smallest size a stored geometry is given, which still shows every control.
constexpr int cxMinimum = 480;
constexpr int cyMinimum = 320;

QWidget* Panel(const QString& sName, QWidget* parent)
{
    auto* w = new QWidget(parent);
    w->setObjectName(sName);
    return w;
}

QHBoxLayout* RowLayout(QWidget* w, int nSpacing = 4)
{
    auto* lay = new QHBoxLayout(w);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(nSpacing);
    return lay;
}

QVBoxLayout* FillPage(QWidget* page)
{
    auto* lay = new QVBoxLayout(page);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    return lay;
}

} // namespace

TformMain::TformMain() : fnClock([] { return QDateTime::currentDateTime(); })
{
    // The decimal point is "." for the whole run: every number is formatted and parsed
    // with the C locale by the readers and writers, whatever the user's region.
    QLocale::setDefault(QLocale::c());

    cfg = std::make_unique<TCfg>();
    runstat = std::make_unique<TRunstat>();
    mons = std::make_unique<TTQMonitors>();
    excl = std::make_unique<TExclusions>();

    setWindowTitle(TProduct::AppTitle());
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    CreateControls();
    CreateMenus();
    FillPeriodMenu();
    FillPresetsMenu();

    btnSupervisor->setVisible(QFileInfo::exists(cfg->SupervisorProg()));

    timerUpdate = new QTimer(this);
    timerUpdate->setObjectName(QStringLiteral("timerUpdate"));
    timerUpdate->setInterval(60000);
    connect(timerUpdate, &QTimer::timeout, this, &TformMain::timerUpdateTimer);

    resize(cxDesign, cyDesign + menuBar()->sizeHint().height());
    chklstMon->setFocus();
    UpdateStatus();
}

TformMain::~TformMain() = default;

void TformMain::SetClock(std::function<QDateTime()> fnNow)
{
    fnClock = std::move(fnNow);
}

void TformMain::CreateControls()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);
    QVBoxLayout* layMain = FillPage(central);

    // Top bar: period, presets and dates on the right, then the Supervisor button.
    auto* panelGlobal = Panel(QStringLiteral("panelGlobal"), central);
    panelGlobal->setFixedHeight(26);
    auto* layGlobal = RowLayout(panelGlobal, 6);
    layGlobal->setContentsMargins(4, 1, 4, 1);
    layGlobal->addStretch(1);
    auto* panelDates = Panel(QStringLiteral("panelDates"), panelGlobal);
    auto* layDates = RowLayout(panelDates, 8);
    layGlobal->addWidget(panelDates);

    panelPeriod = Panel(QStringLiteral("panelPeriod"), panelDates);
    auto* layPeriod = RowLayout(panelPeriod);
    auto* lblPeriod = new QLabel(QStringLiteral("Period"), panelPeriod);
    lblPeriod->setObjectName(QStringLiteral("lblPeriod"));
    btnPeriod = new QPushButton(QStringLiteral("Period"), panelPeriod);
    btnPeriod->setObjectName(QStringLiteral("btnPeriod"));
    btnPeriod->setMinimumWidth(84);
    auto* divider = new QFrame(panelPeriod);
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Sunken);
    layPeriod->addWidget(lblPeriod);
    layPeriod->addWidget(btnPeriod);
    layPeriod->addWidget(divider);
    layDates->addWidget(panelPeriod);

    auto* panelDateFrom = Panel(QStringLiteral("panelDateFrom"), panelDates);
    auto* layFrom = RowLayout(panelDateFrom);
    btnPresets = new QPushButton(QStringLiteral("Presets"), panelDateFrom);
    btnPresets->setObjectName(QStringLiteral("btnPresets"));
    btnPresets->setMinimumWidth(90);
    auto* lblDateFrom = new QLabel(QStringLiteral("Date"), panelDateFrom);
    lblDateFrom->setObjectName(QStringLiteral("lblDateFrom"));
    dtpickStart = new TDatePicker(panelDateFrom);
    dtpickStart->setObjectName(QStringLiteral("dtpickStart"));
    layFrom->addWidget(btnPresets);
    layFrom->addWidget(lblDateFrom);
    layFrom->addWidget(dtpickStart);
    layDates->addWidget(panelDateFrom);

    panelDateTo = Panel(QStringLiteral("panelDateTo"), panelDates);
    auto* layTo = RowLayout(panelDateTo);
    auto* lblDateTo = new QLabel(QStringLiteral("To"), panelDateTo);
    lblDateTo->setObjectName(QStringLiteral("lblDateTo"));
    chkEndDate = new QCheckBox(panelDateTo);
    chkEndDate->setObjectName(QStringLiteral("chkEndDate"));
    dtpickEnd = new TDatePicker(panelDateTo);
    dtpickEnd->setObjectName(QStringLiteral("dtpickEnd"));
    dtpickEnd->setEnabled(false);
    layTo->addWidget(lblDateTo);
    layTo->addWidget(chkEndDate);
    layTo->addWidget(dtpickEnd);
    layDates->addWidget(panelDateTo);
    for (QDateEdit* pick : {dtpickStart, dtpickEnd}) {
        pick->setDisplayFormat(QStringLiteral("MMM dd, yyyy"));
        pick->setCalendarPopup(true);
        // Month names in the user's language; the numbers stay as everywhere else.
        pick->setLocale(TDateFmt::PickerLocale());
        pick->setMinimumWidth(110);
    }

    btnSupervisor = new QPushButton(QStringLiteral("Supervisor"), panelGlobal);
    btnSupervisor->setObjectName(QStringLiteral("btnSupervisor"));
    btnSupervisor->setFlat(true);
    layGlobal->addWidget(btnSupervisor);
    layMain->addWidget(panelGlobal);

    // Monitor list on the left, report tabs in the centre.
    splitterMon = new QSplitter(Qt::Horizontal, central);
    splitterMon->setObjectName(QStringLiteral("splitterMon"));
    splitterMon->setChildrenCollapsible(false);
    panelMon = Panel(QStringLiteral("panelMon"), splitterMon);
    auto* layMon = FillPage(panelMon);
    chklstMon = new QListWidget(panelMon);
    chklstMon->setObjectName(QStringLiteral("chklstMon"));
    layMon->addWidget(chklstMon);
    splitterMon->addWidget(panelMon);

    pagesMain = new QTabWidget(splitterMon);
    pagesMain->setObjectName(QStringLiteral("pagesMain"));
    splitterMon->addWidget(pagesMain);
    splitterMon->setStretchFactor(0, 0);
    splitterMon->setStretchFactor(1, 1);
    splitterMon->setSizes({143, cxDesign - 143});
    layMain->addWidget(splitterMon, 1);

    // One tab per report kind, in tab order; each chart a page makes takes part in
    // the zoom and scroll synchronisation of its tab.
    std::vector<const TReportKind*> aKinds;
    for (const TReportKind& kind : TReportKinds::All())
        aKinds.push_back(&kind);
    std::stable_sort(aKinds.begin(), aKinds.end(),
                     [](const TReportKind* a, const TReportKind* b) { return a->info.nTab < b->info.nTab; });
    const TPageEnv env{*cfg,
                       *mons,
                       chklstMon,
                       [this](TChartBase* chart) {
                           connect(chart, &TChartBase::Zoomed, this, &TformMain::SyncZoom);
                           connect(chart, &TChartBase::Unzoomed, this, &TformMain::SyncUnzoom);
                           connect(chart, &TChartBase::Scrolled, this, &TformMain::SyncScroll);
                           chart->SetExcludeEnabled(bExclUsable);
                           // Queued: the rebuild after an exclusion deletes the chart whose
                           // menu asked for it.
                           connect(chart, &TChartBase::ExcludeRequested, this, &TformMain::ExcludeSpan,
                                   Qt::QueuedConnection);
                       },
                       excl.get(),
                       [this] { return cfg->ApplyExclusions(); }};
    for (const TReportKind* kind : aKinds) {
        TReportPage* page = kind->fnMakePage(env, pagesMain);
        pagesMain->addTab(page, kind->info.sTab);
        connect(page, &TReportPage::DayChosen, this, &TformMain::ShowDay);
        aPages.push_back(page);
        connect(page, &TReportPage::ExclusionsChanged, this, &TformMain::ExclusionsSaved);
    }
    BindPageControls();
    if (perTable)
        connect(perTable, &TPerTable::ExcludeRequested, this, &TformMain::ExcludeSpan, Qt::QueuedConnection);

    // Status bar: the status line, and the maker's name at the right.
    auto* panelStatus = Panel(QStringLiteral("panelStatus"), central);
    panelStatus->setFixedHeight(24);
    auto* layStatus = RowLayout(panelStatus);
    layStatus->setContentsMargins(6, 2, 6, 2);
    lblStatus = new QLabel(panelStatus);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    layStatus->addWidget(lblStatus, 1);
    layStatus->addWidget(new TLogoPanel(panelStatus));
    layMain->addWidget(panelStatus);

    connect(chklstMon, &QListWidget::itemChanged, this, &TformMain::chklstMonItemChanged);
    connect(chklstMon, &QListWidget::itemClicked, this, [this] { chklstMonClick(); });
    connect(chkEndDate, &QCheckBox::clicked, this, [this] { chkEndDateClick(); });
    connect(dtpickStart, &TDatePicker::CloseUp, this, [this] { dtpickStartCloseUp(); });
    connect(dtpickStart, &TDatePicker::KeyUp, this, [this] { dtpickStartCloseUp(); });
    connect(dtpickEnd, &TDatePicker::CloseUp, this, [this] { dtpickEndCloseUp(); });
    connect(dtpickEnd, &TDatePicker::KeyUp, this, [this] { dtpickEndCloseUp(); });
    connect(btnSupervisor, &QPushButton::clicked, this, [this] { btnSupervisorClick(); });
    QList<QTabWidget*> apages{pagesMain};
    for (const TReportPage* page : aPages)
        if (page->SubPages())
            apages.append(page->SubPages());
    for (QTabWidget* pages : std::as_const(apages))
        connect(pages, &QTabWidget::currentChanged, this, [this] {
            if (bShown)
                UpdateReport();
        });
}

void TformMain::BindPageControls()
{
    // The controls keep the names the other windows and the tests know them by.
    auto page = [this](const QString& sName) { return pagesMain->findChild<QWidget*>(sName); };
    auto tabs = [this](const QString& sName) { return pagesMain->findChild<QTabWidget*>(sName); };
    auto box = [this](const QString& sName) { return pagesMain->findChild<TScrollBox*>(sName); };
    auto note = [this](const QString& sName) { return pagesMain->findChild<QLabel*>(sName); };
    tabPeriodic = page(QStringLiteral("tabPeriodic"));
    pagesPer = tabs(QStringLiteral("pagesPer"));
    tabPerChart = page(QStringLiteral("tabPerChart"));
    tabPerTbl = page(QStringLiteral("tabPerTbl"));
    tabAlarms = page(QStringLiteral("tabAlarms"));
    pagesAlm = tabs(QStringLiteral("pagesAlm"));
    tabAlmChart = page(QStringLiteral("tabAlmChart"));
    tabAlmTable = page(QStringLiteral("tabAlmTable"));
    tabAlmList = page(QStringLiteral("tabAlmList"));
    tabTH = page(QStringLiteral("tabTH"));
    tabEvents = page(QStringLiteral("tabEvents"));
    pagesEvt = tabs(QStringLiteral("pagesEvt"));
    tabEvtList = page(QStringLiteral("tabEvtList"));
    tabEvtChart = page(QStringLiteral("tabEvtChart"));
    lblEvtNote = note(QStringLiteral("lblEvtNote"));
    tabSummary = page(QStringLiteral("tabSummary"));
    pagesSum = tabs(QStringLiteral("pagesSum"));
    tabSumTbl = page(QStringLiteral("tabSumTbl"));
    tabSumChart = page(QStringLiteral("tabSumChart"));
    lblSumNote = note(QStringLiteral("lblSumNote"));
    tabExceed = page(QStringLiteral("tabExceed"));
    lblExcNote = note(QStringLiteral("lblExcNote"));
    tabCals = page(QStringLiteral("tabCals"));
    scrollboxPerChart = box(QStringLiteral("scrollboxPerChart"));
    scrollboxAlmChart = box(QStringLiteral("scrollboxAlmChart"));
    scrollboxTHChart = box(QStringLiteral("scrollboxTHChart"));
    scrollboxSumChart = box(QStringLiteral("scrollboxSumChart"));
    scrollboxEvtChart = box(QStringLiteral("scrollboxEvtChart"));
    perTable = pagesMain->findChild<TPerTable*>();
    almTable = pagesMain->findChild<TAlmTable*>();
    almList = pagesMain->findChild<TAlmList*>();
    calList = pagesMain->findChild<TCalList*>();
    sumTable = pagesMain->findChild<TGridView*>(QStringLiteral("sumTable"));
    evtTable = pagesMain->findChild<TEventTable*>();
    excTable = pagesMain->findChild<TGridView*>(QStringLiteral("excTable"));
}

void TformMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!bShown) {
        bShown = true;
        FormShow();
    }
}

void TformMain::FormShow()
{
    if (cfg->x() != -1 && cfg->y() != -1) {
        const QRect rc = StoredGeometry(QRect(cfg->x(), cfg->y(), cfg->cx(), cfg->cy()));
        move(rc.topLeft());
        resize(rc.size());
    }
    if (cfg->WinState() == 2)
        setWindowState(windowState() | Qt::WindowMaximized);
    // A settings file that cannot be read (a pipe, a device, an oversized file) gives
    // the defaults, as on the command line; only storing the resolved data folder
    // fails, which must not leave the window without monitors, dates and report.
    QString sWriteError;
    try {
        cfg->DataPath();
    } catch (const EWriteError& e) {
        sWriteError = e.Message();
    }
    LoadMonitorList();
    LoadExclusions();
    ApplyWeather();
    // The pickers start at today, which is what a stored preset number that names no
    // preset leaves them at.
    const QDateTime dtToday(Now().date(), QTime(0, 0));
    SetPickers(dtToday, dtToday);
    ApplyPreset(cfg->RepPreset());
    UpdateReport();
    if (!sWriteError.isEmpty()) {
        lblStatus->setText(sWriteError);
        lblStatus->setToolTip(sWriteError);
    } else if (!sExclErrorsShown.isEmpty() || !sWeatherErrorsShown.isEmpty()) {
        QStringList slSay{sExclErrorsShown, sWeatherErrorsShown};
        slSay.removeAll(QString());
        lblStatus->setText(slSay.join(QStringLiteral("; ")));
        lblStatus->setToolTip(lblStatus->text());
    }
}

QRect TformMain::StoredGeometry(const QRect& rcStored) const
{
    // The work area of the screen the stored position lies on, else of the primary
    // screen; none at all (no screen) leaves the designed size.
    const QScreen* scr = QGuiApplication::screenAt(rcStored.topLeft());
    if (!scr)
        scr = QGuiApplication::primaryScreen();
    const QRect rcWork = scr ? scr->availableGeometry() : QRect();
    if (rcWork.isEmpty())
        return QRect(rcStored.topLeft(), size());
    // A stored size larger than the screen (a damaged or hand-edited file) would make
    // a window as large as the window system allows, and its chart images with it;
    // one too small would hide the controls. The controls' own minimum counts too.
    const QSize szMin = QSize(cxMinimum, cyMinimum).expandedTo(minimumSize()).boundedTo(rcWork.size());
    const int cxWin = std::clamp(rcStored.width(), szMin.width(), rcWork.width());
    const int cyWin = std::clamp(rcStored.height(), szMin.height(), rcWork.height());
    const int xWin = std::clamp(rcStored.x(), rcWork.left(), rcWork.left() + rcWork.width() - cxWin);
    const int yWin = std::clamp(rcStored.y(), rcWork.top(), rcWork.top() + rcWork.height() - cyWin);
    return QRect(xWin, yWin, cxWin, cyWin);
}

void TformMain::closeEvent(QCloseEvent* event)
{
    try {
        FormClose();
    } catch (const EWriteError& e) {
        ShowError(e.Message());
    }
    // Closing the main window ends the program: the help window goes with it.
    if (formHelp)
        formHelp->hide();
    QMainWindow::closeEvent(event);
}

void TformMain::FormClose()
{
    const Qt::WindowStates state = windowState();
    const bool bMin = state & Qt::WindowMinimized;
    const bool bMax = state & Qt::WindowMaximized;
    if (!bMin && !bMax) {
        cfg->Setx(pos().x());
        cfg->Sety(pos().y());
        cfg->Setcx(width());
        cfg->Setcy(height());
    }
    if (!bMin)
        cfg->SetWinState(bMax ? 2 : 0);
    for (int i = 0; i < mons->Count(); ++i)
        cfg->SetMonitorSel(mons->GetHead(i)->sID, chklstMon->item(i)->checkState() == Qt::Checked);
}

void TformMain::LoadMonitorList()
{
    mons->LoadMonitors(cfg->DataPath());
    bSettingTicks = true;
    chklstMon->clear();
    for (int i = 0; i < mons->Count(); ++i) {
        const TTQMonitor* mon = mons->GetHead(i);
        auto* item = new QListWidgetItem(mon->sName, chklstMon);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(cfg->GetMonitorSel(mon->sID) ? Qt::Checked : Qt::Unchecked);
    }
    bSettingTicks = false;
}

void TformMain::chklstMonItemChanged(QListWidgetItem*)
{
    if (bSettingTicks)
        return;
    bClickCheck = true;
    // A tick toggled from the keyboard is not followed by a click: rebuild all the same.
    QTimer::singleShot(0, this, [this] {
        if (bClickCheck)
            chklstMonClick();
    });
}

void TformMain::chklstMonClick()
{
    if (!bClickCheck) {
        // Clicking a monitor's name makes it the only monitor ticked.
        bSettingTicks = true;
        for (int i = 0; i < chklstMon->count(); ++i)
            chklstMon->item(i)->setCheckState(Qt::Unchecked);
        if (QListWidgetItem* item = chklstMon->currentItem())
            item->setCheckState(Qt::Checked);
        bSettingTicks = false;
    }
    bClickCheck = false;
    UpdateReport();
}

void TformMain::menuMonClick()
{
    bShowMonitors = !bShowMonitors;
    panelMon->setVisible(bShowMonitors);
    menuMonitors->setChecked(bShowMonitors);
}

void TformMain::UpdateStatus()
{
    lblStatus->setText(QStringLiteral("Auto refresh: ") +
                       (cfg->AutoRefresh() ? QStringLiteral("on") : QStringLiteral("off")) +
                       QStringLiteral("  |  Y axis: ") +
                       (cfg->RepYAuto() ? QStringLiteral("auto") : QStringLiteral("fixed")));
}

void TformMain::ShowError(const QString& sText)
{
    QMessageBox box(QMessageBox::Critical, TProduct::AppTitle(), sText, QMessageBox::Ok, this);
    box.exec();
}
