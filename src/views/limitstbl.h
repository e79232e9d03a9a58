#pragma once

#include "views/grid.h"

#include <QDateTime>

class QListWidget;
class TCfg;
class TTQMonitors;

// The "Exceedances" page: per ticked monitor the periods above its noise limits and
// the counts per day and rule.
class TLimitsTable final : public TGridView
{
    Q_OBJECT

public:
    TLimitsTable(TCfg& cfg, const TTQMonitors& mons, QWidget* owner);
    Q_DISABLE_COPY_MOVE(TLimitsTable)

    // Refills the grid for the ticked monitors of chklstMon (row i is catalogue entry
    // i), the days of dtFrom to dtTo and the nPeriod-minute files, with the limit rules
    // of the settings as they are now.
    void LoadTable(const QDateTime& dtFrom, const QDateTime& dtTo, int nPeriod, const QListWidget* chklstMon);

private:
    TCfg& cfg;
    const TTQMonitors& mons;
};
