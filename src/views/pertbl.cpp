#include "views/pertbl.h"

#include "analysis/exclusionfill.h"
#include "reports/gridfill.h"

#include <QContextMenuEvent>
#include <QItemSelectionModel>
#include <QMenu>

#include <algorithm>

TPerTable::TPerTable(TCfg& cfg, const TTQMonitors& mons, QWidget* owner)
    : TGridView(true, owner), cfg(cfg), mons(mons)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
}

void TPerTable::LoadTable(const QDateTime& dtFrom, const QDateTime& dtTo, int nPeriod,
                          const QListWidget* chklstMon, const TExclusions* pExcl)
{
    nRowSecs = nPeriod * 60;
    ReloadTicked(
        cfg, mons, chklstMon, [&](TStringGrid& grid, const QString& sDataPath, const TMonitorSel& aMons) {
            TGridFill::FillPerTable(grid, cfg, sDataPath, aMons, dtFrom.date(), dtTo.date(), nPeriod,
                                    TExclusionFill::Of(pExcl), &aRows);
        });
}

std::vector<int> TPerTable::SelectedRecordRows() const
{
    std::vector<int> an;
    if (!selectionModel())
        return an;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        const size_t i = size_t(index.row());
        if (i < aRows.size() && aRows[i].nStart >= 0)
            an.push_back(index.row());
    }
    std::sort(an.begin(), an.end());
    return an;
}

QString TPerTable::SelectedMonitor() const
{
    const std::vector<int> an = SelectedRecordRows();
    return an.empty() ? QString() : aRows[size_t(an.front())].sID;
}

std::pair<qint64, qint64> TPerTable::SelectedSpan() const
{
    const std::vector<int> an = SelectedRecordRows();
    if (an.empty())
        return {0, 0};
    // Rows of other monitors than the first one's (a selection across two blocks)
    // are not its periods.
    const QString sID = aRows[size_t(an.front())].sID;
    qint64 nFrom = -1;
    qint64 nTo = -1;
    for (int i : an) {
        const TRowPeriod& row = aRows[size_t(i)];
        if (row.sID != sID)
            continue;
        if (nFrom < 0)
            nFrom = row.nStart;
        nTo = row.nStart + nRowSecs;
    }
    return nFrom < nTo ? std::pair(nFrom, nTo) : std::pair<qint64, qint64>(0, 0);
}

QMenu* TPerTable::MakeMenu()
{
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QString sID = SelectedMonitor();
    const auto span = SelectedSpan();
    QAction* act = menu->addAction(QStringLiteral("Exclude\u2026"));
    act->setObjectName(QStringLiteral("menuExclude"));
    act->setEnabled(bExcludeEnabled && !sID.isEmpty() && span.first < span.second);
    connect(act, &QAction::triggered, this, [this, sID, span] { Q_EMIT ExcludeRequested(sID, span.first, span.second); });
    return menu;
}

void TPerTable::contextMenuEvent(QContextMenuEvent* event)
{
    MakeMenu()->popup(event->globalPos());
    event->accept();
}
