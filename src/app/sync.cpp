// Keeping the stacked charts of a page comparable: one level range for all, and
// zooming, un-zooming or panning one chart moves the others.
#include "app/main.h"
#include "settings/cfg.h"
#include "views/chartbase.h"
#include "views/chartlevels.h"

void TformMain::SyncAxes()
{
    if (const QList<TChartBase*>* charts = ActiveCharts())
        TChartLevels::Share(*charts, *cfg);
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
