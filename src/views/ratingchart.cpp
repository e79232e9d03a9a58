#include "views/ratingchart.h"

#include "analysis/level.h"

#include "monitors/monitor.h"
#include "settings/cfg.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr double dNull = std::numeric_limits<double>::quiet_NaN();

struct TRatingSeries
{
    const char* pszName;
    QRgb rgb;
};
// Lden first and strongest; the parts in the colours of a day going dark.
constexpr TRatingSeries aSeries[] = {
    {"Lden", 0xC00000}, {"Lday", 0xE0A000}, {"Levening", 0x008000}, {"Lnight", 0x000080}};
// The points' and the rings' sizes where a day has room for them.
constexpr double dPointSize = 5;
constexpr double dRingSize = 11;
} // namespace

TRatingChart::TRatingChart(TCfg& cfg, QWidget* owner) : TChartBase(cfg, owner)
{
    for (const TRatingSeries& s : aSeries) {
        QCPGraph* graph = addGraph();
        graph->setName(QString::fromLatin1(s.pszName));
        graph->setPen(QPen(QColor(s.rgb), s.rgb == aSeries[0].rgb ? 2 : 1));
        graph->setLineStyle(QCPGraph::lsLine);
        graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, dPointSize));
    }
    QCPGraph* low = addGraph();
    low->setName(QStringLiteral("Low coverage"));
    low->setPen(QPen(QColor(0x80, 0x80, 0x80), 1.5));
    low->setLineStyle(QCPGraph::lsNone);
    low->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, dRingSize));

    // Few points, drawn across the whole plot: the legend gets a row of its own under
    // the title instead of covering some of them.
    SetLegendShown(true);
    axisRect()->insetLayout()->take(legend);
    plotLayout()->insertRow(1);
    auto* rowLegend = new QCPLayoutGrid;
    plotLayout()->addElement(1, 0, rowLegend);
    plotLayout()->setRowStretchFactor(1, 0.001);
    // Centred between two empty cells that take up the rest of the row.
    rowLegend->addElement(0, 0, new QCPLayoutElement(this));
    rowLegend->addElement(0, 1, legend);
    rowLegend->addElement(0, 2, new QCPLayoutElement(this));
    rowLegend->setColumnStretchFactors({1, 0.001, 1});
    legend->setMargins(QMargins(4, 0, 4, 0));
    SetLegendRows(7);
    legend->setBorderPen(Qt::NoPen);
    // On the lowest charts of a crowded page the title, the legend's row and the plot
    // with its axes do not all get the room they ask for, and the layout then squeezes
    // each of them, the legend's text too. The plot may give up its usual least
    // height instead, so that the legend stays whole above it.
    axisRect()->setMinimumSize(axisRect()->minimumSize().width(), 8);
    xAxis->setLabel(QStringLiteral("Date"));
    yAxis->setLabel(QStringLiteral("Level  dB(A)"));
    UseLabelAxis();
}

TRatingChart::~TRatingChart() = default;

QCPRange TRatingChart::FullBottomRange() const
{
    return QCPRange(-0.5, std::max(PointCount(), 1) - 0.5);
}

void TRatingChart::ScrollClamp()
{
    KeepInside(FullBottomRange());
}

void TRatingChart::PlotPeriod(const QDate& dtFrom, const QDate& dtTo, int nPeriod)
{
    TTQMonitor mon;
    mon.sID = MonitorID();
    mon.sName = mon.sID;
    const TRatingSettings set = TRatingSettings::FromCfg(cfg);
    const std::vector<TRatingMonitor> aResults =
        TRating::Compute(set, cfg.DataPath(), TMonitorSel{&mon}, dtFrom, dtTo, nPeriod, Exclusions());
    if (!aResults.empty())
        PlotRating(aResults.front(), set);
}

