#include "views/chartbase.h"

#include "analysis/exclusions.h"
#include "views/exclband.h"
#include "views/labelticker.h"
#include "views/leftticker.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QMenu>
#include <QToolTip>

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

const std::vector<TExcludedSpan>& TChartBase::ExcludedSpans() const
{
    return aExclSpans;
}

QList<QCPRange> TChartBase::BandRanges() const
{
    QList<QCPRange> a;
    for (const TExclBand* band : aBands)
        a.append(QCPRange(band->FromKey(), band->ToKey()));
    return a;
}

void TChartBase::SetKeyPeriods(std::vector<qint64> anStarts, int nSecs)
{
    bTimeAxis = false;
    anKeyStarts = std::move(anStarts);
    nKeySecs = std::max(nSecs, 1);
}

void TChartBase::SetKeyOffset(qint64 nOffset, qint64 nFirst, qint64 nEnd)
{
    anKeyStarts.clear();
    bTimeAxis = true;
    nKeyOffset = nOffset;
    nKeyFirst = nFirst;
    nKeyEnd = nEnd;
}

void TChartBase::ShowExclusions(const QStringList& slParams)
{
    for (TExclBand* band : std::as_const(aBands))
        removeItem(band);
    aBands.clear();
    aBandWall.clear();
    aExclSpans.clear();
    ClearSelection();
    slExclParams = slParams;
    if (pExcl == nullptr || !HasTimeKeys())
        return;

    qint64 nFrom = nKeyFirst;
    qint64 nTo = nKeyEnd;
    if (!bTimeAxis) {
        nFrom = std::numeric_limits<qint64>::max();
        nTo = std::numeric_limits<qint64>::min();
        for (qint64 n : anKeyStarts) {
            if (n < 0)
                continue;
            nFrom = std::min(nFrom, n);
            nTo = std::max(nTo, n + nKeySecs);
        }
        if (nFrom >= nTo)
            return;
    }
    // An exclusion of all levels always shows; one of some parameters shows where it
    // covers one the chart draws. Where several overlap, one band stands for them.
    std::vector<TExcludedSpan> aAll;
    for (const QString& sParam : slParams.isEmpty() ? QStringList{QString()} : slParams)
        for (const TExcludedSpan& span : pExcl->Spans(MonitorID(), sParam, nFrom, nTo))
            aAll.push_back(span);
    std::sort(aAll.begin(), aAll.end(),
              [](const TExcludedSpan& a, const TExcludedSpan& b) { return a.nFrom < b.nFrom; });
    for (const TExcludedSpan& span : aAll) {
        if (!aExclSpans.empty() && span.nFrom <= aExclSpans.back().nTo) {
            aExclSpans.back().nTo = std::max(aExclSpans.back().nTo, span.nTo);
            aExclSpans.back().nReasons |= span.nReasons;
        } else {
            aExclSpans.push_back(span);
        }
    }
    if (aExclSpans.empty())
        return;

    if (bTimeAxis) {
        for (const TExcludedSpan& span : aExclSpans) {
            aBands.append(new TExclBand(this, double(span.nFrom - nKeyOffset), double(span.nTo - nKeyOffset),
                                        TExclBand::EStyle::Excluded));
            aBandWall.emplace_back(span.nFrom, span.nTo);
        }
        return;
    }
    // A period is excluded when any of its seconds is, as in the figures: runs of
    // excluded periods make one band each, from half a key before the first to half
    // a key after the last.
    auto excluded = [this](qint64 nStart) {
        if (nStart < 0)
            return false;
        const auto it = std::upper_bound(aExclSpans.begin(), aExclSpans.end(), nStart,
                                         [](qint64 n, const TExcludedSpan& span) { return n < span.nTo; });
        return it != aExclSpans.end() && it->nFrom < nStart + nKeySecs;
    };
    const int nKeys = int(anKeyStarts.size());
    for (int i = 0; i < nKeys;) {
        if (!excluded(anKeyStarts[size_t(i)])) {
            ++i;
            continue;
        }
        const int iFirst = i;
        qint64 nBandFrom = anKeyStarts[size_t(i)];
        qint64 nBandTo = nBandFrom + nKeySecs;
        while (i + 1 < nKeys && excluded(anKeyStarts[size_t(i + 1)])) {
            ++i;
            nBandFrom = std::min(nBandFrom, anKeyStarts[size_t(i)]);
            nBandTo = std::max(nBandTo, anKeyStarts[size_t(i)] + nKeySecs);
        }
        aBands.append(new TExclBand(this, iFirst - 0.5, i + 0.5, TExclBand::EStyle::Excluded));
        aBandWall.emplace_back(nBandFrom, nBandTo);
        ++i;
    }
}

