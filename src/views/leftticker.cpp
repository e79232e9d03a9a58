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

int TLeftTicker::LabelCount(double dStep, const QCPRange& range)
{
    if (!(dStep > 0) || !(range.size() >= 0))
        return 0;
    return int(std::min(std::floor(range.size() / dStep + 1e-9), 10000.0)) + 1;
}

double TLeftTicker::getTickStep(const QCPRange& range)
{
    const int nHeight = std::max(axis->axisRect()->height(), 1);
    const int nLabel = QFontMetrics(axis->tickLabelFont()).height();
    const int nPixels = nMinPixels > 0 ? nMinPixels : nLabel + 4;
    double dMinStep = range.size() * nPixels / nHeight;
    if (nMaxIntervals > 0)
        dMinStep = std::max(dMinStep, range.size() / nMaxIntervals);
    double dStep = NiceStep(dMinStep);
    // On the low charts of a crowded page that room leaves the minimum alone, which
    // says nothing of the scale: there the labels stand as close as they can without
    // touching.
    if (LabelCount(dStep, range) < 2)
        dStep = std::min(dStep, FineStep(range.size() * (nLabel + 1) / nHeight));
    // Where only two labels fit, a step that stops short of the top ("30" and "80" on an
    // axis to 90) reads as a scale with its end missing: the two name the bottom and
    // the top instead.
    if (LabelCount(dStep, range) == 2 && std::fmod(range.size(), dStep) > dStep * 1e-9)
        return range.size();
    return dStep;
}

double TLeftTicker::FineStep(double dMinStep)
{
    if (!(dMinStep > 1))
        return 1;
    for (double dDecade = 1;; dDecade *= 10)
        for (int n = 1; n <= 9; ++n)
            if (n * dDecade >= dMinStep * (1 - 1e-9))
                return n * dDecade;
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
