#pragma once

#include "analysis/limits.h"
#include "reports/gridfill.h"

#include <QString>

#include <vector>

class TStringGrid;

// The "Exceedances" table: per monitor its title, then every period above its limit
// (date, start, parameter, value, limit, margin, rule), then per day and rule the
// counts (periods assessed, coverage, exceedances, the highest value, its margin and
// date and time) and the range rows, then two spacing rows. Margins above the limit and
// counts of exceedances are bold; a coverage under dCoverage percent is grey.
class TLimitsFill final
{
public:
    TLimitsFill() = delete;

    // aMons and aResults run in step (aResults from TLimitCheck::Compute over aMons).
    static void FillExceedances(TStringGrid& grid, const TMonitorSel& aMons,
                                const std::vector<TLimitMonitor>& aResults, double dCoverage);

    // The line that goes with every exceedance table: how periods are judged.
    static QString Note();

    // "hh:mm" of a start in seconds after midnight.
    static QString StartTime(int nSecs);
    // "yyyy-MM-dd hh:mm": where a day's or the range's highest value lies. A day's
    // band past midnight may have it on the next date, so the date is always given.
    static QString DateTime(const QDate& dt, int nSecs);
    // One decimal with "."; margins keep their sign.
    static QString Tenths(int nTenths);

    // Columns of the exceedance rows; the count rows share Date, Parameter, Limit,
    // Margin and Rule with them, the highest value stands under Value.
    static constexpr int ColDate = 0;
    static constexpr int ColTime = 1; // the band in the count rows
    static constexpr int ColParam = 2;
    static constexpr int ColValue = 3;
    static constexpr int ColLimit = 4;
    static constexpr int ColMargin = 5;
    static constexpr int ColRule = 6;
    static constexpr int ColPeriods = 7;
    static constexpr int ColCoverage = 8;
    static constexpr int ColExceeded = 9;
    static constexpr int ColHighestAt = 10;
    static constexpr int ColCount = 11;
    // Periods excluded: a column only a grid with excluded periods has.
    static constexpr int ColExcluded = 11;
    static constexpr int ColCountExcluded = 12;
    // Whether any count of aResults has excluded periods.
    static bool AnyExcluded(const std::vector<TLimitMonitor>& aResults);
};
