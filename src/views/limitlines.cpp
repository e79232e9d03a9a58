#include "views/limitlines.h"

#include "views/qcpinclude.h"

#include <algorithm>
#include <array>
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

// A filled point, drawn once as an image that every mark copies: a year of marks
// painted as ellipses would cost many times the chart.
QPixmap Disc(const QColor& colour)
{
    QPixmap pm(7, 7);
    pm.fill(Qt::transparent);
    QPainter painter(&pm);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(colour);
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(1, 1, 5, 5));
    return pm;
}

// Whether a value is above a limit, as the limits judge it: its tenths, rounded half
// away from zero, above the limit's. For x = 10 v from 0 up, that rounding gives more
// than n exactly when x >= n + 0.5, so the usual value needs no rounding; NaN is
// above nothing.
class TAbove
{
public:
    explicit TAbove(double dLimit) : nLimit(int(std::lround(dLimit * 10.0))), dCut(nLimit + 0.5) {}

    bool operator()(double dValue) const
    {
        const double x = dValue * 10.0;
        // Under a limit from 0 up, a value below 0 rounds to 0 or less and is above
        // nothing, and x >= dCut holds only from 0 up.
        if (nLimit >= 0)
            return x >= dCut;
        return x >= 0 ? x >= dCut : x < 0 && std::lround(x) > nLimit;
    }

    // Marks each period from nFrom to nTo whose value is above the limit.
    void Judge(const QCPGraphData* pValues, char* pAbove, size_t nFrom, size_t nTo) const
    {
        if (nLimit < 0) {
            for (size_t i = nFrom; i < nTo; ++i)
                pAbove[i] |= (*this)(pValues[i].value) ? 1 : 0;
            return;
        }
        const double dCutValue = dCut;
        for (size_t i = nFrom; i < nTo; ++i)
            pAbove[i] |= pValues[i].value * 10.0 >= dCutValue ? 1 : 0;
    }

private:
    int nLimit; // tenths
    double dCut;
};

// Whether a rule holds a period, per minute of the week. A rule's band begins and
// ends on whole minutes, so each weekday falls into at most three stretches that the
// rule either holds or not.
class TWeekMinutes
{
public:
    static constexpr int nSecsPerDay = 86400;
    static constexpr int nMinutesPerDay = 1440;

    explicit TWeekMinutes(const TLimitRule& rule) : rule(rule)
    {
        std::array<int, 4> anCuts = {0, std::clamp(rule.nStartMin, 0, nMinutesPerDay),
                                     std::clamp(rule.nEndMin, 0, nMinutesPerDay), nMinutesPerDay};
        std::sort(anCuts.begin(), anCuts.end());
        for (int nDow = 1; nDow <= 7; ++nDow) {
            bool* pDay = abHolds.data() + (nDow - 1) * nMinutesPerDay;
            for (size_t c = 0; c + 1 < anCuts.size(); ++c)
                if (anCuts[c] < anCuts[c + 1])
                    std::fill(pDay + anCuts[c], pDay + anCuts[c + 1], rule.ContainsOnDay(nDow, anCuts[c] * 60));
        }
    }

    // The minute of the week of a period, or -1 when its day or time is out of the
    // ordinary and the rule is to be asked directly.
    static int Minute(int nDow, int nSecs)
    {
        return nDow < 1 || nDow > 7 || nSecs < 0 || nSecs >= nSecsPerDay ? -1
                                                                          : (nDow - 1) * nMinutesPerDay + nSecs / 60;
    }

    bool Holds(int nMinute, const TPlotSlot& slot) const
    {
        return nMinute >= 0 ? abHolds[size_t(nMinute)] : rule.Contains(slot.dt, slot.nSecs);
    }

private:
    const TLimitRule& rule;
    std::array<bool, size_t(7 * nMinutesPerDay)> abHolds{};
};

