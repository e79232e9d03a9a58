// The noise limits at the sizes the feature promises: a year of 10-minute periods of
// ten monitors judged against a schedule of six rules (the judgement alone, on values
// already read, and the whole computation from the files); the Exceedances tab of a
// month of 5-minute periods of ten monitors, loaded and painted; and a year's
// periodic chart with and without its limit lines.
#include "analysis/exclusions.h"
#include "analysis/limits.h"
#include "analysis/limitsfill.h"
#include "analysis/rating.h"
#include "benchmain.h"
#include "benchsim.h"
#include "datafiles/perfile.h"
#include "monitors/monitor.h"
#include "platform/platform.h"
#include "settings/cfg.h"
#include "sim/simulator.h"
#include "pages/excpage.h"
#include "views/grid.h"
#include "views/perchart.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPixmap>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <limits>
#include <memory>

namespace {
constexpr int nMonitors = 10;
const QDate dtYearFrom(2024, 1, 1);
const QDate dtYearTo(2024, 12, 30); // 365 days
const QDate dtMonthFrom(2024, 6, 1);
const QDate dtMonthTo(2024, 6, 30);

const QStringList& Schedule()
{
    static const QStringList sl{QStringLiteral("*; LAeq; Mon-Fri; 07:00-19:00; 55.0; Day"),
                                QStringLiteral("*; LAeq; Mon-Fri; 19:00-23:00; 50.0; Evening"),
                                QStringLiteral("*; LAeq; Mon-Sun; 23:00-07:00; 45.0; Night"),
                                QStringLiteral("*; LAeq; Sat,Sun; 07:00-23:00; 50.0; Weekend"),
                                QStringLiteral("*; LAFmax; Mon-Sun; 23:00-07:00; 70.0; Night, LAFmax"),
                                QStringLiteral("*; LAF90; Mon-Sun; 00:00-00:00; 45.0; Background")};
    return sl;
}

// One simulated monitor, its folder copied under nine more IDs: the simulator would
// take many minutes for ten monitors' years, and the judgement costs the same for any
// levels.
void WriteTenMonitors(const QString& sDataPath, const QDate& dtFrom, const QDate& dtTo, int nPeriod)
{
    TSimOptions opt = bench::PeriodicOptions(sDataPath, 1, dtFrom, dtTo, nPeriod);
    opt.bAlarms = false;
    bench::WriteCopiedMonitors(opt, nMonitors);
}

class TBenchData final
{
public:
    TBenchData()
        : cfgYear(dirApp.path() + QStringLiteral("/year")), cfgMonth(dirApp.path() + QStringLiteral("/month"))
    {
        for (auto [cfg, sFolder, dtFrom, dtTo, nPeriod] :
             {std::tuple{&cfgYear, QStringLiteral("/year/"), dtYearFrom, dtYearTo, 10},
              std::tuple{&cfgMonth, QStringLiteral("/month/"), dtMonthFrom, dtMonthTo, 5}}) {
            WriteTenMonitors(dirData.path() + sFolder, dtFrom, dtTo, nPeriod);
            cfg->SetDataPath(dirData.path() + sFolder);
            cfg->SetLimitRules(Schedule());
        }
        monsYear.LoadMonitors(cfgYear.DataPath());
        monsMonth.LoadMonitors(cfgMonth.DataPath());
        for (int i = 0; i < monsMonth.Count(); ++i) {
            auto* item = new QListWidgetItem(monsMonth.GetHead(i)->sName, &chklstMon);
            item->setCheckState(Qt::Checked);
        }
        page.resize(1200, 700);
        excPage = std::make_unique<TExcPage>(TPageEnv{cfgMonth, monsMonth, &chklstMon, {}, nullptr, {}}, &page);
        tbl = excPage->Grid(0);
        page.show();
        QCoreApplication::processEvents();
    }

    TMonitorSel YearMonitors() const
    {
        TMonitorSel a;
        for (int i = 0; i < monsYear.Count(); ++i)
            a.push_back(monsYear.GetHead(i));
        return a;
    }

