#pragma once

#include "views/chartbase.h"
#include "analysis/statistics.h"

#include <QDate>
#include <QPointF>

class QCPColorMap;
class QCPColorScale;
class TExclusions;

// The statistics of one monitor: on the left the distribution of the background
// parameter per part of the day (the share of the part's periods in each 1 dB
// class); in the middle the typical day, the LAeq
// per hour of the weekdays and of the weekends with the 10th to 90th percentile of
// the days' own hourly levels as a band; on the right the carpet, the LAeq per hour
// and weekday as coloured cells with their colour key. Hovering over a cell shows its
// weekday, hour and level.
class TStatChart final : public TChartBase
{
    Q_OBJECT

public:
    explicit TStatChart(TCfg& cfg, QWidget* owner = nullptr);
    ~TStatChart() override;
    Q_DISABLE_COPY_MOVE(TStatChart)

    // Plots sm and sets the level axis and the colour key from its levels. Called once
    // on a fresh chart.
    void PlotStat(const TStatMonitor& sm);
    // Computes the statistics of the chart's monitor for dtFrom..dtTo (both included)
    // from the nPeriod-minute files of the settings' data folder, with the background
    // of sParam and leaving out pExcl, then plots them.
    void PlotPeriod(const QDate& dtFrom, const QDate& dtTo, int nPeriod, const QString& sParam,
                    const TExclusions* pExcl);

    // What the carpet cell under the pixel pt holds ("Tue 14:00-15:00  56.3 dB"), or
    // "no value"; empty where pt lies outside the carpet.
    QString CarpetTip(const QPointF& pt) const;
    // The level a carpet cell is coloured by; NaN for none.
    double CarpetLevel(int iWeekday, int nHour) const;
    // The range of the colour key.
    double KeyMin() const;
    double KeyMax() const;

    // Series order: weekdays' LAeq, their 10th and 90th percentile, then the same for
    // the weekends; the distributions of the day, evening and night; the carpet last.
    static constexpr int SeriesWeekdays = 0;
    static constexpr int SeriesWeekends = 3;
    static constexpr int SeriesParts = 6;

protected:
    QCPRange FullBottomRange() const override;
    void ScrollClamp() override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void updateLayout() override;

private:
    // On the low charts of a crowded page, and on paper, the legend would cover the
    // typical day and the weekday and hour names run into each other: fewer of them,
    // and the legend only where the plot has room for it. Whether anything changed.
    bool FitToHeight();

    QCPAxisRect* rectHist = nullptr;
    QCPAxisRect* rectCarpet = nullptr;
    QCPColorMap* carpet = nullptr;
    QCPColorScale* scale = nullptr;
};
