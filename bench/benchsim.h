#pragma once

// The data the benchmarks have the simulated supervisor write.

#include "sim/simulator.h"

#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

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

// Writes the options' one monitor and copies its folder under nMonitors - 1 more IDs,
// with the client list naming them all: the simulator would take many minutes for ten
// monitors' years, and what the benchmarks measure costs the same for any levels.
inline void WriteCopiedMonitors(const TSimOptions& opt, int nMonitors)
{
    TSimulator sim(opt);
    WriteData(sim);
    const QString& sDataPath = opt.sDataPath;
    const QString sFirst = sim.MonitorID(0);
    QStringList slIDs{sFirst};
    for (int i = 1; i < nMonitors; ++i) {
        const QString sID = sFirst + QLatin1Char('_') + QString::number(i);
        QDirIterator it(sDataPath + sFirst, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString sFile = it.next();
            const QString sCopy = sDataPath + sID + sFile.mid(sDataPath.size() + sFirst.size());
            QDir().mkpath(QFileInfo(sCopy).path());
            QFile::copy(sFile, sCopy);
        }
        slIDs.append(sID);
    }
    QFile f(sDataPath + QStringLiteral("clientlist.csv"));
    if (f.open(QIODevice::WriteOnly))
        f.write(slIDs.join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
}

} // namespace bench
