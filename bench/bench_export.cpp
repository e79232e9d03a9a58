// The command-line export of a month for ten monitors with every report kind, zoom
// images off and on, against the rendering floor: the same number of BMP files of
// the same sizes written from charts that are already plotted. The difference is
// what reading the day files, building the pages and plotting cost on top. A second
// case exports only the daily rating summary of three monitors from 10-minute files.
#include "output/cmdline.h"
#include "platform/platform.h"
#include "settings/cfg.h"
#include "sim/simulator.h"
#include "views/almchart.h"
#include "views/eventchart.h"
#include "views/perchart.h"
#include "views/prfchart.h"
#include "views/ratingchart.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
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
constexpr int nSumMonitors = 3;
constexpr int nSumPeriod = 10;

struct TImage
{
    QString sKind; // "per", "alm", "prf", "sum", "evt"
    QSize size;
    QDate dtDay; // the day of a profile image (prf_ID_DAY.bmp); invalid for the others
};

std::vector<TImage> Images(const QString& sDir)
{
    std::vector<TImage> a;
    QDirIterator it(sDir, {QStringLiteral("*.bmp")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString sPath = it.next();
        const QString sName = QFileInfo(sPath).completeBaseName();
        TImage img{sName.left(3), QImageReader(sPath).size(), QDate()};
        if (img.sKind == QLatin1String("prf"))
            img.dtDay = QDate::fromString(sName.section(QLatin1Char('_'), 2, 2), QStringLiteral("yyyyMMdd"));
        a.push_back(img);
    }
    return a;
}

// slExtra: further arguments, e.g. the kinds and the period of the summary case.
double ExportSecs(const QString& sData, const QString& sOut, bool bZoom, const QStringList& slExtra = {})
{
    QString sProgress;
    QString sErr;
    QTextStream out(&sProgress);
    QTextStream err(&sErr);
    QElapsedTimer t;
    t.start();
    const int nExit = TCmdLine::Run(
        QStringList{QStringLiteral("bench_export"), QStringLiteral("--export"), sOut,
                    QStringLiteral("--data"), sData, QStringLiteral("--monitors"), QStringLiteral("all"),
                    QStringLiteral("--from"), dtFrom.toString(Qt::ISODate), QStringLiteral("--to"),
                    dtTo.toString(Qt::ISODate),
                    bZoom ? QStringLiteral("--zoom") : QStringLiteral("--no-zoom")} +
            slExtra,
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
// that were plotted once beforehand. A profile of a day with one-second data draws
// far slower than an empty one, so each profile image is drawn from a chart of the
// same sort as its day's.
double FloorSecs(TCfg& cfg, const QString& sID, const std::vector<TImage>& aImages, const QString& sOut,
                 int nPeriod, const TSimulator& sim)
{
    TPerChart per(cfg);
    per.SetMonitorID(sID);
    per.PlotPeriod(dtFrom, dtTo, nPeriod);
    TAlmChart alm(cfg);
    alm.SetMonitorID(sID);
    alm.PlotPeriod(dtFrom, dtTo);
    TPrfChart prf(cfg);
    prf.SetMonitorID(sID);
    prf.PlotDay(dtTo);
    TPrfChart prfEmpty(cfg);
    prfEmpty.SetMonitorID(sID);
    prfEmpty.PlotDay(dtFrom);
    TRatingChart sum(cfg);
    sum.SetMonitorID(sID);
    sum.PlotPeriod(dtFrom, dtTo, nPeriod);
    TEventChart evt(cfg);
    evt.SetMonitorID(sID);
    evt.PlotDay(dtTo);
    std::map<QString, TChartBase*> charts{{QStringLiteral("per"), &per},
                                          {QStringLiteral("alm"), &alm},
                                          {QStringLiteral("prf"), &prf},
                                          {QStringLiteral("sum"), &sum},
                                          {QStringLiteral("evt"), &evt}};
    QDir().mkpath(sOut);
    QElapsedTimer t;
    t.start();
    int i = 0;
    for (const TImage& img : aImages) {
        TChartBase* chart = charts.at(img.sKind);
        if (chart == &prf && !sim.HasProfile(img.dtDay))
            chart = &prfEmpty;
        chart->SaveBmp(sOut + QStringLiteral("/%1.bmp").arg(i++), img.size.width(), img.size.height());
    }
    return double(t.nsecsElapsed()) / 1e9;
}

// Day rows of the summary pages in sDir, and how many of them hold an Lden: a
// summary that read nothing would still be fast.
std::pair<int, int> SummaryRows(const QString& sDir)
{
    int nRows = 0, nLden = 0;
    QDirIterator it(sDir, {QStringLiteral("sum_*.html")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QStringList sl = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
        for (qsizetype i = 0; i + 5 < sl.size(); ++i) {
            if (sl[i] != QLatin1String("<tr>") || !sl[i + 1].startsWith(QLatin1String("<td>20")))
                continue;
            ++nRows;
            nLden += sl[i + 5] != QLatin1String("<td></td>") ? 1 : 0; // date, three levels, Lden
        }
    }
    return {nRows, nLden};
}

void Report(const char* szCase, const std::vector<TImage>& aImages, double dExport, double dFloor)
{
    int nSmall = 0;
    for (const TImage& img : aImages)
        nSmall += img.size == QSize(800, 320) ? 1 : 0;
    std::printf(
        "%-12s images %4zu (%zu of 800x320, %zu of 2048x800)  export %7.2f s  floor %7.2f s  ratio %.2f\n",
        szCase, aImages.size(), size_t(nSmall), aImages.size() - size_t(nSmall), dExport, dFloor,
        dExport / dFloor);
}
} // namespace

int main(int argc, char** argv)
{
    TPlatform::KeepFreedMemory(); // as the program's own main
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

    const QString sSumData = tmp.path() + QStringLiteral("/sumdata/");
    TSimOptions optSum = opt;
    optSum.sDataPath = sSumData;
    optSum.nMonitors = nSumMonitors;
    optSum.anPeriods = {nSumPeriod};
    optSum.nProfileDays = 0;
    TSimulator simSum(optSum);
    simSum.WriteAll();
    for (const TSimulator* p : {&sim, &simSum}) {
        if (!p->LastError().isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(p->LastError()));
            return 1;
        }
    }

    TCfg cfg(tmp.path() + QStringLiteral("/appdata"));
    cfg.SetDataPath(sData);
    std::printf("export of %d days x %d monitors, every kind, period %d min\n", int(dtFrom.daysTo(dtTo)) + 1,
                nMonitors, cfg.RepPerPeriod());
    for (const bool bZoom : {false, true}) {
        const QString sOut = tmp.path() + (bZoom ? QStringLiteral("/zoom") : QStringLiteral("/plain"));
        const double dExport = ExportSecs(sData, sOut, bZoom);
        const std::vector<TImage> aImages = Images(sOut);
        const double dFloor = FloorSecs(cfg, sim.MonitorID(nMonitors - 1), aImages,
                                        sOut + QStringLiteral("-floor"), cfg.RepPerPeriod(), sim);
        Report(bZoom ? "zoom on" : "zoom off", aImages, dExport, dFloor);
    }

    // The floor charts read the period of the settings, as the export's charts do.
    TCfg cfgSum(tmp.path() + QStringLiteral("/appdata-sum"));
    cfgSum.SetDataPath(sSumData);
    cfgSum.SetRepPerPeriod(nSumPeriod);
    std::printf("summary only, %d days x %d monitors, period %d min\n", int(dtFrom.daysTo(dtTo)) + 1,
                nSumMonitors, nSumPeriod);
    for (const bool bZoom : {false, true}) {
        const QString sOut =
            tmp.path() + (bZoom ? QStringLiteral("/sum-zoom") : QStringLiteral("/sum-plain"));
        const double dExport = ExportSecs(sSumData, sOut, bZoom,
                                          {QStringLiteral("--kinds"), QStringLiteral("sum"),
                                           QStringLiteral("--period"), QString::number(nSumPeriod)});
        const std::vector<TImage> aImages = Images(sOut);
        const double dFloor = FloorSecs(cfgSum, simSum.MonitorID(nSumMonitors - 1), aImages,
                                        sOut + QStringLiteral("-floor"), nSumPeriod, simSum);
        Report(bZoom ? "sum zoom on" : "sum zoom off", aImages, dExport, dFloor);
        const auto [nRows, nLden] = SummaryRows(sOut);
        std::printf("             day rows %d, %d of them with an Lden\n", nRows, nLden);
    }
    return 0;
}
