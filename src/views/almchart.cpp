#include "views/almchart.h"

#include "datafiles/almfile.h"
#include "settings/cfg.h"

#include <QTime>

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
    const int nSlots = nPeriod > 0 ? 1440 / nPeriod : 0;
    TAlmFile file(cfg.DataPath());
    int nHighest = 0;
    QVector<double> aKeys;
    QVector<double> aValues;
    QVector<int> aCounts(nSlots);

    if (nSlots > 0 && dtFrom.isValid() && dtTo.isValid()) {
        for (QDate d = dtFrom; d <= dtTo; d = d.addDays(1)) {
            aCounts.fill(0);
            if (file.Load(MonitorID(), d)) {
                for (int r = 0; r < file.RecCount(); ++r) {
                    // An alarm whose time cannot be read belongs to no period.
                    const int nSecs = file.FldTimeSecs(r, 0);
                    if (nSecs < 0)
                        continue;
                    const int iSlot = nSecs / 60 / nPeriod;
                    if (iSlot < nSlots)
                        ++aCounts[iSlot];
                }
            }
            const QString sDate = d.toString(QStringLiteral("yyyy-MM-dd"));
            for (int s = 0; s < nSlots; ++s) {
                aKeys.append(double(aKeys.size()));
                aValues.append(aCounts.at(s));
                slLabels.append(QTime(0, 0).addSecs(s * nPeriod * 60).toString(QStringLiteral("HH:mm:ss")) +
                                QLatin1Char('\n') + sDate);
                nHighest = std::max(nHighest, aCounts.at(s));
            }
        }
    }

    bars->setData(aKeys, aValues, true);
    yAxis->setRange(0, nHighest + 1);
    SetSlotsPerDay(nSlots);
    const QCPRange range = FullBottomRange();
    if (range.size() > 0)
        xAxis->setRange(range);
    replot(rpQueuedReplot);
}
