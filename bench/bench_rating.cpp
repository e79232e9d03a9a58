// The daily rating levels of a year of 10-minute files (365 days, 52,560 periods per
// monitor) for one and for three monitors, on a data folder written by the simulated
// supervisor: the computation from the files, and the summary grid made from it. A
// year of one monitor is the longest range a user is expected to ask for.
#include "analysis/rating.h"
#include "benchmain.h"
#include "benchsim.h"

#include "analysis/ratingfill.h"
#include "monitors/monitor.h"
#include "settings/cfg.h"
#include "sim/simulator.h"
#include "reports/stringgrid.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {
constexpr int nMonitors = 3;
constexpr int nPeriod = 10;
const QDate dtFrom(2024, 1, 1);
const QDate dtTo(2024, 12, 30);

class TBenchData final
{
public:
    TBenchData() : cfg(tmp.path())
    {
        TSimOptions opt =
            bench::PeriodicOptions(tmp.path() + QStringLiteral("/data/"), nMonitors, dtFrom, dtTo, nPeriod);
        opt.bAlarms = false;
        TSimulator sim(opt);
        bench::WriteData(sim);
        cfg.SetDataPath(opt.sDataPath);
        mons.LoadMonitors(cfg.DataPath());
    }

    TMonitorSel First(int n) const
    {
        TMonitorSel a;
        for (int i = 0; i < n && i < mons.Count(); ++i)
            a.push_back(mons.GetHead(i));
        return a;
    }

    QTemporaryDir tmp;
    TCfg cfg;
    TTQMonitors mons;
};

TBenchData& Data()
{
    static TBenchData data;
    return data;
}

// Reading the periodic files and averaging every part of every day and of the range.
void BM_RatingCompute(benchmark::State& state)
{
    TBenchData& data = Data();
    const TMonitorSel aMons = data.First(int(state.range(0)));
    const TRatingSettings set = TRatingSettings::FromCfg(data.cfg);
    size_t nDays = 0;
    for (auto _ : state) {
        const auto aResults = TRating::Compute(set, data.cfg.DataPath(), aMons, dtFrom, dtTo, nPeriod);
        nDays = aResults.size() * aResults.front().aDays.size();
        benchmark::DoNotOptimize(aResults.data());
    }
    state.counters["days"] = double(nDays);
}
BENCHMARK(BM_RatingCompute)->Arg(1)->Arg(nMonitors)->Unit(benchmark::kMillisecond);

// The summary grid from computed levels: the part the table adds to the computation.
void BM_RatingFillSummary(benchmark::State& state)
{
    TBenchData& data = Data();
    const TMonitorSel aMons = data.First(nMonitors);
    const TRatingSettings set = TRatingSettings::FromCfg(data.cfg);
    const auto aResults = TRating::Compute(set, data.cfg.DataPath(), aMons, dtFrom, dtTo, nPeriod);
    TStringGrid grid;
    for (auto _ : state)
        TRatingFill::FillSummary(grid, set, aMons, aResults);
    state.counters["rows"] = double(grid.RowCount());
}
BENCHMARK(BM_RatingFillSummary)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv)
{
    return bench::Run(argc, argv);
}
