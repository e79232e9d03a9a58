#pragma once

#include "analysis/rating.h"
#include "monitors/monitor.h"

#include <QDate>
#include <QString>

#include <array>
#include <limits>
#include <vector>

class TExclusions;

// The distribution of one parameter's period values in one part of the day: the
// periods per 1 dB class and the values a consultant may take as the background.
// The program names the candidates; which one is the background is the consultant's
// call.
struct TStatDistribution
{
    // Class k holds the values from k dB up to, not including, k + 1 dB; anCount[i]
    // is the count of class nLowestClass + i. Empty without values.
    int nLowestClass = 0;
    std::vector<int> anCount;
    int nValues = 0;
    // NaN without values. The most frequent class is the class with the most
    // periods, the lowest one of a tie; the percentiles are of the values themselves.
    double dModeClass = std::numeric_limits<double>::quiet_NaN();
    double dMedian = std::numeric_limits<double>::quiet_NaN();
    double dP10 = std::numeric_limits<double>::quiet_NaN();

    int Count(int nClass) const;
    // The share (0-1) of the periods in classes up to and including nClass.
    double Cumulative(int nClass) const;
};

// One hour of the typical day: the energy average of the periods that start in that
// hour, and the spread of the days' own levels of that hour.
struct TStatHour
{
    double dLevel = std::numeric_limits<double>::quiet_NaN(); // NaN without periods
    // Of the per-day hourly levels; NaN without.
    double dP10 = std::numeric_limits<double>::quiet_NaN();
    double dP90 = std::numeric_limits<double>::quiet_NaN();
    int nDays = 0; // days with a level in the hour
};

enum EStatDays : int
{
    sdWeekdays, // Monday to Friday
    sdWeekends, // Saturday and Sunday
    sdCount
};

// What the statistics of one monitor hold over a range.
struct TStatMonitor
{
    QString sID;
    QString sParam;
    // Whether a day file that was read has the parameter's column, and has LAeq.
    bool bParamColumn = false;
    bool bLAeqColumn = false;
    int nDaysRead = 0; // day files read
    std::array<TStatDistribution, rpPartCount> aParts;
    std::array<std::array<TStatHour, 24>, sdCount> aaTypical; // [days][hour] of LAeq
    std::array<std::array<double, 24>, 7> aadCarpet;          // [Monday = 0][hour], LAeq; NaN none
};

// The background and time-of-day statistics of the periodic files: per part of the
// day the distribution of a parameter's values, and the LAeq per hour of the
// weekdays and weekends and per hour and weekday. A period counts in the part and the
// hour in which it starts. Averages of levels are energy averages, each period
// weighted by its length; percentiles are of the values, by nearest rank. Periods
// without a level, and periods the exclusions cover for the parameter, are left out.
class TStatistics final
{
public:
    TStatistics() = delete;

    static constexpr double dClassWidth = 1.0;

    // Per monitor of aMons, over the days dtFrom to dtTo (both included) of nPeriod
    // minutes; pExcl none gives the raw figures.
    static std::vector<TStatMonitor> Compute(const TRatingSettings& set, const QString& sParam,
                                             const QString& sDataPath, const TMonitorSel& aMons,
                                             const QDate& dtFrom, const QDate& dtTo, int nPeriod,
                                             const TExclusions* pExcl);

    // The distribution of the values adValues (levels only; NaN left out).
    static TStatDistribution Distribution(std::vector<double> adValues);

    // The nPercent-th percentile (1-100) by nearest rank: of the values sorted from the
    // lowest, the one at rank ceil(nPercent / 100 * count), counted from 1. Sorts
    // adValues; NaN when it is empty.
    static double Percentile(std::vector<double>& adValues, int nPercent);
};
