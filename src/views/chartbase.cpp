#include "views/chartbase.h"

#include "views/labelticker.h"

#include <algorithm>
#include <cmath>
#include <limits>

TChartBase::TChartBase(TCfg& cfgOwner, QWidget* owner) : QCustomPlot(owner), cfg(cfgOwner)
{
    setBackground(QBrush(Qt::white));

    QFont fontTitle = font();
    fontTitle.setBold(true);
    fontTitle.setPointSizeF(fontTitle.pointSizeF() * 1.1);
    plotLayout()->insertRow(0);
    title = new QCPTextElement(this, QStringLiteral("DYNAMIC"), fontTitle);
    title->setTextColor(Qt::black);
    plotLayout()->addElement(0, 0, title);

    // The selection rectangle is drawn by the component; what it means is decided here.
    setSelectionRectMode(QCP::srmCustom);
    connect(selectionRect(), &QCPSelectionRect::accepted, this, &TChartBase::SelectionRectAccepted);
}

TChartBase::~TChartBase() = default;

QString TChartBase::Title() const
{
    return title->text();
}

void TChartBase::SetTitle(const QString& sText)
{
    title->setText(sText);
    replot(rpQueuedReplot);
}

double TChartBase::LeftMin() const
{
    return yAxis->range().lower;
}

double TChartBase::LeftMax() const
{
    return yAxis->range().upper;
}

void TChartBase::SetLeftMin(double d)
{
    yAxis->setRangeLower(d);
    replot(rpQueuedReplot);
}

void TChartBase::SetLeftMax(double d)
{
    yAxis->setRangeUpper(d);
    replot(rpQueuedReplot);
}

double TChartBase::BottomMin() const
{
    return xAxis->range().lower;
}

double TChartBase::BottomMax() const
{
    return xAxis->range().upper;
}

void TChartBase::SetBottomRange(double dMin, double dMax)
{
    xAxis->setRange(dMin, dMax);
    replot(rpQueuedReplot);
}

void TChartBase::ZoomToRect(const QRect& rc)
{
    const QRect rcZoom = rc.normalized();
    if (rcZoom.width() < 2)
        return;
    xAxis->setRange(xAxis->pixelToCoord(rcZoom.left()), xAxis->pixelToCoord(rcZoom.right()));
    rcLastZoom = rcZoom;
    replot(rpQueuedReplot);
    Q_EMIT Zoomed(this);
}

void TChartBase::UndoZoom()
{
    ShowFullRange();
    Q_EMIT Unzoomed(this);
}

void TChartBase::ShowFullRange()
{
    const QCPRange range = FullBottomRange();
    if (range.size() > 0)
        xAxis->setRange(range);
    replot(rpQueuedReplot);
}

bool TChartBase::SaveBmp(const QString& sFile, int nWidth, int nHeight)
{
    if (nWidth <= 0 || nHeight <= 0)
        return false;
    const bool bOK = saveBmp(sFile, nWidth, nHeight);
    // The layout now fits the bitmap; the screen gets its own again at the next paint.
    replot(rpQueuedReplot);
    return bOK;
}

int TChartBase::SeriesCount() const
{
    return plottableCount();
}

QCPPlottableInterface1D* TChartBase::Series(int iSeries) const
{
    // The component's accessors are not const although they change nothing.
    auto* chart = const_cast<TChartBase*>(this);
    if (iSeries < 0 || iSeries >= chart->plottableCount())
        return nullptr;
    return chart->plottable(iSeries)->interface1D();
}

int TChartBase::PointCount() const
{
    const QCPPlottableInterface1D* series = Series(0);
    return series ? series->dataCount() : 0;
}

double TChartBase::Value(int iSeries, int i) const
{
    const QCPPlottableInterface1D* series = Series(iSeries);
    if (!series || i < 0 || i >= series->dataCount())
        return std::numeric_limits<double>::quiet_NaN();
    return series->dataMainValue(i);
}

QString TChartBase::Label(int i) const
{
    return slLabels.value(i);
}

void TChartBase::UseLabelAxis()
{
    ticker = QSharedPointer<TLabelTicker>::create(xAxis, slLabels);
    xAxis->setTicker(ticker);
}

void TChartBase::SetSlotsPerDay(int n)
{
    if (ticker)
        ticker->SetSlotsPerDay(n);
}

