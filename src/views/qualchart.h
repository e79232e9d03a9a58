#pragma once

#include "views/chartbase.h"
#include "analysis/quality.h"

#include <QDate>
#include <QPoint>

// The coverage calendar of one monitor: a cell per day of the range on a category
// axis, coloured by the day's step (full, at or above the coverage threshold, below
// it, no data, excluded), with marks for days with alarms, calibrations and
// exclusions; under it, when the calibrations carry numbers, each numeric field over
// time, so that drift shows. A click on a day asks for that day's report.
class TQualChart final : public TChartBase
{
    Q_OBJECT

public:
    explicit TQualChart(TCfg& cfg, QWidget* owner = nullptr);
    ~TQualChart() override;
    Q_DISABLE_COPY_MOVE(TQualChart)

    // Plots qm (computed with set). Called once on a fresh chart.
    void PlotQuality(const TQualityMonitor& qm, const TQualitySettings& set);

    // The calendar keeps its own axis when the level charts get a common one.
    bool HasLevelAxis() const override { return false; }

    // The day under x (pixels); invalid where there is none.
    QDate DayAt(int x) const;
    // The calibration plot under the calendar; none without a numeric field. It is
    // shown only while the chart is tall enough for it.
    QCPAxisRect* CalRect() const { return rectCal; }

    // Series order: one bar series per step of EQualityDay (NotDue last), then the
    // alarm, calibration and exclusion marks, then one line per numeric calibration field.
    static constexpr int SeriesAlarms = 6;
    static constexpr int SeriesCals = 7;
    static constexpr int SeriesExcluded = 8;
    static constexpr int SeriesFirstField = 9;

    // The fill of each step on the calendar.
    static QColor StepColour(EQualityDay e);

Q_SIGNALS:
    void DayClicked(const QDate& dt);

protected:
    QCPRange FullBottomRange() const override;
    void ScrollClamp() override;
    void updateLayout() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::vector<QDate> aDays;
    QCPAxisRect* rectCal = nullptr;
    QPoint ptPress;
    bool bPressed = false;
};
