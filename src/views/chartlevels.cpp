#include "views/chartlevels.h"

#include "settings/cfg.h"
#include "views/chartbase.h"

void TChartLevels::Share(const QList<TChartBase*>& charts, const TCfg& cfg)
{
    double dLow = 999;
    double dHigh = 0;
    if (cfg.RepYAuto()) {
        // A chart that plotted no data keeps its minimum at 0 and takes no part.
        for (TChartBase* chart : charts)
            if (chart->HasLevelAxis() && chart->LeftMin() > 0) {
                dLow = qMin(dLow, chart->LeftMin());
                dHigh = qMax(dHigh, chart->LeftMax());
            }
    } else {
        dLow = cfg.RepYMin();
        dHigh = cfg.RepYMax();
    }
    if (dHigh <= dLow)
        return;
    for (TChartBase* chart : charts) {
        // Counts keep their own range: 0 to 10 alarms below 20 to 80 dB would show nothing.
        if (!chart->HasLevelAxis())
            continue;
        chart->SetLeftMax(160);
        chart->SetLeftMin(dLow);
        chart->SetLeftMax(dHigh);
        chart->replot(QCustomPlot::rpQueuedReplot);
    }
}
