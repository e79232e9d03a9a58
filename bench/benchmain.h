#pragma once

// The main of a benchmark: the benchmarks named on the command line.

#include <benchmark/benchmark.h>

namespace bench {

// Runs the benchmarks; 1 for an option it does not know.
inline int RunBenchmarks(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The main of a benchmark that makes no widgets.
inline int Run(int argc, char** argv)
{
    return RunBenchmarks(argc, argv);
}

} // namespace bench
