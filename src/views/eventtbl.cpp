#include "views/eventtbl.h"

#include "analysis/events.h"
#include "analysis/eventsfill.h"

void TEventTable::LoadList(const QDate& dtDay, const QListWidget* chklstMon, const TExclusions* pExcl)
{
    ReloadTicked(
        cfg, mons, chklstMon, [&](TStringGrid& grid, const QString& sDataPath, const TMonitorSel& aMons) {
            const TEventSettings set = TEventSettings::FromCfg(cfg);
            TEventsFill::FillList(grid, set, aMons, TEvents::Compute(set, sDataPath, aMons, dtDay, dtDay, pExcl));
        });
    SpanDayLines();
}

TEventTable::TEventTable(TCfg& cfg, const TTQMonitors& mons, QWidget* owner)
    : TGridView(true, owner), cfg(cfg), mons(mons)
{
}

void TEventTable::SpanDayLines()
{
    // A day without events says why in one line that is longer than its column; the
    // cells to its right are empty, so it takes them over rather than being cut.
    clearSpans();
    const QAbstractItemModel* m = model();
    for (int nRow = 0; nRow < m->rowCount(); ++nRow) {
        const QString s = m->index(nRow, TEventsFill::ColStart).data(Qt::DisplayRole).toString();
        if (!s.isEmpty() && m->index(nRow, TEventsFill::ColNumber).data(Qt::DisplayRole).toString().isEmpty() &&
            m->index(nRow, TEventsFill::ColEnd).data(Qt::DisplayRole).toString().isEmpty())
            setSpan(nRow, TEventsFill::ColStart, 1, TEventsFill::ColCount - TEventsFill::ColStart);
    }
}
