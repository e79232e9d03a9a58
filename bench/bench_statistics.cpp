// The statistics at the size they promise: a year of 10-minute periods of ten monitors.
// The computation from the files (what --statistics waits for), the CSV written from
// it, and the Statistics tab on screen: each of its two tables and its chart stack
// built for the ten monitors and painted.
#include "analysis/statistics.h"
#include "benchmain.h"
#include "benchsim.h"

#include "monitors/monitor.h"
#include "pages/statpage.h"
#include "platform/platform.h"
#include "settings/cfg.h"
#include "sim/simulator.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTextStream>

#include <benchmark/benchmark.h>

#include <memory>

namespace {
constexpr int nMonitors = 10;
constexpr int nPeriod = 10;
const QDate dtFrom(2024, 1, 1);
const QDate dtTo(2024, 12, 30); // 365 days

// One simulated monitor, its folder copied under nine more IDs: the simulator would
// take many minutes for ten monitors' years, and the statistics cost the same for any
// levels.
void WriteTenMonitors(const QString& sDataPath)
{
    TSimOptions opt = bench::PeriodicOptions(sDataPath, 1, dtFrom, dtTo, nPeriod);
    opt.bAlarms = false;
    bench::WriteCopiedMonitors(opt, nMonitors);
}

class TBenchData final
{
public:
    TBenchData() : cfg(dirApp.path())
    {
        WriteTenMonitors(dirData.path() + QStringLiteral("/"));
        cfg.SetDataPath(dirData.path() + QStringLiteral("/"));
        cfg.SetRepPerPeriod(nPeriod);
        mons.LoadMonitors(cfg.DataPath());
        for (int i = 0; i < mons.Count(); ++i) {
            auto* item = new QListWidgetItem(mons.GetHead(i)->sName, &chklstMon);
            item->setCheckState(Qt::Checked);
            aMons.push_back(mons.GetHead(i));
        }
        page.resize(1400, 900);
        statPage = std::make_unique<TStatPage>(TPageEnv{cfg, mons, &chklstMon, {}, nullptr, {}}, &page);
        statPage->resize(1400, 900);
        page.show();
        QCoreApplication::processEvents();
    }

    QTemporaryDir dirApp;
    QTemporaryDir dirData;
    TCfg cfg;
    TTQMonitors mons;
    TMonitorSel aMons;
    QListWidget chklstMon;
    QWidget page;
    std::unique_ptr<TStatPage> statPage;
};

// Made on first use and dropped before the application object goes.
std::unique_ptr<TBenchData>& DataHolder()
{
    static std::unique_ptr<TBenchData> data;
    return data;
}

TBenchData& Data()
{
    if (!DataHolder())
        DataHolder() = std::make_unique<TBenchData>();
    return *DataHolder();
}

// Reading the year's files of the ten monitors and every figure of the statistics.
void BM_StatisticsCompute(benchmark::State& state)
{
    TBenchData& data = Data();
    const TRatingSettings set = TRatingSettings::FromCfg(data.cfg);
    int nValues = 0;
    for (auto _ : state) {
        const auto a = TStatistics::Compute(set, TStatPage::DefaultParam(), data.cfg.DataPath(), data.aMons, dtFrom,
                                            dtTo, nPeriod, nullptr);
        nValues = a.front().aParts[rpNight].nValues;
        benchmark::DoNotOptimize(a.data());
    }
    state.counters["night values"] = nValues;
}
BENCHMARK(BM_StatisticsCompute)->Unit(benchmark::kMillisecond);

// --statistics as the command line runs it, into memory.
void BM_StatisticsCsv(benchmark::State& state)
{
    TBenchData& data = Data();
    qsizetype nChars = 0;
    for (auto _ : state) {
        QString sOut;
        QString sErr;
        QTextStream out(&sOut);
        QTextStream err(&sErr);
        TStatPage::WriteCsv(data.cfg, data.cfg.DataPath(), data.aMons, dtFrom, dtTo, nPeriod,
                            TStatPage::DefaultParam(), nullptr, out, err);
        nChars = sOut.size();
    }
    state.counters["chars"] = double(nChars);
}
BENCHMARK(BM_StatisticsCsv)->Unit(benchmark::kMillisecond);

// The tab on screen: the page in front (0 background, 1 hours, 2 charts) built for the
// ten monitors and painted.
void BM_StatisticsTab(benchmark::State& state)
{
    TBenchData& data = Data();
    data.statPage->SetCurrentPage(int(state.range(0)));
    const TPageChoice choice{dtFrom.startOfDay(), dtTo.startOfDay(), dtTo, nPeriod};
    QPixmap pix(data.page.size());
    for (auto _ : state) {
        data.statPage->Build(choice);
        QCoreApplication::processEvents();
        data.page.render(&pix);
    }
}
BENCHMARK(BM_StatisticsTab)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);
} // namespace

int main(int argc, char** argv)
{
    TPlatform::KeepFreedMemory(); // as the program's own main
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int nResult = bench::RunBenchmarks(argc, argv);
    DataHolder().reset();
    return nResult;
}
