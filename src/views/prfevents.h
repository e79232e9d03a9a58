#pragma once

#include <QDate>

class QCustomPlot;
class TCfg;
class TTHFile;

// What the profile chart shows of the noise events of its day, as the settings ask:
// each event as a shaded span behind the level line, and the threshold as a dashed
// line that steps where the night and day thresholds take over.
class TPrfEvents final
{
public:
    TPrfEvents() = delete;

    // Removes whatever Show added before.
    static void Clear(QCustomPlot& plot);
    // Adds the spans and the threshold line of the loaded day dtDay; the keys are
    // seconds from dDayStartKey.
    static void Show(QCustomPlot& plot, const TCfg& cfg, const TTHFile& file, double dDayStartKey);

    // Object names of what Show adds, for finding them again.
    static const char* SpanName() { return "evtSpan"; }
    static const char* ThresholdName() { return "evtThreshold"; }
};
