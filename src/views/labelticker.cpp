#include "views/labelticker.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// Smallest of 1, 2, 5, 10, 20, 50, ... that is at least d.
qint64 Nice125(double d)
{
    qint64 nDecade = 1;
    for (;;) {
        for (qint64 n : {1, 2, 5})
            if (double(n * nDecade) >= d)
                return n * nDecade;
        if (nDecade > (qint64(1) << 50))
            return nDecade;
        nDecade *= 10;
    }
}
} // namespace

TLabelTicker::TLabelTicker(QCPAxis* axisOwner, const QStringList& slLabelsOfChart)
    : axis(axisOwner), slLabels(slLabelsOfChart)
{
}

int TLabelTicker::NiceStep(double dMinStep, int nSlotsPerDay)
{
    if (!(dMinStep > 1))
        return 1;
    if (nSlotsPerDay <= 0)
        return int(std::min<qint64>(Nice125(dMinStep), std::numeric_limits<int>::max()));
    if (dMinStep <= nSlotsPerDay) {
        // Any divisor of the day keeps the labels on the same times every day; one
        // that is a round number of minutes or hours reads better, when it is not
        // much coarser.
        int nDivisor = nSlotsPerDay;
        for (int n = 1; n <= nSlotsPerDay; ++n) {
            if (nSlotsPerDay % n == 0 && n >= dMinStep) {
                nDivisor = n;
                break;
            }
        }
        for (int nMinutes : {1, 2, 5, 10, 15, 20, 30, 60, 120, 180, 240, 360, 480, 720, 1440}) {
            const qint64 nSlotsTimes1440 = qint64(nMinutes) * nSlotsPerDay;
            if (nSlotsTimes1440 % 1440 != 0)
                continue;
            const int nRound = int(nSlotsTimes1440 / 1440);
            if (nRound >= dMinStep && nRound <= 2 * nDivisor)
                return nRound;
        }
        return nDivisor;
    }
    const qint64 nDays = Nice125(dMinStep / nSlotsPerDay);
    return int(std::min<qint64>(nDays * nSlotsPerDay, std::numeric_limits<int>::max()));
}

int TLabelTicker::LabelWidth(int iSlot) const
{
    const QFontMetrics fm(axis->tickLabelFont());
    int nWidth = 0;
    for (const QString& sLine : slLabels.at(iSlot).split(QLatin1Char('\n')))
        nWidth = std::max(nWidth, fm.horizontalAdvance(sLine));
    // Room between neighbours, so that labels never touch.
    return nWidth + fm.horizontalAdvance(QStringLiteral("000"));
}

void TLabelTicker::generate(const QCPRange& range, const QLocale& locale, QChar formatChar, int precision,
                            QVector<double>& ticks, QVector<double>* subTicks, QVector<QString>* tickLabels)
{
    Q_UNUSED(locale)
    Q_UNUSED(formatChar)
    Q_UNUSED(precision)
    ticks.clear();
    if (subTicks)
        subTicks->clear();
    if (tickLabels)
        tickLabels->clear();

    const int nAxisWidth = axis->axisRect()->width();
    const int nCount = int(slLabels.size());
    const double dLow = std::max(std::ceil(range.lower), 0.0);
    const double dHigh = std::min(std::floor(range.upper), double(nCount - 1));
    if (nCount == 0 || dHigh < dLow || range.size() <= 0)
        return;

    // The first visible label stands for all: every label has the same layout.
    const double dPixelsPerSlot = std::max(nAxisWidth, 1) / range.size();
    const int nStep = NiceStep(LabelWidth(int(dLow)) / dPixelsPerSlot, nSlotsPerDay);
    for (double d = std::ceil(dLow / nStep) * nStep; d <= dHigh; d += nStep) {
        ticks.append(d);
        if (tickLabels)
            tickLabels->append(slLabels.at(qsizetype(d)));
    }
}
