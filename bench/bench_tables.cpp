// The alarm table of a month of 5-minute periods (288 rows per monitor and day, about
// 8,900 rows for one monitor and 89,000 for ten) on a data folder written by the
// simulated supervisor: filling the grid, the first paint of the view, and the
// paint after a jump to the last row. Filling should grow with the rows; painting
// should not, since only the rows on screen are drawn.
#include "benchgui.h"
#include "benchsim.h"
#include "views/almtbl.h"

#include "monitors/monitor.h"
#include "settings/cfg.h"
#include "sim/simulator.h"

#include <QApplication>
#include <QListWidget>
#include <QPixmap>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {
constexpr int nMonitors = 10;
constexpr int nPeriod = 5;
const QDate dtFrom(2024, 3, 1);
const QDate dtTo(2024, 3, 31);

// One simulated installation for the whole run: ten monitors with a month of alarm
// files, and a page holding the alarm table at 900 x 600.
class TBenchData final
{
public:
    TBenchData() : cfg(tmp.path())
    {
        TSimOptions opt =
            bench::PeriodicOptions(tmp.path() + QStringLiteral("/data/"), nMonitors, dtFrom, dtTo, nPeriod);
        opt.bOutages = false;
        TSimulator sim(opt);
        bench::WriteData(sim);

        cfg.SetDataPath(opt.sDataPath);
        mons.LoadMonitors(cfg.DataPath());
        for (int i = 0; i < mons.Count(); ++i)
            new QListWidgetItem(mons.GetHead(i)->sName, &chklstMon);
        page.resize(900, 600);
        tbl = std::make_unique<TAlmTable>(cfg, mons, &page);
        page.show();
        QCoreApplication::processEvents();
    }

    // Ticks the first nTicked monitors.
    void Tick(int nTicked)
    {
        for (int i = 0; i < chklstMon.count(); ++i)
            chklstMon.item(i)->setCheckState(i < nTicked ? Qt::Checked : Qt::Unchecked);
    }

    void Load() { tbl->LoadTable(dtFrom.startOfDay(), dtTo.startOfDay(), nPeriod, &chklstMon); }

    QTemporaryDir tmp;
    TCfg cfg;
    TTQMonitors mons;
    QListWidget chklstMon;
    QWidget page;
    std::unique_ptr<TAlmTable> tbl;
};

TBenchData& Data()
{
    static TBenchData data;
    return data;
}

void SetCounters(benchmark::State& state, const TAlmTable& tbl)
{
    state.counters["rows"] = double(tbl.RowCount());
    state.SetComplexityN(tbl.RowCount());
}

// Filling the grid from the alarm files, with the model reset and column widths.
void BM_AlmTableLoad(benchmark::State& state)
{
    TBenchData& data = Data();
    data.Tick(int(state.range(0)));
    for (auto _ : state)
        data.Load();
    SetCounters(state, *data.tbl);
}
BENCHMARK(BM_AlmTableLoad)->Arg(1)->Arg(nMonitors)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

// The first paint of the table at the top after a load.
void BM_AlmTableFirstPaint(benchmark::State& state)
{
    TBenchData& data = Data();
    data.Tick(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        data.Load();
        state.ResumeTiming();
        const QPixmap pix = data.tbl->grab();
        benchmark::DoNotOptimize(pix.cacheKey());
    }
    SetCounters(state, *data.tbl);
}
BENCHMARK(BM_AlmTableFirstPaint)->Arg(1)->Arg(nMonitors)->Unit(benchmark::kMillisecond);

// A jump from the top to the last row and the paint there.
void BM_AlmTableScrollToEnd(benchmark::State& state)
{
    TBenchData& data = Data();
    data.Tick(int(state.range(0)));
    data.Load();
    for (auto _ : state) {
        state.PauseTiming();
        data.tbl->scrollToTop();
        state.ResumeTiming();
        data.tbl->scrollToBottom();
        const QPixmap pix = data.tbl->grab();
        benchmark::DoNotOptimize(pix.cacheKey());
    }
    state.counters["top"] = double(data.tbl->TopRow());
    SetCounters(state, *data.tbl);
}
BENCHMARK(BM_AlmTableScrollToEnd)->Arg(1)->Arg(nMonitors)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::RunWithWidgets(argc, argv);
}
