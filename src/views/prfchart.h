#pragma once

#include "views/chartbase.h"

#include <QDate>

// The one-second level of one monitor over one day, as a step line against the time
// of day. One chart can be plotted again and again for successive days.
class TPrfChart final : public TChartBase
{
    Q_OBJECT

public:
    explicit TPrfChart(TCfg& cfg, QWidget* owner = nullptr);
    ~TPrfChart() override;
    Q_DISABLE_COPY_MOVE(TPrfChart)

    // Replaces whatever the chart showed with the profile of dtDay.
    void PlotDay(const QDate& dtDay);

    // The time of day of point i, "HH:mm:ss".
    QString Label(int i) const override;

protected:
    QCPRange FullBottomRange() const override;
    // The time axis has no category bounds to keep to.
    void ScrollClamp() override {}

private:
    QCPGraph* graphLevel;
    QDate dtPlotted;
};
