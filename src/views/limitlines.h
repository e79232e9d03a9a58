#pragma once

#include "analysis/limits.h"

#include <QDate>
#include <QStringList>

#include <utility>
#include <vector>

class QCustomPlot;

// The start of the period plotted at one key of a category axis.
struct TPlotSlot
{
    QDate dt;
    int nSecs = 0;
};

// The noise limits on a chart of periodic levels: for each rule whose parameter is
// plotted, a dashed line in the parameter's colour at the limit, over the periods the
// rule holds, broken where it does not; then, per parameter, a filled point on its line
// at each period above one of its limits. Neither enters the legend.
class TLimitLines final
{
public:
    TLimitLines() = delete;

    // The first slParams.size() graphs of plot are the parameters' lines, with the
    // period aSlots[i] at key i. Gives the lowest and highest limit drawn, NaN for both
    // when none is, so that the level axis can take them in.
    static std::pair<double, double> Add(QCustomPlot& plot, const std::vector<TLimitRule>& aRules,
                                         const QStringList& slParams, const std::vector<TPlotSlot>& aSlots);
};
