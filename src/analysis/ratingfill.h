#pragma once

#include "reports/gridfill.h"
#include "analysis/rating.h"

#include <QString>

#include <vector>

class TStringGrid;

// The "Summary" table: per monitor its title, headings, one row per day of the
// range, the range row and, while a limit is on, the limit and the number of days
// above it, then two spacing rows. A level or coverage under the threshold keeps its
// value but is marked "~low~" (grey); a missing level is an empty cell.
class TRatingFill final
{
public:
    TRatingFill() = delete;

    // aMons and aResults run in step (aResults from TRating::Compute over aMons).
    static void FillSummary(TStringGrid& grid, const TRatingSettings& set, const TMonitorSel& aMons,
                            const std::vector<TRatingMonitor>& aResults);

    // The line that goes with every summary: what a day is, the hours and penalties
    // used, and what a grey value means.
    static QString Note(const TRatingSettings& set);

    // One decimal with "."; the empty text for a missing level.
    static QString Level(double d);
    // A coverage share (0-1) as a percentage with one decimal; empty when missing.
    static QString Percent(double dShare);

    // Column of each figure in the summary rows.
    static constexpr int ColDate = 0;
    static constexpr int ColLevel = 1; // Lday, Levening, Lnight in part order
    static constexpr int ColLden = 4;
    static constexpr int ColCoverage = 5; // day, evening, night coverage
    static constexpr int ColCount = 8;
    // Hours excluded of each part (day, evening, night): columns only a grid with
    // excluded periods has.
    static constexpr int ColExcluded = 8;
    static constexpr int ColCountExcluded = 11;
    // Whether any day of aResults had excluded periods.
    static bool AnyExcluded(const std::vector<TRatingMonitor>& aResults);
    // Excluded seconds as hours, one decimal; empty for none.
    static QString Hours(double dSecs);
};
