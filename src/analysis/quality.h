#pragma once

#include "analysis/daywalk.h"
#include "analysis/rating.h"
#include "monitors/monitor.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

class TExclusions;

// What a data-quality review is computed with.
struct TQualitySettings
{
    // A stretch without values must last longer than this to be listed as a gap.
    static constexpr int nDefaultGapMinutes = 60;

    TRatingSettings rating; // the parts of the day and the coverage threshold
    int nGapMinutes = nDefaultGapMinutes;
    // Periods that have not ended by this time are not expected yet (the supervisor
    // writes a period once it is over); invalid: every period of every day is.
    QDateTime dtNow;

    static TQualitySettings FromCfg(const TCfg& cfg, const QDateTime& dtNow);
};

// How a day looks on the coverage calendar.
enum class EQualityDay
{
    Full,     // every period that counts has a value
    Good,     // coverage at or above the rating threshold
    Low,      // coverage below it, but some value
    NoData,   // no value at all
    Excluded, // every period was excluded
    NotDue    // no period of the day has begun yet
};

// Why the periods of a gap have no value (bits, several where a gap has several).
enum EGapCause : int
{
    gcFileMissing = 1, // no periodic file for the day
    gcNotRead = 2,     // a file there, but refused (empty, too large, not a plain file)
    gcNoField = 4,     // the file lacks the LAeq column
    gcNoValue = 8,     // a record with "-" or no level (0, 180 dB and more)
    gcNoRecord = 16    // the file has no record for the period
};

struct TQualityDay
{
    QDate dt;
    TDayRecords::EFile eFile = TDayRecords::EFile::Missing;
    QString sFileError;
    int nExpected = 0; // periods of the day that have begun
    int nPresent = 0;  // with an LAeq value and not excluded
    int nExcluded = 0; // excluded, with a value or without
    int nAlarms = 0;
    int nCalibrations = 0;
    bool bExclusions = false; // an exclusion touches the day

    int Missing() const { return nExpected - nPresent - nExcluded; }
    // The share (0-1) of the periods that count, those not excluded, that have a value;
    // NaN when none count.
    double Coverage() const;
    EQualityDay Class(double dThresholdPercent) const;
};

// A stretch of periods without a value, as wall-clock times (TExclusion::Wall); the
// end is the end of its last period.
struct TQualityGap
{
    qint64 nFrom = 0;
    qint64 nTo = 0;
    int nCauses = 0; // EGapCause bits
    qint64 Seconds() const { return nTo - nFrom; }
};

// One calibration: its time and the text of every field the monitor's calibration
// files name (slCalFields), with its number where the text is one.
struct TQualityCal
{
    QDate dt;
    QString sTime;
    int nSecs = -1;
    QStringList slTexts;          // per field of slCalFields; empty where a file lacks it
    std::vector<double> adValues; // per field; NaN where the text is no number
};

// Periods per part of the day (ERatingPart) over the range.
struct TQualityTotals
{
    int nDays = 0;
    int nDaysWithData = 0; // with at least one value
    int nDaysMissing = 0;  // without a readable periodic file
    int nDaysExcluded = 0; // touched by an exclusion
    std::array<int, rpPartCount> anExpected{};
    std::array<int, rpPartCount> anPresent{};
    std::array<int, rpPartCount> anExcluded{};

    int Expected() const { return anExpected[0] + anExpected[1] + anExpected[2]; }
    int Present() const { return anPresent[0] + anPresent[1] + anPresent[2]; }
    int Excluded() const { return anExcluded[0] + anExcluded[1] + anExcluded[2]; }
    // As TQualityDay::Coverage, for one part or (part rpPartCount) the whole day.
    double Coverage(int iPart) const;
};

struct TQualityMonitor
{
    QString sID;
    std::vector<TQualityDay> aDays; // every day of the range
    std::vector<TQualityGap> aGaps;
    QStringList slCalFields; // the calibration fields after the time, in order of first appearance
    std::vector<TQualityCal> aCals;
    TQualityTotals totals;
};

// How complete a monitor's record is: per day the periods with an LAeq value, the
// stretches without one, the alarms and calibrations, and the calibrations' figures.
// A period counts for the day and part in which it starts; an excluded period is
// neither a value nor a gap.
class TQuality final
{
public:
    TQuality() = delete;

    static std::vector<TQualityMonitor> Compute(const TQualitySettings& set, const QString& sDataPath,
                                                const TMonitorSel& aMons, const QDate& dtFrom,
                                                const QDate& dtTo, int nPeriod, const TExclusions* pExcl);

    // "file missing", "file not read", "no LAeq column", "no value", "no record",
    // joined with "; " in that order.
    static QString CauseText(int nCauses);
    // The number a calibration field holds: digits with "." whatever the locale; false
    // for anything else.
    static bool Number(const QString& s, double& d);
};
