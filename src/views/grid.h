#pragma once

#include "monitors/monitor.h"

#include <QTableView>

#include <functional>

class QListWidget;
class TCfg;
class TGridModel;
class TMarkDelegate;
class TStringGrid;
class TTQMonitors;

// The grid view shared by the periodic, alarm and summary tables and the two lists: a
// borderless table of marked-up text cells that fills its tab page. Headings are
// ordinary cells; nothing can be selected or edited; the mouse wheel moves exactly
// one row per notch. Printing and the clipboard read it through Cells, RowCount and
// ColCount.
class TGridView : public QTableView
{
    Q_OBJECT

public:
    ~TGridView() override;
    Q_DISABLE_COPY_MOVE(TGridView)

    const QString& Cells(int nCol, int nRow) const;
    int RowCount() const;
    int ColCount() const;

    // Every cell empty, one row and one column, repainted at once.
    void ClearGrid();

    // One row per wheel notch, never past the last row at the bottom or row 0 at the top.
    void ScrollRowDown();
    void ScrollRowUp();
    // The first row shown whole at the top.
    int TopRow() const;
    // Rows that fit wholly in the view.
    int VisibleRowCount() const;

    static constexpr int RowHeight = 18;

    // What a report page's loader fills the grid with, given the data folder and the
    // ticked monitors.
    using TTickedFill = std::function<void(TStringGrid&, const QString& sDataPath, const TMonitorSel& aMons)>;

protected:
    // bCaret false for views whose drawing leaves "^" as it stands (the lists).
    TGridView(bool bCaret, QWidget* owner);

    // Refills the cells through fill, then takes the column widths the fill chose.
    void Reload(const std::function<void(TStringGrid&)>& fill);

    // Reload for the loaders of the report pages: fill gets the data folder of cfg
    // and the monitors of the ticked rows of chklstMon (row i is catalogue entry i).
    // Both are read before the grid is touched, since DataPath may write the settings
    // file and throw.
    void ReloadTicked(TCfg& cfg, const TTQMonitors& mons, const QListWidget* chklstMon,
                      const TTickedFill& fill);

    void wheelEvent(QWheelEvent* event) override;

private:
    void ApplyColumnWidths();

    TGridModel* modelGrid;       // owned through Qt parenting
    TMarkDelegate* delegateMark; // owned through Qt parenting
    int nWheelDelta = 0;         // wheel movement not yet worth a whole notch
};
