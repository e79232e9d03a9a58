// The data-quality report at the size it promises: a year of 10-minute periods of ten
// monitors, with alarm and calibration files. The computation from the files alone,
// the tab on screen (calendar and table, built and painted) and the CSV of --quality.
#include "analysis/quality.h"
#include "analysis/qualityfill.h"
#include "benchmain.h"
#include "benchsim.h"
#include "monitors/monitor.h"
#include "pages/qualpage.h"
#include "platform/platform.h"
#include "settings/cfg.h"
#include "sim/simulator.h"
#include "views/grid.h"

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
const QDate dtFrom(2024, 1, 1);
const QDate dtTo(2024, 12, 30); // 365 days

// One simulated monitor, its folder copied under nine more IDs, as in the limits
// benchmark: the simulator would take minutes for ten years of files.
void WriteTenMonitors(const QString& sDataPath)
{
    TSimOptions opt = bench::PeriodicOptions(sDataPath, 1, dtFrom, dtTo, 10);
    opt.bCalibrations = true;
    bench::WriteCopiedMonitors(opt, nMonitors);
}

class TBenchData final
{
public:
    TBenchData() : cfg(dirApp.path())
    {
        WriteTenMonitors(dirData.path() + QLatin1Char('/'));
        cfg.SetDataPath(dirData.path() + QLatin1Char('/'));
        mons.LoadMonitors(cfg.DataPath());
        for (int i = 0; i < mons.Count(); ++i) {
            auto* item = new QListWidgetItem(mons.GetHead(i)->sName, &chklstMon);
            item->setCheckState(Qt::Checked);
            aMons.push_back(mons.GetHead(i));
        }
        // The window's report area at 1400 x 900.
        page.resize(1150, 720);
        qualPage = std::make_unique<TQualPage>(TPageEnv{cfg, mons, &chklstMon, {}}, &page);
        qualPage->resize(page.size());
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
    std::unique_ptr<TQualPage> qualPage;
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

// 3,650 periodic files, with the alarm and calibration files of the same days.
void BM_QualityComputeYearOfTen(benchmark::State& state)
{
    TBenchData& data = Data();
    const TQualitySettings set = TQualitySettings::FromCfg(data.cfg, QDateTime());
    size_t nGaps = 0;
    for (auto _ : state) {
        const auto a = TQuality::Compute(set, data.cfg.DataPath(), data.aMons, dtFrom, dtTo, 10, nullptr);
        nGaps = 0;
        for (const TQualityMonitor& qm : a)
            nGaps += qm.aGaps.size();
        benchmark::DoNotOptimize(a.data());
    }
    state.counters["gaps"] = double(nGaps);
}
BENCHMARK(BM_QualityComputeYearOfTen)->Unit(benchmark::kMillisecond);

// The tab on screen: its page 0 (the calendars, laid out and painted) or 1 (the table,
// loaded and painted at the top).
void BM_QualityTabYearOfTen(benchmark::State& state)
{
    TBenchData& data = Data();
    const int iPage = int(state.range(0));
    data.qualPage->SetCurrentPage(iPage);
    for (auto _ : state) {
        data.qualPage->Build(TPageChoice{dtFrom.startOfDay(), dtTo.startOfDay(), dtTo, 10});
        const QPixmap pixmap = data.qualPage->grab();
        benchmark::DoNotOptimize(pixmap.cacheKey());
    }
    state.counters["charts"] = double(data.qualPage->Charts().size());
}
BENCHMARK(BM_QualityTabYearOfTen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// --quality over the same year.
void BM_QualityCsvYearOfTen(benchmark::State& state)
{
    TBenchData& data = Data();
    qint64 nChars = 0;
    for (auto _ : state) {
        QString s;
        QTextStream out(&s);
        TQualPage::WriteCsv(data.cfg, data.cfg.DataPath(), data.aMons, dtFrom, dtTo, 10, nullptr, out);
        nChars = s.size();
    }
    state.counters["chars"] = double(nChars);
}
BENCHMARK(BM_QualityCsvYearOfTen)->Unit(benchmark::kMillisecond);
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
