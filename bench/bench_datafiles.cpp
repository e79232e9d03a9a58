// Day-file readers against the cheapest possible reading of the same bytes: the
// file read whole and cut into lines, with no field ever looked at; and the readers
// with the eight-character steps of the line splitting switched off (_Plain).
#include "datafiles/csvsplit.h"
#include "datafiles/perfile.h"
#include "datafiles/thfile.h"
#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace {

const QString sMon = QStringLiteral("M01");
const QDate dtProfile(2024, 3, 7);
const QDate dtSparse(2024, 3, 8);
const QDate dtYearStart(2023, 1, 1);
constexpr int nYearDays = 365;
constexpr int nPeriod = 10;
// Each case runs several times, so that a busy machine shows as spread rather than
// as a slower reader.
constexpr int nReps = 5;

// One data folder for the whole run: a full profile day, a profile day with one
// hour of records, and a year of 10-minute periodic files.
class TBenchData final
{
public:
    TBenchData()
    {
        QRandomGenerator rng(42);
        auto level = [&rng] { return QByteArray::number(35.0 + rng.bounded(400) / 10.0, 'f', 1); };

        QByteArray baFull = ".Time,LAeq\r\n";
        QByteArray baSparse = baFull;
        for (int s = 0; s < 86400; ++s) {
            const QByteArray baLine = Time(s) + ',' + level() + "\r\n";
            baFull += baLine;
            if (s >= 36000 && s < 39600)
                baSparse += baLine;
        }
        Write(TTHFile::FileName(DataPath(), sMon, dtProfile), baFull);
        Write(TTHFile::FileName(DataPath(), sMon, dtSparse), baSparse);

        for (int d = 0; d < nYearDays; ++d) {
            QByteArray ba = ".Time,LAeq,LAFmin,LAFmax,LAF5,LAF10,LAF50,LAF90,LAF95,LAF99\r\n";
            for (int p = 0; p < 1440 / nPeriod; ++p) {
                ba += Time(p * nPeriod * 60);
                for (int f = 0; f < 9; ++f)
                    ba += ',' + (rng.bounded(50) == 0 ? QByteArray("-") : level());
                ba += "\r\n";
            }
            Write(TPerFile::FileName(DataPath(), sMon, dtYearStart.addDays(d), nPeriod), ba);
        }
    }

    QString DataPath() const { return tmp.path() + QStringLiteral("/"); }

private:
    static QByteArray Time(int nSec)
    {
        return QString::asprintf("%.2d:%.2d:%.2d", nSec / 3600, nSec / 60 % 60, nSec % 60).toLatin1();
    }

    static void Write(const QString& sPath, const QByteArray& ba)
    {
        QDir().mkpath(QFileInfo(sPath).path());
        QFile f(sPath);
        if (!f.open(QIODevice::WriteOnly) || f.write(ba) != ba.size())
            qFatal("cannot write the benchmark data");
    }

    QTemporaryDir tmp;
};

const TBenchData& Data()
{
    static const TBenchData data;
    return data;
}

// The baseline: read the bytes and split them at line feeds.
qsizetype ReadAndSplit(const QString& sPath)
{
    QFile f(sPath);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> aLines = f.readAll().split('\n');
    benchmark::DoNotOptimize(aLines.data());
    return aLines.size();
}

// Reads every level the way the charts do, keeping only those present (above 0).
int ReadProfileLevels(const TTHFile& th)
{
    int nPresent = 0;
    for (int i = 0; i < th.RecCount(); ++i)
        nPresent += th.FldVal(i, 1) > 0;
    return nPresent;
}

// ---- A complete profile day, 86400 records

// The splitting's eight-character steps off for the time of one benchmark.
class TPlainSplit final
{
public:
    TPlainSplit() { TCsvSplit::SetSimd(false); }
    ~TPlainSplit() { TCsvSplit::SetSimd(true); }
    TPlainSplit(const TPlainSplit&) = delete;
    TPlainSplit& operator=(const TPlainSplit&) = delete;
};

void BM_ProfileFullDay(benchmark::State& state)
{
    TTHFile th(Data().DataPath());
    for (auto _ : state) {
        th.Load(sMon, dtProfile);
        benchmark::DoNotOptimize(ReadProfileLevels(th));
    }
    state.counters["records"] = th.RecCount();
}
BENCHMARK(BM_ProfileFullDay)->Unit(benchmark::kMillisecond)->Repetitions(nReps)->ReportAggregatesOnly(true);

void BM_ProfileFullDay_Plain(benchmark::State& state)
{
    const TPlainSplit plain;
    BM_ProfileFullDay(state);
}
BENCHMARK(BM_ProfileFullDay_Plain)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(nReps)
    ->ReportAggregatesOnly(true);