void TRatingChart::PlotRating(const TRatingMonitor& rm, const TRatingSettings& set)
{
    const int nDays = int(rm.aDays.size());
    double dLowest = 999.0;
    double dHighest = 0.0;
    auto take = [&](double v) {
        if (std::isnan(v))
            return;
        dLowest = std::min(dLowest, v);
        dHighest = std::max(dHighest, v);
    };

    QVector<double> aKeys;
    std::array<QVector<double>, 4> aValues;
    QVector<double> aLowKeys;
    QVector<double> aLowValues;
    for (int i = 0; i < nDays; ++i) {
        const TRatingLevels& lv = rm.aDays[size_t(i)];
        aKeys.append(i);
        slLabels.append(lv.dt.toString(QStringLiteral("yyyy-MM-dd")));
        const std::array<double, 4> ad{lv.dLden, lv.Ld(), lv.Le(), lv.Ln()};
        const std::array<bool, 4> ab{lv.bLdenLow, lv.abLow[rpDay], lv.abLow[rpEvening], lv.abLow[rpNight]};
        for (size_t k = 0; k < ad.size(); ++k) {
            // A level not worth showing as a value is a gap, as in the other charts.
            const double v = TLevel::Is(ad[k]) ? ad[k] : dNull;
            aValues[k].append(v);
            take(v);
            if (ab[k] && !std::isnan(v)) {
                aLowKeys.append(i);
                aLowValues.append(v);
            }
        }
    }
    for (size_t k = 0; k < aValues.size(); ++k)
        graph(int(k))->setData(aKeys, aValues[k], true);
    graph(SeriesLow)->setData(aLowKeys, aLowValues);
    graph(SeriesLow)->removeFromLegend();
    if (!aLowKeys.isEmpty())
        graph(SeriesLow)->addToLegend();

    // A limit is a flat line across every day, named in the legend.
    auto addLimit = [&](const QString& sName, double dLimit, QRgb rgb) {
        QCPGraph* line = addGraph();
        line->setName(sName + QLatin1Char(' ') + QString::number(dLimit) + QStringLiteral(" dB"));
        QPen pen(QColor(rgb), 1.5, Qt::DashLine);
        line->setPen(pen);
        line->setData(QVector<double>{-0.5, std::max(nDays, 1) - 0.5}, QVector<double>{dLimit, dLimit}, true);
        take(dLimit);
    };
    if (nDays > 0 && set.bLdenLimitOn)
        addLimit(QStringLiteral("Lden limit"), set.dLdenLimit, aSeries[0].rgb);
    if (nDays > 0 && set.bNightLimitOn)
        addLimit(QStringLiteral("Lnight limit"), set.dNightLimit, aSeries[3].rgb);

    if (dLowest != 999.0 && dHighest != 0.0)
        SetLevelRange(dLowest, dHighest);
    SetSlotsPerDay(1);
    ShowFullRange();
}

void TRatingChart::updateLayout()
{
    TChartBase::updateLayout();
    FitMarks();
}

void TRatingChart::FitMarks()
{
    // Over months the days lie a pixel or two apart, and the points of four lines
    // merge into one blot that hides the lines: a point needs its own room beside the
    // next day's, or the line alone shows the level. The rings are the only sign of a
    // low coverage and stay, smaller, within the day's room and the plot's height.
    const double dPitch = axisRect()->width() / std::max(xAxis->range().size(), 1e-9);
    const double dHeight = axisRect()->height();
    const double dPoint = std::min({dPointSize, std::floor(dPitch - 1), std::floor(dHeight / 12)});
    const QCPScatterStyle stylePoint =
        dPoint >= 3 ? QCPScatterStyle(QCPScatterStyle::ssDisc, dPoint) : QCPScatterStyle(QCPScatterStyle::ssNone);
    for (int k = 0; k < SeriesLow; ++k)
        graph(k)->setScatterStyle(stylePoint);
    const double dRing = std::clamp(std::min(std::floor(dPitch * 1.5), std::floor(dHeight / 6)), 5.0, dRingSize);
    graph(SeriesLow)->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, dRing));
}
