#pragma once

#include "views/chartbase.h"
#include "analysis/rating.h"

#include <QDate>

// The daily rating levels of one monitor: Lden, Lday, Levening and Lnight, one point
// per day of the range on a category axis, the limits that are on as flat lines, and
// the points whose coverage is under the threshold ringed in grey.
class TRatingChart final : public TChartBase
{
    Q_OBJECT

public:
    explicit TRatingChart(TCfg& cfg, QWidget* owner = nullptr);
    ~TRatingChart() override;
    Q_DISABLE_COPY_MOVE(TRatingChart)

    // Plots the days of rm (computed with set) and sets the level axis from the
    // levels and the limits shown. Called once on a fresh chart.
    void PlotRating(const TRatingMonitor& rm, const TRatingSettings& set);
    // Computes the levels of the chart's monitor for dtFrom..dtTo (both included)
    // from the nPeriod-minute files of the settings' data folder, then plots them.
    void PlotPeriod(const QDate& dtFrom, const QDate& dtTo, int nPeriod);

    // Series order: Lden, Lday, Levening, Lnight, the low-coverage rings, then the
    // limit lines that are on.
    static constexpr int SeriesLden = 0;
    static constexpr int SeriesLow = 4;

protected:
    // A day is a category of its own: half a day's room on either side keeps the
    // first and last points clear of the frame.
    QCPRange FullBottomRange() const override;
    void ScrollClamp() override;
    void updateLayout() override;

private:
    // Sizes the points and rings to the room a day has on the plot as laid out.
    void FitMarks();
};
