#pragma once

#include "analysis/quality.h"

#include <QString>

#include <vector>

class QTextStream;
class TStringGrid;

// The "Data Quality" table: per monitor its title, the range's totals per part of the
// day, one row per day (file, periods, coverage, the calendar's step, alarms and
// calibrations), the gaps and the calibration record, then two spacing rows. A
// coverage under the threshold is grey; a step other than full is bold.
class TQualityFill final
{
public:
    TQualityFill() = delete;

    // aMons and aResults run in step (aResults from TQuality::Compute over aMons).
    static void FillQuality(TStringGrid& grid, const TQualitySettings& set, const TMonitorSel& aMons,
                            const std::vector<TQualityMonitor>& aResults);

    // --quality: the gaps, then after a blank line one row per monitor and day and a
    // "Range" row per monitor, then after another the periods per part of the day.
    static void WriteCsv(const TQualitySettings& set, const std::vector<TQualityMonitor>& aResults,
                         QTextStream& out);

    // The line that goes with every data-quality report.
    static QString Note(const TQualitySettings& set);

    // What the calendar's step of a day is called: "full", "at or above 75%", ...
    static QString ClassText(EQualityDay e, double dThresholdPercent);
    // "read", "missing", "not read"
    static QString FileText(TDayRecords::EFile e);
    // "h:mm" of a length in seconds (hours beyond 24 as they are).
    static QString Duration(qint64 nSecs);
    // The hours of a part, "07:00-19:00".
    static QString PartHours(const TRatingSettings& set, int iPart);

    // Columns of the day rows; the totals, gaps and calibrations share the first ones.
    static constexpr int ColDate = 0;
    static constexpr int ColFile = 1;
    static constexpr int ColExpected = 2;
    static constexpr int ColPresent = 3;
    static constexpr int ColExcluded = 4;
    static constexpr int ColMissing = 5;
    static constexpr int ColCoverage = 6;
    static constexpr int ColClass = 7;
    static constexpr int ColAlarms = 8;
    static constexpr int ColCals = 9;
    static constexpr int ColCount = 10;
    // The gap rows: from, to, duration, causes.
    static constexpr int ColGapTo = 1;
    static constexpr int ColGapLength = 2;
    static constexpr int ColGapCause = 3;
    // The calibration rows: date, time, then one column per field.
    static constexpr int ColCalTime = 1;
    static constexpr int ColCalFirst = 2;
};
