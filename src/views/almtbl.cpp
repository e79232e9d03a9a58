#include "views/almtbl.h"

#include "reports/gridfill.h"

TAlmTable::TAlmTable(TCfg& cfg, const TTQMonitors& mons, QWidget* owner)
    : TGridView(true, owner), cfg(cfg), mons(mons)
{
}

void TAlmTable::LoadTable(const QDateTime& dtFrom, const QDateTime& dtTo, int nPeriod,
                          const QListWidget* chklstMon)
{
    ReloadTicked(cfg, mons, chklstMon,
                 [&](TStringGrid& grid, const QString& sDataPath, const TMonitorSel& aMons) {
                     TGridFill::FillAlmTable(grid, sDataPath, aMons, dtFrom.date(), dtTo.date(), nPeriod);
                 });
}
