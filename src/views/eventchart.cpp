#include "views/eventchart.h"

#include "monitors/monitor.h"
#include "settings/cfg.h"
#include "views/almbars.h"

#include <QFontMetrics>

#include <algorithm>

TEventChart::TEventChart(TCfg& cfg, QWidget* owner) : TChartBase(cfg, owner)
{
    // The alarm chart's bars: whole pixels, and a count of 1 never less than a pixel high.
    bars = new TAlmBars(xAxis, yAxis);
    bars->setBrush(QColor(0xC00000));

    yAxis->setLabel(QStringLiteral("Events per hour"));
    // Whole counts, as many as fit one above the other without touching.
    SetLeftTickSpacing(0, 0);
    yAxis->setSubTicks(false);
    // As on the alarm chart, ticks outside and the axis lines a pixel off the plot, so
    // that no bar lies under them.
    for (QCPAxis* axis : {xAxis, yAxis}) {
        axis->setTickLength(0, 5);
        axis->setSubTickLength(0, 3);
        axis->setOffset(1);
    }
    yAxis->setRange(0, 1);
    // Room right of the plot for half of the "24:00" label, which the chart component
    // leaves out altogether where it would reach past the chart's edge.
    const int nHalfLabel = QFontMetrics(xAxis->tickLabelFont()).horizontalAdvance(QStringLiteral("24:00")) / 2 + 2;
    axisRect()->setMinimumMargins(QMargins(0, 0, nHalfLabel, 0));
    UseLabelAxis();
}

TEventChart::~TEventChart() = default;

void TEventChart::PlotEvents(const TEventDay& day)
{
    QVector<double> aKeys;
    QVector<double> aValues;
    slLabels.clear();
    nHighest = 0;
    // Hour h is the bar from key h to key h + 1; the axis is labelled at the hours'
    // starts, 00:00 to 24:00.
    for (int h = 0; h < 24; ++h) {
        const int n = day.anPerHour[size_t(h)];
        aKeys.append(h + 0.5);
        aValues.append(n);
        slLabels.append(QString::asprintf("%02d:00", h));
        nHighest = std::max(nHighest, n);
    }
    slLabels.append(QStringLiteral("24:00"));
    bars->setData(aKeys, aValues, true);
    QFont fontBottom = xAxis->labelFont();
    fontBottom.setBold(true);
    xAxis->setLabelFont(fontBottom);
    xAxis->setLabel(QStringLiteral("Date: ") + day.dt.toString(QStringLiteral("yyyy-MM-dd")) +
                    QStringLiteral("   Events: ") + QString::number(day.Counted()) +
                    (day.Excluded() > 0 ? QStringLiteral(" (") + QString::number(day.Excluded()) +
                                              QStringLiteral(" excluded)")
                                        : QString()));
    SetCountMax(nHighest);
    SetSlotsPerDay(24);
    ShowFullRange();
}

void TEventChart::PlotDay(const QDate& dtDay)
{
    const TTQMonitor mon{MonitorID(), QString(), QString()};
    const std::vector<TEventMonitor> a =
        TEvents::Compute(TEventSettings::FromCfg(cfg), cfg.DataPath(), {&mon}, dtDay, dtDay, Exclusions());
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

QCPRange TEventChart::FullBottomRange() const
{
    return QCPRange(0, 24);
}

void TEventChart::ScrollClamp()
{
    KeepInside(FullBottomRange());
}
