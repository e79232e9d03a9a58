#include "views/almchart.h"

#include "datafiles/almfile.h"
#include "settings/cfg.h"
#include "views/gridfill.h"

#include <algorithm>

TAlmChart::TAlmChart(TCfg& cfg, QWidget* owner) : TChartBase(cfg, owner)
{
    bars = new QCPBars(xAxis, yAxis);
    bars->setWidth(1);
    bars->setPen(Qt::NoPen);
    bars->setBrush(QColor(0xFF0000));
    bars->setAntialiased(false);

    xAxis->setLabel(QStringLiteral("Time & Date"));
    yAxis->setLabel(QStringLiteral("Alarm Count"));
    // Ticks at whole counts; with high counts every 2nd, 5th ... count, so they stay readable.
    auto tickerCount = QSharedPointer<QCPAxisTickerFixed>::create();
    tickerCount->setTickStep(1);
    tickerCount->setScaleStrategy(QCPAxisTickerFixed::ssMultiples);
    tickerCount->setTickCount(8);
    yAxis->setTicker(tickerCount);
    yAxis->setSubTicks(false);
    yAxis->setRange(0, 1);
    UseLabelAxis();
}

TAlmChart::~TAlmChart() = default;

void TAlmChart::PlotPeriod(const QDate& dtFrom, const QDate& dtTo)
{
    const int nPeriod = cfg.RepPerPeriod();
    const int nSlots = TGridFill::PeriodsPerDay(nPeriod);
    const std::vector<QString> asTimes = TGridFill::PeriodTimes(nPeriod);
    TAlmFile file(cfg.DataPath());
    int nHighest = 0;
    QVector<double> aKeys;
    QVector<double> aValues;
    std::vector<int> anCounts;

    if (nSlots > 0 && dtFrom.isValid() && dtTo.isValid()) {
        for (QDate d = dtFrom; d <= dtTo; d = d.addDays(1)) {
            TGridFill::CountAlarms(file, MonitorID(), d, nPeriod, anCounts);
            const QString sDate = d.toString(QStringLiteral("yyyy-MM-dd"));
            for (int s = 0; s < nSlots; ++s) {
                const int nCount = anCounts[size_t(s)];
                aKeys.append(double(aKeys.size()));
                aValues.append(nCount);
                slLabels.append(asTimes[size_t(s)] + QLatin1Char('\n') + sDate);
                nHighest = std::max(nHighest, nCount);
            }
        }
    }

    bars->setData(aKeys, aValues, true);
    yAxis->setRange(0, nHighest + 1);
    SetSlotsPerDay(nSlots);
    ShowFullRange();
}
