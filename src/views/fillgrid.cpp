#include "views/fillgrid.h"

TFillGrid::TFillGrid(TCfg& cfgGrid, const TTQMonitors& monsAll, QWidget* owner)
    : TGridView(true, owner), cfg(cfgGrid), mons(monsAll)
{
}

void TFillGrid::LoadTicked(const QListWidget* chklstMon, const TTickedFill& fill)
{
    ReloadTicked(cfg, mons, chklstMon, fill);
}
