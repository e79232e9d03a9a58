#include "views/prfevents.h"

#include "analysis/events.h"
#include "settings/cfg.h"
#include "views/prfspan.h"
#include "views/qcpinclude.h"

namespace {
bool Named(const QObject* o, const char* psz)
{
    return o->objectName() == QLatin1String(psz);
}
} // namespace

void TPrfEvents::Clear(QCustomPlot& plot)
{
    for (int i = plot.itemCount() - 1; i >= 0; --i)
        if (Named(plot.item(i), SpanName()))
            plot.removeItem(i);
    for (int i = plot.graphCount() - 1; i >= 0; --i)
        if (Named(plot.graph(i), ThresholdName()))
            plot.removeGraph(i);
}

void TPrfEvents::Show(QCustomPlot& plot, const TCfg& cfg, const TTHFile& file, double dDayStartKey)
{
    Clear(plot);
    if (!cfg.EvtShowSpans() && !cfg.EvtShowThreshold())
        return;
    const TEventSettings set = TEventSettings::FromCfg(cfg);
    // The threshold in force may follow the background second by second, and an event
    // holds its own: the line draws what the detection used.
    std::vector<double> adThresholds;
    const TEventDay day = TEvents::DetectDay(set, TEvents::DayLevels(file), &adThresholds);

    if (cfg.EvtShowSpans()) {
        for (const TNoiseEvent& ev : day.aEvents) {
            auto* rect = new TPrfSpan(&plot);
            rect->setObjectName(QLatin1String(SpanName()));
            // Behind the level line: the grid layer lies under the graphs.
            rect->setLayer(QStringLiteral("grid"));
            rect->setBrush(QColor(255, 160, 0, 70));
            // The span covers its last second, as the step line draws it.
            rect->topLeft->setCoords(dDayStartKey + ev.nStart, 0);
            rect->bottomRight->setCoords(dDayStartKey + ev.nEnd + 1, 1);
        }
    }

    if (cfg.EvtShowThreshold()) {
        QCPGraph* graph = plot.addGraph();
        graph->setObjectName(QLatin1String(ThresholdName()));
        graph->setName(QStringLiteral("Threshold"));
        graph->removeFromLegend();
        QPen pen(QColor(0x404040), 1, Qt::DashLine);
        graph->setPen(pen);
        graph->setLineStyle(QCPGraph::lsStepLeft);
        // A point where the threshold changes, and one at the day's end.
        QVector<double> aKeys;
        QVector<double> aValues;
        for (size_t s = 0; s < adThresholds.size(); ++s)
            if (s == 0 || adThresholds[s] != adThresholds[s - 1]) {
                aKeys.append(dDayStartKey + double(s));
                aValues.append(adThresholds[s]);
            }
        if (!adThresholds.empty()) {
            aKeys.append(dDayStartKey + double(adThresholds.size()));
            aValues.append(adThresholds.back());
        }
        graph->setData(aKeys, aValues, true);
    }
}
