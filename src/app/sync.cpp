// Keeping the stacked charts of a page comparable: one level range for all, and
// zooming, un-zooming or panning one chart moves the others.
#include "app/main.h"
#include "settings/cfg.h"
#include "views/chartbase.h"

void TformMain::SyncAxes()
{
    const QList<TChartBase*>* charts = ActiveCharts();
    if (!charts)
        return;
    double dLow = 999;
    double dHigh = 0;
    if (cfg->RepYAuto()) {
        // A chart that plotted no data keeps its minimum at 0 and takes no part.
        for (TChartBase* chart : *charts)
            if (chart->HasLevelAxis() && chart->LeftMin() > 0) {
                dLow = qMin(dLow, chart->LeftMin());
                dHigh = qMax(dHigh, chart->LeftMax());
            }
    } else {
        dLow = cfg->RepYMin();
        dHigh = cfg->RepYMax();
    }
    if (dHigh <= dLow)
        return;
    for (TChartBase* chart : *charts) {
        // Counts keep their own range: 0 to 10 alarms below 20 to 80 dB would show nothing.
        if (!chart->HasLevelAxis())
            continue;
        chart->SetLeftMax(160);
        chart->SetLeftMin(dLow);
        chart->SetLeftMax(dHigh);
        chart->replot(QCustomPlot::rpQueuedReplot);
    }
}

void TformMain::ForOtherCharts(TChartBase* sender, const std::function<void(TChartBase*)>& fn)
{
    if (const QList<TChartBase*>* charts = ActiveCharts())
        for (TChartBase* chart : *charts)
            if (chart != sender)
                fn(chart);
}

void TformMain::SyncZoom(TChartBase* sender)
{
    if (bSyncZoomSentry)
        return;
    // Zooming the others raises their own zoom events, which return at the sentry.
    bSyncZoomSentry = true;
    const QRect rc = sender->LastZoomRect();
    ForOtherCharts(sender, [&rc](TChartBase* chart) { chart->ZoomToRect(rc); });
    if (ActiveCharts())
        bZoomed = true;
    bSyncZoomSentry = false;
}

void TformMain::SyncUnzoom(TChartBase* sender)
{
    if (bSyncZoomSentry)
        return;
    bSyncZoomSentry = true;
    ForOtherCharts(sender, [](TChartBase* chart) { chart->UndoZoom(); });
    if (ActiveCharts())
        bZoomed = false;
    bSyncZoomSentry = false;
}

void TformMain::SyncScroll(TChartBase* sender)
{
    if (bSyncScrollSentry)
        return;
    bSyncScrollSentry = true;
    const double dMin = sender->BottomMin();
    const double dMax = sender->BottomMax();
    ForOtherCharts(sender, [dMin, dMax](TChartBase* chart) { chart->SetBottomRange(dMin, dMax); });
    bSyncScrollSentry = false;
}
