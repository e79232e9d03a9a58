#include "views/pertbl.h"

#include "reports/gridfill.h"

TPerTable::TPerTable(TCfg& cfg, const TTQMonitors& mons, QWidget* owner)
    : TGridView(true, owner), cfg(cfg), mons(mons)
{
}

void TPerTable::LoadTable(const QDateTime& dtFrom, const QDateTime& dtTo, int nPeriod,
                          const QListWidget* chklstMon)
{
    ReloadTicked(
        cfg, mons, chklstMon, [&](TStringGrid& grid, const QString& sDataPath, const TMonitorSel& aMons) {
            TGridFill::FillPerTable(grid, cfg, sDataPath, aMons, dtFrom.date(), dtTo.date(), nPeriod);
        });
}
