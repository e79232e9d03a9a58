#pragma once

// The main of a benchmark: the program's own memory policy, then the benchmarks
// named on the command line.

#include "platform/platform.h"

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
    TPlatform::KeepFreedMemory(); // as the program's own main
    return RunBenchmarks(argc, argv);
}

} // namespace bench
