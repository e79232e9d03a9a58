#pragma once

#include "views/qcpinclude.h"

// Ticks for a time-of-day axis whose keys are seconds: labels "HH:mm:ss" on round
// times (1, 2, 5, 10, 15, 30 seconds or minutes, 1, 2, 3, 6, 12 hours), as close
// together as the axis width allows without two labels touching.
class TTimeTicker final : public QCPAxisTickerDateTime
{
public:
    explicit TTimeTicker(QCPAxis* axisOwner);

    // The finest round step of at least dMinStep seconds; 0 when even a day is finer.
    static int NiceStep(double dMinStep);

protected:
    double getTickStep(const QCPRange& range) override;

private:
    QCPAxis* axis;
};
