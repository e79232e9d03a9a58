#pragma once

#include "views/grid.h"

#include <QDate>

class QListWidget;
class TCfg;
class TExclusions;
class TTQMonitors;

// The "List" page of the events report: the noise events of the ticked monitors on
// one day, with the day's counts and the events per hour.
class TEventTable final : public TGridView
{
    Q_OBJECT

public:
    TEventTable(TCfg& cfg, const TTQMonitors& mons, QWidget* owner);
    Q_DISABLE_COPY_MOVE(TEventTable)

    // Refills the grid for the ticked monitors of chklstMon (row i is catalogue entry
    // i) on dtDay, with the event settings as they are now.
    // Events the exclusions pExcl overlap are listed as excluded (none: raw figures).
    void LoadList(const QDate& dtDay, const QListWidget* chklstMon, const TExclusions* pExcl = nullptr);

private:
    void SpanDayLines();

    TCfg& cfg;
    const TTQMonitors& mons;
};
