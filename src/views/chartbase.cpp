#include "views/chartbase.h"

#include "views/labelticker.h"
#include "views/leftticker.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// The width of a label, the widest of its lines.
int TextWidth(const QFontMetrics& fm, const QString& s)
{
    int nWidth = 0;
    for (const QString& sLine : s.split(QLatin1Char('\n')))
        nWidth = std::max(nWidth, fm.horizontalAdvance(sLine));
    return nWidth;
}
} // namespace

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
    tickerLeft = QSharedPointer<TLeftTicker>::create(yAxis);
    yAxis->setTicker(tickerLeft);
    fontLeftTitle = yAxis->labelFont();
    nLeftTitlePadding = yAxis->labelPadding();

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

QString TChartBase::SlotLabel(QStringView sTime, QStringView sDate)
{
    QString s(sTime.size() + 1 + sDate.size(), Qt::Uninitialized);
    QChar* p = s.data();
    p = std::copy(sTime.begin(), sTime.end(), p);
    *p++ = QLatin1Char('\n');
    std::copy(sDate.begin(), sDate.end(), p);
    return s;
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

void TChartBase::KeepInside(const QCPRange& full)
{
    const QCPRange now = xAxis->range();
    if (full.size() <= 0)
        return;
    if (now.lower < full.lower)
        xAxis->moveRange(full.lower - now.lower);
    else if (now.upper > full.upper)
        xAxis->moveRange(std::max(full.upper - now.upper, full.lower - now.lower));
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
    legend->setVisible(b);
}

void TChartBase::SetLegendRows(int nPerRow)
{
    // The wrap first: changing the fill order is what moves the entries into place.
    legend->setWrap(nPerRow);
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst, true);
    legend->setColumnSpacing(6);
    legend->setRowSpacing(0);
    legend->setIconSize(20, 10);
    QFont fontLegend = font();
    fontLegend.setPointSizeF(fontLegend.pointSizeF() * 0.9);
    legend->setFont(fontLegend);
}

void TChartBase::SetLegendBeside()
{
    SetLegendShown(true);
    SetLegendRows(1);
    QCPAxisRect* rect = axisRect();
    axisRect()->insetLayout()->take(legend);
    // The plot and the legend's column share the row under the title, so that the
    // title stays centred over the whole chart.
    plotLayout()->take(rect);
    auto* rowPlot = new QCPLayoutGrid;
    plotLayout()->addElement(1, 0, rowPlot);
    rowPlot->addElement(0, 0, rect);
    gridLegend = new QCPLayoutGrid;
    rowPlot->addElement(0, 1, gridLegend);
    rowPlot->setColumnStretchFactors({1, 0.001});
    rowPlot->setColumnSpacing(0);
    // The legend at the top of its column; an empty element takes the rest.
    gridLegend->addElement(0, 0, legend);
    gridLegend->addElement(1, 0, new QCPLayoutElement(this));
    gridLegend->setRowStretchFactors({0.001, 1});
    gridLegend->setRowSpacing(0);
    gridLegend->setAutoMargins(QCP::msNone);
    // Compact entries leave the plot as much of the width as they can.
    legend->setMargins(QMargins(4, 2, 4, 2));
    legend->setColumnSpacing(6);
    legend->setIconSize(16, 10);
    legend->setIconTextPadding(4);
}

int TChartBase::BottomLabelOverhang(bool bRight) const
{
    const QVector<double> aTicks = xAxis->tickVector();
    const QVector<QString> aLabels = xAxis->tickVectorLabels();
    if (aLabels.size() != aTicks.size())
        return 0;
    const QFontMetrics fm(xAxis->tickLabelFont());
    const QRect rcPlot = axisRect()->rect();
    int nOver = 0;
    for (int i = 0; i < aTicks.size(); ++i) {
        if (!xAxis->range().contains(aTicks.at(i)))
            continue;
        const double x = xAxis->coordToPixel(aTicks.at(i));
        const double dHalf = TextWidth(fm, aLabels.at(i)) / 2.0;
        const double dOver = bRight ? x + dHalf - (rcPlot.right() + 1) : rcPlot.left() - (x - dHalf);
        nOver = std::max(nOver, int(std::ceil(dOver)));
    }
    return nOver;
}

