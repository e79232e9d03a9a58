#include "views/limitlines.h"

#include "views/qcpinclude.h"

#include <cmath>
#include <limits>

namespace {
qsizetype ParamIndex(const QStringList& slParams, const QString& sParam)
{
    for (qsizetype i = 0; i < slParams.size(); ++i)
        if (QString::compare(slParams[i], sParam, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// A filled point, drawn once: a year of marks painted as pixmaps costs a fraction of
// drawing each as an antialiased ellipse.
QPixmap Disc(const QColor& colour)
{
    QPixmap pm(7, 7);
    pm.fill(Qt::transparent);
    QPainter painter(&pm);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(colour);
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(1, 1, 5, 5));
    return pm;
}
} // namespace

std::pair<double, double> TLimitLines::Add(QCustomPlot& plot, const std::vector<TLimitRule>& aRules,
                                           const QStringList& slParams, const std::vector<TPlotSlot>& aSlots)
{
    constexpr double dNaN = std::numeric_limits<double>::quiet_NaN();
    double dLow = dNaN;
    double dHigh = dNaN;
    const qsizetype nParams = std::min<qsizetype>(slParams.size(), plot.graphCount());
    // The periods above any rule of a parameter, marked once however many rules they break.
    std::vector<std::vector<bool>> aabAbove(static_cast<size_t>(nParams));
    std::vector<int> anDow(aSlots.size());
    for (size_t i = 0; i < aSlots.size(); ++i)
        anDow[i] = i > 0 && aSlots[i].dt == aSlots[i - 1].dt ? anDow[i - 1] : aSlots[i].dt.dayOfWeek();

    for (const TLimitRule& rule : aRules) {
        const qsizetype k = ParamIndex(slParams, rule.sParam);
        if (k < 0 || k >= nParams)
            continue;
        QCPGraph* series = plot.graph(int(k));
        const auto data = series->data();
        const int nLimit = int(std::lround(rule.dLimit * 10.0));
        std::vector<bool>& abAbove = aabAbove[size_t(k)];
        abAbove.resize(aSlots.size(), false);

        // A run of periods under the rule is one level line from the start of its
        // first period to the end of its last; a gap breaks the line.
        QVector<double> adKeys;
        QVector<double> adValues;
        bool bInRun = false;
        for (size_t i = 0; i <= aSlots.size(); ++i) {
            const bool bHolds = i < aSlots.size() && rule.ContainsOnDay(anDow[i], aSlots[i].nSecs);
            if (bHolds && !bInRun) {
                adKeys.append(double(i));
                adValues.append(rule.dLimit);
            } else if (!bHolds && bInRun) {
                adKeys.append(double(i));
                adValues.append(rule.dLimit);
                adKeys.append(double(i) + 0.5);
                adValues.append(dNaN);
            }
            bInRun = bHolds;
            if (bHolds && int(i) < data->size()) {
                const double v = (data->constBegin() + int(i))->value;
                if (std::isfinite(v) && std::lround(v * 10.0) > nLimit)
                    abAbove[i] = true;
            }
        }
        if (adKeys.isEmpty())
            continue;

        QCPGraph* line = plot.addGraph();
        line->setName(rule.Name());
        line->setPen(QPen(series->pen().color(), 1, Qt::DashLine));
        line->setLineStyle(QCPGraph::lsLine);
        line->setData(adKeys, adValues, true);
        line->removeFromLegend();
        dLow = std::isnan(dLow) ? rule.dLimit : std::min(dLow, rule.dLimit);
        dHigh = std::isnan(dHigh) ? rule.dLimit : std::max(dHigh, rule.dLimit);
    }

    for (qsizetype k = 0; k < nParams; ++k) {
        const std::vector<bool>& abAbove = aabAbove[size_t(k)];
        QVector<double> adKeys;
        QVector<double> adValues;
        const auto data = plot.graph(int(k))->data();
        for (size_t i = 0; i < abAbove.size(); ++i)
            if (abAbove[i]) {
                adKeys.append(double(i));
                adValues.append((data->constBegin() + int(i))->value);
            }
        if (adKeys.isEmpty())
            continue;
        const QColor colour = plot.graph(int(k))->pen().color();
        QCPGraph* marks = plot.addGraph();
        marks->setName(slParams[k]);
        marks->setLineStyle(QCPGraph::lsNone);
        marks->setScatterStyle(QCPScatterStyle(Disc(colour)));
        marks->setData(adKeys, adValues, true);
        marks->removeFromLegend();
    }
    return {dLow, dHigh};
}
