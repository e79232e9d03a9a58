#include "views/leftticker.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>

TLeftTicker::TLeftTicker(QCPAxis* axisOwner) : axis(axisOwner)
{
}

void TLeftTicker::SetSpacing(int nPixels, int nMax)
{
    nMinPixels = nPixels;
    nMaxIntervals = nMax;
}

double TLeftTicker::NiceStep(double dMinStep)
{
    if (!(dMinStep > 1))
        return 1;
    // An axis range is far below the largest double, so the loop ends.
    for (double dDecade = 1;; dDecade *= 10)
        for (double d : {1.0, 2.0, 5.0})
            if (d * dDecade >= dMinStep * (1 - 1e-9))
                return d * dDecade;
}

double TLeftTicker::getTickStep(const QCPRange& range)
{
    const int nPixels = nMinPixels > 0 ? nMinPixels : QFontMetrics(axis->tickLabelFont()).height() + 4;
    double dMinStep = range.size() * nPixels / std::max(axis->axisRect()->height(), 1);
    if (nMaxIntervals > 0)
        dMinStep = std::max(dMinStep, range.size() / nMaxIntervals);
    return NiceStep(dMinStep);
}

QVector<double> TLeftTicker::createTickVector(double tickStep, const QCPRange& range)
{
    QVector<double> ticks;
    if (!(tickStep > 0) || !std::isfinite(range.lower) || !std::isfinite(range.upper))
        return ticks;
    // Counted from the minimum rather than added up, so that no rounding creeps in;
    // one tick beyond the maximum lets the minor ticks reach the top.
    const int nTicks = int(std::min(std::floor(range.size() / tickStep + 1e-9), 10000.0)) + 2;
    for (int i = 0; i < nTicks; ++i)
        ticks.append(range.lower + i * tickStep);
    return ticks;
}
