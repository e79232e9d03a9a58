#include "views/almlist.h"

#include "reports/gridfill.h"

TAlmList::TAlmList(TCfg& cfg, const TTQMonitors& mons, QWidget* owner)
    : TGridView(false, owner), cfg(cfg), mons(mons)
{
}

void TAlmList::LoadList(const QDateTime& dtFrom, const QDateTime& dtTo, const QListWidget* chklstMon)
{
    ReloadTicked(cfg, mons, chklstMon,
                 [&](TStringGrid& grid, const QString& sDataPath, const TMonitorSel& aMons) {
                     TGridFill::FillAlmList(grid, sDataPath, aMons, dtFrom.date(), dtTo.date());
                 });
}
