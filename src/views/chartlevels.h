#pragma once

#include <QList>

class TCfg;
class TChartBase;

// One level range for the stacked charts of a page, so that they can be compared at a
// glance: the lowest and highest of the plotted charts' own ranges, or the fixed range
// of the settings when the automatic Y axis is off.
class TChartLevels final
{
public:
    TChartLevels() = delete;

    static void Share(const QList<TChartBase*>& charts, const TCfg& cfg);
};
