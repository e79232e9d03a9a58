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
            if (chart->LeftMin() > 0) {
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
        chart->SetLeftMax(160);
        chart->SetLeftMin(dLow);
        chart->SetLeftMax(dHigh);
        chart->replot(QCustomPlot::rpQueuedReplot);
    }
}

void TformMain::SyncZoom(TChartBase* sender)
{
    if (bSyncZoomSentry)
        return;
    bSyncZoomSentry = true;
    if (const QList<TChartBase*>* charts = ActiveCharts()) {
        for (TChartBase* chart : *charts)
            if (chart != sender)
                chart->ZoomToRect(sender->LastZoomRect());
        bZoomed = true;
    }
    bSyncZoomSentry = false;
}

void TformMain::SyncUnzoom(TChartBase* sender)
{
    if (bSyncZoomSentry)
        return;
    bSyncZoomSentry = true;
    if (const QList<TChartBase*>* charts = ActiveCharts()) {
        for (TChartBase* chart : *charts)
            if (chart != sender)
                chart->UndoZoom();
        bZoomed = false;
    }
    bSyncZoomSentry = false;
}

void TformMain::SyncScroll(TChartBase* sender)
{
    if (bSyncScrollSentry)
        return;
    bSyncScrollSentry = true;
    if (const QList<TChartBase*>* charts = ActiveCharts()) {
        for (TChartBase* chart : *charts)
            if (chart != sender)
                chart->SetBottomRange(sender->BottomMin(), sender->BottomMax());
    }
    bSyncScrollSentry = false;
}
