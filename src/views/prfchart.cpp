#include "views/prfchart.h"

#include "analysis/exclusions.h"
#include "datafiles/thfile.h"
#include "settings/cfg.h"
#include "views/timeticker.h"
#include "views/prfevents.h"

#include <QDateTime>
#include <QTime>

#include <algorithm>
#include <limits>

namespace {
// Keys are seconds on a UTC clock, so that second k of the day reads as its clock
// time whatever the local zone and its summer-time changes.
double DayStartKey(const QDate& dt)
{
    return double(QDateTime(dt, QTime(0, 0), Qt::UTC).toSecsSinceEpoch());
}
} // namespace

TPrfChart::TPrfChart(TCfg& cfg, QWidget* owner) : TChartBase(cfg, owner)
{
    graphLevel = addGraph();
    graphLevel->setPen(QPen(QColor(0xFF0000), 1));
    graphLevel->setLineStyle(QCPGraph::lsStepLeft);
    graphLevel->setAdaptiveSampling(true);

    xAxis->setTicker(QSharedPointer<TTimeTicker>::create(xAxis));
    yAxis->setLabel(QStringLiteral("LAeq,1s  dB(A)"));
}

TPrfChart::~TPrfChart() = default;

void TPrfChart::PlotDay(const QDate& dtDay)
{
    graphLevel->data()->clear();
    TPrfEvents::Clear(*this);
    dtPlotted = dtDay;
    TTHFile file(cfg.DataPath());
    double dLowest = 999.0;
    double dHighest = 0.0;

    if (dtDay.isValid() && file.Load(MonitorID(), dtDay)) {
        constexpr double dNull = std::numeric_limits<double>::quiet_NaN();
        const int nRecs = file.RecCount();
        const double dStart = DayStartKey(dtDay);
        QVector<double> aKeys(nRecs);
        QVector<double> aValues(nRecs);
        bool bAnyLevel = false;
        for (int i = 0; i < nRecs; ++i) {
            aKeys[i] = dStart + i;
            const double v = file.FldVal(i, 1);
            // A level of 0 still counts for the axis but, like a filler, is not drawn.
            if (v > -1) {
                dLowest = std::min(dLowest, v);
                dHighest = std::max(dHighest, v);
            }
            aValues[i] = v > 0 ? v : dNull;
            bAnyLevel = bAnyLevel || v > 0;
        }
        if (bAnyLevel)
            graphLevel->setData(aKeys, aValues, true);
        TPrfEvents::Show(*this, cfg, file, dStart);
    }

    // Key k of the day is second k after its midnight; without a day, no time.
    if (dtDay.isValid()) {
        const qint64 nDay = TExclusion::Wall(dtDay, 0);
        SetKeyOffset(nDay - qint64(DayStartKey(dtDay)), nDay, nDay + 86400);
    } else {
        SetKeyPeriods({}, 1);
    }
    ShowExclusions({QStringLiteral("LAeq")});

    if (dLowest != 999.0 && dHighest != 0.0)
        SetLevelRange(dLowest, dHighest);
    QFont fontBottom = xAxis->labelFont();
    fontBottom.setBold(true);
    xAxis->setLabelFont(fontBottom);
    xAxis->setLabel(QStringLiteral("Date: ") + dtDay.toString(QStringLiteral("yyyy-MM-dd")));
    ShowFullRange();
}

QString TPrfChart::Label(int i) const
{
    if (i < 0 || i >= graphLevel->dataCount())
        return {};
    const double dKey = graphLevel->dataMainKey(i);
    return QDateTime::fromSecsSinceEpoch(qint64(dKey), Qt::UTC).toString(QStringLiteral("HH:mm:ss"));
}

QCPRange TPrfChart::FullBottomRange() const
{
    if (graphLevel->dataCount() > 1)
        return QCPRange(graphLevel->dataMainKey(0), graphLevel->dataMainKey(graphLevel->dataCount() - 1));
    if (!dtPlotted.isValid())
        return QCPRange(0, 0);
    const double dStart = DayStartKey(dtPlotted);
    return QCPRange(dStart, dStart + 86399);
}
