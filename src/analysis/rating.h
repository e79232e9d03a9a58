#pragma once

#include "monitors/monitor.h"

#include <QDate>
#include <QString>

#include <array>
#include <vector>

class TCfg;
class TExclusions;

// The three parts of a rating day, in the order their start hours run round the clock.
enum ERatingPart : int
{
    rpDay,
    rpEvening,
    rpNight,
    rpPartCount
};

// What the rating levels are computed with.
struct TRatingSettings
{
    std::array<int, rpPartCount> anStartHour{7, 19, 23};
    double dEveningPenalty = 5;
    double dNightPenalty = 10;
    double dCoverage = 75; // percent: a part with less coverage is marked
    bool bLdenLimitOn = false;
    double dLdenLimit = 55;
    bool bNightLimitOn = false;
    double dNightLimit = 50;

    // Start hours out of 0-23, or not following each other round the clock (day,
    // then evening, then night), cannot split a day: the default hours are used then.
    static TRatingSettings FromCfg(const TCfg& cfg);
    bool HoursValid() const;
    // Length of a part in minutes; 0 for a part whose start equals the next part's.
    int PartMinutes(ERatingPart part) const;
    // The part in which a period starting nSecs after midnight falls.
    ERatingPart PartOf(int nSecs) const;
};

// One LAeq value of a periodic file and the start of its period.
struct TRatingPeriod
{
    int nStartSecs;
    double dLAeq;
    bool bExcluded = false; // marked as not to be counted: out of the level and the coverage
};

// The levels of one day, or of a whole range. Levels are NaN where a part has no
// value; coverage is the share (0-1) of a part's periods that have a value and are
// counted, NaN for a part of no length. Excluded periods are neither in the level nor
// in the coverage; their time is given apart from the periods without a value.
struct TRatingLevels
{
    QDate dt; // invalid for a range
    std::array<double, rpPartCount> adLevel{};
    double dLden = 0;
    std::array<double, rpPartCount> adCoverage{};
    // A part whose coverage is under the threshold; its level is still given.
    std::array<bool, rpPartCount> abLow{};
    bool bLdenLow = false; // one of the three parts is low
    std::array<double, rpPartCount> adExcludedSecs{}; // time of the excluded periods

    double ExcludedSecs() const { return adExcludedSecs[0] + adExcludedSecs[1] + adExcludedSecs[2]; }

    double Ld() const { return adLevel[rpDay]; }
    double Le() const { return adLevel[rpEvening]; }
    double Ln() const { return adLevel[rpNight]; }
};

struct TRatingMonitor
{
    QString sID;
    std::vector<TRatingLevels> aDays; // every day of the range, a missing file too
    TRatingLevels range;
    // Days above the limits as shown (one decimal); 0 while a limit is off.
    int nLdenAbove = 0;
    int nNightAbove = 0;
};

// Daily day, evening and night rating levels and Lden from the LAeq of the periodic
// day files. A level is the energy average of a part's periods that have a value
// (above 0 and below 180 dB, as on the charts), each weighted by its length; a period
// counts in the part in which it starts.
class TRating final
{
public:
    TRating() = delete;

    // The levels of one day from its periods of nPeriod minutes.
    static TRatingLevels ComputeDay(const TRatingSettings& set, const std::vector<TRatingPeriod>& aPeriods,
                                    int nPeriod);

    // Per monitor, the days from dtFrom to dtTo (both included) and the range row,
    // whose levels are averaged from all the range's periods, not from the daily rows.
    // Periods the exclusions pExcl cover are left out (none: the raw figures).
    static std::vector<TRatingMonitor> Compute(const TRatingSettings& set, const QString& sDataPath,
                                               const TMonitorSel& aMons, const QDate& dtFrom,
                                               const QDate& dtTo, int nPeriod,
                                               const TExclusions* pExcl = nullptr);

    // Lden from the three part levels, each part weighted by its length in hours and
    // raised by its penalty; NaN when a part of some length has no level.
    static double Lden(const TRatingSettings& set, double dLd, double dLe, double dLn);
};
