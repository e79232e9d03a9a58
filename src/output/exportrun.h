#pragma once

#include "output/utils.h"
#include "reports/gridfill.h"

#include <QDate>
#include <QString>

#include <functional>
#include <memory>

class TCfg;
struct TLimits;
class TChartBase;
class THtmlPage;
class TTQMonitors;
struct TTQMonitor;

// What one export writes, given in full so that a caller can depart from the
// settings without storing anything.
struct TExportOptions
{
    bool bPerChart = false;
    bool bPerTbl = false;
    bool bAlmChart = false;
    bool bAlmTbl = false;
    bool bAlmList = false;
    bool bPrfChart = false;
    bool bCalList = false;
    bool bSummary = false;  // the daily rating levels: table and chart
    bool bEvents = false;   // the noise events: per day the hourly chart and the list
    bool bExceedances = false; // the periods above the noise limits: chart with limits and table
    // The limit schedule of the exceedance pages; none: the schedule of the settings.
    std::shared_ptr<const TLimits> pLimits;
    bool bZoom = false;     // also write the 2048 x 800 images, linked from the small ones
    bool bHideLogo = false; // leave the maker's logo out of every page head
    EImageFormat imageFormat = EImageFormat::Bmp; // of every chart image
    QString sHeader;        // title of the index page
    int nPeriod = 60;       // report period in minutes

    // Zoom, logo, header, image format and period from the settings; no report kind chosen.
    static TExportOptions FromCfg(const TCfg& cfg);
};

// One export into a report folder: for each chosen kind one page per monitor with
// its tables and chart images, then the index page of everything in the folder.
// Runs on the GUI thread; between steps it hands pending events their turn through
// the pump and asks whether to stop, at the start of each monitor, of each day of a
// table, list, profile or event day, and around each periodic, alarm or summary chart image. A cancelled
// run finishes the page in hand and writes no index.
//
// The charts read the data folder, and the alarm chart its period, from the settings
// object, so cfg must agree with the options' period.
class TExportRun final
{
public:
    TExportRun(TCfg& cfg, const TTQMonitors& mons, TMonitorSel aMons, const QDate& dtFrom, const QDate& dtTo,
               TExportOptions opt);
    Q_DISABLE_COPY_MOVE(TExportRun)

    void SetStatusFn(std::function<void(const QString&)> fn) { fnStatus = std::move(fn); }
    void SetPumpFn(std::function<void()> fn) { hooks.fnPump = std::move(fn); }
    void SetCancelFn(std::function<bool()> fn) { hooks.fnCancelled = std::move(fn); }

    // Writes into sHtmlDir, which must exist. False when a page or image could not
    // be written: the run stops there and Error() names the file.
    bool Run(const QString& sHtmlDir);
    const QString& Error() const { return sError; }
    bool Cancelled() const { return hooks.Cancelled(); }

    // The report folder as a run wants it: with a trailing separator, created with
    // its parents. False when it cannot be created.
    static bool MakeReportFolder(QString& sHtmlDir);
    // "Failed to create report folder <folder>: <the system's reason>".
    static QString FolderFailText(const QString& sDir);

    // The scheduled export's note in a report folder, so that days missed while the
    // computer was off are made up: the file "last-export.txt" holds one line, the
    // last day (YYYY-MM-DD) that a complete export into the folder covered.
    static QString LastDayFile(const QString& sHtmlDir);
    // The day of the note; invalid when there is none or it holds no such day.
    static QDate LastDay(const QString& sHtmlDir);
    // Replaces the note whole (never a half-written file); false when it cannot be written.
    static bool SetLastDay(const QString& sHtmlDir, const QDate& dt);

    static constexpr int ChartWidth = 800;
    static constexpr int ChartHeight = 320;
    static constexpr int ZoomWidth = 2048;
    static constexpr int ZoomHeight = 800;

private:
    using TBlocksFn = std::function<bool(THtmlPage&, const TTQMonitor&)>;

    bool RunKind(EReportKind kind, const QString& sTitle, const QString& sProgress,
                 const TBlocksFn& fnBlocks);
    bool AddChartBlock(THtmlPage& page, EReportKind kind, const TTQMonitor& mon);
    bool AddSumBlocks(THtmlPage& page, const TTQMonitor& mon);
    bool AddEvtBlocks(THtmlPage& page, const TTQMonitor& mon);
    bool AddExcBlocks(THtmlPage& page, const TTQMonitor& mon);
    // Writes the plotted chart as sImage in sChartDir at the page size, or at the zoom
    // size with bZoom. False, with the error naming the file, when it cannot be written.
    bool SaveImage(TChartBase& chart, const QString& sChartDir, const QString& sImage, bool bZoom);
    // Writes the plotted chart's image (and zoom image) and adds their line to the page.
    bool SaveChartImages(THtmlPage& page, EReportKind kind, const TTQMonitor& mon, TChartBase& chart);
    bool AddPrfCharts(THtmlPage& page, const TTQMonitor& mon);
    QString ChartDir(EReportKind kind) const;
    bool Fail(const QString& sFile);
    bool FolderFail(const QString& sDir);
    void Status(const QString& s) const;

    TCfg& cfg;
    const TTQMonitors& mons;
    TMonitorSel aMons;
    QDate dtFrom;
    QDate dtTo;
    TExportOptions opt;
    TRunHooks hooks;
    std::function<void(const QString&)> fnStatus;
    QString sHtmlDir;
    QString sDataPath;
    QString sError;
};
