#include "views/eventtbl.h"

#include "analysis/events.h"
#include "analysis/eventsfill.h"

TEventTable::TEventTable(TCfg& cfg, const TTQMonitors& mons, QWidget* owner)
    : TGridView(true, owner), cfg(cfg), mons(mons)
{
}

void TEventTable::LoadList(const QDate& dtDay, const QListWidget* chklstMon)
{
    ReloadTicked(
        cfg, mons, chklstMon, [&](TStringGrid& grid, const QString& sDataPath, const TMonitorSel& aMons) {
            const TEventSettings set = TEventSettings::FromCfg(cfg);
            TEventsFill::FillList(grid, set, aMons, TEvents::Compute(set, sDataPath, aMons, dtDay, dtDay));
        });
}
