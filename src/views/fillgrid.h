#pragma once

#include "views/grid.h"

class QListWidget;
class TCfg;
class TTQMonitors;

// A grid view a report page fills with a fill of its own: the pages of the newer
// report kinds need no view class each.
class TFillGrid final : public TGridView
{
    Q_OBJECT

public:
    TFillGrid(TCfg& cfg, const TTQMonitors& mons, QWidget* owner);
    Q_DISABLE_COPY_MOVE(TFillGrid)

    // Refills the cells through fill for the ticked monitors of chklstMon (row i is
    // catalogue entry i) and the data folder of the settings.
    void LoadTicked(const QListWidget* chklstMon, const TTickedFill& fill);

private:
    TCfg& cfg;
    const TTQMonitors& mons;
};
