#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMainWindow>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTimer;
class TAlmList;
class TAlmTable;
class TCalList;
class TCfg;
class TChartBase;
class TDatePicker;
class TExclusions;
class TEventTable;
class TformHelp;
class TGridView;
class TPerTable;
class TReportPage;
class TRunstat;
class TScrollBox;
class TTQMonitors;

// The program's main window: the monitor check-list, the report tabs with their
// grids and chart stacks, the period and date choice, the menus and the status line.
// It owns the settings, the run-time status, the monitor catalogue and the four grid
// views for the whole run. Report building, period selection and chart
// synchronisation live in report.cpp, period.cpp and sync.cpp; the installation's
// exclusion list, which every page is given, in exclusionlist.cpp.
class TformMain final : public QMainWindow
{
    Q_OBJECT

public:
    TformMain();
    ~TformMain() override;
    Q_DISABLE_COPY_MOVE(TformMain)

    // The clock that "today" and the build stamps come from (tests set a fixed one).
    void SetClock(std::function<QDateTime()> fnNow);
    QDateTime Now() const { return fnClock(); }

    // Rebuilds the report on the active tab from the current choice.
    void UpdateReport();
    void UpdateStatus();

    void SyncAxes();
    void SyncZoom(TChartBase* sender);
    void SyncUnzoom(TChartBase* sender);
    void SyncScroll(TChartBase* sender);

    void ApplyPreset(int t);
    // The current-local-time check of the refresh timer, callable by tests.
    void timerUpdateTimer();

    // Report dates: Start, and End (the start when the end box is clear).
    QDateTime StartValue() const { return dtStart; }
    QDateTime EndValue() const;
    // Sets a picker as the user would with its calendar and runs the picker's reaction.
    void PickStart(const QDate& d);
    void PickEnd(const QDate& d);
    // The report of day d alone, as when a day of the coverage calendar is clicked.
    void ShowDay(const QDate& d);

    // The charts of the active main tab; none on "Calibrations".
    const QList<TChartBase*>* ActiveCharts() const;

    TCfg& Cfg() { return *cfg; }
    // The installation's exclusion list, read at start and again when its file changes.
    TExclusions& Exclusions() { return *excl; }
    // Whether the list could be read (else nothing changes it and it is never written).
    bool ExclusionsUsable() const { return bExclUsable; }
    // Asks for an exclusion of monitor sID from nFrom to nTo (TExclusion::Wall) in the
    // exclusion dialog; an accepted one is added, saved and every tab rebuilt. A save
    // that fails is told and the addition undone, so the screen shows what the file holds.
    void ExcludeSpan(const QString& sID, qint64 nFrom, qint64 nTo);
    // Edit > Undo Exclusion: goes back before the last change and saves.
    void UndoExclusion();
    const TTQMonitors& Monitors() const { return *mons; }
    bool Zoomed() const { return bZoomed; }
    QDateTime LastUpdate() const { return dtLastUpdate; }
    int SelectedPreset() const { return nSelectedPreset; }

    // Controls, named as the other windows and the tests know them.
    QListWidget* chklstMon = nullptr;
    QTabWidget* pagesMain = nullptr;
    QTabWidget* pagesPer = nullptr;
    QTabWidget* pagesAlm = nullptr;
    QWidget* tabPeriodic = nullptr;
    QWidget* tabPerChart = nullptr;
    QWidget* tabPerTbl = nullptr;
    QWidget* tabAlarms = nullptr;
    QWidget* tabAlmChart = nullptr;
    QWidget* tabAlmTable = nullptr;
    QWidget* tabAlmList = nullptr;
    QWidget* tabTH = nullptr;
    QWidget* tabEvents = nullptr;
    QTabWidget* pagesEvt = nullptr;
    QWidget* tabEvtList = nullptr;
    QWidget* tabEvtChart = nullptr;
    QLabel* lblEvtNote = nullptr;
    QWidget* tabSummary = nullptr;
    QTabWidget* pagesSum = nullptr;
    QWidget* tabSumTbl = nullptr;
    QWidget* tabSumChart = nullptr;
    QLabel* lblSumNote = nullptr;
    QWidget* tabExceed = nullptr;
    QLabel* lblExcNote = nullptr;
    QWidget* tabCals = nullptr;
    TScrollBox* scrollboxPerChart = nullptr;
    TScrollBox* scrollboxAlmChart = nullptr;
    TScrollBox* scrollboxTHChart = nullptr;
    TScrollBox* scrollboxSumChart = nullptr;
    TScrollBox* scrollboxEvtChart = nullptr;
    TPerTable* perTable = nullptr;
    TAlmTable* almTable = nullptr;
    TAlmList* almList = nullptr;
    TCalList* calList = nullptr;
    TGridView* sumTable = nullptr;
    TEventTable* evtTable = nullptr;
    TGridView* excTable = nullptr;
    QWidget* panelPeriod = nullptr;
    QWidget* panelDateTo = nullptr;
    QPushButton* btnPeriod = nullptr;
    QPushButton* btnPresets = nullptr;
    TDatePicker* dtpickStart = nullptr;
    TDatePicker* dtpickEnd = nullptr;
    QCheckBox* chkEndDate = nullptr;
    QPushButton* btnSupervisor = nullptr;
    QLabel* lblStatus = nullptr;
    QMenu* menuPeriod = nullptr;
    QMenu* menuPresets = nullptr;
    QAction* menuApplyExclusions = nullptr;
    QAction* menuUndoExclusion = nullptr;
    QTimer* timerUpdate = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Window (main.cpp)
    void CreateControls();
    void CreateMenus();
    // Points the named controls at the widgets of the report pages.
    void BindPageControls();
    void FormShow();
    // The stored window rectangle held inside the work area of its screen, at least
    // a usable minimum and at most the work area.
    QRect StoredGeometry(const QRect& rcStored) const;
    void FormClose();
    void LoadMonitorList();
    void chklstMonClick();
    void chklstMonItemChanged(QListWidgetItem* item);
    void menuMonClick();
    void menuCfgClick();
    // Runs the preferences dialog at page nPage; true when it was closed with OK.
    bool ExecCfg(int nPage);
    void menuExportClick();
    void menuPrintClick();
    void menuCopyClick();
    void menuAboutClick();
    void LoadHelp(const QString& sPage);
    void btnSupervisorClick();
    void ShowError(const QString& sText);

