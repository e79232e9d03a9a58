#pragma once

#include "views/qcpinclude.h"

// Ticks for the left axis of a chart, levels or counts alike. The first tick is the
// axis minimum, so that the lowest level or a count of 0 always carries a label, also
// on the lowest charts of a crowded page; the others follow at a step of 1, 2, 5, 10,
// 20, 50, ... units, the finest that keeps neighbouring ticks the given number of
// pixels apart on the axis as it was last laid out.
class TLeftTicker final : public QCPAxisTicker
{
public:
    explicit TLeftTicker(QCPAxis* axisOwner);

    // Ticks at least nPixels apart (0: a label's height and a little room), and no
    // more than nMaxIntervals of them (0: no limit).
    void SetSpacing(int nPixels, int nMaxIntervals);

    // The step of 1, 2, 5, 10, ... units of at least dMinStep; never below 1.
    static double NiceStep(double dMinStep);

protected:
    double getTickStep(const QCPRange& range) override;
    QVector<double> createTickVector(double tickStep, const QCPRange& range) override;

private:
    QCPAxis* axis;
    int nMinPixels = 30;
    int nMaxIntervals = 5;
};
