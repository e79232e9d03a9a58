// The command-line export of a month for ten monitors with every report kind, zoom
// images off and on, against the rendering floor: the same number of BMP files of
// the same sizes written from charts that are already plotted. The difference is
// what reading the day files, building the pages and plotting cost on top.
#include "output/cmdline.h"
#include "settings/cfg.h"
#include "sim/simulator.h"
#include "views/almchart.h"
#include "views/perchart.h"
#include "views/prfchart.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <map>
#include <memory>

namespace {
const QDate dtFrom(2024, 3, 1);
const QDate dtTo(2024, 3, 31);
constexpr int nMonitors = 10;

struct TImage
{
    QString sKind; // "per", "alm", "prf"
    QSize size;
};

std::vector<TImage> Images(const QString& sDir)
{
    std::vector<TImage> a;
    QDirIterator it(sDir, {QStringLiteral("*.bmp")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString sPath = it.next();
        a.push_back({QFileInfo(sPath).fileName().left(3), QImageReader(sPath).size()});
    }
    return a;
}

double ExportSecs(const QString& sData, const QString& sOut, bool bZoom)
{
    QString sProgress;
    QString sErr;
    QTextStream out(&sProgress);
    QTextStream err(&sErr);
    QElapsedTimer t;
    t.start();
    const int nExit = TCmdLine::Run(
        {QStringLiteral("bench_export"), QStringLiteral("--export"), sOut, QStringLiteral("--data"), sData,
         QStringLiteral("--monitors"), QStringLiteral("all"), QStringLiteral("--from"),
         dtFrom.toString(Qt::ISODate), QStringLiteral("--to"), dtTo.toString(Qt::ISODate),
         bZoom ? QStringLiteral("--zoom") : QStringLiteral("--no-zoom")},
        out, err);
    const double dSecs = double(t.nsecsElapsed()) / 1e9;
    if (nExit != 0) {
        err.flush();
        std::fprintf(stderr, "export failed (%d): %s\n", nExit, qPrintable(sErr));
        std::exit(1);
    }
    return dSecs;
}

// Writes one BMP per image of the export, of the same kind and size, from charts
// that were plotted once beforehand.
double FloorSecs(TCfg& cfg, const QString& sID, const std::vector<TImage>& aImages, const QString& sOut)
{
    TPerChart per(cfg);
    per.SetMonitorID(sID);
    per.PlotPeriod(dtFrom, dtTo, cfg.RepPerPeriod());
    TAlmChart alm(cfg);
    alm.SetMonitorID(sID);
    alm.PlotPeriod(dtFrom, dtTo);
    TPrfChart prf(cfg);
    prf.SetMonitorID(sID);
    prf.PlotDay(dtTo);
    std::map<QString, TChartBase*> charts{
        {QStringLiteral("per"), &per}, {QStringLiteral("alm"), &alm}, {QStringLiteral("prf"), &prf}};
    QDir().mkpath(sOut);
    QElapsedTimer t;
    t.start();
    int i = 0;
    for (const TImage& img : aImages)
        charts.at(img.sKind)->SaveBmp(sOut + QStringLiteral("/%1.bmp").arg(i++), img.size.width(),
                                      img.size.height());
    return double(t.nsecsElapsed()) / 1e9;
}

void Report(const char* szCase, const std::vector<TImage>& aImages, double dExport, double dFloor)
{
    int nSmall = 0;
    for (const TImage& img : aImages)
        nSmall += img.size == QSize(800, 320) ? 1 : 0;
    std::printf(
        "%-9s images %4zu (%zu of 800x320, %zu of 2048x800)  export %7.2f s  floor %7.2f s  ratio %.2f\n",
        szCase, aImages.size(), size_t(nSmall), aImages.size() - size_t(nSmall), dExport, dFloor,
        dExport / dFloor);
}
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    if (!tmp.isValid())
        return 1;
    qputenv("TARVIK_COMMON_APPDATA", (tmp.path() + QStringLiteral("/appdata")).toLocal8Bit());
    const QString sData = tmp.path() + QStringLiteral("/data/");

    TSimOptions opt;
    opt.sDataPath = sData;
    opt.nMonitors = nMonitors;
    opt.dtFrom = dtFrom;
    opt.dtTo = dtTo;
    opt.anPeriods = {60};
    opt.nProfileDays = 3; // profiles are large files; the other days plot empty charts
    TSimulator sim(opt);
    sim.WriteAll();
    if (!sim.LastError().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(sim.LastError()));
        return 1;
    }

    TCfg cfg(tmp.path() + QStringLiteral("/appdata"));
    cfg.SetDataPath(sData);
    std::printf("export of %d days x %d monitors, every kind, period %d min\n", int(dtFrom.daysTo(dtTo)) + 1,
                nMonitors, cfg.RepPerPeriod());
    for (const bool bZoom : {false, true}) {
        const QString sOut = tmp.path() + (bZoom ? QStringLiteral("/zoom") : QStringLiteral("/plain"));
        const double dExport = ExportSecs(sData, sOut, bZoom);
        const std::vector<TImage> aImages = Images(sOut);
        const double dFloor =
            FloorSecs(cfg, sim.MonitorID(nMonitors - 1), aImages, sOut + QStringLiteral("-floor"));
        Report(bZoom ? "zoom on" : "zoom off", aImages, dExport, dFloor);
    }
    return 0;
}
