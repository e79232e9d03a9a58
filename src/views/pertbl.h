#pragma once

#include "views/grid.h"

#include <QDateTime>

class QListWidget;
class TCfg;
class TTQMonitors;

// The "Table" page of the periodic report: one row per record of the periodic day
// files, with the date and the fields the settings show.
class TPerTable final : public TGridView
{
    Q_OBJECT

public:
    TPerTable(TCfg& cfg, const TTQMonitors& mons, QWidget* owner);
    Q_DISABLE_COPY_MOVE(TPerTable)

    // Refills the grid for the ticked monitors of chklstMon (row i is catalogue entry
    // i), the days of dtFrom to dtTo and periods of nPeriod minutes.
    void LoadTable(const QDateTime& dtFrom, const QDateTime& dtTo, int nPeriod, const QListWidget* chklstMon);

private:
    TCfg& cfg;
    const TTQMonitors& mons;
};
