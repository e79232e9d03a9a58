#pragma once

#include "output/utils.h"
#include "reports/kindinfo.h"

#include <QDate>
#include <QString>

#include <memory>

class TCfg;
class TChartBase;
class TExclusions;
class THtmlPage;
struct TLimits;
struct TTQMonitor;

// What an export run offers a report kind while the kind writes its blocks of one
// monitor's library page: the run's choice, its images and its progress.
class TKindExport
{
public:
    virtual ~TKindExport() = default;

    virtual TCfg& Cfg() const = 0;
    virtual const QString& DataPath() const = 0;
    virtual QDate From() const = 0;
    virtual QDate To() const = 0;
    virtual int Period() const = 0;
    // Whether the export writes the part named sPart of the kind ("per-chart").
    virtual bool Chosen(const QString& sPart) const = 0;
    // The limit schedule of the run; none: the schedule of the settings.
    virtual std::shared_ptr<const TLimits> Limits() const = 0;
    // The exclusions the figures leave out; none: the raw figures.
    virtual const TExclusions* Exclusions() const = 0;
    virtual const TRunHooks& Hooks() const = 0;
    // The periods of monitor sID over the run's range that the exclusions leave out;
    // 0 without exclusions. Counted once per monitor however many kinds ask.
    virtual int ExcludedPeriods(const QString& sID) = 0;
    // The line "N periods excluded; see the Exclusions Report" on a page whose figures
    // leave periods of mon out, linked to the monitor's exclusions page when the
    // library has it; nothing when none are left out.
    virtual void AddExcludedLine(THtmlPage& page, const TTQMonitor& mon) = 0;
    virtual void Status(const QString& s) const = 0;

    // The folder of the kind's chart images (the kind makes it when it writes one).
    virtual QString ChartDir(const TKindInfo& kind) = 0;
    // Writes the plotted chart as sImage in sChartDir at the page size, or at the zoom
    // size with bZoom. False, with the run's error naming the file, when it cannot.
    virtual bool SaveImage(TChartBase& chart, const QString& sChartDir, const QString& sImage,
                           bool bZoom) = 0;
    // The chart of the range: its image (and zoom image) written and their line added
    // to the page; false when an image cannot be written.
    virtual bool SaveChartImages(THtmlPage& page, const TKindInfo& kind, const QString& sID,
                                 TChartBase& chart) = 0;
    // The chart of one day, in the same way.
    virtual bool SaveDayChart(THtmlPage& page, const TKindInfo& kind, const QString& sID, const QDate& d,
                              TChartBase& chart) = 0;
    // A folder that cannot be made: the run ends with the reason.
    virtual bool FolderFail(const QString& sDir) = 0;
};
