#include "views/limitstbl.h"

#include "analysis/limits.h"
#include "analysis/limitsfill.h"
#include "analysis/rating.h"

TLimitsTable::TLimitsTable(TCfg& cfg, const TTQMonitors& mons, QWidget* owner)
    : TGridView(true, owner), cfg(cfg), mons(mons)
{
}

void TLimitsTable::LoadTable(const QDateTime& dtFrom, const QDateTime& dtTo, int nPeriod,
                             const QListWidget* chklstMon)
{
    ReloadTicked(
        cfg, mons, chklstMon, [&](TStringGrid& grid, const QString& sDataPath, const TMonitorSel& aMons) {
            TLimitsFill::FillExceedances(grid, aMons,
                                         TLimitCheck::Compute(TLimits::FromCfg(cfg), sDataPath, aMons,
                                                              dtFrom.date(), dtTo.date(), nPeriod),
                                         TRatingSettings::FromCfg(cfg).dCoverage);
        });
}
