#include "views/ratingtbl.h"

#include "analysis/rating.h"
#include "analysis/ratingfill.h"

TRatingTable::TRatingTable(TCfg& cfg, const TTQMonitors& mons, QWidget* owner)
    : TGridView(true, owner), cfg(cfg), mons(mons)
{
}

void TRatingTable::LoadTable(const QDateTime& dtFrom, const QDateTime& dtTo, int nPeriod,
                             const QListWidget* chklstMon)
{
    ReloadTicked(cfg, mons, chklstMon,
                 [&](TStringGrid& grid, const QString& sDataPath, const TMonitorSel& aMons) {
                     const TRatingSettings set = TRatingSettings::FromCfg(cfg);
                     TRatingFill::FillSummary(
                         grid, set, aMons,
                         TRating::Compute(set, sDataPath, aMons, dtFrom.date(), dtTo.date(), nPeriod));
                 });
}
