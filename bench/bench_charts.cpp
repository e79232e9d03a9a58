// The charts with the largest data they get: a year of 10-minute periods with four
// parameters, and the 86,400 one-second levels of a day, each plotted and painted
// for the first time; and a page of ten profile charts.
#include "benchgui.h"
#include "benchsim.h"
#include "settings/cfg.h"
#include "sim/simulator.h"
#include "views/perchart.h"
#include "views/prfchart.h"

#include <QPixmap>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {
const QDate dtYearFrom(2024, 1, 1);
const QDate dtYearTo(2024, 12, 30); // 365 days
const QDate dtProfile(2024, 6, 12);
constexpr int nPeriod = 10;
constexpr int nPageCharts = 10;

// One simulated data folder for the whole run.
class TBenchData final
{
public:
    TBenchData()
    {
        TSimOptions opt = bench::PeriodicOptions(dirData.path() + QStringLiteral("/year/"), 1, dtYearFrom,
                                                 dtYearTo, nPeriod);
        opt.bAlarms = false;
        opt.bOutages = false;
        TSimulator simYear(opt);
        simYear.WriteAll();
        sYearID = simYear.MonitorID(0);

        opt.sDataPath = dirData.path() + QStringLiteral("/day/");
        opt.nMonitors = nPageCharts;
        opt.dtFrom = dtProfile;
        opt.dtTo = dtProfile;
        opt.nProfileDays = 1;
        TSimulator simDay(opt);
        simDay.WriteAll();
        for (int i = 0; i < nPageCharts; ++i)
            slDayIDs.append(simDay.MonitorID(i));

        cfgYear = std::make_unique<TCfg>(dirApp.path() + QStringLiteral("/year"));
        cfgYear->SetDataPath(dirData.path() + QStringLiteral("/year/"));
        for (const QString& sParam : MeasurementParams())
            cfgYear->SetPerParam(sParam,
                                 sParam == QStringLiteral("LAeq") || sParam == QStringLiteral("LAFmax") ||
                                     sParam == QStringLiteral("LAF10") || sParam == QStringLiteral("LAF90"));
        cfgDay = std::make_unique<TCfg>(dirApp.path() + QStringLiteral("/day"));
        cfgDay->SetDataPath(dirData.path() + QStringLiteral("/day/"));
    }

    QTemporaryDir dirApp;
    QTemporaryDir dirData;
    std::unique_ptr<TCfg> cfgYear;
    std::unique_ptr<TCfg> cfgDay;
    QString sYearID;
    QStringList slDayIDs;
};

TBenchData& Data()
{
    static TBenchData data;
    return data;
}

std::unique_ptr<TPerChart> PlotYear()
{
    auto chart = std::make_unique<TPerChart>(*Data().cfgYear);
    chart->SetMonitorID(Data().sYearID);
    chart->PlotPeriod(dtYearFrom, dtYearTo, nPeriod);
    return chart;
}

std::unique_ptr<TPrfChart> PlotProfile(const QString& sID)
{
    auto chart = std::make_unique<TPrfChart>(*Data().cfgDay);
    chart->SetMonitorID(sID);
    chart->PlotDay(dtProfile);
    return chart;
}

void FirstPaint(TChartBase& chart)
{
    const QPixmap pixmap = chart.toPixmap(1200, 400);
    benchmark::DoNotOptimize(pixmap.cacheKey());
}

void BM_PerChartYear_Plot(benchmark::State& state)
{
    Data();
    for (auto _ : state) {
        auto chart = PlotYear();
        if (chart->PointCount() != 52560)
            state.SkipWithError("a year of 10-minute periods should give 52,560 points");
    }
}
BENCHMARK(BM_PerChartYear_Plot)->Unit(benchmark::kMillisecond);

void BM_PerChartYear_FirstPaint(benchmark::State& state)
{
    Data();
    for (auto _ : state) {
        state.PauseTiming();
        auto chart = PlotYear();
        state.ResumeTiming();
        FirstPaint(*chart);
    }
}
BENCHMARK(BM_PerChartYear_FirstPaint)->Unit(benchmark::kMillisecond);

void BM_PrfChartDay_Plot(benchmark::State& state)
{
    Data();
    for (auto _ : state) {
        auto chart = PlotProfile(Data().slDayIDs.first());
        if (chart->PointCount() != 86400)
            state.SkipWithError("a profile day should give 86,400 points");
    }
}
BENCHMARK(BM_PrfChartDay_Plot)->Unit(benchmark::kMillisecond);

void BM_PrfChartDay_FirstPaint(benchmark::State& state)
{
    Data();
    for (auto _ : state) {
        state.PauseTiming();
        auto chart = PlotProfile(Data().slDayIDs.first());
        state.ResumeTiming();
        FirstPaint(*chart);
    }
}
BENCHMARK(BM_PrfChartDay_FirstPaint)->Unit(benchmark::kMillisecond);

// A profile page of ten monitors: every chart plotted and painted.
void BM_PrfChartPageOfTen_PlotAndPaint(benchmark::State& state)
{
    Data();
    for (auto _ : state) {
        std::vector<std::unique_ptr<TPrfChart>> aCharts;
        for (const QString& sID : Data().slDayIDs) {
            aCharts.push_back(PlotProfile(sID));
            FirstPaint(*aCharts.back());
        }
    }
}
BENCHMARK(BM_PrfChartPageOfTen_PlotAndPaint)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv)
{
    return bench::RunWithWidgets(argc, argv);
}
