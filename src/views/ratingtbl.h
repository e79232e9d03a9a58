#pragma once

#include "views/grid.h"

#include <QDateTime>

class QListWidget;
class TCfg;
class TTQMonitors;

// The "Table" page of the summary report: the daily rating levels of the ticked
// monitors, with their coverage, the range averages and the days above the limits.
class TRatingTable final : public TGridView
{
    Q_OBJECT

public:
    TRatingTable(TCfg& cfg, const TTQMonitors& mons, QWidget* owner);
    Q_DISABLE_COPY_MOVE(TRatingTable)

    // Refills the grid for the ticked monitors of chklstMon (row i is catalogue entry
    // i), the days of dtFrom to dtTo and the nPeriod-minute files, with the rating
    // settings as they are now.
    void LoadTable(const QDateTime& dtFrom, const QDateTime& dtTo, int nPeriod, const QListWidget* chklstMon);

private:
    TCfg& cfg;
    const TTQMonitors& mons;
};
