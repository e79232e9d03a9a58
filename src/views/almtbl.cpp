#include "views/almtbl.h"

#include "settings/cfg.h"

TAlmTable::TAlmTable(TCfg& cfg, const TTQMonitors& mons, QWidget* owner)
    : TGridView(true, owner), cfg(cfg), mons(mons)
{
}

void TAlmTable::LoadTable(const QDateTime& dtFrom, const QDateTime& dtTo, int nPeriod,
                          const QListWidget* chklstMon)
{
    // DataPath may write the settings file and throw; that must happen before the
    // grid is touched.
    const QString sDataPath = cfg.DataPath();
    const TMonitorSel aMons = CheckedMonitors(mons, chklstMon);
    Reload([&](TStringGrid& grid) {
        TGridFill::FillAlmTable(grid, sDataPath, aMons, dtFrom.date(), dtTo.date(), nPeriod);
    });
}
