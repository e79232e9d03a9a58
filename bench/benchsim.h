#pragma once

// The data the benchmarks have the simulated supervisor write.

#include "sim/simulator.h"

#include <QDate>
#include <QString>

#include <cstdio>

namespace bench {

// Periodic files of nMonitors monitors from dtFrom to dtTo at one period length, with
// no profile or calibration files; the caller changes what else it needs.
inline TSimOptions PeriodicOptions(const QString& sDataPath, int nMonitors, const QDate& dtFrom, const QDate& dtTo,
                                   int nPeriod)
{
    TSimOptions opt;
    opt.sDataPath = sDataPath;
    opt.nMonitors = nMonitors;
    opt.dtFrom = dtFrom;
    opt.dtTo = dtTo;
    opt.anPeriods = {nPeriod};
    opt.nProfileDays = 0;
    opt.bCalibrations = false;
    return opt;
}

// Writes the data; a failure is told on standard error, and the figures that follow
// are then of less data.
inline void WriteData(TSimulator& sim)
{
    sim.WriteAll();
    if (!sim.LastError().isEmpty())
        std::fprintf(stderr, "simulator: %s\n", qPrintable(sim.LastError()));
}

} // namespace bench
