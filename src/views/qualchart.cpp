#include "views/qualchart.h"

#include <QMouseEvent>

#include <algorithm>
#include <cmath>

namespace {
// A cell is the day's room less a sliver, so that neighbouring days of one step stay
// apart while there is room to show it.
constexpr double dCellWidth = 0.9;

struct TStep
{
    EQualityDay e;
    const char* pszName; // with the threshold after it for the two middle steps
    QRgb rgb;
};
constexpr TStep aSteps[] = {{EQualityDay::Full, "full", 0x2E8B57},
                            {EQualityDay::Good, "at or above ", 0xA8D060},
                            {EQualityDay::Low, "below ", 0xF0A030},
                            {EQualityDay::NoData, "no data", 0xD03030},
                            {EQualityDay::Excluded, "excluded", 0x8060C0},
                            {EQualityDay::NotDue, "not due", 0xE0E0E0}};

// The lines of the calibration fields.
constexpr QRgb argbFields[] = {0x000080, 0xC00000, 0x008000, 0x806000, 0x008080, 0x800080};

// The marks stand at these heights of a cell (0 its foot, 1 its top).
constexpr double dAlarmY = 0.8;
constexpr double dCalY = 0.5;
constexpr double dExclY = 0.2;

// Below this height (pixels) a chart has no room for the calibration plot beside the
// calendar: a stack of many monitors shows the calendars alone.
constexpr int nCalMinHeight = 240;
} // namespace

QColor TQualChart::StepColour(EQualityDay e)
{
    for (const TStep& s : aSteps)
        if (s.e == e)
            return QColor(s.rgb);
    return QColor(Qt::white);
}

TQualChart::TQualChart(TCfg& cfg, QWidget* owner) : TChartBase(cfg, owner)
{
    for (const TStep& s : aSteps) {
        auto* bars = new QCPBars(xAxis, yAxis);
        bars->setName(QString::fromLatin1(s.pszName));
        bars->setPen(Qt::NoPen);
        bars->setBrush(QColor(s.rgb));
        bars->setWidth(dCellWidth);
        bars->setWidthType(QCPBars::wtPlotCoords);
    }
    auto addMarks = [&](const QString& sName, QCPScatterStyle::ScatterShape shape, QRgb rgbPen, QRgb rgbFill) {
        QCPGraph* g = addGraph();
        g->setName(sName);
        g->setLineStyle(QCPGraph::lsNone);
        g->setScatterStyle(QCPScatterStyle(shape, QPen(QColor(rgbPen), 1.5), QBrush(QColor(rgbFill)), 7));
    };
    addMarks(QStringLiteral("alarms"), QCPScatterStyle::ssDisc, 0x000000, 0x000000);
    addMarks(QStringLiteral("calibration"), QCPScatterStyle::ssTriangle, 0x000060, 0xFFFFFF);
    addMarks(QStringLiteral("exclusion"), QCPScatterStyle::ssCrossSquare, 0x3A006F, 0xFFFFFF);

    // The key under the title, as in the summary chart: many days leave no room
    // for a legend inside the plot.
    SetLegendShown(true);
    axisRect()->insetLayout()->take(legend);
    plotLayout()->insertRow(1);
    auto* rowLegend = new QCPLayoutGrid;
    plotLayout()->addElement(1, 0, rowLegend);
    plotLayout()->setRowStretchFactor(1, 0.001);
    rowLegend->addElement(0, 0, new QCPLayoutElement(this));
    rowLegend->addElement(0, 1, legend);
    rowLegend->addElement(0, 2, new QCPLayoutElement(this));
    rowLegend->setColumnStretchFactors({1, 0.001, 1});
    legend->setMargins(QMargins(4, 0, 4, 0));
    SetLegendRows(9);
    legend->setBorderPen(Qt::NoPen);
    axisRect()->setMinimumSize(axisRect()->minimumSize().width(), 8);

    yAxis->setRange(0, 1);
    yAxis->setTicks(false);
    yAxis->setTickLabels(false);
    yAxis->grid()->setVisible(false);
    xAxis->grid()->setVisible(false);
    // The key says what the cells are and the labels that they are days: axis titles
    // would only take the calendar's room.
    UseLabelAxis();
}