// The marks of one parameter. A year of periods puts some 20,000 marks on a chart,
// dozens to a pixel column, and drawing the mark image for each one costs more than
// the level lines themselves. On a plain raster device the marks are instead laid
// into one image of the plot, where each pixel keeps the strongest cover any mark
// gives it, and that image is drawn once. Marks of one colour look the same either
// way; vector output, a scaled painter and high-density screens take the usual way.
class TMarkGraph final : public QCPGraph
{
public:
    using QCPGraph::QCPGraph;

protected:
    void draw(QCPPainter* painter) override
    {
        const QPixmap pmMark = scatterStyle().pixmap();
        if (!FastPathFits(*painter) || pmMark.isNull() || pmMark.width() > 32 || pmMark.height() > 32) {
            QCPGraph::draw(painter);
            return;
        }
        const QRect rcPlot = clipRect();
        if (rcPlot.isEmpty() || mDataContainer->isEmpty())
            return;
        const QImage imMark = pmMark.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const int nMarkW = imMark.width();
        const int nMarkH = imMark.height();
        // The mark's rows padded with transparent pixels to a multiple of four.
        const int nRowW = (nMarkW + 3) / 4 * 4;
        std::vector<QRgb> aMark(size_t(nRowW * nMarkH), 0);
        for (int y = 0; y < nMarkH; ++y)
            std::copy_n(reinterpret_cast<const QRgb*>(imMark.constScanLine(y)), nMarkW, aMark.data() + y * nRowW);

        const int nW = rcPlot.width();
        const int nH = rcPlot.height();

        // First the corners of the marks that reach into the plot, each once: marks at
        // one corner look the same. The marks come in order of their keys, so marks
        // that share a corner are neighbours in one pixel column, and only the column at
        // hand is remembered. Corners run from a mark's size above the plot. The
        // buffers are kept from draw to draw, so that a year of marks does not ask the
        // system for fresh memory at every paint.
        const int nColumnH = nH + nMarkH;
        thread_local std::vector<char> abInColumn;
        thread_local std::vector<QPoint> aCorners;
        thread_local std::vector<QRgb> aLayer;
        if (abInColumn.size() < size_t(nColumnH))
            abInColumn.assign(size_t(nColumnH), 0);
        aCorners.clear();
        size_t nColumnStart = 0;
        const auto forgetColumn = [&nColumnStart, nMarkH] {
            for (size_t i = nColumnStart; i < aCorners.size(); ++i)
                abInColumn[size_t(aCorners[i].y() + nMarkH)] = 0;
            nColumnStart = aCorners.size();
        };
        // Both axes are linear: a pixel is an offset and a scale away from a coordinate.
        const QPointF ptOrigin = coordsToPixels(0, 0);
        const QPointF ptUnit = coordsToPixels(1, 1);
        const double dScaleX = ptUnit.x() - ptOrigin.x();
        const double dScaleY = ptUnit.y() - ptOrigin.y();
        // Placed as the scatter style places its image, at whole pixels.
        const double dLeft = ptOrigin.x() - nMarkW * 0.5 - rcPlot.left();
        const double dTop = ptOrigin.y() - nMarkH * 0.5 - rcPlot.top();
        int nUsedLeft = nW;
        int nUsedTop = nH;
        int nUsedRight = 0; // just past the last column
        int nUsedBottom = 0;
        int xColumn = std::numeric_limits<int>::min();
        for (auto it = mDataContainer->constBegin(); it != mDataContainer->constEnd(); ++it) {
            if (std::isnan(it->value))
                continue;
            const int x0 = qRound(dLeft + it->key * dScaleX);
            const int y0 = qRound(dTop + it->value * dScaleY);
            if (x0 >= nW || y0 >= nH || x0 + nMarkW <= 0 || y0 + nMarkH <= 0)
                continue;
            if (x0 != xColumn) {
                forgetColumn();
                xColumn = x0;
            }
            char& cDone = abInColumn[size_t(y0 + nMarkH)];
            if (cDone)
                continue;
            cDone = 1;
            aCorners.emplace_back(x0, y0);
            nUsedLeft = std::min(nUsedLeft, x0);
            nUsedTop = std::min(nUsedTop, y0);
            nUsedRight = std::max(nUsedRight, x0 + nMarkW);
            nUsedBottom = std::max(nUsedBottom, y0 + nMarkH);
        }
        forgetColumn();
        const QRect rcUsed = QRect(QPoint(nUsedLeft, nUsedTop), QPoint(nUsedRight - 1, nUsedBottom - 1)) &
                             QRect(0, 0, nW, nH);
        if (aCorners.empty() || rcUsed.isEmpty())
            return;

        // Then the marks laid into an image of the part of the plot they cover.
        const int nUsedW = rcUsed.width();
        const int nUsedH = rcUsed.height();
        const size_t nUsed = size_t(nUsedW) * size_t(nUsedH);
        if (aLayer.size() < nUsed)
            aLayer.resize(nUsed);
        std::fill_n(aLayer.begin(), nUsed, QRgb(0));
        QRgb* pLayer = aLayer.data();
        for (const QPoint& pt : aCorners) {
            const int x0 = pt.x() - rcUsed.left();
            const int y0 = pt.y() - rcUsed.top();
            const bool bWhole = x0 >= 0 && x0 + nRowW <= nUsedW;
            for (int dy = std::max(0, -y0); dy < nMarkH && y0 + dy < nUsedH; ++dy) {
                const QRgb* pSrc = aMark.data() + dy * nRowW;
                QRgb* pDst = pLayer + qsizetype(y0 + dy) * nUsedW + x0;
                if (bWhole)
                    CoverRow(pDst, pSrc, nRowW);
                else
                    for (int dx = std::max(0, -x0); dx < nMarkW && x0 + dx < nUsedW; ++dx)
                        CoverRow(pDst + dx, pSrc + dx, 1);
            }
        }
        const QImage imLayer(reinterpret_cast<const uchar*>(pLayer), nUsedW, nUsedH,
                             qsizetype(nUsedW) * qsizetype(sizeof(QRgb)), QImage::Format_ARGB32_Premultiplied);
        painter->drawImage(rcPlot.topLeft() + rcUsed.topLeft(), imLayer);
    }

private:
    // Each pixel of the layer keeps the stronger cover of itself and the mark. All the
    // pixels are one colour, premultiplied, so every channel grows with the cover and
    // the stronger pixel is the larger in each byte. nCount is a multiple of four
    // where the processor compares sixteen bytes at once.
    static void CoverRow(QRgb* pDst, const QRgb* pSrc, int nCount)
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
               !painter.modes().testFlag(QCPPainter::pmVectorized) &&
               painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster &&
               device->devicePixelRatioF() == 1.0 && painter.transform().type() <= QTransform::TxTranslate;
    }
};
} // namespace

