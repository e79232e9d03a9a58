#include "views/limitlines.h"

#include "views/qcpinclude.h"

#include <QFontMetrics>
#include <QHash>
#include <QImage>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
qsizetype ParamIndex(const QStringList& slParams, const QString& sParam)
{
    for (qsizetype i = 0; i < slParams.size(); ++i)
        if (QString::compare(slParams[i], sParam, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// A filled point in an image of nSize pixels square, drawn once and copied by every
// mark: a year of marks painted as ellipses would cost many times the chart. Painted
// once per colour and size and kept as an image, which unlike a pixmap may outlive the
// application object.
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

// The periods above a rule's limit. For x = 10 v from 0 up, the limits' rounding of
// the tenths gives more than the limit's n tenths exactly when x >= n + 0.5, so under
// a limit from 0 up a value needs no rounding (and NaN is above nothing); any other
// limit asks the rule for each value.
class TAbove
{
public:
    explicit TAbove(const TLimitRule& rule) : rule(rule), dCut(std::lround(rule.dLimit * 10.0) + 0.5) {}

    // Marks each period from nFrom to nTo whose value is above the limit.
    void Judge(const double* pValues, char* pAbove, size_t nFrom, size_t nTo) const
    {
        size_t i = nFrom;
        if (dCut < 0) {
            for (; i < nTo; ++i)
                pAbove[i] |= rule.Exceeds(pValues[i]) ? 1 : 0;
            return;
        }
#if defined(__SSE2__)
        // Two periods at a time.
        const __m128d vTen = _mm_set1_pd(10.0);
        const __m128d vCut = _mm_set1_pd(dCut);
        for (; i + 2 <= nTo; i += 2) {
            const __m128d vValues = _mm_loadu_pd(pValues + i);
            const int nAbove = _mm_movemask_pd(_mm_cmpge_pd(_mm_mul_pd(vValues, vTen), vCut));
            pAbove[i] |= char(nAbove & 1);
            pAbove[i + 1] |= char(nAbove >> 1);
        }
#endif
        for (; i < nTo; ++i)
            pAbove[i] |= pValues[i] * 10.0 >= dCut ? 1 : 0;
    }

private:
    const TLimitRule& rule;
    double dCut;
};

constexpr int nSecsPerDay = 86400;
constexpr int nMinutesPerDay = 1440;

// The marks of one parameter. A year of periods puts some 20,000 marks on a chart,
// dozens to a pixel column, and drawing the mark image for each one costs more than
// the level lines themselves. On a plain raster device the marks are instead laid
// into one image of the plot, where each pixel keeps the strongest cover any mark
// gives it, and that image is drawn once. Marks of one colour look the same either
// way; vector output, a scaled painter and high-density screens take the usual way.
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
        const QPixmap pmMark = scatterStyle().pixmap();
        if (!FastPathFits(*painter) || pmMark.isNull() || pmMark.width() > 8 || pmMark.height() > 8) {
            DrawEachMark(painter);
            return;
        }
        const QRect rcPlot = clipRect();
        if (rcPlot.isEmpty() || anMarked.empty())
            return;
        const QImage imMark = pmMark.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const int nMarkW = imMark.width();
        const int nMarkH = imMark.height();
        // The mark's rows padded with transparent pixels to a multiple of four.
        const int nRowW = (nMarkW + 3) / 4 * 4;
        std::vector<QRgb> aMark(size_t(nRowW * nMarkH), 0);
        for (int y = 0; y < nMarkH; ++y)
            std::copy_n(reinterpret_cast<const QRgb*>(imMark.constScanLine(y)), nMarkW,
                        aMark.data() + y * nRowW);

        const int nW = rcPlot.width();
        const int nH = rcPlot.height();

        // A pixel is reached by the marks whose corners lie from none to nMarkH - 1 rows
        // above it in the pixel columns to its left, and takes the strongest cover of
        // the mark rows that reach it. In one corner column those rows are one of the
        // 2^nMarkH sets of mark rows, and each set's cover is worked out once per
        // paint. Bit t of a set stands for the mark's row nMarkH - 1 - t.
        const int nSets = 1 << nMarkH;
        std::vector<QRgb> aSetCover(size_t(nSets * nRowW), 0);
        for (int m = 1; m < nSets; ++m) {
            QRgb* pCover = aSetCover.data() + m * nRowW;
            std::copy_n(aSetCover.data() + (m & (m - 1)) * nRowW, nRowW, pCover);
            CoverRow(pCover, aMark.data() + (nMarkH - 1 - std::countr_zero(unsigned(m))) * nRowW, nRowW);
        }

        // First the corners of the marks that reach into the plot, as bits of one
        // column of bits per pixel column: marks at one corner look the same, and no
        // branch waits on whether a corner came before. Corners run from a mark's size
        // left of and above the plot. The bits are kept from draw to draw, so that a
        // year of marks does not ask the system for fresh memory at every paint.
        const int nColumns = nW + nMarkW;
        // One word more than the rows need, so that any row's set can be read from
        // two neighbouring words.
        const int nWords = (nH + nMarkH + 63) / 64 + 1;
        thread_local std::vector<quint64> aBits;
        thread_local std::vector<QRgb> aLayer;
        if (aBits.size() < size_t(nColumns * nWords))
            aBits.assign(size_t(nColumns * nWords), 0);
        // Both axes are linear: a pixel is an offset and a scale away from a coordinate.
        const QPointF ptOrigin = coordsToPixels(0, 0);
        const QPointF ptUnit = coordsToPixels(1, 1);
        const double dScaleX = ptUnit.x() - ptOrigin.x();
        const double dScaleY = ptUnit.y() - ptOrigin.y();
        // Placed as the scatter style places its image, at whole pixels, counted here
        // from the first column and row a corner can have.
        const double dLeft = ptOrigin.x() - nMarkW * 0.5 - rcPlot.left() + nMarkW;
        const double dTop = ptOrigin.y() - nMarkH * 0.5 - rcPlot.top() + nMarkH;
        const unsigned nColumnsU = unsigned(nColumns);
        const unsigned nRowsU = unsigned(nH + nMarkH);
        const double dColumns = nColumns;
        const double dRows = nH + nMarkH;
        int nFirstColumn = nColumns;
        int nLastColumn = -1;
        const QCPGraphData* pSeries = series->isEmpty() ? nullptr : &*series->constBegin();
        const quint32 nSeries = quint32(series->size());
        quint64* pBits = aBits.data();
        for (const quint32 i : anMarked) {
            if (i >= nSeries)
                continue;
            const double dx = dLeft + pSeries[i].key * dScaleX;
            const double dy = dTop + pSeries[i].value * dScaleY;
            // Far outside, or a gap (NaN), before any rounding to whole pixels.
            if (!(dx > -1.0 && dx < dColumns && dy > -1.0 && dy < dRows))
                continue;
            const int x = qRound(dx);
            const int y = qRound(dy);
            if (unsigned(x) >= nColumnsU || unsigned(y) >= nRowsU)
                continue;
            pBits[x * nWords + y / 64] |= quint64(1) << (y % 64);
            nFirstColumn = std::min(nFirstColumn, x);
            nLastColumn = std::max(nLastColumn, x);
        }
        if (nLastColumn < 0)
            return;
        int nFirstRow = nH + nMarkH;
        int nLastRow = -1;
        for (int x = nFirstColumn; x <= nLastColumn; ++x) {
            const auto [nFirstBit, nLastBit] = BitExtent(pBits + x * nWords, nWords);
            if (nLastBit >= 0) {
                nFirstRow = std::min(nFirstRow, nFirstBit);
                nLastRow = std::max(nLastRow, nLastBit);
            }
        }
        // The part of the plot the marks cover, in plot pixels.
        const QRect rcUsed =
            QRect(QPoint(nFirstColumn - nMarkW, nFirstRow - nMarkH), QPoint(nLastColumn - 1, nLastRow - 1)) &
            QRect(0, 0, nW, nH);
        if (rcUsed.isEmpty()) {
            std::fill(pBits + nFirstColumn * nWords, pBits + (nLastColumn + 1) * nWords, 0);
            return;
        }

        // Then the marks laid into an image of that part, down each corner column a
        // pixel row at a time.
        const int nUsedW = rcUsed.width();
        const int nUsedH = rcUsed.height();
        const size_t nUsed = size_t(nUsedW) * size_t(nUsedH);
        if (aLayer.size() < nUsed)
            aLayer.resize(nUsed);
        std::fill_n(aLayer.begin(), nUsed, QRgb(0));
        QRgb* pLayer = aLayer.data();
        const QRgb* pSetCover = aSetCover.data();
        const quint64 nSetMask = quint64(nSets - 1);
        for (int x = nFirstColumn; x <= nLastColumn; ++x) {
            quint64* pColumn = pBits + x * nWords;
            const auto [nFirstBit, nLastBit] = BitExtent(pColumn, nWords);
            if (nLastBit < 0)
                continue;
            const int x0 = x - nMarkW - rcUsed.left();
            const bool bWhole = x0 >= 0 && x0 + nRowW <= nUsedW;
            // Plot row p takes the set of corner bits p + 1 to p + nMarkH.
            const int yFrom = std::max(0, nFirstBit - nMarkH - rcUsed.top());
            const int yTo = std::min(nUsedH - 1, nLastBit - 1 - rcUsed.top());
            // The sets come from the corner bits p + 1 on, one bit further each row
            // down, so that one word of them serves 64 - nMarkH + 1 rows. The empty set
            // covers nothing.
            for (int y = yFrom; y <= yTo;) {
                const int nLow = y + rcUsed.top() + 1;
                const int w = nLow / 64;
                const int nShift = nLow % 64;
                // The second word shifted in two steps, so that a shift of 0 brings in nothing.
                const quint64 nFrom = pColumn[w] >> nShift | (pColumn[w + 1] << 1) << (63 - nShift);
                const int nRows = std::min(yTo - y + 1, 64 - nMarkH + 1);
                QRgb* pDst = pLayer + qsizetype(y) * nUsedW + x0;
                if (bWhole && nRowW == 8) {
                    for (int r = 0; r < nRows; ++r, pDst += nUsedW)
                        CoverRow(pDst, pSetCover + (nFrom >> r & nSetMask) * 8, 8);
                } else {
                    for (int r = 0; r < nRows; ++r, pDst += nUsedW) {
                        const QRgb* pSrc = pSetCover + (nFrom >> r & nSetMask) * quint64(nRowW);
                        if (bWhole)
                            CoverRow(pDst, pSrc, nRowW);
                        else
                            for (int dx = std::max(0, -x0); dx < nMarkW && x0 + dx < nUsedW; ++dx)
                                CoverRow(pDst + dx, pSrc + dx, 1);
                    }
                }
                y += nRows;
            }
            std::fill_n(pColumn, nWords, 0);
        }
        const QImage imLayer(reinterpret_cast<const uchar*>(pLayer), nUsedW, nUsedH,
                             qsizetype(nUsedW) * qsizetype(sizeof(QRgb)),
                             QImage::Format_ARGB32_Premultiplied);
        painter->drawImage(rcPlot.topLeft() + rcUsed.topLeft(), imLayer);
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

    // Vector output and scaled painters draw each mark as the graph always would,
    // from the marks' data made for that paint.
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
        QCPGraph::draw(painter);
        mDataContainer = none;
    }

    // The first and last bit set among nWords words, -1 for both when none is.
    static std::pair<int, int> BitExtent(const quint64* pWords, int nWords)
    {
        int nFirst = -1;
        for (int w = 0; w < nWords; ++w)
            if (pWords[w]) {
                nFirst = w * 64 + std::countr_zero(pWords[w]);
                break;
            }
        if (nFirst < 0)
            return {-1, -1};
        for (int w = nWords - 1;; --w)
            if (pWords[w])
                return {nFirst, w * 64 + 63 - std::countl_zero(pWords[w])};
    }

    // Each pixel of the layer keeps the stronger cover of itself and the mark. All the
    // pixels are one colour, premultiplied, so every channel grows with the cover and
    // the stronger pixel is the larger in each byte. nCount is a multiple of four
    // where the processor compares sixteen bytes at once.
    Q_ALWAYS_INLINE static void CoverRow(QRgb* pDst, const QRgb* pSrc, int nCount)
    {
        int i = 0;
#if defined(__SSE2__)
        for (; i + 4 <= nCount; i += 4) {
            auto* pTo = reinterpret_cast<__m128i*>(pDst + i);
            const __m128i vSrc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pSrc + i));
            _mm_storeu_si128(pTo, _mm_max_epu8(_mm_loadu_si128(pTo), vSrc));
        }
#endif
        for (; i < nCount; ++i) {
            QRgb rgb = 0;
            for (int nShift = 0; nShift < 32; nShift += 8)
                rgb |= std::max(pDst[i] >> nShift & 0xffU, pSrc[i] >> nShift & 0xffU) << nShift;
            pDst[i] = rgb;
        }
    }

    // A raster device at one device pixel a pixel, with no scaling or turning, and
    // the usual axes: keys across, linear both.
    bool FastPathFits(const QCPPainter& painter) const
    {
        const QPaintDevice* device = painter.device();
        return device && mKeyAxis && mValueAxis && mKeyAxis->orientation() == Qt::Horizontal &&
               mKeyAxis->scaleType() == QCPAxis::stLinear && mValueAxis->scaleType() == QCPAxis::stLinear &&
               !painter.modes().testFlag(QCPPainter::pmVectorized) && painter.paintEngine() &&
               painter.paintEngine()->type() == QPaintEngine::Raster && device->devicePixelRatioF() == 1.0 &&
               painter.transform().type() <= QTransform::TxTranslate;
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
        const TAbove above(rule);

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
        const auto judge = [&above, pValues, pAbove, nValues](size_t nFrom, size_t nTo) {
            above.Judge(pValues, pAbove, nFrom, std::min(nTo, nValues));
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
