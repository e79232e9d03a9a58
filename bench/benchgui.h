#pragma once

// The main of a benchmark that makes widgets, on the offscreen platform.

#include "platform/platform.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace bench {

inline int RunWithWidgets(int argc, char** argv)
{
    TPlatform::KeepFreedMemory(); // as the program's own main
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
