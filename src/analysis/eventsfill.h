#pragma once

#include "analysis/events.h"
#include "reports/gridfill.h"

#include <QString>

#include <vector>

class TStringGrid;

// The "Events" list: per monitor its title, then per day the date, the events (number,
// start, end, duration, LAeq,1s max, LAE, note), the day's counts (events, N-above,
// time above the threshold, seconds without a level, and records the day had no second
// for when there were any) and the events per hour in four rows of six hours, then two
// spacing rows.
class TEventsFill final
{
public:
    TEventsFill() = delete;

    // aMons and aResults run in step (aResults from TEvents::Compute over aMons).
    static void FillList(TStringGrid& grid, const TEventSettings& set, const TMonitorSel& aMons,
                         const std::vector<TEventMonitor>& aResults);

    // The line that goes with every event list: thresholds and their hours, hang
    // time and durations.
    static QString Note(const TEventSettings& set);

    // Seconds of the day as "hh:mm:ss".
    static QString Clock(int nSecs);
    // The end of an event as "hh:mm:ss", with " next day" or " +n days" when it ends
    // on a later day than it started.
    static QString EndText(const TNoiseEvent& ev);
    // What is marked on an event: "cut at threshold change", "cut at midnight", "long";
    // empty for none.
    static QString NoteText(const TNoiseEvent& ev);
    // The line of a day without events: "No events", "No profile file" or
    // "Profile file not read: " and why.
    static QString NoEventsText(const TEventDay& day);
    // The heading of the events' highest level: the profile holds one-second levels.
    static QString LMaxName() { return QStringLiteral("LAeq,1s max"); }
    // "N65", "N62.5".
    static QString NAboveName(double dLevel);

    // Column of each figure in the event rows.
    static constexpr int ColNumber = 0;
    static constexpr int ColStart = 1;
    static constexpr int ColEnd = 2;
    static constexpr int ColDuration = 3;
    static constexpr int ColLMax = 4;
    static constexpr int ColLAE = 5;
    static constexpr int ColNote = 6;
    static constexpr int ColCount = 7;
};
