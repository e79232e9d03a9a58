// The periodic table page of a year of 10-minute files for ten monitors, built and
// saved, against the floor of writing the same bytes: what reading the day files and
// building the rows cost on top of the file writes.
//
// bench_htmlpage [--keep DIR] [--reps N]: with --keep the pages stay in DIR, so the
// pages of two builds can be compared byte for byte.
#include "datafiles/perfile.h"
#include "monitors/monitor.h"
#include "output/htmlpage.h"
#include "platform/platform.h"
#include "settings/cfg.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
const QDate dtFrom(2023, 1, 1);
const QDate dtTo(2023, 12, 31);
constexpr int nMonitors = 10;
constexpr int nPeriod = 10;

QString MonID(int i)
{
    return QStringLiteral("M%1").arg(i + 1, 2, 10, QLatin1Char('0'));
}

void WriteData(const QString& sData)
{
    QRandomGenerator rng(42);
    for (int iMon = 0; iMon < nMonitors; ++iMon) {
        for (QDate d = dtFrom; d <= dtTo; d = d.addDays(1)) {
            QByteArray ba = ".Time,LAeq,LAFmin,LAFmax,LAF5,LAF10,LAF50,LAF90,LAF95,LAF99\r\n";
            for (int p = 0; p < 1440 / nPeriod; ++p) {
                const int nSec = p * nPeriod * 60;
                ba += QString::asprintf("%.2d:%.2d:%.2d", nSec / 3600, nSec / 60 % 60, nSec % 60).toLatin1();
                for (int f = 0; f < 9; ++f)
                    ba += ',' + (rng.bounded(50) == 0
                                     ? QByteArray("-")
                                     : QByteArray::number(35.0 + rng.bounded(400) / 10.0, 'f', 1));
                ba += "\r\n";
            }
            const QString sPath = TPerFile::FileName(sData, MonID(iMon), d, nPeriod);
            QDir().mkpath(QFileInfo(sPath).path());
            QFile f(sPath);
            if (!f.open(QIODevice::WriteOnly) || f.write(ba) != ba.size())
                qFatal("cannot write the benchmark data");
        }
    }
}

double Secs(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

double Median(std::vector<double> a)
{
    std::sort(a.begin(), a.end());
    return a[a.size() / 2];
}
} // namespace

int main(int argc, char** argv)
{
    TPlatform::KeepFreedMemory(); // as the program's own main
    QCoreApplication app(argc, argv);
    QStringList slArgs = app.arguments();
    QTemporaryDir tmp;
    if (!tmp.isValid())
        return 1;
    const int iKeep = int(slArgs.indexOf(QStringLiteral("--keep")));
    const QString sOut =
        iKeep > 0 && iKeep + 1 < slArgs.size() ? slArgs[iKeep + 1] : tmp.path() + QStringLiteral("/out");
    const int iReps = int(slArgs.indexOf(QStringLiteral("--reps")));
    const int nReps = iReps > 0 && iReps + 1 < slArgs.size() ? std::max(1, slArgs[iReps + 1].toInt()) : 5;
    QDir().mkpath(sOut);

    const QString sData = tmp.path() + QStringLiteral("/data/");
    WriteData(sData);
    TCfg cfg(tmp.path() + QStringLiteral("/appdata"));
    cfg.SetDataPath(sData);

    std::vector<double> adPage, adFloor;
    qint64 nBytes = 0;
    for (int r = 0; r < nReps; ++r) {
        QElapsedTimer t;
        t.start();
        for (int iMon = 0; iMon < nMonitors; ++iMon) {
            TTQMonitor mon;
            mon.sID = MonID(iMon);
            mon.sName = QStringLiteral("Monitor ") + mon.sID;
            THtmlPage page;
            page.AddPageHead(QStringLiteral("Periodic Report"), false);
            page.AddPreamble(mon, dtFrom, dtTo);
            page.AddPerTable(cfg, sData, mon.sID, dtFrom, dtTo, nPeriod, TRunHooks());
            page.AddPageFoot(QDate(2024, 1, 2));
            if (!page.Save(sOut + QStringLiteral("/per_%1.html").arg(mon.sID)))
                qFatal("cannot save the page");
        }
        adPage.push_back(Secs(t));

        // The floor: the same bytes, already in memory, written to new files.
        std::vector<QByteArray> aPages;
        nBytes = 0;
        for (int iMon = 0; iMon < nMonitors; ++iMon) {
            QFile f(sOut + QStringLiteral("/per_%1.html").arg(MonID(iMon)));
            if (!f.open(QIODevice::ReadOnly))
                qFatal("cannot read the page");
            aPages.push_back(f.readAll());
            nBytes += aPages.back().size();
        }
        t.restart();
        for (int iMon = 0; iMon < nMonitors; ++iMon) {
            QFile f(tmp.path() + QStringLiteral("/floor_%1.html").arg(iMon));
            if (!f.open(QIODevice::WriteOnly) || f.write(aPages[size_t(iMon)]) != aPages[size_t(iMon)].size())
                qFatal("cannot write the floor");
        }
        adFloor.push_back(Secs(t));
    }
    const auto [itMin, itMax] = std::minmax_element(adPage.begin(), adPage.end());
    std::printf("periodic table pages, %d monitors x %lld days of %d-minute files, %.1f MB of HTML\n",
                nMonitors, qint64(dtFrom.daysTo(dtTo)) + 1, nPeriod, double(nBytes) / 1e6);
    std::printf("  pages %.3f s (median of %d, %.3f..%.3f)  write floor %.3f s  ratio %.2f\n", Median(adPage),
                nReps, *itMin, *itMax, Median(adFloor), Median(adPage) / Median(adFloor));
    return 0;
}
