#include "views/almchart.h"

#include "analysis/exclusions.h"
#include "datafiles/almfile.h"
#include "settings/cfg.h"
#include "views/almbars.h"
#include "reports/gridfill.h"

#include <algorithm>

TAlmChart::TAlmChart(TCfg& cfg, QWidget* owner) : TChartBase(cfg, owner)
{
    bars = new TAlmBars(xAxis, yAxis);
    bars->setBrush(QColor(0xFF0000));

    xAxis->setLabel(QStringLiteral("Time & Date"));
    yAxis->setLabel(QStringLiteral("Alarm Count"));
    yAxis->setSubTicks(false);
    // A label at every whole count where the labels fit one above the other; with
    // higher counts every 2nd, 5th, 10th ... count.
    SetLeftTickSpacing(0, 0);
    // Ticks outside and the axis lines a pixel off the plot, so that no bar, however
    // thin or low, lies under them.
    for (QCPAxis* axis : {xAxis, yAxis}) {
        axis->setTickLength(0, 5);
        axis->setSubTickLength(0, 3);
        axis->setOffset(1);
    }
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
    std::vector<qint64> anStarts;

    if (nSlots > 0 && dtFrom.isValid() && dtTo.isValid()) {
        for (QDate d = dtFrom; d <= dtTo; d = d.addDays(1)) {
            TGridFill::CountAlarms(file, MonitorID(), d, nPeriod, anCounts);
            const QString sDate = d.toString(QStringLiteral("yyyy-MM-dd"));
            for (int s = 0; s < nSlots; ++s) {
                const int nCount = anCounts[size_t(s)];
                aKeys.append(double(aKeys.size()));
                aValues.append(nCount);
                anStarts.push_back(TExclusion::Wall(d, s * nPeriod * 60));
                slLabels.append(SlotLabel(asTimes[size_t(s)], sDate));
                nHighest = std::max(nHighest, nCount);
            }
        }
    }

    bars->setData(aKeys, aValues, true);
    // Alarms are no level: the bands show the exclusions of all levels.
    SetKeyPeriods(std::move(anStarts), nPeriod * 60);
    ShowExclusions({});
    yAxis->setRange(0, nHighest + 1);
    SetSlotsPerDay(nSlots);
    ShowFullRange();
}

QCPRange TAlmChart::FullBottomRange() const
{
    // Half a slot of room at either end shows the first and last bars whole.
    const int nCount = PointCount();
    return nCount > 0 ? QCPRange(-0.5, nCount - 0.5) : QCPRange(0, 0);
}

void TAlmChart::ScrollClamp()
{
    KeepInside(FullBottomRange());
}
