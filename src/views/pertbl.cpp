#include "views/pertbl.h"

#include "settings/cfg.h"

TPerTable::TPerTable(TCfg& cfg, const TTQMonitors& mons, QWidget* owner)
    : TGridView(true, owner), cfg(cfg), mons(mons)
{
}

void TPerTable::LoadTable(const QDateTime& dtFrom, const QDateTime& dtTo, int nPeriod,
                          const QListWidget* chklstMon)
{
    // DataPath may write the settings file and throw; that must happen before the
    // grid is touched.
    const QString sDataPath = cfg.DataPath();
    const TMonitorSel aMons = CheckedMonitors(mons, chklstMon);
    Reload([&](TStringGrid& grid) {
        TGridFill::FillPerTable(grid, cfg, sDataPath, aMons, dtFrom.date(), dtTo.date(), nPeriod);
    });
}
