#include "views/limitlines.h"

#include "views/qcpinclude.h"

#include <QFontMetrics>
#include <QHash>
#include <QImage>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>

namespace {
qsizetype ParamIndex(const QStringList& slParams, const QString& sParam)
{
    for (qsizetype i = 0; i < slParams.size(); ++i)
        if (QString::compare(slParams[i], sParam, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// A filled point in an image of nSize pixels square, drawn once per colour and size
// and copied at every mark, so that each mark, and the legend's key, is the same
// picture placed at whole pixels. Kept as an image, which unlike a pixmap may outlive
// the application object.
QPixmap Disc(const QColor& colour, int nSize)
{
    thread_local QHash<QPair<QRgb, int>, QImage> discs;
    QImage& im = discs[qMakePair(colour.rgba(), nSize)];
    if (im.isNull()) {
        im = QImage(nSize, nSize, QImage::Format_ARGB32_Premultiplied);
        im.fill(Qt::transparent);
        QPainter painter(&im);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(colour);
        painter.setBrush(colour);
        painter.drawEllipse(QRectF(1, 1, nSize - 2, nSize - 2));
    }
    return QPixmap::fromImage(im);
}

constexpr int nSecsPerDay = 86400;
constexpr int nMinutesPerDay = 1440;

// The marks of one parameter: the disc image drawn at each mark, as a graph draws its
// points, or the band of many periods to a pixel. The discs are drawn only where the
// periods lie at least half a mark apart, a few hundred across the widest plot, and
// each with the painter costs next to nothing: two days of 10-minute periods, 314
// discs, paint in about 0.05 ms of a 0.6 ms chart at 1200 x 400.
//
// The marks are periods of the parameter's own series: the graph keeps that series
// and the indices of the marked periods rather than a copy of their data, and reads
// them out through the usual one-dimensional interface.
class TMarkGraph final : public QCPGraph
{
public:
    // The marks' band, where there is one, lies nBand bands above the plot's foot.
    TMarkGraph(QCPAxis* keyAxis, QCPAxis* valueAxis, QSharedPointer<QCPGraphDataContainer> series,
               std::vector<quint32> anMarkedOfSeries, const QColor& colour, int nBand)
        : QCPGraph(keyAxis, valueAxis), series(std::move(series)), anMarked(std::move(anMarkedOfSeries)),
          colMark(colour), nBandSlot(nBand)
    {
        setLineStyle(QCPGraph::lsNone);
        setScatterStyle(QCPScatterStyle(Disc(colMark, TLimitLines::nMarkSize)));
    }

    int dataCount() const override { return int(anMarked.size()); }
    double dataMainKey(int nIndex) const override { return Mark(nIndex).key; }
    double dataSortKey(int nIndex) const override { return Mark(nIndex).key; }
    double dataMainValue(int nIndex) const override { return Mark(nIndex).value; }
    QCPRange dataValueRange(int nIndex) const override
    {
        return QCPRange(Mark(nIndex).value, Mark(nIndex).value);
    }
    QPointF dataPixelPosition(int nIndex) const override
    {
        return coordsToPixels(Mark(nIndex).key, Mark(nIndex).value);
    }
    int findBegin(double dSortKey, bool bExpandedRange) const override
    {
        const int i = FirstFrom(dSortKey);
        return bExpandedRange && i > 0 ? i - 1 : i;
    }
    int findEnd(double dSortKey, bool bExpandedRange) const override
    {
        const int i = FirstFrom(std::nextafter(dSortKey, std::numeric_limits<double>::infinity()));
        return bExpandedRange && i < dataCount() ? i + 1 : i;
    }

protected:
    void draw(QCPPainter* painter) override
    {
        // The mark is as large as the plot's height allows without hiding the lines
        // under it; the style says so to whoever copies it.
        const int nSize = TLimitLines::MarkSize(clipRect().height());
        if (scatterStyle().pixmap().width() != nSize)
            setScatterStyle(QCPScatterStyle(Disc(colMark, nSize)));
        // Where the periods lie closer than half a mark apart, as over weeks or a year,
        // the marks of a run of periods would merge into one blot over the lines: the
        // runs are drawn as a band at the plot's foot instead, the same on any device.
        if (TLimitLines::DrawsBand(std::abs(mKeyAxis->coordToPixel(1) - mKeyAxis->coordToPixel(0)), nSize)) {
            DrawBand(painter, nSize - 2);
            return;
        }
        DrawEachMark(painter);
    }

private:
    QSharedPointer<QCPGraphDataContainer> series;
    std::vector<quint32> anMarked; // ascending
    QColor colMark;
    int nBandSlot;

    // Each pixel column that holds a marked period, in runs, as a band nHeight pixels
    // high: the first parameter's at the plot's foot, the next one's above it.
    void DrawBand(QCPPainter* painter, int nHeight)
    {
        const QRect rcPlot = clipRect();
        if (rcPlot.isEmpty() || anMarked.empty())
            return;
        const int yBottom = rcPlot.bottom() - nBandSlot * nHeight;
        const QCPGraphData* pSeries = series->isEmpty() ? nullptr : &*series->constBegin();
        const quint32 nSeries = quint32(series->size());
        QVector<QRect> aRects;
        const auto addRun = [&](int xFrom, int xTo) {
            aRects.append(QRect(QPoint(xFrom, yBottom - nHeight + 1), QPoint(xTo, yBottom)) & rcPlot);
        };
        bool bRun = false;
        int xFrom = 0;
        int xTo = 0;
        for (const quint32 i : anMarked) {
            if (i >= nSeries)
                continue;
            const double dx = mKeyAxis->coordToPixel(pSeries[i].key);
            if (!(dx >= rcPlot.left() && dx < rcPlot.right() + 1))
                continue;
            const int x = int(dx);
            if (bRun && x <= xTo + 1) {
                xTo = std::max(xTo, x);
                continue;
            }
            if (bRun)
                addRun(xFrom, xTo);
            bRun = true;
            xFrom = x;
            xTo = x;
        }
        if (bRun)
            addRun(xFrom, xTo);
        painter->save();
        painter->setAntialiasing(false);
        painter->setPen(Qt::NoPen);
        painter->setBrush(colMark);
        painter->drawRects(aRects);
        painter->restore();
    }

    // The nIndex-th mark; no number where there is none.
    QCPGraphData Mark(int nIndex) const
    {
        const quint32 i =
            nIndex >= 0 && size_t(nIndex) < anMarked.size() ? anMarked[size_t(nIndex)] : quint32(-1);
        return i < quint32(series->size()) ? *(series->constBegin() + i)
                                           : QCPGraphData(0, std::numeric_limits<double>::quiet_NaN());
    }

    // The first mark whose key is dKey or more.
    int FirstFrom(double dKey) const
    {
        int nLow = 0;
        int nHigh = dataCount();
        while (nLow < nHigh) {
            const int nMid = nLow + (nHigh - nLow) / 2;
            if (Mark(nMid).key < dKey)
                nLow = nMid + 1;
            else
                nHigh = nMid;
        }
        return nLow;
    }

    // Each mark as the graph always draws its points, from the marks' data made for
    // that paint.
    void DrawEachMark(QCPPainter* painter)
    {
        QVector<QCPGraphData> aMarks;
        aMarks.reserve(qsizetype(anMarked.size()));
        for (int i = 0; i < dataCount(); ++i)
            if (const QCPGraphData mark = Mark(i); !std::isnan(mark.value))
                aMarks.append(mark);
        const QSharedPointer<QCPGraphDataContainer> none = mDataContainer;
        mDataContainer = QSharedPointer<QCPGraphDataContainer>::create();
        mDataContainer->set(aMarks, true);
        // Cut also at the plot's top edge, not only at the row above it where the plot
        // cuts its graphs, so that a mark on the top edge ends at the frame.
        painter->save();
        painter->setClipRect(clipRect(), Qt::IntersectClip);
        QCPGraph::draw(painter);
        painter->restore();
        mDataContainer = none;
    }
};
// An entry of the legend that says what the limit lines and the marks are. The lines
// and marks take their parameter's colour; the key draws them in a neutral one.
class TLimitKeyItem final : public QCPAbstractLegendItem
{
public:
    TLimitKeyItem(QCPLegend* legend, QString sText, bool bMark)
        : QCPAbstractLegendItem(legend), sName(std::move(sText)), bIsMark(bMark)
    {
    }

protected:
    // Laid out as the legend lays out a series' entry: the icon, then the text.
    QSize minimumOuterSizeHint() const override
    {
        const QFontMetrics fm(font());
        const QSize sizeIcon = mParentLegend->iconSize();
        const QRect rcText = fm.boundingRect(0, 0, 0, sizeIcon.height(), Qt::TextDontClip, sName);
        return QSize(sizeIcon.width() + mParentLegend->iconTextPadding() + rcText.width() + mMargins.left() +
                         mMargins.right(),
                     std::max(rcText.height(), sizeIcon.height()) + mMargins.top() + mMargins.bottom());
    }

    void draw(QCPPainter* painter) override
    {
        painter->setFont(font());
        painter->setPen(QPen(textColor()));
        const QSize sizeIcon = mParentLegend->iconSize();
        const QRect rcText = painter->fontMetrics().boundingRect(0, 0, 0, sizeIcon.height(), Qt::TextDontClip, sName);
        const int nTextHeight = std::max(rcText.height(), sizeIcon.height());
        painter->drawText(mRect.x() + sizeIcon.width() + mParentLegend->iconTextPadding(), mRect.y(),
                          rcText.width(), nTextHeight, Qt::TextDontClip, sName);
        const QRect rcIcon(mRect.topLeft(), sizeIcon);
        const QColor colKey(0x40, 0x40, 0x40);
        painter->save();
        painter->setClipRect(rcIcon, Qt::IntersectClip);
        if (bIsMark) {
            const QPixmap pm = Disc(colKey, TLimitLines::nMarkSize);
            painter->drawPixmap(rcIcon.center().x() - pm.width() / 2, rcIcon.center().y() - pm.height() / 2, pm);
        } else {
            painter->setPen(QPen(colKey, 1, Qt::DashLine));
            painter->drawLine(QLineF(rcIcon.left(), rcIcon.center().y() + 0.5, rcIcon.right() + 1,
                                     rcIcon.center().y() + 0.5));
        }
        painter->restore();
    }

private:
    QString sName;
    bool bIsMark;
};
} // namespace

std::pair<double, double> TLimitLines::Add(QCustomPlot& plot, const std::vector<TLimitRule>& aRules,
                                           const QStringList& slParams, const TPlotPeriods& periods,
                                           const std::vector<QVector<double>>& aValues)
{
    constexpr double dNaN = std::numeric_limits<double>::quiet_NaN();
    double dLow = dNaN;
    double dHigh = dNaN;
    const qsizetype nParams = std::min<qsizetype>(slParams.size(), plot.graphCount());
    const size_t nSlots = periods.anSecs.size();
    if (aRules.empty() || nParams <= 0 || nSlots == 0)
        return {dLow, dHigh};

    // Each parameter's values, one per period or fewer, and the periods above any of
    // its rules.
    struct TParam
    {
        const double* pValues = nullptr;
        size_t nValues = 0;
        char* pAbove = nullptr; // one per value
        bool bJudged = false;
    };
    std::vector<TParam> aParams(static_cast<size_t>(std::max<qsizetype>(nParams, 0)));
    // Kept from chart to chart: a year of periods is more memory than is worth asking
    // the system for at every chart.
    thread_local std::vector<char> abAbove;
    abAbove.assign(size_t(nParams) * nSlots, 0);
    for (qsizetype k = 0; k < nParams; ++k) {
        TParam& param = aParams[size_t(k)];
        param.pAbove = abAbove.data() + size_t(k) * nSlots;
        if (size_t(k) < aValues.size()) {
            param.nValues = std::min(nSlots, size_t(aValues[size_t(k)].size()));
            param.pValues = aValues[size_t(k)].constData();
        }
    }

    // The minutes of a day where some rule begins or ends to hold.
    std::vector<int> anCuts;
    for (const TLimitRule& rule : aRules)
        for (const int nMinute : {rule.nStartMin, rule.nEndMin})
            if (nMinute > 0 && nMinute < nMinutesPerDay)
                anCuts.push_back(nMinute);
    std::sort(anCuts.begin(), anCuts.end());
    anCuts.erase(std::unique(anCuts.begin(), anCuts.end()), anCuts.end());
    const size_t nCuts = anCuts.size();

    // The periods day by day. On a day whose periods run in order of time, a rule
    // holds or not for whole stretches between the minutes its band begins and ends,
    // so a rule looks at those stretches rather than at each period; any other day is
    // judged period by period. Where each stretch begins is found for all rules at
    // once: for each cut, the day's first period from that minute on.
    struct TDay
    {
        int nDow; // 0 for a date that is not valid
        bool bInOrder;
    };
    const std::vector<int>& anSecs = periods.anSecs;
    std::vector<TDay> aDays;
    aDays.reserve(periods.aDays.size());
    std::vector<size_t> anCutAt(periods.aDays.size() * nCuts); // nCuts a day
    for (size_t d = 0; d < periods.aDays.size(); ++d) {
        const TPlotPeriods::TDay& period = periods.aDays[d];
        const size_t nEnd = std::min(period.nEnd, nSlots);
        TDay day{period.dt.dayOfWeek(), period.dt.isValid()};
        size_t* pCutAt = anCutAt.data() + d * nCuts;
        size_t c = 0;
        int nPrevious = 0;
        for (size_t i = period.nBegin; i < nEnd; ++i) {
            const int nSecs = anSecs[i];
            day.bInOrder = day.bInOrder && nSecs >= nPrevious && nSecs < nSecsPerDay;
            nPrevious = nSecs;
            while (c < nCuts && anCuts[c] * 60 <= nSecs)
                pCutAt[c++] = i;
        }
        while (c < nCuts)
            pCutAt[c++] = nEnd;
        aDays.push_back(day);
    }

    struct TRun
    {
        const TLimitRule& rule;
        qsizetype k;
        QVector<double> adKeys;
        QVector<double> adValues;
    };
    std::vector<TRun> aRuns;
    for (const TLimitRule& rule : aRules) {
        const qsizetype k = ParamIndex(slParams, rule.sParam);
        if (k < 0 || k >= nParams)
            continue;
        TParam& param = aParams[size_t(k)];
        param.bJudged = true;
        TRun run{rule, k, {}, {}};

        // A run of periods under the rule is one level line from the start of its
        // first period to the end of its last; a gap breaks the line.
        bool bInRun = false;
        const auto holdFrom = [&](size_t i, bool bHolds) {
            if (bHolds == bInRun)
                return;
            run.adKeys.append(double(i));
            run.adValues.append(rule.dLimit);
            if (!bHolds) {
                run.adKeys.append(double(i) + 0.5);
                run.adValues.append(dNaN);
            }
            bInRun = bHolds;
        };
        // The periods nFrom to nTo, all under the rule, judged against its limit.
        const double* pValues = param.pValues;
        char* pAbove = param.pAbove;
        const size_t nValues = param.nValues;
        const auto judge = [&rule, pValues, pAbove, nValues](size_t nFrom, size_t nTo) {
            for (size_t i = nFrom; i < std::min(nTo, nValues); ++i)
                pAbove[i] |= rule.Exceeds(pValues[i]) ? 1 : 0;
        };
        // Where the rule may change, among the cuts; the start and end of a day are
        // not cuts, and a band from midnight to midnight has none.
        std::array<int, 2> anRuleCuts = {rule.nStartMin, rule.nEndMin};
        std::sort(anRuleCuts.begin(), anRuleCuts.end());
        const auto cutIndex = [&anCuts](int nMinute) {
            return size_t(std::lower_bound(anCuts.begin(), anCuts.end(), nMinute) - anCuts.begin());
        };
        const std::array<size_t, 2> aiRuleCuts = {cutIndex(anRuleCuts[0]), cutIndex(anRuleCuts[1])};

        for (size_t d = 0; d < aDays.size(); ++d) {
            const TDay& day = aDays[d];
            const TPlotPeriods::TDay& period = periods.aDays[d];
            const size_t nBegin = std::min(period.nBegin, nSlots);
            const size_t nEnd = std::min(period.nEnd, nSlots);
            const auto holds = [&](size_t i) { return rule.ContainsOnDay(day.nDow, anSecs[i]); };
            if (!day.bInOrder) {
                for (size_t i = nBegin; i < nEnd; ++i) {
                    const bool bHolds = holds(i);
                    holdFrom(i, bHolds);
                    if (bHolds)
                        judge(i, i + 1);
                }
                continue;
            }
            const auto at = [&](size_t r) {
                if (anRuleCuts[r] <= 0)
                    return nBegin;
                if (anRuleCuts[r] >= nMinutesPerDay)
                    return nEnd;
                return anCutAt[d * nCuts + aiRuleCuts[r]];
            };
            const std::array<size_t, 4> anStretches = {nBegin, at(0), at(1), nEnd};
            for (size_t n = 0; n + 1 < anStretches.size(); ++n) {
                const size_t b = anStretches[n];
                const size_t e = anStretches[n + 1];
                if (b >= e)
                    continue;
                const bool bHolds = holds(b);
                holdFrom(b, bHolds);
                if (bHolds)
                    judge(b, e);
            }
        }
        holdFrom(nSlots, false);
        aRuns.push_back(std::move(run));
    }

    for (const TRun& run : aRuns) {
        if (run.adKeys.isEmpty())
            continue;
        const TLimitRule& rule = run.rule;
        QCPGraph* line = plot.addGraph();
        line->setName(rule.Name());
        line->setPen(QPen(plot.graph(int(run.k))->pen().color(), 1, Qt::DashLine));
        line->setLineStyle(QCPGraph::lsLine);
        line->setData(run.adKeys, run.adValues, true);
        line->removeFromLegend();
        dLow = std::isnan(dLow) ? rule.dLimit : std::min(dLow, rule.dLimit);
        dHigh = std::isnan(dHigh) ? rule.dLimit : std::max(dHigh, rule.dLimit);
    }

    int nBands = 0;
    for (qsizetype k = 0; k < nParams; ++k) {
        const TParam& param = aParams[size_t(k)];
        if (!param.bJudged)
            continue;
        // Every index is written at the next free place, which moves on only past a
        // period above the limit: no branch to guess wrong at every other period.
        thread_local std::vector<quint32> anScratch;
        if (anScratch.size() < param.nValues + 1)
            anScratch.resize(param.nValues + 1);
        quint32* pMark = anScratch.data();
        const char* pAbove = param.pAbove;
        for (size_t i = 0; i < param.nValues; ++i) {
            *pMark = quint32(i);
            pMark += pAbove[i];
        }
        if (pMark == anScratch.data())
            continue;
        std::vector<quint32> anMarked(anScratch.data(), pMark);
        auto* marks = new TMarkGraph(plot.xAxis, plot.yAxis, plot.graph(int(k))->data(), std::move(anMarked),
                                     plot.graph(int(k))->pen().color(), nBands++);
        marks->setName(slParams[k]);
        marks->removeFromLegend();
    }
    return {dLow, dHigh};
}

int TLimitLines::MarkSize(int nPlotHeight)
{
    // A disc of 5 pixels in 7 on plots of the usual heights, down to one of 3 in 5 on
    // the lowest charts of a crowded page, where a year of larger marks would bury the
    // lines under them.
    return std::clamp(nPlotHeight / 16, nMarkSize - 2, nMarkSize);
}

void TLimitLines::AddKey(QCPLegend& legend)
{
    legend.addItem(new TLimitKeyItem(&legend, QStringLiteral("Limit"), false));
    legend.addItem(new TLimitKeyItem(&legend, QStringLiteral("Above limit"), true));
}

bool TLimitLines::DrawsBand(double dPixelsPerPeriod, int nMarkSize)
{
    return dPixelsPerPeriod * 2 < nMarkSize;
}