std::pair<double, double> TLimitLines::Add(QCustomPlot& plot, const std::vector<TLimitRule>& aRules,
                                           const QStringList& slParams, const std::vector<TPlotSlot>& aSlots)
{
    constexpr double dNaN = std::numeric_limits<double>::quiet_NaN();
    double dLow = dNaN;
    double dHigh = dNaN;
    const qsizetype nParams = std::min<qsizetype>(slParams.size(), plot.graphCount());
    const size_t nSlots = aSlots.size();
    if (aRules.empty() || nParams <= 0 || nSlots == 0)
        return {dLow, dHigh};

    // Each parameter's values as its series holds them, one per period or fewer, and
    // the periods above any of its rules.
    struct TParam
    {
        const QCPGraphData* pValues = nullptr;
        size_t nValues = 0;
        std::vector<char> abAbove; // empty while no rule judges the parameter
    };
    std::vector<TParam> aParams(static_cast<size_t>(std::max<qsizetype>(nParams, 0)));
    for (qsizetype k = 0; k < nParams; ++k) {
        const auto data = plot.graph(int(k))->data();
        aParams[size_t(k)].nValues = std::min(nSlots, size_t(data->size()));
        if (!data->isEmpty())
            aParams[size_t(k)].pValues = &*data->constBegin();
    }

    // The periods day by day, with each period's minute of the week. On a day whose
    // periods run in order of time, a rule holds or not for whole stretches between
    // the minutes its band begins and ends, so a rule looks at those stretches rather
    // than at each period; any other day is judged period by period.
    struct TDay
    {
        size_t nBegin;
        size_t nEnd;
        bool bInOrder;
    };
    std::vector<TDay> aDays;
    // Kept from chart to chart: a year of periods is more memory than the system
    // hands out without a cost at every first touch.
    thread_local std::vector<int> anMinute;
    anMinute.resize(nSlots);
    for (size_t i = 0, nDow = 0; i < nSlots; ++i) {
        const bool bNewDay = i == 0 || aSlots[i].dt != aSlots[i - 1].dt;
        if (bNewDay) {
            nDow = size_t(aSlots[i].dt.dayOfWeek());
            aDays.push_back({i, i, true});
        }
        anMinute[i] = TWeekMinutes::Minute(int(nDow), aSlots[i].nSecs);
        TDay& day = aDays.back();
        day.nEnd = i + 1;
        day.bInOrder = day.bInOrder && anMinute[i] >= 0 && (bNewDay || anMinute[i] >= anMinute[i - 1]);
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
        param.abAbove.resize(param.nValues, 0);
        TRun run{rule, k, {}, {}};
        const TWeekMinutes week(rule);
        const TAbove above(rule.dLimit);

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
        const QCPGraphData* pValues = param.pValues;
        char* pAbove = param.abAbove.data();
        const size_t nValues = param.nValues;
        const auto judge = [&above, pValues, pAbove, nValues](size_t nFrom, size_t nTo) {
            above.Judge(pValues, pAbove, nFrom, std::min(nTo, nValues));
        };
        // The minutes of a day where the rule may change.
        std::array<int, 2> anCuts = {std::clamp(rule.nStartMin, 0, TWeekMinutes::nMinutesPerDay),
                                     std::clamp(rule.nEndMin, 0, TWeekMinutes::nMinutesPerDay)};
        std::sort(anCuts.begin(), anCuts.end());

        for (const TDay& day : aDays) {
            if (!day.bInOrder) {
                for (size_t i = day.nBegin; i < day.nEnd; ++i) {
                    const bool bHolds = week.Holds(anMinute[i], aSlots[i]);
                    holdFrom(i, bHolds);
                    if (bHolds)
                        judge(i, i + 1);
                }
                continue;
            }
            for (size_t b = day.nBegin; b < day.nEnd;) {
                const int nMinuteOfDay = anMinute[b] % TWeekMinutes::nMinutesPerDay;
                const int nDayStart = anMinute[b] - nMinuteOfDay;
                int nNextCut = TWeekMinutes::nMinutesPerDay;
                for (const int nCut : anCuts)
                    if (nCut > nMinuteOfDay) {
                        nNextCut = nCut;
                        break;
                    }
                const size_t e = size_t(std::lower_bound(anMinute.begin() + qsizetype(b),
                                                         anMinute.begin() + qsizetype(day.nEnd),
                                                         nDayStart + nNextCut) -
                                        anMinute.begin());
                const bool bHolds = week.Holds(anMinute[b], aSlots[b]);
                holdFrom(b, bHolds);
                if (bHolds)
                    judge(b, e);
                b = e;
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

    for (qsizetype k = 0; k < nParams; ++k) {
        const TParam& param = aParams[size_t(k)];
        const size_t nMarks = size_t(std::count(param.abAbove.begin(), param.abAbove.end(), 1));
        if (nMarks == 0)
            continue;
        // Every period is written at the next free place, which moves on only past a
        // period above the limit: no branch to guess wrong at every other period.
        // Filled with copies of one value: the library's constructor is not inlined.
        QVector<QCPGraphData> aMarks(qsizetype(nMarks) + 1, QCPGraphData());
        QCPGraphData* pMark = aMarks.data();
        const char* pAbove = param.abAbove.data();
        for (size_t i = 0; i < param.nValues; ++i) {
            pMark->key = double(i);
            pMark->value = param.pValues[i].value;
            pMark += pAbove[i];
        }
        aMarks.resize(qsizetype(nMarks));
        auto* marks = new TMarkGraph(plot.xAxis, plot.yAxis);
        marks->setName(slParams[k]);
        marks->setLineStyle(QCPGraph::lsNone);
        marks->setScatterStyle(QCPScatterStyle(Disc(plot.graph(int(k))->pen().color())));
        marks->data()->set(aMarks, true);
        marks->removeFromLegend();
    }
    return {dLow, dHigh};
}
