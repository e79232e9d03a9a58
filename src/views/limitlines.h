#pragma once

#include "analysis/limits.h"

#include <QDate>
#include <QStringList>
#include <QVector>

#include <utility>
#include <vector>

class QCPLegend;
class QCustomPlot;

// The periods plotted at the keys of a category axis, day by day: key i is the period
// that starts anSecs[i] seconds into the day whose keys run from nBegin to before nEnd.
struct TPlotPeriods
{
    struct TDay
    {
        QDate dt;
        size_t nBegin = 0;
        size_t nEnd = 0;
    };
    std::vector<TDay> aDays;
    std::vector<int> anSecs;

    // Begins a day at the next key.
    void BeginDay(const QDate& dt) { aDays.push_back({dt, anSecs.size(), anSecs.size()}); }
    // The period at the next key, on the day begun last.
    void Append(int nSecs)
    {
        anSecs.push_back(nSecs);
        if (!aDays.empty())
            aDays.back().nEnd = anSecs.size();
    }
};

// The noise limits on a chart of periodic levels: for each rule whose parameter is
// plotted, a dashed line in the parameter's colour at the limit, over the periods the
// rule holds, broken where it does not; then, per parameter, a filled point on its line
// at each period above one of its limits, or, where the periods lie too close together
// for points, a band at the plot's foot under the periods above a limit. Neither
// enters the legend.
class TLimitLines final
{
public:
    TLimitLines() = delete;

    // The first slParams.size() graphs of plot are the parameters' lines, with the
    // periods at their keys; aValues[k] holds the values of the k-th line's series, key
    // by key, gaps as NaN. Gives the lowest and highest limit drawn, NaN for both when
    // none is, so that the level axis can take them in.
    // The mark's image is nMarkSize pixels square on plots of the usual heights.
    static constexpr int nMarkSize = 7;
    // The side of the mark's image on a plot nPlotHeight pixels high: smaller on low
    // plots, never below nMarkSize - 2.
    static int MarkSize(int nPlotHeight);
    // Whether the marks of periods dPixelsPerPeriod apart are drawn as a band at the
    // plot's foot, nMarkSize - 2 pixels high, rather than as marks of nMarkSize on the
    // line: where they lie closer than half a mark apart.
    static bool DrawsBand(double dPixelsPerPeriod, int nMarkSize);

    static std::pair<double, double> Add(QCustomPlot& plot, const std::vector<TLimitRule>& aRules,
                                         const QStringList& slParams, const TPlotPeriods& periods,
                                         const std::vector<QVector<double>>& aValues);

    // Adds two entries to legend that say what the lines and the marks are: "Limit"
    // by a dashed line and "Above limit" by a mark, both in a neutral colour.
    static void AddKey(QCPLegend& legend);
};
