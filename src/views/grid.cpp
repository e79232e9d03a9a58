#include "views/grid.h"

#include "monitors/monitor.h"
#include "settings/cfg.h"
#include "views/gridmodel.h"
#include "views/markdelegate.h"

#include <QHeaderView>
#include <QListWidget>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {
constexpr int nWheelNotch = 120; // QWheelEvent::angleDelta of one notch
constexpr int nFontPoints = 8;

// The monitors of the ticked rows of the check-list: row i is catalogue entry i.
TMonitorSel CheckedMonitors(const TTQMonitors& mons, const QListWidget* chklstMon)
{
    TMonitorSel aMons;
    if (!chklstMon)
        return aMons;
    for (int i = 0; i < chklstMon->count(); ++i) {
        const QListWidgetItem* item = chklstMon->item(i);
        if (item->checkState() != Qt::Checked)
            continue;
        if (const TTQMonitor* mon = mons.GetHead(i))
            aMons.push_back(mon);
    }
    return aMons;
}
} // namespace

TGridView::TGridView(bool bCaret, QWidget* owner)
    : QTableView(owner), modelGrid(new TGridModel(this)), delegateMark(new TMarkDelegate(bCaret, this))
{
    if (owner) {
        QLayout* lay = owner->layout();
        if (!lay) {
            lay = new QVBoxLayout(owner);
            lay->setSpacing(0);
        }
        lay->setContentsMargins(8, 8, 3, 3);
        lay->addWidget(this);
    }

    setFrameShape(QFrame::NoFrame);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setShowGrid(false);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    // Per item, the vertical scroll bar's value is the top row.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    QFont fnt = font();
    fnt.setPointSize(nFontPoints);
    setFont(fnt);

    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(RowHeight);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    setItemDelegate(delegateMark);
    setModel(modelGrid);
    ClearGrid();
}

TGridView::~TGridView() = default;

const QString& TGridView::Cells(int nCol, int nRow) const
{
    return modelGrid->Grid().Cells(nCol, nRow);
}

int TGridView::RowCount() const
{
    return modelGrid->Grid().RowCount();
}

int TGridView::ColCount() const
{
    return modelGrid->Grid().ColCount();
}

void TGridView::ClearGrid()
{
    Reload([](TStringGrid& grid) { grid.Clear(); });
    viewport()->repaint();
}

int TGridView::TopRow() const
{
    // Per item, the scroll bar counts rows: its value is the first row shown whole.
    // At its end the toolkit lines the last row up with the bottom edge, so part of
    // the row above may show as well.
    return verticalScrollBar()->value();
}

int TGridView::VisibleRowCount() const
{
    return viewport()->height() / RowHeight;
}

void TGridView::ScrollRowDown()
{
    const int nTop = TopRow();
    if (nTop < RowCount() - VisibleRowCount())
        verticalScrollBar()->setValue(nTop + 1);
}

void TGridView::ScrollRowUp()
{
    const int nTop = TopRow();
    if (nTop > 0)
        verticalScrollBar()->setValue(nTop - 1);
}

void TGridView::Reload(const std::function<void(TStringGrid&)>& fill)
{
    modelGrid->Reload(fill);
    ApplyColumnWidths();
}

void TGridView::ReloadTicked(TCfg& cfg, const TTQMonitors& mons, const QListWidget* chklstMon,
                             const TTickedFill& fill)
{
    const QString sDataPath = cfg.DataPath();
    const TMonitorSel aMons = CheckedMonitors(mons, chklstMon);
    Reload([&](TStringGrid& grid) { fill(grid, sDataPath, aMons); });
}

void TGridView::wheelEvent(QWheelEvent* event)
{
    const int nDelta = event->angleDelta().y();
    if (nDelta == 0) {
        // A sideways wheel keeps the toolkit's horizontal scrolling.
        QTableView::wheelEvent(event);
        return;
    }
    // Fine-grained wheels and touch pads send parts of a notch; they add up to rows.
    nWheelDelta += nDelta;
    while (nWheelDelta >= nWheelNotch) {
        ScrollRowUp();
        nWheelDelta -= nWheelNotch;
    }
    while (nWheelDelta <= -nWheelNotch) {
        ScrollRowDown();
        nWheelDelta += nWheelNotch;
    }
    event->accept();
}

void TGridView::ApplyColumnWidths()
{
    const TStringGrid& grid = modelGrid->Grid();
    horizontalHeader()->setDefaultSectionSize(grid.DefaultColWidth());
    for (int nCol = 0; nCol < grid.ColCount(); ++nCol)
        setColumnWidth(nCol, grid.ColWidth(nCol));
}
