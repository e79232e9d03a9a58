// Noise events on a simulated installation of 10 monitors with a month of one-second
// profiles (300 profile days): detection of one day against loading and filling that
// day, the HTML event pages of the whole month with their images, and the Events tab
// of the main window for the 10 monitors. Detection should stay within twice the load,
// the export under 5 s and the tab under 0.2 s.
#include "benchgui.h"
#include "benchsim.h"
#include "analysis/events.h"
#include "app/main.h"
#include "datafiles/thfile.h"
#include "monitors/monitor.h"
#include "output/exportrun.h"
#include "settings/cfg.h"
#include "sim/simulator.h"
#include "views/chartbase.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
const QDate dtFrom(2024, 5, 1);
const QDate dtTo(2024, 5, 30);
const QDateTime dtNow(QDate(2024, 5, 30), QTime(12, 0));
constexpr int nMonitors = 10;

class TInstallation final
{
public:
    TInstallation()
    {
        sSettings = tmp.path() + QStringLiteral("/Kestrom/Tarvik-SV/");
        TSimOptions opt = bench::PeriodicOptions(sSettings + QStringLiteral("data/"), nMonitors, dtFrom, dtTo, 60);
        opt.nProfileDays = int(dtFrom.daysTo(dtTo)) + 1;
        opt.bAlarms = false;
        TSimulator sim(opt);
        bench::WriteData(sim);
        qputenv("TARVIK_COMMON_APPDATA", tmp.path().toLocal8Bit());
        cfg = std::make_unique<TCfg>(tmp.path());
        cfg->SetDataPath(opt.sDataPath);
        mons.LoadMonitors(cfg->DataPath());
        sID = mons.GetHead(0)->sID;
    }

    void WriteSettings(const QByteArray& ba) const
    {
        QFile f(sSettings + QStringLiteral("rp_settings.ini"));
        if (f.open(QIODevice::WriteOnly))
            f.write(ba);
    }

    QTemporaryDir tmp;
    QString sSettings;
    std::unique_ptr<TCfg> cfg;
    TTQMonitors mons;
    QString sID;
};

TInstallation& Data()
{
    static TInstallation data;
    return data;
}

// Loading a full profile day and filling it to one record per second.
void BM_ProfileLoad(benchmark::State& state)
{
    TInstallation& data = Data();
    TTHFile file(data.cfg->DataPath());
    for (auto _ : state)
        benchmark::DoNotOptimize(file.Load(data.sID, dtTo));
    state.counters["records"] = double(file.RecCount());
}
BENCHMARK(BM_ProfileLoad)->Unit(benchmark::kMillisecond);

// Detection on the loaded day: reading the 86,400 levels and finding the events.
void BM_EventsDetect(benchmark::State& state)
{
    TInstallation& data = Data();
    TTHFile file(data.cfg->DataPath());
    file.Load(data.sID, dtTo);
    const TEventSettings set = TEventSettings::FromCfg(*data.cfg);
    size_t nEvents = 0;
    for (auto _ : state) {
        const TEventDay day = TEvents::DetectDay(set, TEvents::DayLevels(file));
        nEvents = day.aEvents.size();
        benchmark::DoNotOptimize(day.aEvents.data());
    }
    state.counters["events"] = double(nEvents);
}
BENCHMARK(BM_EventsDetect)->Unit(benchmark::kMillisecond);

// The detection alone, on levels already read: what reading the levels adds above is
// the reader's field parsing.
void BM_EventsDetectLevelsRead(benchmark::State& state)
{
    TInstallation& data = Data();
    TTHFile file(data.cfg->DataPath());
    file.Load(data.sID, dtTo);
    const TEventSettings set = TEventSettings::FromCfg(*data.cfg);
    const std::vector<double> adLevels = TEvents::DayLevels(file);
    for (auto _ : state) {
        const TEventDay day = TEvents::DetectDay(set, adLevels);
        benchmark::DoNotOptimize(day.aEvents.data());
    }
}
BENCHMARK(BM_EventsDetectLevelsRead)->Unit(benchmark::kMillisecond);

// The events of a week for the 10 monitors from the files: reading 70 profile days and
// running the detection through them, as the command line and the export do.
void BM_EventsComputeWeekOfTen(benchmark::State& state)
{
    TInstallation& data = Data();
    TMonitorSel aMons;
    for (int i = 0; i < data.mons.Count(); ++i)
        aMons.push_back(data.mons.GetHead(i));
    const TEventSettings set = TEventSettings::FromCfg(*data.cfg);
    size_t nEvents = 0;
    for (auto _ : state) {
        const auto aRes = TEvents::Compute(set, data.cfg->DataPath(), aMons, dtFrom, dtFrom.addDays(6));
        nEvents = 0;
        for (const TEventMonitor& em : aRes)
            for (const TEventDay& day : em.aDays)
                nEvents += day.aEvents.size();
    }
    state.counters["events"] = double(nEvents);
}
BENCHMARK(BM_EventsComputeWeekOfTen)->Unit(benchmark::kMillisecond)->Iterations(3);

// The Events tab for the 10 monitors: list, then chart page.
void BM_EventsTab(benchmark::State& state)
{
    TInstallation& data = Data();
    QByteArray baSel = "[report]\r\nperpreset=0\r\nmonitorsel=";
    for (int i = 0; i < data.mons.Count(); ++i)
        baSel += (i > 0 ? "," : "") + data.mons.GetHead(i)->sID.toLatin1();
    data.WriteSettings(baSel + "\r\n");
    TformMain form;
    form.SetClock([] { return dtNow; });
    form.resize(1200, 800);
    form.show();
    QCoreApplication::processEvents();
    form.pagesMain->setCurrentWidget(form.tabEvents);
    form.pagesEvt->setCurrentIndex(int(state.range(0)));
    QCoreApplication::processEvents();
    for (auto _ : state) {
        form.UpdateReport();
        QCoreApplication::processEvents(); // the first paint
    }
}
BENCHMARK(BM_EventsTab)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

// The event pages of the month for the 10 monitors, with their chart images.
void BM_ExportEventPages(benchmark::State& state)
{
    TInstallation& data = Data();
    TMonitorSel aMons;
    for (int i = 0; i < data.mons.Count(); ++i)
        aMons.push_back(data.mons.GetHead(i));
    TExportOptions opt = TExportOptions::FromCfg(*data.cfg);
    opt.Choose({QStringLiteral("evt")});
    opt.bZoom = false;
    int nRun = 0;
    for (auto _ : state) {
        QString sOut = data.tmp.path() + QStringLiteral("/html%1").arg(nRun++);
        TExportRun::MakeReportFolder(sOut);
        TExportRun run(*data.cfg, data.mons, aMons, dtFrom, dtTo, opt);
        if (!run.Run(sOut))
            state.SkipWithError(qPrintable(run.Error()));
    }
    state.counters["days"] = double(aMons.size()) * double(dtFrom.daysTo(dtTo) + 1);
}
BENCHMARK(BM_ExportEventPages)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    return bench::RunWithWidgets(argc, argv);
}
