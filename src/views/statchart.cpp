#include "views/statchart.h"

#include "analysis/statfill.h"
#include "monitors/monitor.h"
#include "settings/cfg.h"

#include <QFontMetrics>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {
struct TDaysSeries
{
    const char* pszName;
    QRgb rgb;
};
constexpr TDaysSeries aDays[sdCount] = {{"Weekdays", 0x1F4E9A}, {"Weekends", 0xC05000}};
} // namespace

TStatChart::TStatChart(TCfg& cfg, QWidget* owner) : TChartBase(cfg, owner)
{
    for (const TDaysSeries& d : aDays) {
        const QColor c(d.rgb);
        QCPGraph* level = addGraph();
        level->setName(QString::fromLatin1(d.pszName) + QStringLiteral(" LAeq"));
        level->setPen(QPen(c, 2));
        level->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 4));
        QCPGraph* low = addGraph();
        low->setPen(Qt::NoPen);
        low->removeFromLegend();
        QCPGraph* high = addGraph();
        high->setName(QString::fromLatin1(d.pszName) + QStringLiteral(" 10-90 %"));
        high->setPen(Qt::NoPen);
        QColor cBand = c;
        cBand.setAlpha(50);
        high->setBrush(QBrush(cBand));
        high->setChannelFillGraph(low);
    }
    SetLegendShown(true);
    SetLegendRows(2);
    axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);

    // Hours of the day: a level stands in the middle of its hour.
    auto ticker = QSharedPointer<QCPAxisTickerText>::create();
    for (int h = 0; h <= 24; h += 3)
        ticker->addTick(h, TStatFill::HourText(h));
    xAxis->setTicker(ticker);
    xAxis->setLabel(QStringLiteral("Hour of day"));
    yAxis->setLabel(QStringLiteral("LAeq  dB(A)"));

    // The carpet and its key beside the typical day, under the one title.
    QCPAxisRect* rectDay = axisRect();
    plotLayout()->take(rectDay);
    auto* row = new QCPLayoutGrid;
    plotLayout()->addElement(1, 0, row);
    rectHist = new QCPAxisRect(this);
    rectCarpet = new QCPAxisRect(this);
    scale = new QCPColorScale(this);
    row->addElement(0, 0, rectHist);
    row->addElement(0, 1, rectDay);
    row->addElement(0, 2, rectCarpet);
    row->addElement(0, 3, scale);
    row->setColumnStretchFactors({0.8, 1.1, 1, 0.001});
    auto* group = new QCPMarginGroup(this);
    rectHist->setMarginGroup(QCP::msTop | QCP::msBottom, group);
    rectDay->setMarginGroup(QCP::msTop | QCP::msBottom, group);
    rectCarpet->setMarginGroup(QCP::msTop | QCP::msBottom, group);
    scale->setMarginGroup(QCP::msTop | QCP::msBottom, group);

    QCPAxis* xCarpet = rectCarpet->axis(QCPAxis::atBottom);
    QCPAxis* yCarpet = rectCarpet->axis(QCPAxis::atLeft);
    auto tickerHours = QSharedPointer<QCPAxisTickerText>::create();
    for (int h = 0; h < 24; h += 3)
        tickerHours->addTick(h, TStatFill::HourText(h));
    xCarpet->setTicker(tickerHours);
    xCarpet->setLabel(QStringLiteral("Hour of day"));
    xCarpet->setRange(-0.5, 23.5);
    auto tickerDays = QSharedPointer<QCPAxisTickerText>::create();
    for (int d = 0; d < 7; ++d)
        tickerDays->addTick(d, TStatFill::WeekdayName(d));
    yCarpet->setTicker(tickerDays);
    // Monday on top, as a calendar reads.
    yCarpet->setRangeReversed(true);
    yCarpet->setRange(-0.5, 6.5);
    xCarpet->grid()->setVisible(false);
    yCarpet->grid()->setVisible(false);

    // The distribution of the background parameter, a step line per part of the day
    // over its 1 dB classes, so that the three parts can be told apart where they overlap.
    static constexpr QRgb argbPart[rpPartCount] = {0xE0A000, 0x008000, 0x000080};
    for (int p = 0; p < rpPartCount; ++p) {
        QCPGraph* part = addGraph(rectHist->axis(QCPAxis::atBottom), rectHist->axis(QCPAxis::atLeft));
        part->setName(TStatFill::PartName(p));
        part->setPen(QPen(QColor(argbPart[p]), 1.5));
        part->setLineStyle(QCPGraph::lsStepCenter);
    }
    rectHist->axis(QCPAxis::atLeft)->setLabel(QStringLiteral("% of periods"));
    rectHist->axis(QCPAxis::atBottom)->setLabel(QStringLiteral("dB(A)"));

    carpet = new QCPColorMap(xCarpet, yCarpet);
    carpet->data()->setSize(24, 7);
    carpet->data()->setRange(QCPRange(0, 23), QCPRange(0, 6));
    carpet->setInterpolate(false);
    carpet->setTightBoundary(false);
    carpet->setColorScale(scale);
    QCPColorGradient gradient(QCPColorGradient::gpJet);
    gradient.setNanHandling(QCPColorGradient::nhTransparent);
    carpet->setGradient(gradient);
    carpet->removeFromLegend();
    scale->setType(QCPAxis::atRight);
    scale->setBarWidth(12);
    scale->axis()->setLabel(QStringLiteral("LAeq dB(A)"));
    for (int d = 0; d < 7; ++d)
        for (int h = 0; h < 24; ++h)
            carpet->data()->setCell(h, d, std::numeric_limits<double>::quiet_NaN());
    setMouseTracking(true);
}