int TChartBase::BandAt(double dKey) const
{
    // A band narrower than a pixel is drawn a pixel wide; so is it found. A chart not
    // laid out yet has no pixels.
    double dHalfPixel = std::abs(xAxis->pixelToCoord(1) - xAxis->pixelToCoord(0)) / 2;
    if (!std::isfinite(dHalfPixel))
        dHalfPixel = 0;
    for (int i = 0; i < aBands.size(); ++i) {
        if (dKey >= aBands.at(i)->FromKey() - dHalfPixel && dKey <= aBands.at(i)->ToKey() + dHalfPixel)
            return i;
    }
    return -1;
}

QString TChartBase::BandTip(double dKey) const
{
    const int iBand = BandAt(dKey);
    if (iBand < 0 || pExcl == nullptr)
        return {};
    const auto [nFrom, nTo] = aBandWall[size_t(iBand)];
    const QStringList slParams = slExclParams.isEmpty() ? QStringList{QString()} : slExclParams;
    QStringList slLines;
    int nReasons = 0;
    int nMore = 0;
    auto add = [&](const TExclusion& ex) {
        if (ex.IsWithdrawn() || ex.nTo <= nFrom || ex.nFrom >= nTo)
            return;
        if (!ex.AllMonitors() && ex.sMonitor.compare(MonitorID(), Qt::CaseInsensitive) != 0)
            return;
        if (std::none_of(slParams.begin(), slParams.end(), [&ex](const QString& s) { return ex.Covers(s); }))
            return;
        nReasons |= 1 << int(ex.eReason);
        if (slLines.size() >= 8) {
            ++nMore;
            return;
        }
        QString sLine = TExclusion::ReasonText(ex.eReason) + QStringLiteral(": ") + TExclusion::WallText(ex.nFrom) +
                        QStringLiteral(" to ") + TExclusion::WallText(ex.nTo);
        if (!ex.sComment.isEmpty())
            sLine += QStringLiteral(", ") + ex.sComment;
        slLines.append(sLine);
    };
    for (const TExclusion& ex : pExcl->Rows())
        add(ex);
    if (pExcl->AutomaticOn())
        for (const TExclusion& ex : pExcl->Automatic())
            add(ex);
    if (nMore > 0)
        slLines.append(QStringLiteral("and %1 more").arg(nMore));
    slLines.prepend(QStringLiteral("Excluded: ") + TExclusion::ReasonsText(nReasons));
    return slLines.join(u'\n');
}

std::pair<qint64, qint64> TChartBase::WallSpan(double dFrom, double dTo) const
{
    if (dFrom > dTo)
        std::swap(dFrom, dTo);
    if (bTimeAxis) {
        const qint64 nFrom = std::clamp(qint64(std::floor(dFrom)) + nKeyOffset, nKeyFirst, nKeyEnd);
        const qint64 nTo = std::clamp(qint64(std::floor(dTo)) + 1 + nKeyOffset, nKeyFirst, nKeyEnd);
        return nFrom < nTo ? std::pair(nFrom, nTo) : std::pair<qint64, qint64>(0, 0);
    }
    const int nKeys = int(anKeyStarts.size());
    if (nKeys == 0)
        return {0, 0};
    const int iFirst = std::clamp(int(std::ceil(dFrom - 0.5)), 0, nKeys - 1);
    const int iLast = std::clamp(int(std::floor(dTo + 0.5)), 0, nKeys - 1);
    qint64 nFrom = std::numeric_limits<qint64>::max();
    qint64 nTo = std::numeric_limits<qint64>::min();
    for (int i = iFirst; i <= iLast; ++i) {
        const qint64 n = anKeyStarts[size_t(i)];
        if (n < 0)
            continue;
        nFrom = std::min(nFrom, n);
        nTo = std::max(nTo, n + nKeySecs);
    }
    return nFrom < nTo ? std::pair(nFrom, nTo) : std::pair<qint64, qint64>(0, 0);
}

