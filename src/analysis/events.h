#pragma once

#include "views/gridfill.h"

#include <QDate>
#include <QString>

#include <array>
#include <vector>

class TCfg;
class TTHFile;

// What noise events are detected with.
struct TEventSettings
{
    double dDayThreshold = 65; // dB
    double dNightThreshold = 55;
    int nDayHour = 7; // the day threshold holds from this hour up to the night hour
    int nNightHour = 23;
    int nMinDuration = 5; // seconds
    int nMaxDuration = 0; // seconds; 0 is no maximum
    int nHangTime = 3;    // seconds at or below the threshold that end an event
    std::vector<double> adNLevels{65, 70, 75};

    // Hours out of 0-23 fall back to the rating hours, then to 7 and 23; durations
    // below 0 count as 0; levels of the N-above counts that are no number are left out.
    static TEventSettings FromCfg(const TCfg& cfg);
    // The threshold in force at second nSec of the day.
    double ThresholdAt(int nSec) const;
    // The N-above levels of a comma text ("65,70"), in the order given; false when
    // one of them is no level (a number from 0 to 180).
    static bool ParseLevels(const QString& s, std::vector<double>& adLevels);
    static QString LevelsText(const std::vector<double>& adLevels);
};

// One event; seconds count from midnight, the end is the last second above the
// threshold (or 23:59:59 for an event the day's end cut off), both included.
struct TNoiseEvent
{
    int nStart = 0;
    int nEnd = 0;
    double dLAFmax = 0;
    double dLAE = 0;
    double dThreshold = 0; // the threshold at its start, which it keeps to its end
    bool bCut = false;     // still running at midnight

    int Duration() const { return nEnd - nStart + 1; }
};

// The events of one monitor and day with the day's counts.
struct TEventDay
{
    QDate dt;
    bool bFile = false; // a profile file was there
    std::vector<TNoiseEvent> aEvents;
    int nNoValue = 86400;            // seconds without a level
    int nAboveSecs = 0;              // seconds above the threshold in force at that second
    std::array<int, 24> anPerHour{}; // events by the hour of their start
    std::vector<int> anNAbove;       // events with LAFmax above each N-above level
};

struct TEventMonitor
{
    QString sID;
    std::vector<TEventDay> aDays; // every day of the range, a missing file too
};

// Noise events in the one-second profile. An event starts at a second whose level is
// above the threshold and ends when the level has stayed at or below that threshold
// for the hang time; it counts when its duration is at least the minimum and, with a
// maximum set, at most the maximum. Seconds without a level (gap records, and levels
// that are no number or lie outside 0-180 dB) end an event and are never part of one.
class TEvents final
{
public:
    TEvents() = delete;

    // A level is a number from 0 to 180 dB; anything else is no value (NaN).
    static double Level(double dRead);
    // The 86400 levels of a loaded profile day; NaN where a second has no level.
    static std::vector<double> DayLevels(const TTHFile& file);

    // The events and counts of one day of levels (second k at index k; seconds beyond
    // the list have no level, entries beyond 86400 are ignored).
    static TEventDay DetectDay(const TEventSettings& set, const std::vector<double>& adLevels);

    // Per monitor, the days from dtFrom to dtTo (both included).
    static std::vector<TEventMonitor> Compute(const TEventSettings& set, const QString& sDataPath,
                                              const TMonitorSel& aMons, const QDate& dtFrom,
                                              const QDate& dtTo);

    // Sound exposure level of seconds whose energy sum (10^(L/10) per second) is dEnergy.
    static double LAE(double dEnergy);
};
