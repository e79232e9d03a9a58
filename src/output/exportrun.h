#pragma once

#include "output/utils.h"
#include "pages/kindexport.h"
#include "monitors/monitor.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class TCfg;
struct TReportKind;
struct TLimits;
class TExclusions;
class TChartBase;
class THtmlPage;
class TTQMonitors;
struct TTQMonitor;

// What one export writes, given in full so that a caller can depart from the
// settings without storing anything.
struct TExportOptions
{
    // The parts of the report kinds to write, by the names --kinds gives them
    // (the parts of the table of report kinds).
    QStringList slParts;
    // The limit schedule of the exceedance pages; none: the schedule of the settings.
    std::shared_ptr<const TLimits> pLimits;
    // The exclusions the figures leave out; none: the raw figures.
    std::shared_ptr<const TExclusions> pExcl;
    bool bZoom = false;     // also write the 2048 x 800 images, linked from the small ones
    bool bHideLogo = false; // leave the maker's logo out of every page head
    EImageFormat imageFormat = EImageFormat::Bmp; // of every chart image
    QString sHeader;        // title of the index page
    int nPeriod = 60;       // report period in minutes

    // Zoom, logo, header, image format and period from the settings; no report kind chosen.
    static TExportOptions FromCfg(const TCfg& cfg);

    // Chooses (or leaves out) the parts named.
    void Choose(const QStringList& slNames, bool bChosen = true);
    bool Chosen(const QString& sPart) const { return slParts.contains(sPart); }
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
class TExportRun final : public TKindExport
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

    // What the report kinds ask of the run while they write their blocks.
    TCfg& Cfg() const override { return cfg; }
    const QString& DataPath() const override { return sDataPath; }
    QDate From() const override { return dtFrom; }
    QDate To() const override { return dtTo; }
    int Period() const override { return opt.nPeriod; }
    bool Chosen(const QString& sPart) const override { return opt.Chosen(sPart); }
    std::shared_ptr<const TLimits> Limits() const override { return opt.pLimits; }
    const TExclusions* Exclusions() const override { return opt.pExcl.get(); }
    const TRunHooks& Hooks() const override { return hooks; }
    int ExcludedPeriods(const QString& sID) override;
    void AddExcludedLine(THtmlPage& page, const TTQMonitor& mon) override;
    void Status(const QString& s) const override;
    QString ChartDir(const TKindInfo& kind) override;
    bool SaveImage(TChartBase& chart, const QString& sChartDir, const QString& sImage, bool bZoom) override;
    bool SaveChartImages(THtmlPage& page, const TKindInfo& kind, const QString& sID, TChartBase& chart) override;
    bool SaveDayChart(THtmlPage& page, const TKindInfo& kind, const QString& sID, const QDate& d,
                      TChartBase& chart) override;
    bool FolderFail(const QString& sDir) override;

    static constexpr int ChartWidth = 800;
    static constexpr int ChartHeight = 320;
    static constexpr int ZoomWidth = 2048;
    static constexpr int ZoomHeight = 800;

private:
    // Writes one page per chosen monitor of the kind.
    bool RunKind(const TReportKind& kind);
    bool Fail(const QString& sFile);

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
    QHash<QString, int> excludedPeriods; // by monitor ID, as counted for the first page asking
};