    // Period selection (period.cpp)
    void FillPeriodMenu();
    void FillPresetsMenu();
    void menuPeriodClick(int nTag);
    void menuPresetsPopup();
    void menuPresetClick(int nTag);
    void chkEndDateClick();
    void dtpickStartCloseUp();
    void dtpickEndCloseUp();
    void SetPickers(const QDateTime& dtFrom, const QDateTime& dtTo);
    // "Custom" on the Presets button, stored as preset 0, no preset re-applied by the
    // refresh timer; SetCustom also rebuilds the report.
    void SetCustomChoice();
    void SetCustom();

    // Chart synchronisation (sync.cpp): fn for every chart of the active tab but sender.
    void ForOtherCharts(TChartBase* sender, const std::function<void(TChartBase*)>& fn);

    // Exclusions (exclusionlist.cpp)
    // Reads the exclusion file and tells its mistakes on the status line, once.
    void LoadExclusions();
    // Makes the automatic exclusions from the weather rules of the settings and tells
    // the weather files' problems on the status line, once: what it said, empty when
    // nothing new.
    QString ApplyWeather();
    // Whether the exclusion file's time differs from the one last read or written.
    bool ExclusionsFileChanged() const;
    void StampExclusionsFile();
    // After the list changed and was saved, here or on a page: every tab follows.
    void ExclusionsSaved();
    void UpdateExclusionActions();
    void menuApplyExclusionsClick();

    // Report building (report.cpp)
    void UpdateCalibrationsTab();
    void LayoutCharts();
    TScrollBox* ActiveScrollBox() const;
    // The grid of the report page in front; none when that page shows charts.
    const TGridView* ActiveGrid() const;
    // The report page of the tab in front; none before the tabs are made.
    TReportPage* ActivePage() const;
    // Tells the settings' mistakes of the page's kind on the status line, once until they change.
    void ReportSettingsErrors(const TReportPage& page);
    QList<int> TickedRows() const;
    QDate EndCutAtToday() const;
    void StampBuild();
    bool NewDataSince(const QDateTime& dtStamp) const;

    std::function<QDateTime()> fnClock;

    std::unique_ptr<TCfg> cfg;
    std::unique_ptr<TRunstat> runstat;
    std::unique_ptr<TTQMonitors> mons;
    std::unique_ptr<TExclusions> excl;
    bool bExclUsable = true;
    QDateTime dtExclFile; // the file's time when last read or written; invalid: no file
    QString sExclErrorsShown;
    QString sWeatherErrorsShown;
    // Made on first use and kept for the run; a window of its own, so it stays usable
    // beside a dialog that is open over the main window.
    std::unique_ptr<TformHelp> formHelp;

    QSplitter* splitterMon = nullptr;
    QWidget* panelMon = nullptr;
    QAction* menuMonitors = nullptr;
    QList<QAction*> aPresetActions;

    // The values the date pickers stand for: a date, with a time of day for the end
    // of a week or month.
    QDateTime dtStart;
    QDateTime dtEnd;
    bool bSettingPickers = false;
    bool bSettingTicks = false;

    bool bShowMonitors = true;
    bool bClickCheck = false;
    // The report pages, one per kind, in tab order.
    std::vector<TReportPage*> aPages;
    bool bSyncZoomSentry = false;
    bool bSyncScrollSentry = false;
    QDateTime dtLastUpdate;
    bool bZoomed = false;
    int nSelectedPreset = -1;
    bool bShown = false;
    // The settings' mistakes last shown, by their source, so that each is told once.
    QHash<QString, QString> hashErrorsShown;
};