std::pair<qint64, qint64> TChartBase::Selection() const
{
    if (bandSel == nullptr)
        return {0, 0};
    return WallSpan(bandSel->FromKey(), bandSel->ToKey());
}

void TChartBase::Select(double dFrom, double dTo)
{
    if (!HasTimeKeys())
        return;
    if (bandSel == nullptr)
        bandSel = new TExclBand(this, dFrom, dTo, TExclBand::EStyle::Selection);
    else
        bandSel->SetKeys(dFrom, dTo);
    replot(rpQueuedReplot);
}

void TChartBase::ClearSelection()
{
    if (bandSel == nullptr)
        return;
    removeItem(bandSel);
    bandSel = nullptr;
    replot(rpQueuedReplot);
}

std::pair<qint64, qint64> TChartBase::ExcludeSpan() const
{
    const auto sel = Selection();
    if (sel.first < sel.second)
        return sel;
    return WallSpan(BottomMin(), BottomMax());
}

QMenu* TChartBase::MakeMenu()
{
    if (!HasTimeKeys())
        return nullptr;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto span = ExcludeSpan();
    QAction* actExclude = menu->addAction(QStringLiteral("Exclude\u2026"));
    actExclude->setObjectName(QStringLiteral("menuExclude"));
    actExclude->setEnabled(bExcludeEnabled && span.first < span.second);
    connect(actExclude, &QAction::triggered, this,
            [this, span] { Q_EMIT ExcludeRequested(MonitorID(), span.first, span.second); });
    if (bandSel != nullptr) {
        QAction* actClear = menu->addAction(QStringLiteral("Clear Selection"));
        actClear->setObjectName(QStringLiteral("menuClearSelection"));
        connect(actClear, &QAction::triggered, this, [this] { ClearSelection(); });
    }
    return menu;
}

void TChartBase::ShowMenu(const QPoint& ptGlobal)
{
    if (QMenu* menu = MakeMenu())
        menu->popup(ptGlobal);
}

bool TChartBase::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString sTip =
            axisRect()->rect().contains(help->pos()) ? BandTip(xAxis->pixelToCoord(help->pos().x())) : QString();
        if (sTip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), sTip, this);
        return true;
    }
    return QCustomPlot::event(event);
}

void TChartBase::contextMenuEvent(QContextMenuEvent* event)
{
    // The right button pans: its click without a move opens the menu on release.
    if (event->reason() != QContextMenuEvent::Mouse)
        ShowMenu(event->globalPos());
    event->accept();
}

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
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier) && HasTimeKeys() &&
        axisRect()->rect().contains(event->position().toPoint())) {
        bSelecting = true;
        dSelAnchor = xAxis->pixelToCoord(event->position().x());
        Select(dSelAnchor, dSelAnchor);
        event->accept();
        return;
    }
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
    if (bSelecting) {
        Select(dSelAnchor, xAxis->pixelToCoord(event->position().x()));
        event->accept();
        return;
    }
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
    if (bSelecting && event->button() == Qt::LeftButton) {
        bSelecting = false;
        // A click without a drag selects nothing.
        if (std::abs(xAxis->coordToPixel(dSelAnchor) - event->position().x()) < 2)
            ClearSelection();
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton) {
        bPanning = false;
        const bool bClick = std::abs(event->position().x() - xPanStart) < 3;
        ScrollClamp();
        replot(rpQueuedReplot);
        event->accept();
        Q_EMIT Scrolled(this);
        if (bClick)
            ShowMenu(event->globalPosition().toPoint());
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
