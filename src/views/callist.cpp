#include "views/callist.h"

#include "reports/gridfill.h"

TCalList::TCalList(TCfg& cfg, const TTQMonitors& mons, QWidget* owner)
    : TGridView(false, owner), cfg(cfg), mons(mons)
{
}

void TCalList::LoadList(const QDateTime& dtFrom, const QDateTime& dtTo, const QListWidget* chklstMon)
{
    ReloadTicked(cfg, mons, chklstMon,
                 [&](TStringGrid& grid, const QString& sDataPath, const TMonitorSel& aMons) {
                     TGridFill::FillCalList(grid, sDataPath, aMons, dtFrom.date(), dtTo.date());
                 });
}
