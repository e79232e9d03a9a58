#pragma once

#include "analysis/events.h"
#include "views/chartbase.h"

#include <QDate>

class TAlmBars;

// The noise events of one monitor on one day, counted by the hour in which they
// start: 24 bars on an hour axis, each from the start of its hour to the start of the
// next, so that the axis reads as clock times from 00:00 to 24:00.
class TEventChart final : public TChartBase
{
    Q_OBJECT

public:
    explicit TEventChart(TCfg& cfg, QWidget* owner = nullptr);
    ~TEventChart() override;
    Q_DISABLE_COPY_MOVE(TEventChart)

    // Plots the hourly counts of day; the count axis runs from 0 to the highest count + 1.
    void PlotEvents(const TEventDay& day);
    // Detects the events of the chart's monitor on dtDay with the settings as they
    // are now, then plots them.
    void PlotDay(const QDate& dtDay);

    int HighestCount() const { return nHighest; }
    // Counts, not levels: the shared level range passes this chart by.
    bool HasLevelAxis() const override { return false; }
    // Sets the count axis of a stack of charts to one range.
    void SetCountMax(int nMax);

protected:
    QCPRange FullBottomRange() const override;
    void ScrollClamp() override;

private:
    TAlmBars* bars;
    int nHighest = 0;
};
