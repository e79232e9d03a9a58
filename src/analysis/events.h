#pragma once

#include "analysis/daywalk.h"
#include "reports/gridfill.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

class TCfg;

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
    // Relative to the background: the threshold is the level exceeded 90 % of the time
    // in the preceding minutes plus a margin, never below the fixed threshold in force
    // less dBgFloorBelow.
    bool bBackground = false;
    int nBgMinutes = 10;
    double dBgMargin = 10;     // dB
    double dBgFloorBelow = 10; // dB

    // Hours of -1 follow the rating hours (7 and 23 when those are out of 0-23). A
    // hand-edited value the preferences would not accept (a threshold of nan or 181, a
    // duration of -5) is left for the default, and said in pslErrors, one line each.
    // Levels of the N-above counts that are no number are left out and said too.
    static TEventSettings FromCfg(const TCfg& cfg, QStringList* pslErrors = nullptr);
    // The fixed threshold in force at second nSec of the day.
    double ThresholdAt(int nSec) const;
    // The N-above levels of a comma text ("65,70"), in the order given; false when
    // one of them is no level (a number from 0 to 180).
    static bool ParseLevels(const QString& s, std::vector<double>& adLevels);
    static QString LevelsText(const std::vector<double>& adLevels);
};

// One event. Seconds count from the midnight that starts the event's day; the end is
// the last second above the threshold, both included. An event that runs on into the
// next day (read in the same range) ends past 86399.
struct TNoiseEvent
{
    enum class ECut
    {
        None,
        Threshold, // the threshold in force changed while it ran
        Midnight   // still running at midnight, and the next day was not read
    };

    int nStart = 0;
    int nEnd = 0;
    double dLMax = 0;      // the highest LAeq,1s in it
    double dLAE = 0;
    double dThreshold = 0; // the threshold at its start
    ECut eCut = ECut::None;
    bool bLong = false;    // longer than the maximum duration
    // The reasons (bits int(TExclusion::EReason)) of the exclusions it overlaps: such an
    // event is listed, but counted nowhere. 0 for a counted event.
    int nExcluded = 0;

    int Duration() const { return nEnd - nStart + 1; }
    bool Cut() const { return eCut != ECut::None; }
    // Days after its start day on which it ends: 0 for most.
    int EndDay() const { return nEnd / 86400; }
};

// The events of one monitor and day with the day's counts.
struct TEventDay
{
    // Missing, Read, or NotRead: there, but refused (too large, unreadable or empty).
    using EFile = TDayRecords::EFile;

    QDate dt;
    bool bFile = false; // a profile file was read
    EFile eFile = EFile::Missing;
    QString sFileError; // why a file that is there was not read
    int nUnplaced = 0;  // records of the file that no second took (see TTHFile)
    std::vector<TNoiseEvent> aEvents; // the events that start on this day, excluded ones too
    int nNoValue = 86400;            // seconds without a level
    int nAboveSecs = 0;              // seconds above the threshold in force at that second
    std::array<int, 24> anPerHour{}; // counted events by the hour of their start
    std::vector<int> anNAbove;       // counted events with LAeq,1s max above each N-above level

    // The events that count: those no exclusion overlaps.
    int Counted() const;
    int Excluded() const { return int(aEvents.size()) - Counted(); }
};

struct TEventMonitor
{
    QString sID;
    std::vector<TEventDay> aDays; // every day of the range, a missing file too
};

// Noise events in the one-second profile. An event starts at a second whose level is
// above the threshold and ends when the level has stayed at or below that threshold
// for the hang time; it counts when its duration is at least the minimum. Seconds
// without a level (gap records, and values that are no level by TLevel::Is) end an
// event and are never part of one. At a day or night hour where the threshold in force
// changes, a running event ends (cut), and detection goes on under the new threshold.
// A cut event counts whatever its length; one longer than a maximum set is kept and
// marked long.
class TEvents final
{
public:
    TEvents() = delete;

    // A level by TLevel::Is, else no value (NaN).
    static double Level(double dRead);
    // The 86400 levels of a loaded profile day; NaN where a second has no level.
    static std::vector<double> DayLevels(const TTHFile& file);

    // The events and counts of one day of levels (second k at index k; seconds beyond
    // the list have no level, entries beyond 86400 are ignored). An event still running
    // at midnight ends there, cut. padThresholds, when given, receives the threshold in
    // force at each second.
    static TEventDay DetectDay(const TEventSettings& set, const std::vector<double>& adLevels,
                               std::vector<double>* padThresholds = nullptr);

    // Per monitor, the days from dtFrom to dtTo (both included). An event running at
    // midnight into a day of the range that was read goes on in it, and is listed on its
    // start day with its whole duration. An event that overlaps a span the exclusions
    // pExcl cover for LAeq, by a second or more, is listed as excluded and counted
    // nowhere (none: the raw figures).
    static std::vector<TEventMonitor> Compute(const TEventSettings& set, const QString& sDataPath,
                                              const TMonitorSel& aMons, const QDate& dtFrom,
                                              const QDate& dtTo, const TExclusions* pExcl = nullptr);

    // Sound exposure level of seconds whose energy sum (10^(L/10) per second) is dEnergy.
    static double LAE(double dEnergy);
};
