#pragma once

// The main of a benchmark that makes widgets, on the offscreen platform.

#include "benchmain.h"

#include <QApplication>

namespace bench {

inline int RunWithWidgets(int argc, char** argv)
{
    TPlatform::KeepFreedMemory(); // as the program's own main
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}

} // namespace bench
