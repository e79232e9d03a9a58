#pragma once

#include "analysis/exclusions.h"
#include "monitors/monitor.h"

#include <QDate>
#include <QString>

#include <vector>

class TStringGrid;

// What the exclusions left out of one day of a monitor: the report period's records
// of LAeq the day walk marks excluded (a period counts once whatever its reasons),
// the records of the day's periodic file, and the seconds of the merged spans in force
// on the day (overlapping exclusions count once).
struct TExclusionDay
{
    QDate dt;
    int nPeriods = 0;
    int nRecords = 0;
    qint64 nSecs = 0;
    int nReasons = 0; // bits int(TExclusion::EReason) of the spans on the day
};

// The exclusions of one monitor over a range: every row that concerns it (its own and
// "*", in force or withdrawn, and the automatic ones while they are on) overlapping the
// range, and the effect per day with its sum.
struct TExclusionMonitor
{
    QString sID;
    std::vector<TExclusion> aRows;
    std::vector<TExclusionDay> aDays;
    int nPeriods = 0;
    int nRecords = 0;
    qint64 nSecs = 0;
    int nReasons = 0;
};

// The "Exclusions" tab's grids, the exclusion pages of the library and the
// --exclusions-list text, all from one computation.
class TExclusionsFill final
{
public:
    TExclusionsFill() = delete;

    // The parameter whose periods and seconds the effect counts.
    static QString EffectParam() { return QStringLiteral("LAeq"); }

    // Every row of excl that concerns monitor sID and overlaps dtFrom to dtTo (both
    // whole days), file rows first in file order, then the automatic ones.
    static std::vector<TExclusion> Listed(const TExclusions& excl, const QString& sID, const QDate& dtFrom,
                                          const QDate& dtTo);
    // The effect on monitor sID per day of dtFrom to dtTo, for the periodic files of
    // nPeriod minutes.
    static std::vector<TExclusionDay> Effect(const TExclusions& excl, const QString& sDataPath,
                                             const QString& sID, const QDate& dtFrom, const QDate& dtTo,
                                             int nPeriod);
    // The periods of monitor sID that the exclusions leave out of dtFrom to dtTo.
    static int ExcludedPeriods(const TExclusions& excl, const QString& sDataPath, const QString& sID,
                               const QDate& dtFrom, const QDate& dtTo, int nPeriod);
    // Rows and effect of each of aMons, in its order; none without a list.
    static std::vector<TExclusionMonitor> Compute(const TExclusions* pExcl, const QString& sDataPath,
                                                  const TMonitorSel& aMons, const QDate& dtFrom,
                                                  const QDate& dtTo, int nPeriod);

    // The list: per monitor its title, a heading row and a row per exclusion ("None"
    // without one), then two spacing rows. When paiIds is given it gets, per grid row,
    // the id of the exclusion on it (0 for the other rows).
    static void FillList(TStringGrid& grid, const TMonitorSel& aMons, const std::vector<TExclusionMonitor>& aRes,
                         std::vector<int>* paiIds = nullptr);
    // The effect: per monitor its title, a heading row, a row per day and a "Range" row.
    static void FillEffect(TStringGrid& grid, const TMonitorSel& aMons,
                           const std::vector<TExclusionMonitor>& aRes);

    // The line that goes with the list and the effect.
    static QString Note();
    // "active", "withdrawn" or "automatic".
    static QString StatusText(const TExclusion& ex);
    // "h:mm:ss", hours running past 24.
    static QString Duration(qint64 nSecs);
    // "all" or the parameters, "; " between.
    static QString CoversText(const TExclusion& ex);
    // The id as shown: "A1" for automatic exclusion -1.
    static QString IdText(int nId);
    // A text from the file as a grid cell shows it whole: on one line, and with a
    // blank before a first character the cell markup would take.
    static QString CellText(const QString& s);

    // --exclusions-list: a header line, then as CSV every row of excl that concerns one
    // of aMons and overlaps dtFrom to dtTo, once, in file order, then the automatic ones.
    static QString Csv(const TExclusions& excl, const TMonitorSel& aMons, const QDate& dtFrom,
                       const QDate& dtTo);

    static constexpr int ColId = 0;
    static constexpr int ColStatus = 1;
    static constexpr int ColMonitor = 2;
    static constexpr int ColFrom = 3;
    static constexpr int ColTo = 4;
    static constexpr int ColDuration = 5;
    static constexpr int ColCovers = 6;
    static constexpr int ColReason = 7;
    static constexpr int ColComment = 8;
    static constexpr int ColAuthor = 9;
    static constexpr int ColCreated = 10;
    static constexpr int ColWithdrawn = 11;
    static constexpr int ColCount = 12;

    static constexpr int ColDate = 0;
    static constexpr int ColPeriods = 1;
    static constexpr int ColRecords = 2;
    static constexpr int ColSecs = 3;
    static constexpr int ColTime = 4;
    static constexpr int ColReasons = 5;
    static constexpr int ColEffectCount = 6;
};
