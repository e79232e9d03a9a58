// The main window on a simulated installation of 20 monitors: the time from start to
// the first report on screen, and a rebuild of the periodic chart tab.
#include "benchgui.h"
#include "app/main.h"
#include "settings/cfg.h"
#include "sim/simulator.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QDateTime dtToday(QDate(2024, 5, 31), QTime(12, 0));

// One installation for the whole run: 20 monitors, May 2024, 5- and 60-minute files.
const QTemporaryDir& Installation()
{
    static QTemporaryDir dir;
    static bool bMade = false;
    if (!bMade) {
        bMade = true;
        const QString sSettings = dir.path() + QStringLiteral("/Kestrom/Tarvik-SV/");
        TSimOptions opt;
        opt.sDataPath = sSettings + QStringLiteral("data/");
        opt.nMonitors = 20;
        opt.dtFrom = QDate(2024, 5, 1);
        opt.dtTo = dtToday.date();
        opt.anPeriods = {5, 60};
        opt.nProfileDays = 1;
        TSimulator sim(opt);
        sim.WriteAll();
        qputenv("TARVIK_COMMON_APPDATA", dir.path().toLocal8Bit());
    }
    return dir;
}

void WriteSettings(const QByteArray& ba)
{
    QFile f(Installation().path() + QStringLiteral("/Kestrom/Tarvik-SV/rp_settings.ini"));
    if (f.open(QIODevice::WriteOnly))
        f.write(ba);
}

void BM_StartToFirstReport(benchmark::State& state)
{
    Installation();
    QByteArray baSel = "[report]\r\nperperiod=60\r\nperpreset=0\r\nmonitorsel=";
    for (int i = 1; i <= 20; ++i)
        baSel += (i > 1 ? "," : "") + QByteArray("M") + QByteArray::number(i).rightJustified(2, '0');
    for (auto _ : state) {
        state.PauseTiming();
        WriteSettings(baSel + "\r\n");
        state.ResumeTiming();
        TformMain form;
        form.SetClock([] { return dtToday; });
        form.resize(1200, 800);
        form.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(form.ActiveCharts()->size());
        state.PauseTiming();
        form.close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartToFirstReport)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RebuildPeriodicChartsThisMonth5Min(benchmark::State& state)
{
    Installation();
    WriteSettings("[report]\r\nperperiod=5\r\nperpreset=5\r\nmonitorsel=M01,M02,M03,M04,M05,M06,M07,M08,M09,M10\r\n");
    TformMain form;
    form.SetClock([] { return dtToday; });
    form.resize(1200, 800);
    form.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        form.UpdateReport();
        QCoreApplication::processEvents(); // the charts' first paint
    }
    state.counters["charts"] = double(form.ActiveCharts()->size());
}
BENCHMARK(BM_RebuildPeriodicChartsThisMonth5Min)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    return bench::RunWithWidgets(argc, argv);
}
