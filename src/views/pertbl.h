#pragma once

#include "views/grid.h"

#include "reports/gridfill.h"

#include <QDateTime>

#include <utility>
#include <vector>

class QListWidget;
class QMenu;
class TCfg;
class TExclusions;
class TTQMonitors;

// The "Table" page of the periodic report: one row per record of the periodic day
// files, with the date and the fields the settings show. Rows can be selected; the
// context menu offers "Exclude…" for the span from the first selected period's start
// to the last one's end.
class TPerTable final : public TGridView
{
    Q_OBJECT

public:
    TPerTable(TCfg& cfg, const TTQMonitors& mons, QWidget* owner);
    Q_DISABLE_COPY_MOVE(TPerTable)

    // Refills the grid for the ticked monitors of chklstMon (row i is catalogue entry
    // i), the days of dtFrom to dtTo and periods of nPeriod minutes; the values of
    // periods pExcl excludes are marked (none: the raw figures).
    void LoadTable(const QDateTime& dtFrom, const QDateTime& dtTo, int nPeriod, const QListWidget* chklstMon,
                   const TExclusions* pExcl = nullptr);

    // The monitor and span (TExclusion::Wall) of the selected rows: from the start of
    // the first selected period to the end of the last, of the monitor of the first;
    // an empty ID when no record row is selected.
    QString SelectedMonitor() const;
    std::pair<qint64, qint64> SelectedSpan() const;
    // Whether "Exclude…" is offered enabled (the window's list could be read).
    void SetExcludeEnabled(bool b) { bExcludeEnabled = b; }
    // The context menu for the selection.
    QMenu* MakeMenu();

Q_SIGNALS:
    void ExcludeRequested(const QString& sID, qint64 nFrom, qint64 nTo);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The selected record rows, in row order.
    std::vector<int> SelectedRecordRows() const;

    TCfg& cfg;
    const TTQMonitors& mons;
    std::vector<TRowPeriod> aRows;
    int nRowSecs = 0;
    bool bExcludeEnabled = true;
};