    QTemporaryDir dirApp;
    QTemporaryDir dirData;
    TCfg cfgYear;
    TCfg cfgMonth;
    TTQMonitors monsYear;
    TTQMonitors monsMonth;
    QListWidget chklstMon;
    QWidget page;
    std::unique_ptr<TExcPage> excPage;
    TGridView* tbl = nullptr;
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

// A thousand exclusions over the year: a hundred per monitor, of one to four hours each
// on days spread over the year, a tenth of them for every monitor ("*"), as a
// consultant's year of rain, wind and works would give.
const TExclusions& ThousandExclusions()
{
    static const TExclusions excl = [] {
        const TMonitorSel aMons = Data().YearMonitors();
        QString s = QStringLiteral("id,monitor,from,to,covers,reason,comment,author,created,withdrawn,withdrawn by\n");
        int nId = 0;
        for (size_t m = 0; m < aMons.size(); ++m)
            for (int k = 0; k < 100; ++k) {
                ++nId;
                const QDate d = dtYearFrom.addDays((nId * 37) % 365);
                const int nStart = (nId * 7919) % 80000;
                const qint64 nFrom = TExclusion::Wall(d, nStart);
                const qint64 nTo = nFrom + 3600 * (1 + nId % 4);
                s += QString::number(nId) + QLatin1Char(',') + (k % 10 == 0 ? QStringLiteral("*") : aMons[m]->sID) +
                     QLatin1Char(',') + TExclusion::WallText(nFrom) + QLatin1Char(',') + TExclusion::WallText(nTo) +
                     QStringLiteral(",all,rain,,bench,2024-12-31 00:00:00,,\n");
            }
        TExclusions ex;
        QString sError;
        ex.LoadText(s, QString(), sError);
        return ex;
    }();
    return excl;
}

// The values of the year's files, read once, as the judgement gets them.
struct TYearValues
{
    std::vector<std::vector<TLimitRule>> aaRules;
    std::vector<std::vector<TLimitDayValues>> aaDays; // [monitor][day]
};

const TYearValues& YearValues()
{
    static const TYearValues values = [] {
        TYearValues v;
        const TLimits limits = TLimits::FromCfg(Data().cfgYear);
        TPerFile per(Data().cfgYear.DataPath());
        const QStringList slParams{QStringLiteral("LAeq"), QStringLiteral("LAFmax"), QStringLiteral("LAF90")};
        for (const TTQMonitor* mon : Data().YearMonitors()) {
            v.aaRules.push_back(limits.RulesFor(mon->sID));
            auto& aDays = v.aaDays.emplace_back();
            for (QDate dt = dtYearFrom; dt <= dtYearTo; dt = dt.addDays(1)) {
                TLimitDayValues day;
                day.slParams = slParams;
                day.aadValues.resize(size_t(slParams.size()));
                if (per.Load(mon->sID, dt, 10)) {
                    for (int r = 0; r < per.RecCount(); ++r) {
                        day.anStartSecs.push_back(per.FldTimeSecs(r, 0));
                        for (qsizetype p = 0; p < slParams.size(); ++p) {
                            const double d = per.FldVal(r, per.FindFld(slParams[p]));
                            day.aadValues[size_t(p)].push_back(
                                d >= 0 ? d : std::numeric_limits<double>::quiet_NaN());
                        }
                    }
                }
                aDays.push_back(std::move(day));
            }
        }
        return v;
    }();
    return values;
}

// The judgement alone: 10 monitors x 52,560 periods x 6 rules.
void BM_LimitsAssessYearOfTen(benchmark::State& state)
{
    const TYearValues& v = YearValues();
    size_t nExc = 0;
    for (auto _ : state) {
        nExc = 0;
        for (size_t m = 0; m < v.aaDays.size(); ++m) {
            std::vector<TLimitExceedance> aExc;
            QDate dt = dtYearFrom;
            for (const TLimitDayValues& day : v.aaDays[m]) {
                benchmark::DoNotOptimize(TLimitCheck::AssessDay(v.aaRules[m], dt, 10, day, aExc));
                dt = dt.addDays(1);
            }
            nExc += aExc.size();
        }
    }
    state.counters["exceedances"] = double(nExc);
}
BENCHMARK(BM_LimitsAssessYearOfTen)->Unit(benchmark::kMillisecond);

// The same from the files: reading 3,650 periodic files and judging them, as
// --exceedances does; without (0) and with (1) a thousand exclusions.
void BM_LimitsComputeYearOfTen(benchmark::State& state)
{
    const TLimits limits = TLimits::FromCfg(Data().cfgYear);
    const TMonitorSel aMons = Data().YearMonitors();
    const TExclusions* pExcl = state.range(0) != 0 ? &ThousandExclusions() : nullptr;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            TLimitCheck::Compute(limits, Data().cfgYear.DataPath(), aMons, dtYearFrom, dtYearTo, 10, pExcl));
}
BENCHMARK(BM_LimitsComputeYearOfTen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The daily rating levels of the same year, as --summary computes them; without (0) and
// with (1) a thousand exclusions.
void BM_RatingComputeYearOfTen(benchmark::State& state)
{
    const TRatingSettings set = TRatingSettings::FromCfg(Data().cfgYear);
    const TMonitorSel aMons = Data().YearMonitors();
    const TExclusions* pExcl = state.range(0) != 0 ? &ThousandExclusions() : nullptr;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            TRating::Compute(set, Data().cfgYear.DataPath(), aMons, dtYearFrom, dtYearTo, 10, pExcl));
}
BENCHMARK(BM_RatingComputeYearOfTen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The Exceedances tab of a month of 5-minute periods of ten monitors: loaded (files,
// judgement, grid, model) and painted at the top, as on screen.
void BM_ExceedancesTabMonthOfTen(benchmark::State& state)
{
    TBenchData& data = Data();
    for (auto _ : state) {
        data.excPage->Build(TPageChoice{dtMonthFrom.startOfDay(), dtMonthTo.startOfDay(), dtMonthTo, 5});
        const QPixmap pixmap = data.tbl->grab();
        benchmark::DoNotOptimize(pixmap.cacheKey());
    }
    state.counters["rows"] = double(data.tbl->RowCount());
}
BENCHMARK(BM_ExceedancesTabMonthOfTen)->Unit(benchmark::kMillisecond);

void ShowFourParams(TCfg& cfg)
{
    for (const QString& sParam : MeasurementParams())
        cfg.SetPerParam(sParam, sParam == QStringLiteral("LAeq") || sParam == QStringLiteral("LAFmax") ||
                                    sParam == QStringLiteral("LAF10") || sParam == QStringLiteral("LAF90"));
}

// A year's periodic chart of one monitor (four parameters), plotted and painted, without
// (0) and with (1) the limit lines and marks of the schedule, at width x height, without
// (0) and with (1) the bands of a thousand exclusions.
void BM_PerChartYear_Limits(benchmark::State& state)
{
    TBenchData& data = Data();
    ShowFourParams(data.cfgYear);
    const bool bLimits = state.range(0) != 0;
    const int nWidth = int(state.range(1));
    const int nHeight = int(state.range(2));
    const TExclusions* pExcl = state.range(3) != 0 ? &ThousandExclusions() : nullptr;
    for (auto _ : state) {
        TPerChart chart(data.cfgYear);
        chart.SetMonitorID(data.monsYear.GetHead(0)->sID);
        chart.SetExclusions(pExcl);
        if (!bLimits)
            chart.SetLimitRules({});
        chart.PlotPeriod(dtYearFrom, dtYearTo, 10);
        const QPixmap pixmap = chart.toPixmap(nWidth, nHeight);
        benchmark::DoNotOptimize(pixmap.cacheKey());
        state.counters["series"] = chart.SeriesCount();
    }
}
BENCHMARK(BM_PerChartYear_Limits)
    ->Args({0, 1200, 400, 0})
    ->Args({1, 1200, 400, 0})
    ->Args({1, 1200, 400, 1})
    ->Args({0, 800, 320, 0})
    ->Args({1, 800, 320, 0})
    ->Unit(benchmark::kMillisecond);

// The painting alone of the periodic chart with its limits over nDays days from the
// year's first: a year, where the periods above a limit are a band at the plot's foot,
// or two days, where they are discs on the lines some 4 pixels apart at 1200 pixels
// (the most discs a plot can take before they turn into the band). The marks are
// hidden (0) or drawn as the chart draws them (1).
void BM_PerChart_PaintMarks(benchmark::State& state)
{
    TBenchData& data = Data();
    ShowFourParams(data.cfgYear);
    const int nDays = int(state.range(0));
    const int nMode = int(state.range(1));
    const int nWidth = int(state.range(2));
    const int nHeight = int(state.range(3));
    TPerChart chart(data.cfgYear);
    chart.SetMonitorID(data.monsYear.GetHead(0)->sID);
    chart.PlotPeriod(dtYearFrom, dtYearFrom.addDays(nDays - 1), 10);
    // One paint sizes the marks to the plot.
    benchmark::DoNotOptimize(chart.toPixmap(nWidth, nHeight).cacheKey());
    int nMarks = 0;
    const int nGraphs = chart.graphCount();
    for (int i = 0; i < nGraphs; ++i) {
        QCPGraph* marks = chart.graph(i);
        if (marks->scatterStyle().shape() != QCPScatterStyle::ssPixmap)
            continue;
        nMarks += marks->dataCount();
        marks->setVisible(nMode == 1);
    }
    for (auto _ : state) {
        const QPixmap pixmap = chart.toPixmap(nWidth, nHeight);
        benchmark::DoNotOptimize(pixmap.cacheKey());
    }
    state.counters["marks"] = nMarks;
}
BENCHMARK(BM_PerChart_PaintMarks)
    ->Args({365, 0, 1200, 400})
    ->Args({365, 1, 1200, 400})
    ->Args({365, 0, 800, 320})
    ->Args({365, 1, 800, 320})
    ->Args({2, 0, 1200, 400})
    ->Args({2, 1, 1200, 400})
    ->Args({2, 0, 800, 320})
    ->Args({2, 1, 800, 320})
    ->Unit(benchmark::kMillisecond);
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