bool TChartBase::FitLeftTitle()
{
    const QRect rcPlot = axisRect()->rect();
    const QRect rcView = viewport();
    // The title is centred on the plot and may reach from the top of the chart to its
    // bottom; on low charts a smaller type keeps all of it in sight.
    const int nRoom =
        2 * std::min(rcPlot.center().y() - rcView.top(), rcView.bottom() - rcPlot.center().y()) - 4;
    const int nWidth = QFontMetrics(fontLeftTitle).horizontalAdvance(yAxis->label());
    const double dScale = nWidth > nRoom ? std::max(double(std::max(nRoom, 0)) / nWidth, 0.6) : 1.0;
    QFont fontTitle = fontLeftTitle;
    if (dScale < 1) {
        if (fontTitle.pointSizeF() > 0)
            fontTitle.setPointSizeF(fontTitle.pointSizeF() * dScale);
        else
            fontTitle.setPixelSize(std::max(int(fontTitle.pixelSize() * dScale), 1));
    }
    // The first bottom label may reach left of the plot, under the level labels; the
    // title keeps outside it, so that the two never meet however far it reaches down.
    const QFontMetrics fmTicks(yAxis->tickLabelFont());
    int nTickLabels = 0;
    for (const QString& sLabel : yAxis->tickVectorLabels())
        nTickLabels = std::max(nTickLabels, TextWidth(fmTicks, sLabel));
    const int nTickSide = yAxis->tickLengthOut() + yAxis->tickLabelPadding() + nTickLabels;
    const int nPadding = std::max(nLeftTitlePadding, BottomLabelOverhang(false) + 2 - nTickSide);

    const bool bChanged = fontTitle != yAxis->labelFont() || nPadding != yAxis->labelPadding();
    yAxis->setLabelFont(fontTitle);
    yAxis->setLabelPadding(nPadding);
    return bChanged;
}

bool TChartBase::FitLegendColumns()
{
    if (!gridLegend)
        return false;
    // The legend's cells include the empty ones of a last column that is not full.
    int nItems = 0;
    for (int i = 0; i < legend->itemCount(); ++i)
        nItems += legend->item(i) != nullptr;
    if (nItems == 0)
        return false;
    // From the top of the plot down to the bottom of the chart, right of a last bottom
    // label that reaches past the plot.
    const QMargins mPlot = axisRect()->margins();
    const QMargins mColumn(std::max(BottomLabelOverhang(true) - mPlot.right(), 0) + 4, mPlot.top(), 4, 2);
    const int nPitch = legend->elementAt(0)->minimumOuterSizeHint().height() + legend->rowSpacing();
    const int nRoom = axisRect()->outerRect().height() - mColumn.top() - mColumn.bottom() -
                      legend->margins().top() - legend->margins().bottom() + legend->rowSpacing();
    const int nFit = std::max(nRoom / std::max(nPitch, 1), 1);
    const int nColumns = (nItems + nFit - 1) / nFit;
    // Columns as evenly filled as their number allows.
    const int nRows = (nItems + nColumns - 1) / nColumns;

    bool bChanged = false;
    if (gridLegend->margins() != mColumn) {
        gridLegend->setMargins(mColumn);
        bChanged = true;
    }
    if (legend->wrap() != nRows || legend->fillOrder() != QCPLayoutGrid::foRowsFirst) {
        legend->setWrap(nRows);
        legend->setFillOrder(QCPLayoutGrid::foRowsFirst, true);
        bChanged = true;
    }
    return bChanged;
}

void TChartBase::SetLeftTickSpacing(int nPixels, int nMaxIntervals)
{
    tickerLeft->SetSpacing(nPixels, nMaxIntervals);
}

void TChartBase::updateLayout()
{
    // The ticks, the level title and the legend's columns depend on the size of the
    // plot, and the component chooses ticks before it lays out, for the plot of the
    // layout before. After a resize, or for a bitmap of another size, all are fitted
    // again and laid out until nothing changes any more.
    for (int nPass = 0; nPass < 4; ++nPass) {
        const QRect rcBefore = axisRect()->rect();
        bool bChanged = FitLeftTitle();
        bChanged = FitLegendColumns() || bChanged;
        QCustomPlot::updateLayout();
        if (!bChanged && axisRect()->rect() == rcBefore)
            break;
    }
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
