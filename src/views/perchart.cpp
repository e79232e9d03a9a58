#include "views/perchart.h"

#include "analysis/exclusions.h"
#include "analysis/level.h"
#include "datafiles/perfile.h"
#include "settings/cfg.h"
#include "reports/gridfill.h"
#include "views/limitlines.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {
// The colours new series take, in order.
constexpr std::array<QRgb, 9> aSeriesColours{0xFF0000, 0x008000, 0xFFFF00, 0x0000FF, 0x808080,
                                             0xFF00FF, 0x008080, 0x000080, 0x800000};
} // namespace

TPerChart::TPerChart(TCfg& cfg, QWidget* owner) : TChartBase(cfg, owner)
{
    for (const QString& sParam : MeasurementParams()) {
        if (!cfg.IncludeParam(sParam))
            continue;
        QCPGraph* graph = addGraph();
        graph->setName(sParam);
        graph->setPen(QPen(QColor(aSeriesColours.at(slParams.size() % aSeriesColours.size())), 1));
        graph->setLineStyle(QCPGraph::lsLine);
        graph->setAdaptiveSampling(true);
        slParams.append(sParam);
    }
    // Beside the plot the legend hides no line, and it stays readable on the lowest
    // charts of a crowded page. Without a parameter there is nothing to explain.
    if (slParams.isEmpty()) {
        SetLegendShown(false);
    } else {
        SetLegendBeside();
        legend->setBorderPen(QPen(Qt::gray));
    }
    xAxis->setLabel(QStringLiteral("Time & Date"));
    yAxis->setLabel(QStringLiteral("Sound Level  dB(A)"));
    UseLabelAxis();
}

TPerChart::~TPerChart() = default;

void TPerChart::PlotPeriod(const QDate& dtFrom, const QDate& dtTo, int nPeriod)
{
    const int nSeries = int(slParams.size());
    if (nSeries == 0 || nPeriod <= 0 || !dtFrom.isValid() || !dtTo.isValid())
        return;

    constexpr double dNull = std::numeric_limits<double>::quiet_NaN();
    const int nSlotsPerDay = TGridFill::PeriodsPerDay(nPeriod);
    const std::vector<QString> asTimes = TGridFill::PeriodTimes(nPeriod);
    TPerFile file(cfg.DataPath());
    double dLowest = 999.0;
    double dHighest = 0.0;
    QVector<double> aKeys;
    std::vector<QVector<double>> aValues(static_cast<size_t>(nSeries));
    QVector<int> aCols(nSeries);
    TPlotPeriods periods; // the period of each key, for the limit lines

    // Room for the usual number of periods, one file a day.
    const qsizetype nDays = qsizetype(std::max<qint64>(dtFrom.daysTo(dtTo) + 1, 0));
    const qsizetype nExpected = nDays * nSlotsPerDay;
    aKeys.reserve(nExpected);
    for (auto& aSeries : aValues)
        aSeries.reserve(nExpected);
    slLabels.reserve(slLabels.size() + nExpected);
    periods.anSecs.reserve(size_t(nExpected));
    periods.aDays.reserve(size_t(nDays));
    QString sTimeBuf;

    for (QDate d = dtFrom; d <= dtTo; d = d.addDays(1)) {
        const QString sDate = d.toString(QStringLiteral("yyyy-MM-dd"));
        periods.BeginDay(d);
        if (file.Load(MonitorID(), d, nPeriod)) {
            for (int k = 0; k < nSeries; ++k)
                aCols[k] = file.FindFld(slParams.at(k));
            for (int r = 0; r < file.RecCount(); ++r) {
                aKeys.append(double(aKeys.size()));
                slLabels.append(SlotLabel(file.FldText(r, 0, sTimeBuf), sDate));
                periods.Append(file.FldTimeSecs(r, 0));
                for (int k = 0; k < nSeries; ++k) {
                    const double v = aCols[k] < 0 ? -1 : file.FldVal(r, aCols[k]);
                    if (!TLevel::Is(v)) {
                        aValues[size_t(k)].append(dNull);
                        continue;
                    }
                    aValues[size_t(k)].append(v);
                    dLowest = std::min(dLowest, v);
                    dHighest = std::max(dHighest, v);
                }
            }
        } else {
            // A day without a readable file keeps its full width, as empty slots.
            for (int s = 0; s < nSlotsPerDay; ++s) {
                aKeys.append(double(aKeys.size()));
                slLabels.append(SlotLabel(asTimes[size_t(s)], sDate));
                periods.Append(s * nPeriod * 60);
                for (auto& aSeries : aValues)
                    aSeries.append(dNull);
            }
        }
    }

    for (int k = 0; k < nSeries; ++k)
        graph(k)->setData(aKeys, aValues[size_t(k)], true);
    std::vector<qint64> anStarts;
    anStarts.reserve(periods.anSecs.size());
    for (const TPlotPeriods::TDay& day : periods.aDays)
        for (size_t i = day.nBegin; i < day.nEnd; ++i)
            anStarts.push_back(periods.anSecs[i] < 0 ? -1 : TExclusion::Wall(day.dt, periods.anSecs[i]));
    SetKeyPeriods(std::move(anStarts), nPeriod * 60);
    ShowExclusions(slParams);
    const auto [dLimitLow, dLimitHigh] =
        TLimitLines::Add(*this, aLimitRules ? *aLimitRules : TLimits::FromCfg(cfg).RulesFor(MonitorID()),
                         slParams, periods, aValues);
    if (bLimitKey && !std::isnan(dLimitLow))
        TLimitLines::AddKey(*legend);
    if (dLowest != 999.0 && dHighest != 0.0) {
        // The limits drawn stay in sight with the levels.
        if (!std::isnan(dLimitLow)) {
            dLowest = std::min(dLowest, dLimitLow);
            dHighest = std::max(dHighest, dLimitHigh);
        }
        SetLevelRange(dLowest, dHighest);
    }
    SetSlotsPerDay(nSlotsPerDay);
    ShowFullRange();
}
