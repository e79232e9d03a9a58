#pragma once

#include "views/qcpinclude.h"

// Ticks for the left axis of a chart, levels or counts alike. The first tick is the
// axis minimum, so that the lowest level or a count of 0 always carries a label, also
// on the lowest charts of a crowded page; the others follow at a step of 1, 2, 5, 10,
// 20, 50, ... units, the finest that keeps neighbouring ticks the given number of
// pixels apart on the axis as it was last laid out. Where that leaves a single label,
// the step is the finest whole number of units (1 to 9 times a power of ten) that
// keeps the labels from touching, so that every chart shows a scale.
class TLeftTicker final : public QCPAxisTicker
{
public:
    explicit TLeftTicker(QCPAxis* axisOwner);

    // Ticks at least nPixels apart (0: a label's height and a little room), and no
    // more than nMaxIntervals of them (0: no limit).
    void SetSpacing(int nPixels, int nMaxIntervals);

    // The step of 1, 2, 5, 10, ... units of at least dMinStep; never below 1.
    static double NiceStep(double dMinStep);
    // The step of 1, 2, 3, ... 9, 10, 20, 30, ... units of at least dMinStep; never below
    // 1. Finer than NiceStep, for a plot that has room for two or three labels only.
    static double FineStep(double dMinStep);
    // The ticks a step gives from the minimum to the maximum of range, both included.
    static int LabelCount(double dStep, const QCPRange& range);

protected:
    double getTickStep(const QCPRange& range) override;
    QVector<double> createTickVector(double tickStep, const QCPRange& range) override;

private:
    QCPAxis* axis;
    int nMinPixels = 30;
    int nMaxIntervals = 5;
};