TQualChart::~TQualChart()
{
    // A calibration plot out of the layout goes back in, so that the chart frees it
    // with its layout, after the lines drawn on its axes.
    if (rectCal != nullptr && !(plotLayout()->hasElement(3, 0) && plotLayout()->element(3, 0) == rectCal))
        plotLayout()->addElement(3, 0, rectCal);
}

QCPRange TQualChart::FullBottomRange() const
{
    return QCPRange(-0.5, std::max<int>(int(aDays.size()), 1) - 0.5);
}

void TQualChart::ScrollClamp()
{
    KeepInside(FullBottomRange());
}

void TQualChart::PlotQuality(const TQualityMonitor& qm, const TQualitySettings& set)
{
    const double dThreshold = set.rating.dCoverage;
    const QString sThreshold = QString::number(dThreshold) + QLatin1Char('%');
    for (int k = 0; k < 6; ++k) {
        if (aSteps[k].e == EQualityDay::Good || aSteps[k].e == EQualityDay::Low)
            plottable(k)->setName(QString::fromLatin1(aSteps[k].pszName) + sThreshold);
    }

    aDays.clear();
    slLabels.clear();
    std::array<QVector<double>, 6> aKeys;
    QVector<double> aAlarm;
    QVector<double> aCal;
    QVector<double> aExcl;
    for (size_t i = 0; i < qm.aDays.size(); ++i) {
        const TQualityDay& day = qm.aDays[i];
        aDays.push_back(day.dt);
        slLabels.append(day.dt.toString(QStringLiteral("yyyy-MM-dd")));
        aKeys[size_t(day.Class(dThreshold))].append(double(i));
        if (day.nAlarms > 0)
            aAlarm.append(double(i));
        if (day.nCalibrations > 0)
            aCal.append(double(i));
        if (day.bExclusions)
            aExcl.append(double(i));
    }
    for (int k = 0; k < 6; ++k) {
        auto* bars = static_cast<QCPBars*>(plottable(k));
        const QVector<double>& keys = aKeys[size_t(aSteps[k].e)];
        bars->setData(keys, QVector<double>(keys.size(), 1.0), true);
        // The four coverage steps are the calendar's key; the others only where they occur.
        if (keys.isEmpty() && (aSteps[k].e == EQualityDay::Excluded || aSteps[k].e == EQualityDay::NotDue))
            bars->removeFromLegend();
    }
    const std::array<std::pair<int, const QVector<double>*>, 3> aMarks{
        {{SeriesAlarms, &aAlarm}, {SeriesCals, &aCal}, {SeriesExcluded, &aExcl}}};
    const std::array<double, 3> adY{dAlarmY, dCalY, dExclY};
    for (size_t m = 0; m < aMarks.size(); ++m) {
        QCPGraph* g = graph(aMarks[m].first - 6);
        const QVector<double>& keys = *aMarks[m].second;
        g->setData(keys, QVector<double>(keys.size(), adY[m]), true);
        if (keys.isEmpty())
            g->removeFromLegend();
    }

    // The numeric calibration fields over time, under the calendar on the same days.
    std::vector<int> aiNumeric;
    for (qsizetype f = 0; f < qm.slCalFields.size(); ++f)
        for (const TQualityCal& c : qm.aCals)
            if (size_t(f) < c.adValues.size() && !std::isnan(c.adValues[size_t(f)])) {
                aiNumeric.push_back(int(f));
                break;
            }
    if (!aiNumeric.empty() && !aDays.empty()) {
        rectCal = new QCPAxisRect(this);
        plotLayout()->addElement(3, 0, rectCal);
        plotLayout()->setRowStretchFactor(3, 0.8);
        auto* group = new QCPMarginGroup(this);
        axisRect()->setMarginGroup(QCP::msLeft | QCP::msRight, group);
        rectCal->setMarginGroup(QCP::msLeft | QCP::msRight, group);
        rectCal->setMinimumSize(rectCal->minimumSize().width(), 8);
        QCPAxis* xCal = rectCal->axis(QCPAxis::atBottom);
        xCal->setTickLabels(false);
        xCal->setRange(xAxis->range());
        connect(xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), xCal,
                qOverload<const QCPRange&>(&QCPAxis::setRange));
        const QDate dtFirst = aDays.front();
        for (size_t n = 0; n < aiNumeric.size(); ++n) {
            const size_t f = size_t(aiNumeric[n]);
            // Each field on an axis of its own, in its colour, left and right by turns: a
            // level of 94 dB and a deviation of tenths share no scale on which the
            // deviation's drift would show.
            const QCPAxis::AxisType eSide = n % 2 == 0 ? QCPAxis::atLeft : QCPAxis::atRight;
            QCPAxis* yCal = n < 2 ? rectCal->axis(eSide) : rectCal->addAxis(eSide);
            const QRgb rgb = argbFields[n % std::size(argbFields)];
            yCal->setVisible(true);
            yCal->setLabel(qm.slCalFields[qsizetype(f)]);
            yCal->setLabelColor(QColor(rgb));
            yCal->setTickLabelColor(QColor(rgb));
            QCPGraph* g = addGraph(xCal, yCal);
            g->setName(qm.slCalFields[qsizetype(f)]);
            g->setPen(QPen(QColor(rgb), 1.5));
            g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, QColor(rgb), 5));
            QVector<double> aX;
            QVector<double> aY;
            for (const TQualityCal& c : qm.aCals) {
                if (f >= c.adValues.size() || std::isnan(c.adValues[f]))
                    continue;
                // Within the day's cell by its time: midnight at the cell's left edge.
                const double dFrac = c.nSecs >= 0 ? std::min(c.nSecs, 86399) / 86400.0 : 0.5;
                aX.append(double(dtFirst.daysTo(c.dt)) - 0.5 + dFrac);
                aY.append(c.adValues[f]);
            }
            g->setData(aX, aY, true);
            yCal->rescale();
            const QCPRange r = yCal->range();
            // A flat record still gets an axis of some height.
            const double dPad = std::max(r.size() * 0.15, 0.1);
            yCal->setRange(r.lower - dPad, r.upper + dPad);
        }
    }
    SetSlotsPerDay(1);
    ShowFullRange();
}