TStatChart::~TStatChart() = default;

QCPRange TStatChart::FullBottomRange() const
{
    return QCPRange(0, 24);
}

void TStatChart::ScrollClamp()
{
    KeepInside(FullBottomRange());
}

void TStatChart::PlotPeriod(const QDate& dtFrom, const QDate& dtTo, int nPeriod, const QString& sParam,
                            const TExclusions* pExcl)
{
    TTQMonitor mon;
    mon.sID = MonitorID();
    mon.sName = mon.sID;
    const std::vector<TStatMonitor> a = TStatistics::Compute(TRatingSettings::FromCfg(cfg), sParam,
                                                             cfg.DataPath(), TMonitorSel{&mon}, dtFrom, dtTo,
                                                             nPeriod, pExcl);
    if (!a.empty())
        PlotStat(a.front());
}

void TStatChart::PlotStat(const TStatMonitor& sm)
{
    double dLowest = 999.0;
    double dHighest = 0.0;
    auto take = [&](double v) {
        if (std::isnan(v))
            return;
        dLowest = std::min(dLowest, v);
        dHighest = std::max(dHighest, v);
    };
    for (int k = 0; k < sdCount; ++k) {
        QVector<double> aKeys;
        QVector<double> aLevel;
        QVector<double> aLow;
        QVector<double> aHigh;
        for (int h = 0; h < 24; ++h) {
            const TStatHour& hour = sm.aaTypical[size_t(k)][size_t(h)];
            aKeys.append(h + 0.5);
            aLevel.append(hour.dLevel);
            aLow.append(hour.dP10);
            aHigh.append(hour.dP90);
            take(hour.dLevel);
            take(hour.dP10);
            take(hour.dP90);
        }
        graph(3 * k)->setData(aKeys, aLevel, true);
        graph(3 * k + 1)->setData(aKeys, aLow, true);
        graph(3 * k + 2)->setData(aKeys, aHigh, true);
    }
    // The distribution as shares of each part's periods, over the classes of all parts.
    int nLow = 999;
    int nHigh = -1;
    double dShareMax = 0;
    for (int p = 0; p < rpPartCount; ++p) {
        const TStatDistribution& dist = sm.aParts[size_t(p)];
        QVector<double> aKeys;
        QVector<double> aShares;
        for (int i = 0; i < int(dist.anCount.size()); ++i) {
            const double dShare = 100.0 * dist.anCount[size_t(i)] / dist.nValues;
            aKeys.append((dist.nLowestClass + i + 0.5) * TStatistics::dClassWidth);
            aShares.append(dShare);
            dShareMax = std::max(dShareMax, dShare);
        }
        if (!dist.anCount.empty()) {
            nLow = std::min(nLow, dist.nLowestClass);
            nHigh = std::max(nHigh, dist.nLowestClass + int(dist.anCount.size()));
        }
        graph(SeriesParts + p)->setData(aKeys, aShares, true);
    }
    rectHist->axis(QCPAxis::atBottom)->setLabel(sm.sParam + QStringLiteral("  dB(A)"));
    if (nHigh > nLow) {
        rectHist->axis(QCPAxis::atBottom)->setRange(nLow - 1, nHigh + 1);
        rectHist->axis(QCPAxis::atLeft)->setRange(0, std::ceil(dShareMax / 5.0) * 5.0 + 5.0);
    }

    double dKeyLow = 999.0;
    double dKeyHigh = 0.0;
    for (int d = 0; d < 7; ++d)
        for (int h = 0; h < 24; ++h) {
            const double v = sm.aadCarpet[size_t(d)][size_t(h)];
            carpet->data()->setCell(h, d, v);
            if (!std::isnan(v)) {
                dKeyLow = std::min(dKeyLow, v);
                dKeyHigh = std::max(dKeyHigh, v);
            }
        }
    // Whole decibels at either end, and never a key of no width.
    if (dKeyLow <= dKeyHigh)
        carpet->setDataRange(QCPRange(std::floor(dKeyLow), std::max(std::ceil(dKeyHigh), std::floor(dKeyLow) + 1)));
    if (dLowest != 999.0 && dHighest != 0.0)
        SetLevelRange(dLowest, dHighest);
    ShowFullRange();
}

