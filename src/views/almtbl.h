#pragma once

#include "views/grid.h"

#include <QDateTime>

class QListWidget;
class TCfg;
class TTQMonitors;

// The "Table" page of the alarm report: the number of alarms in every period of
// every day.
class TAlmTable final : public TGridView
{
    Q_OBJECT

public:
    TAlmTable(TCfg& cfg, const TTQMonitors& mons, QWidget* owner);
    Q_DISABLE_COPY_MOVE(TAlmTable)

    // Refills the grid for the ticked monitors of chklstMon (row i is catalogue entry
    // i), the days of dtFrom to dtTo and periods of nPeriod minutes.
    void LoadTable(const QDateTime& dtFrom, const QDateTime& dtTo, int nPeriod, const QListWidget* chklstMon);

private:
    TCfg& cfg;
    const TTQMonitors& mons;
};