void BM_ProfileFullDay_Baseline(benchmark::State& state)
{
    const QString sPath = TTHFile::FileName(Data().DataPath(), sMon, dtProfile);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadAndSplit(sPath));
}
BENCHMARK(BM_ProfileFullDay_Baseline)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(nReps)
    ->ReportAggregatesOnly(true);

// ---- One hour of profile records, filled to a whole day

void BM_ProfileSparseDay(benchmark::State& state)
{
    TTHFile th(Data().DataPath());
    for (auto _ : state) {
        th.Load(sMon, dtSparse);
        benchmark::DoNotOptimize(ReadProfileLevels(th));
    }
    state.counters["records"] = th.RecCount();
}
BENCHMARK(BM_ProfileSparseDay)->Unit(benchmark::kMillisecond)->Repetitions(nReps)->ReportAggregatesOnly(true);

void BM_ProfileSparseDay_Baseline(benchmark::State& state)
{
    const QString sPath = TTHFile::FileName(Data().DataPath(), sMon, dtSparse);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadAndSplit(sPath));
}
BENCHMARK(BM_ProfileSparseDay_Baseline)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(nReps)
    ->ReportAggregatesOnly(true);

// ---- A year of 10-minute periodic files

void BM_PeriodicYear(benchmark::State& state)
{
    TPerFile per(Data().DataPath());
    for (auto _ : state) {
        int nPresent = 0;
        for (int d = 0; d < nYearDays; ++d) {
            per.Load(sMon, dtYearStart.addDays(d), nPeriod);
            for (int iRec = 0; iRec < per.RecCount(); ++iRec) {
                for (int iFld = 1; iFld < per.FldCount(); ++iFld)
                    nPresent += per.FldVal(iRec, iFld) > 0;
            }
        }
        benchmark::DoNotOptimize(nPresent);
    }
}
BENCHMARK(BM_PeriodicYear)->Unit(benchmark::kMillisecond)->Repetitions(nReps)->ReportAggregatesOnly(true);

void BM_PeriodicYear_Plain(benchmark::State& state)
{
    const TPlainSplit plain;
    BM_PeriodicYear(state);
}
BENCHMARK(BM_PeriodicYear_Plain)->Unit(benchmark::kMillisecond)->Repetitions(nReps)->ReportAggregatesOnly(true);

void BM_PeriodicYear_Baseline(benchmark::State& state)
{
    const QString sData = Data().DataPath();
    for (auto _ : state) {
        for (int d = 0; d < nYearDays; ++d)
            benchmark::DoNotOptimize(
                ReadAndSplit(TPerFile::FileName(sData, sMon, dtYearStart.addDays(d), nPeriod)));
    }
}
BENCHMARK(BM_PeriodicYear_Baseline)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(nReps)
    ->ReportAggregatesOnly(true);

// The console table, then each reader case against its baseline of the same run:
// the ratio of the medians, so a slower reader shows as a number.
class TRatioReporter final : public benchmark::ConsoleReporter
{
public:
    TRatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& aRuns) override
    {
        ConsoleReporter::ReportRuns(aRuns);
        for (const Run& run : aRuns) {
            if (run.error_occurred || (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median"))
                continue;
            mapTimes[run.run_name.function_name] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        // The table goes to the reporter's stream, so the summary does too, after it.
        std::ostream& out = GetOutputStream();
        const std::string sSuffix = "_Baseline";
        out << "\nReader against read+split of the same bytes (medians of " << nReps << " runs):\n";
        for (const auto& [sName, times] : mapTimes) {
            if (sName.size() > sSuffix.size() &&
                sName.compare(sName.size() - sSuffix.size(), sSuffix.size(), sSuffix) == 0)
                continue;
            const auto it = mapTimes.find(sName + sSuffix);
            if (it == mapTimes.end() || it->second.first <= 0 || it->second.second <= 0)
                continue;
            char szLine[128];
            std::snprintf(szLine, sizeof szLine, "  %-22s %6.2fx real  %6.2fx cpu\n", sName.c_str(),
                          times.first / it->second.first, times.second / it->second.second);
            out << szLine;
        }
        out.flush();
    }

private:
    std::map<std::string, std::pair<double, double>> mapTimes; // real and CPU time per case
};

} // namespace

int main(int argc, char** argv)
{
    TPlatform::KeepFreedMemory(); // as the program's own main
    // The runs of a reader and of its baseline are interleaved at random, so that a
    // spell of load on the machine falls on both and not on one of a pair.
    std::vector<char*> aArgs(argv, argv + argc);
    std::string sInterleave = "--benchmark_enable_random_interleaving=true";
    if (std::none_of(aArgs.begin(), aArgs.end(),
                     [](const char* p) { return std::strstr(p, "random_interleaving") != nullptr; }))
        aArgs.insert(aArgs.begin() + 1, sInterleave.data());
    argc = int(aArgs.size());
    aArgs.push_back(nullptr);
    argv = aArgs.data();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