void TChartBase::SetLevelRange(double dLowest, double dHighest)
{
    SetLeftMax(160);
    SetLeftMin(std::floor(dLowest / 10) * 10);
    SetLeftMax(std::floor(dHighest / 10) * 10 + 10);
}

QCPRange TChartBase::FullBottomRange() const
{
    const int nCount = PointCount();
    if (nCount == 1)
        return QCPRange(-0.5, 0.5);
    return QCPRange(0, std::max(nCount - 1, 0));
}

void TChartBase::ScrollClamp()
{
    // Without a first series there is no point count to keep the axis inside.
    if (SeriesCount() == 0)
        return;
    if (xAxis->range().lower < 0)
        xAxis->moveRange(-xAxis->range().lower);
    const int nCount = PointCount();
    if (nCount < xAxis->range().upper)
        xAxis->moveRange(nCount - xAxis->range().upper - 1);
}

void TChartBase::mousePressEvent(QMouseEvent* event)
{
    // The component would start its selection rectangle for any button; the right
    // button pans here instead.
    if (event->button() == Qt::RightButton) {
        bPanning = true;
        xPanStart = int(event->position().x());
        rangePanStart = xAxis->range();
        event->accept();
        return;
    }
    QCustomPlot::mousePressEvent(event);
}

void TChartBase::mouseMoveEvent(QMouseEvent* event)
{
    if (bPanning) {
        const double dPerPixel = rangePanStart.size() / std::max(axisRect()->width(), 1);
        xAxis->setRange(rangePanStart + (xPanStart - event->position().x()) * dPerPixel);
        replot(rpQueuedReplot);
        event->accept();
        return;
    }
    QCustomPlot::mouseMoveEvent(event);
}

void TChartBase::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        bPanning = false;
        ScrollClamp();
        replot(rpQueuedReplot);
        event->accept();
        Q_EMIT Scrolled(this);
        return;
    }
    QCustomPlot::mouseReleaseEvent(event);
}

void TChartBase::mouseDoubleClickEvent(QMouseEvent* event)
{
    QCustomPlot::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        UndoZoom();
}

void TChartBase::SetLegendShown(bool b)
{
    bLegendShown = b;
    legend->setVisible(b);
}

void TChartBase::SetLegendRows(int nPerRow)
{
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    legend->setWrap(nPerRow);
    legend->setColumnSpacing(6);
    legend->setRowSpacing(0);
    legend->setIconSize(20, 10);
    QFont fontLegend = font();
    fontLegend.setPointSizeF(fontLegend.pointSizeF() * 0.9);
    legend->setFont(fontLegend);
}

int TChartBase::LeftTickCount() const
{
    // About one level label per 30 pixels, so that low charts of a crowded page keep
    // their labels apart.
    return std::clamp(axisRect()->height() / 30, 1, 5);
}

void TChartBase::updateLayout()
{
    yAxis->ticker()->setTickCount(LeftTickCount());
    QCustomPlot::updateLayout();
    // The ticks were chosen for the axis size of the previous layout. After a resize,
    // or for a bitmap of another size, choose them again for the new size.
    const bool bWidthChanged = ticker && ticker->UsedWidth() != axisRect()->width();
    if (bWidthChanged || yAxis->ticker()->tickCount() != LeftTickCount()) {
        yAxis->ticker()->setTickCount(LeftTickCount());
        QCustomPlot::updateLayout();
    }
    // A legend taller than half the plot would hide the lines it explains; below that
    // its veil lets them show through, and a reader needs it to tell the lines apart.
    if (bLegendShown)
        legend->setVisible(axisRect()->height() >= 2 * legend->minimumOuterSizeHint().height());
}

void TChartBase::SelectionRectAccepted(const QRect& rc, QMouseEvent* event)
{
    // rc runs from where the button went down to where it came up.
    if (event->button() == Qt::LeftButton) {
        const int dx = rc.right() - rc.left();
        const int dy = rc.bottom() - rc.top();
        if (dx > 0 && dy > 0) {
            ZoomToRect(rc);
            return;
        }
        if (dx < 0 && dy < 0) {
            UndoZoom();
            return;
        }
    }
    replot(rpQueuedReplot);
}
