#include "views/callist.h"

#include "settings/cfg.h"

TCalList::TCalList(TCfg& cfg, const TTQMonitors& mons, QWidget* owner)
    : TGridView(false, owner), cfg(cfg), mons(mons)
{
}

void TCalList::LoadList(const QDateTime& dtFrom, const QDateTime& dtTo, const QListWidget* chklstMon)
{
    // DataPath may write the settings file and throw; that must happen before the
    // grid is touched.
    const QString sDataPath = cfg.DataPath();
    const TMonitorSel aMons = CheckedMonitors(mons, chklstMon);
    Reload([&](TStringGrid& grid) {
        TGridFill::FillCalList(grid, sDataPath, aMons, dtFrom.date(), dtTo.date());
    });
}
