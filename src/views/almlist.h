#pragma once

#include "views/grid.h"

#include <QDateTime>

class QListWidget;
class TCfg;
class TTQMonitors;

// The "List" page of the alarm report: one row per alarm, with its day and time.
class TAlmList final : public TGridView
{
    Q_OBJECT

public:
    TAlmList(TCfg& cfg, const TTQMonitors& mons, QWidget* owner);
    Q_DISABLE_COPY_MOVE(TAlmList)

    // Refills the list for the ticked monitors of chklstMon (row i is catalogue entry
    // i) and the days of dtFrom to dtTo.
    void LoadList(const QDateTime& dtFrom, const QDateTime& dtTo, const QListWidget* chklstMon);

private:
    TCfg& cfg;
    const TTQMonitors& mons;
};