double TStatChart::CarpetLevel(int iWeekday, int nHour) const
{
    if (iWeekday < 0 || iWeekday >= 7 || nHour < 0 || nHour >= 24)
        return std::numeric_limits<double>::quiet_NaN();
    return carpet->data()->cell(nHour, iWeekday);
}

double TStatChart::KeyMin() const
{
    return carpet->dataRange().lower;
}

double TStatChart::KeyMax() const
{
    return carpet->dataRange().upper;
}

QString TStatChart::CarpetTip(const QPointF& pt) const
{
    if (!rectCarpet->rect().contains(pt.toPoint()))
        return QString();
    const int nHour = int(std::lround(rectCarpet->axis(QCPAxis::atBottom)->pixelToCoord(pt.x())));
    const int iDay = int(std::lround(rectCarpet->axis(QCPAxis::atLeft)->pixelToCoord(pt.y())));
    if (nHour < 0 || nHour >= 24 || iDay < 0 || iDay >= 7)
        return QString();
    const double v = CarpetLevel(iDay, nHour);
    return TStatFill::WeekdayName(iDay) + QLatin1Char(' ') + TStatFill::HourText(nHour) + QLatin1Char('-') +
           TStatFill::HourText(nHour + 1) + QStringLiteral("  ") +
           (std::isnan(v) ? QStringLiteral("no value") : QString::number(v, 'f', 1) + QStringLiteral(" dB"));
}

void TStatChart::mouseMoveEvent(QMouseEvent* event)
{
    const QString sTip = CarpetTip(event->position());
    if (sTip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), sTip, this);
    TChartBase::mouseMoveEvent(event);
}

bool TStatChart::FitToHeight()
{
    const QFontMetrics fm(rectCarpet->axis(QCPAxis::atLeft)->tickLabelFont());
    const double dPitch = rectCarpet->height() / 7.0;
    const int nStep = dPitch >= fm.height() ? 1 : dPitch * 2 >= fm.height() ? 2 : 6;
    bool bChanged = false;
    auto ticker = rectCarpet->axis(QCPAxis::atLeft)->ticker().dynamicCast<QCPAxisTickerText>();
    if (ticker && ticker->ticks().size() != (6 / nStep) + 1) {
        ticker->clear();
        for (int d = 0; d < 7; d += nStep)
            ticker->addTick(d, TStatFill::WeekdayName(d));
        bChanged = true;
    }
    // The hours under the carpet: every third while their labels have room, else every sixth.
    const int nHourStep = rectCarpet->width() / 8 >= fm.horizontalAdvance(QStringLiteral("00:00")) + 6 ? 3 : 6;
    auto tickerHours = rectCarpet->axis(QCPAxis::atBottom)->ticker().dynamicCast<QCPAxisTickerText>();
    if (tickerHours && tickerHours->ticks().size() != 24 / nHourStep) {
        tickerHours->clear();
        for (int h = 0; h < 24; h += nHourStep)
            tickerHours->addTick(h, TStatFill::HourText(h));
        bChanged = true;
    }
    const int nKeyTicks = rectCarpet->height() >= 6 * fm.height() ? 5 : 2;
    for (QCPAxis* axis : {scale->axis(), rectHist->axis(QCPAxis::atLeft)})
        if (axis->ticker()->tickCount() != nKeyTicks) {
            axis->ticker()->setTickCount(nKeyTicks);
            bChanged = true;
        }
    // The typical day's hours in the same way, 00:00 to 24:00; every twelfth at the least.
    const int nLabel = fm.horizontalAdvance(QStringLiteral("00:00")) + 6;
    const int nDayWidth = xAxis->axisRect()->width();
    const int nDayStep = nDayWidth / 8 >= nLabel ? 3 : nDayWidth / 4 >= nLabel ? 6 : 12;
    auto tickerDay = xAxis->ticker().dynamicCast<QCPAxisTickerText>();
    if (tickerDay && tickerDay->ticks().size() != 24 / nDayStep + 1) {
        tickerDay->clear();
        for (int h = 0; h <= 24; h += nDayStep)
            tickerDay->addTick(h, TStatFill::HourText(h));
        bChanged = true;
    }
    // The legend stands inside the typical day's plot: only where it leaves the curves
    // room, or it covers them and the carpet's weekday names beside.
    const bool bLegend = xAxis->axisRect()->height() >= 8 * fm.height() &&
                         nDayWidth >= 2 * legend->minimumOuterSizeHint().width();
    if (legend->visible() != bLegend) {
        legend->setVisible(bLegend);
        bChanged = true;
    }
    return bChanged;
}

void TStatChart::updateLayout()
{
    TChartBase::updateLayout();
    if (FitToHeight())
        TChartBase::updateLayout();
}
