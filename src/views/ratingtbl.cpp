#include "views/ratingtbl.h"

#include "settings/cfg.h"
#include "views/rating.h"
#include "views/ratingfill.h"

TRatingTable::TRatingTable(TCfg& cfg, const TTQMonitors& mons, QWidget* owner)
    : TGridView(true, owner), cfg(cfg), mons(mons)
{
}

void TRatingTable::LoadTable(const QDateTime& dtFrom, const QDateTime& dtTo, int nPeriod,
                             const QListWidget* chklstMon)
{
    // DataPath may write the settings file and throw; that must happen before the
    // grid is touched.
    const QString sDataPath = cfg.DataPath();
    const TRatingSettings set = TRatingSettings::FromCfg(cfg);
    const TMonitorSel aMons = CheckedMonitors(mons, chklstMon);
    const std::vector<TRatingMonitor> aResults =
        TRating::Compute(set, sDataPath, aMons, dtFrom.date(), dtTo.date(), nPeriod);
    Reload([&](TStringGrid& grid) { TRatingFill::FillSummary(grid, set, aMons, aResults); });
}
