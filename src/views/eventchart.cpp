#include "views/eventchart.h"

#include "monitors/monitor.h"
#include "settings/cfg.h"

#include <algorithm>

TEventChart::TEventChart(TCfg& cfg, QWidget* owner) : TChartBase(cfg, owner)
{
    bars = new QCPBars(xAxis, yAxis);
    bars->setWidth(0.8);
    bars->setPen(Qt::NoPen);
    bars->setBrush(QColor(0xC00000));
    bars->setAntialiased(false);

    yAxis->setLabel(QStringLiteral("Events per hour"));
    // Whole counts only; with many events every 2nd, 5th ... count.
    auto tickerCount = QSharedPointer<QCPAxisTickerFixed>::create();
    tickerCount->setTickStep(1);
    tickerCount->setScaleStrategy(QCPAxisTickerFixed::ssMultiples);
    tickerCount->setTickCount(8);
    yAxis->setTicker(tickerCount);
    yAxis->setSubTicks(false);
    yAxis->setRange(0, 1);
    UseLabelAxis();
}

TEventChart::~TEventChart() = default;

void TEventChart::PlotEvents(const TEventDay& day)
{
    QVector<double> aKeys;
    QVector<double> aValues;
    slLabels.clear();
    nHighest = 0;
    for (int h = 0; h < 24; ++h) {
        const int n = day.anPerHour[size_t(h)];
        aKeys.append(h);
        aValues.append(n);
        slLabels.append(QString::asprintf("%02d:00", h));
        nHighest = std::max(nHighest, n);
    }
    bars->setData(aKeys, aValues, true);
    QFont fontBottom = xAxis->labelFont();
    fontBottom.setBold(true);
    xAxis->setLabelFont(fontBottom);
    xAxis->setLabel(QStringLiteral("Date: ") + day.dt.toString(QStringLiteral("yyyy-MM-dd")) +
                    QStringLiteral("   Events: ") + QString::number(day.aEvents.size()));
    SetCountMax(nHighest);
    SetSlotsPerDay(24);
    ShowFullRange();
}

void TEventChart::PlotDay(const QDate& dtDay)
{
    const TTQMonitor mon{MonitorID(), QString(), QString()};
    const std::vector<TEventMonitor> a =
        TEvents::Compute(TEventSettings::FromCfg(cfg), cfg.DataPath(), {&mon}, dtDay, dtDay);
    TEventDay day;
    day.dt = dtDay;
    if (!a.empty() && !a.front().aDays.empty())
        day = a.front().aDays.front();
    PlotEvents(day);
}

void TEventChart::SetCountMax(int nMax)
{
    yAxis->setRange(0, nMax + 1);
}
