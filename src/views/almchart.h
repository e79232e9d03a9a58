#pragma once

#include "views/chartbase.h"

#include <QDate>

class TAlmBars;

// The number of alarms of one monitor per aggregation period, one bar per period of
// every day of the report, with or without an alarm file.
class TAlmChart final : public TChartBase
{
    Q_OBJECT

public:
    explicit TAlmChart(TCfg& cfg, QWidget* owner = nullptr);
    ~TAlmChart() override;
    Q_DISABLE_COPY_MOVE(TAlmChart)

    // Plots the days dtFrom..dtTo (both included) in periods of the settings'
    // RepPerPeriod minutes; the count axis runs from 0 to the highest count + 1.
    void PlotPeriod(const QDate& dtFrom, const QDate& dtTo);

    // The count axis keeps its own range when the level charts get a common one.
    bool HasLevelAxis() const override { return false; }

protected:
    QCPRange FullBottomRange() const override;
    void ScrollClamp() override;

private:
    TAlmBars* bars;
};
