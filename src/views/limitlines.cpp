#include "views/limitlines.h"

#include "views/qcpinclude.h"

#include <cmath>
#include <limits>

std::pair<double, double> TLimitLines::Add(QCustomPlot& plot, const std::vector<TLimitRule>& aRules,
                                           const QStringList& slParams, const std::vector<TPlotSlot>& aSlots)
{
    constexpr double dNaN = std::numeric_limits<double>::quiet_NaN();
    double dLow = dNaN;
    double dHigh = dNaN;
    for (const TLimitRule& rule : aRules) {
        qsizetype k = -1;
        for (qsizetype i = 0; i < slParams.size(); ++i)
            if (QString::compare(slParams[i], rule.sParam, Qt::CaseInsensitive) == 0)
                k = i;
        if (k < 0 || k >= plot.graphCount())
            continue;
        QCPGraph* series = plot.graph(int(k));
        const QColor colour = series->pen().color();
        const auto data = series->data();
        const int nLimit = int(std::lround(rule.dLimit * 10.0));

        QVector<double> adLineKeys;
        QVector<double> adLineValues;
        QVector<double> adMarkKeys;
        QVector<double> adMarkValues;
        bool bInRun = false;
        for (size_t i = 0; i < aSlots.size(); ++i) {
            const bool bHolds = rule.Contains(aSlots[i].dt, aSlots[i].nSecs);
            if (bHolds) {
                adLineKeys.append(double(i));
                adLineValues.append(rule.dLimit);
                if (int(i) < data->size()) {
                    const double v = (data->constBegin() + int(i))->value;
                    if (std::isfinite(v) && std::lround(v * 10.0) > nLimit) {
                        adMarkKeys.append(double(i));
                        adMarkValues.append(v);
                    }
                }
            } else if (bInRun) {
                // The line reaches the end of the run's last period, then breaks.
                adLineKeys.append(double(i));
                adLineValues.append(rule.dLimit);
                adLineKeys.append(double(i) + 0.5);
                adLineValues.append(dNaN);
            }
            bInRun = bHolds;
        }
        if (bInRun) {
            adLineKeys.append(double(aSlots.size()));
            adLineValues.append(rule.dLimit);
        }
        if (adLineKeys.isEmpty())
            continue;

        QCPGraph* line = plot.addGraph();
        line->setName(rule.Name());
        line->setPen(QPen(colour, 1, Qt::DashLine));
        line->setLineStyle(QCPGraph::lsLine);
        line->setData(adLineKeys, adLineValues, true);
        line->removeFromLegend();
        if (!adMarkKeys.isEmpty()) {
            QCPGraph* marks = plot.addGraph();
            marks->setName(rule.Name());
            marks->setLineStyle(QCPGraph::lsNone);
            marks->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, colour, colour, 5));
            marks->setData(adMarkKeys, adMarkValues, true);
            marks->removeFromLegend();
        }
        dLow = std::isnan(dLow) ? rule.dLimit : std::min(dLow, rule.dLimit);
        dHigh = std::isnan(dHigh) ? rule.dLimit : std::max(dHigh, rule.dLimit);
    }
    return {dLow, dHigh};
}