void TQualChart::updateLayout()
{
    // The calibration plot leaves the layout, and shows again, as the chart's height
    // allows; the export renders at sizes of its own, so the viewport decides.
    if (rectCal != nullptr) {
        const bool bRoom = viewport().height() >= nCalMinHeight;
        const bool bIn = plotLayout()->hasElement(3, 0) && plotLayout()->element(3, 0) == rectCal;
        if (bRoom && !bIn) {
            plotLayout()->addElement(3, 0, rectCal);
            plotLayout()->setRowStretchFactor(3, 0.8);
        } else if (!bRoom && bIn) {
            plotLayout()->take(rectCal);
            plotLayout()->simplify();
        }
        if (rectCal->visible() != bRoom) {
            rectCal->setVisible(bRoom);
            // The key names the fields only while their lines show.
            for (QCPGraph* g : rectCal->graphs())
                static_cast<void>(bRoom ? g->addToLegend() : g->removeFromLegend());
        }
    }
    TChartBase::updateLayout();
}

QDate TQualChart::DayAt(int x) const
{
    if (aDays.empty() || x < axisRect()->left() || x > axisRect()->right())
        return QDate();
    const long long i = std::llround(xAxis->pixelToCoord(x));
    return i >= 0 && i < (long long)aDays.size() ? aDays[size_t(i)] : QDate();
}

void TQualChart::mousePressEvent(QMouseEvent* event)
{
    bPressed = event->button() == Qt::LeftButton;
    ptPress = event->position().toPoint();
    TChartBase::mousePressEvent(event);
}

void TQualChart::mouseReleaseEvent(QMouseEvent* event)
{
    // A click where the button went down picks the day; a drag zooms as on every chart.
    const bool bClick = bPressed && event->button() == Qt::LeftButton &&
                        (event->position().toPoint() - ptPress).manhattanLength() <= 4;
    bPressed = false;
    const QDate dt = bClick ? DayAt(ptPress.x()) : QDate();
    if (bClick && selectionRect() != nullptr && selectionRect()->isActive())
        selectionRect()->cancel();
    TChartBase::mouseReleaseEvent(event);
    if (dt.isValid())
        Q_EMIT DayClicked(dt);
}
