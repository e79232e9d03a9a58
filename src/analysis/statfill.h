#pragma once

#include "analysis/statistics.h"

#include <QString>

#include <vector>

class TStringGrid;

// The two "Statistics" tables, one block of rows per monitor (title, headings, rows,
// two spacing rows):
// - the background: per 1 dB class of the parameter the periods of the day, evening
//   and night and their cumulative share, then per part the periods and the three
//   candidates (most frequent class, median, 10th percentile);
// - the hours: per hour of the day the weekdays' and the weekends' LAeq with the
//   10th and 90th percentile of the days' own levels of that hour, and the LAeq of
//   each weekday.
// A monitor without the parameter's column, or without any day file, gets a line
// that says so instead of empty rows.
class TStatFill final
{
public:
    TStatFill() = delete;

    // aMons and aResults run in step (aResults from TStatistics::Compute over aMons).
    static void FillBackground(TStringGrid& grid, const TMonitorSel& aMons, const std::vector<TStatMonitor>& aResults);
    static void FillHours(TStringGrid& grid, const TMonitorSel& aMons, const std::vector<TStatMonitor>& aResults);

    // What the figures mean: the classes, the percentile rule, which averages are energy
    // averages, and that the consultant chooses the background.
    static QString Note(const TRatingSettings& set, const QString& sParam);
    // Why a monitor has no figures to show; empty when it has.
    static QString Lack(const TStatMonitor& sm, bool bBackground);
    // "42-43": the class from 42 dB up to, not including, 43 dB.
    static QString ClassText(double dClass);
    // The weekday's short name, Monday = 0, the same in every locale.
    static QString WeekdayName(int iDay);
    // "hh:00".
    static QString HourText(int nHour);
    // The part's name as the tables head it ("Day").
    static QString PartName(int iPart);

    // Columns of the background rows: the class, then per part its periods and share.
    static constexpr int ColClass = 0;
    static constexpr int ColPart = 1; // + 2 * part: periods; + 1: cumulative %
    static constexpr int BackgroundCols = 7;
    // Columns of the hour rows.
    static constexpr int ColHour = 0;
    static constexpr int ColTypical = 1; // + 3 * days: LAeq, P10, P90
    static constexpr int ColCarpet = 7;  // + weekday
    static constexpr int HourCols = 14;
};
