#include "pages/statpage.h"

#include "analysis/statfill.h"
#include "analysis/statistics.h"
#include "datafiles/perfile.h"
#include "monitors/monitor.h"
#include "output/htmlpage.h"
#include "pages/kindexport.h"
#include "platform/platform.h"
#include "reports/csvtext.h"
#include "reports/stringgrid.h"
#include "settings/cfg.h"
#include "views/fillgrid.h"
#include "views/statchart.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTextStream>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {
QString Num(double d)
{
    return std::isnan(d) ? QString() : QString::number(d, 'f', 1);
}

QString ClassFrom(double dClass)
{
    return std::isnan(dClass) ? QString() : QString::number(dClass, 'g', 4);
}

QString ClassTo(double dClass)
{
    return std::isnan(dClass) ? QString() : QString::number(dClass + TStatistics::dClassWidth, 'g', 4);
}
} // namespace

const TKindInfo& TStatPage::Info()
{
    static const TKindInfo info{QStringLiteral("stat"),
                                QStringLiteral("statistics"),
                                QStringLiteral("Statistics"),
                                QStringLiteral("tabStatistics"),
                                8,
                                QStringLiteral("reptypes/statistics.html"),
                                QStringLiteral("S&tatistics"),
                                QStringLiteral("menuHelpStatistics"),
                                true,
                                QStringLiteral("Statistics Report"),
                                QStringLiteral("Statistics Reports"),
                                QStringLiteral("Statistics reports: "),
                                {QStringLiteral("stat")},
                                {TKindPage{QStringLiteral("Background"),
                                           false,
                                           QStringLiteral("statistics"),
                                           QStringLiteral("Background Level Statistics"),
                                           true,
                                           QString(),
                                           {}},
                                 TKindPage{QStringLiteral("Hours"),
                                           false,
                                           QStringLiteral("statistics-hours"),
                                           QStringLiteral("LAeq per Hour and Weekday"),
                                           true,
                                           QString(),
                                           {}},
                                 TKindPage{QStringLiteral("Chart"),
                                           true,
                                           QStringLiteral("statistics-chart"),
                                           QStringLiteral("Distribution, Typical Day and Weekly Carpet"),
                                           true,
                                           QString(),
                                           {}}}};
    return info;
}

TStatPage::TStatPage(const TPageEnv& env, QWidget* parent) : TReportPage(Info(), env, parent)
{
    MakeLayout(QStringLiteral("lblStatNote"), QStringLiteral("pagesStat"),
               {QStringLiteral("tabStatBack"), QStringLiteral("tabStatHours"), QStringLiteral("tabStatChart")},
               QStringLiteral("scrollboxStatChart"), false);
    // The parameter choice above the note and the sub-tabs.
    auto* row = new QWidget(this);
    row->setObjectName(QStringLiteral("panelStatParam"));
    auto* layRow = new QHBoxLayout(row);
    layRow->setContentsMargins(6, 4, 6, 0);
    auto* lbl = new QLabel(QStringLiteral("Background parameter:"), row);
    comboStatParam = new QComboBox(row);
    comboStatParam->setObjectName(QStringLiteral("comboStatParam"));
    comboStatParam->addItems(MeasurementParams());
    comboStatParam->setCurrentText(DefaultParam());
    lbl->setBuddy(comboStatParam);
    layRow->addWidget(lbl);
    layRow->addWidget(comboStatParam);
    layRow->addStretch(1);
    static_cast<QVBoxLayout*>(layout())->insertWidget(0, row);
    // The background table and the chart's distribution are of the chosen parameter;
    // the hours stay as they are.
    connect(comboStatParam, &QComboBox::currentTextChanged, this, [this] {
        if (bBuilt && CurrentPage() != 1)
            Build(last);
    });

    statBackTable = new TFillGrid(env.cfg, env.mons, PageWidget(0));
    statBackTable->setObjectName(QStringLiteral("statBackTable"));
    SetGrid(0, statBackTable);
    statHourTable = new TFillGrid(env.cfg, env.mons, PageWidget(1));
    statHourTable->setObjectName(QStringLiteral("statHourTable"));
    SetGrid(1, statHourTable);
}

QString TStatPage::Param() const
{
    return comboStatParam->currentText();
}

void TStatPage::SetParam(const QString& sParam)
{
    comboStatParam->setCurrentText(sParam);
}

void TStatPage::Build(const TPageChoice& c)
{
    last = c;
    bBuilt = true;
    SetNote(Note());
    const TRatingSettings set = TRatingSettings::FromCfg(env.cfg);
    // Days still to come have no data yet.
    const QDate dtFrom = c.dtStart.date();
    const QDate dtTo = std::max(dtFrom, c.dtEndCut);
    const TExclusions* pExcl = Applied();
    const int iPage = CurrentPage();
    if (iPage == 0 || iPage == 1) {
        TFillGrid* grid = iPage == 0 ? statBackTable : statHourTable;
        grid->LoadTicked(env.chklstMon, [&](TStringGrid& g, const QString& sDataPath, const TMonitorSel& aMons) {
            const std::vector<TStatMonitor> a =
                TStatistics::Compute(set, Param(), sDataPath, aMons, dtFrom, dtTo, c.nPeriod, pExcl);
            if (iPage == 0)
                TStatFill::FillBackground(g, aMons, a);
            else
                TStatFill::FillHours(g, aMons, a);
        });
        return;
    }
    for (TStatChart* chart : MakeCharts<TStatChart>())
        chart->PlotPeriod(dtFrom, dtTo, c.nPeriod, Param(), pExcl);
    ShareLevels();
}

QString TStatPage::DataFile(const QString& sDataPath, const QString& sID, const QDate& d, int nPeriod) const
{
    return TPerFile::FileName(sDataPath, sID, d, nPeriod);
}

QDate TStatPage::PrintTo(const QDate& dtFrom, const QDate&, const QDate& dtCut) const
{
    return std::max(dtFrom, dtCut);
}

QString TStatPage::Note() const
{
    return TStatFill::Note(TRatingSettings::FromCfg(env.cfg), Param());
}

bool TStatPage::Export(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon)
{
    const TRatingSettings set = TRatingSettings::FromCfg(ex.Cfg());
    const TMonitorSel aOne{&mon};
    // As on screen, days still to come are left out.
    const QDate dtLast = std::max(ex.From(), std::min(ex.To(), QDate::currentDate()));
    const std::vector<TStatMonitor> a = TStatistics::Compute(set, DefaultParam(), ex.DataPath(), aOne, ex.From(),
                                                             dtLast, ex.Period(), ex.Exclusions());
    if (a.empty())
        return true;

    const QString sChartDir = ex.ChartDir(Info());
    if (TStatFill::Lack(a.front(), false).isEmpty() && TPlatform::ForceDirectories(sChartDir) &&
        !ex.Hooks().Cancelled()) {
        TStatChart chart(ex.Cfg());
        chart.SetTitle(QStringLiteral("Distribution, Typical Day and Weekly Carpet - Period: ") + QString::number(ex.Period()) +
                       QStringLiteral(" minutes"));
        chart.SetMonitorID(mon.sID);
        chart.PlotStat(a.front());
        if (!ex.SaveChartImages(page, Info(), mon.sID, chart))
            return false;
    }
    TStringGrid grid;
    TStatFill::FillBackground(grid, aOne, a);
    page.AddStatTable(grid);
    TStatFill::FillHours(grid, aOne, a);
    page.AddStatTable(grid);
    page.AddLine(QStringLiteral("<p>") + TStatFill::Note(set, DefaultParam()).toHtmlEscaped() +
                 QStringLiteral("</p>"));
    return true;
}

bool TStatPage::WriteCsv(const TCfg& cfg, const QString& sDataPath, const TMonitorSel& aSel, const QDate& dtFrom,
                         const QDate& dtTo, int nPeriod, const QString& sParam, const TExclusions* pExcl,
                         QTextStream& out, QTextStream& err)
{
    const QDate dtLast = std::max(dtFrom, std::min(dtTo, QDate::currentDate()));
    const std::vector<TStatMonitor> a =
        TStatistics::Compute(TRatingSettings::FromCfg(cfg), sParam, sDataPath, aSel, dtFrom, dtLast, nPeriod, pExcl);
    bool bAny = false;
    std::vector<bool> abBack;
    std::vector<bool> abHours;
    for (const TStatMonitor& sm : a) {
        const QString sBack = TStatFill::Lack(sm, true);
        const QString sHours = TStatFill::Lack(sm, false);
        abBack.push_back(sBack.isEmpty());
        abHours.push_back(sHours.isEmpty());
        bAny = bAny || sBack.isEmpty();
        if (!sBack.isEmpty())
            err << "tarvik-reporter: " << sm.sID << ": " << sBack << '\n';
        else if (!sHours.isEmpty())
            err << "tarvik-reporter: " << sm.sID << ": " << sHours << '\n';
    }
    err.flush();
    const QString sComma(QLatin1Char(','));
    out << "Monitor,Parameter,Part,Class from dB,Class to dB,Periods,Cumulative %\n";
    for (size_t m = 0; m < a.size(); ++m) {
        if (!abBack[m])
            continue;
        const TStatMonitor& sm = a[m];
        for (int p = 0; p < rpPartCount; ++p) {
            const TStatDistribution& dist = sm.aParts[size_t(p)];
            for (int i = 0; i < int(dist.anCount.size()); ++i) {
                const int k = dist.nLowestClass + i;
                out << QStringList{TCsvText::Field(sm.sID), TCsvText::Field(sm.sParam), TStatFill::PartName(p),
                                   ClassFrom(k * TStatistics::dClassWidth),
                                   ClassTo(k * TStatistics::dClassWidth), QString::number(dist.Count(k)),
                                   Num(dist.Cumulative(k) * 100.0)}
                           .join(sComma)
                    << '\n';
            }
        }
    }
    out << "\nMonitor,Parameter,Part,Periods,Most frequent from dB,Most frequent to dB,Median dB,10th "
           "percentile dB\n";
    for (size_t m = 0; m < a.size(); ++m) {
        if (!abBack[m])
            continue;
        const TStatMonitor& sm = a[m];
        for (int p = 0; p < rpPartCount; ++p) {
            const TStatDistribution& dist = sm.aParts[size_t(p)];
            out << QStringList{TCsvText::Field(sm.sID), TCsvText::Field(sm.sParam), TStatFill::PartName(p),
                               QString::number(dist.nValues), ClassFrom(dist.dModeClass), ClassTo(dist.dModeClass),
                               Num(dist.dMedian), Num(dist.dP10)}
                       .join(sComma)
                << '\n';
        }
    }
    out << "\nMonitor,Days,Hour,LAeq dB,10th percentile dB,90th percentile dB,Days with a level\n";
    const QString asDays[] = {QStringLiteral("Weekdays"), QStringLiteral("Weekends")};
    for (size_t m = 0; m < a.size(); ++m) {
        if (!abHours[m])
            continue;
        const TStatMonitor& sm = a[m];
        for (int k = 0; k < sdCount; ++k)
            for (int h = 0; h < 24; ++h) {
                const TStatHour& hour = sm.aaTypical[size_t(k)][size_t(h)];
                out << QStringList{TCsvText::Field(sm.sID), asDays[k], TStatFill::HourText(h), Num(hour.dLevel),
                                   Num(hour.dP10), Num(hour.dP90), QString::number(hour.nDays)}
                           .join(sComma)
                    << '\n';
            }
    }
    out << "\nMonitor,Hour";
    for (int d = 0; d < 7; ++d)
        out << ',' << TStatFill::WeekdayName(d) << " LAeq dB";
    out << '\n';
    for (size_t m = 0; m < a.size(); ++m) {
        if (!abHours[m])
            continue;
        const TStatMonitor& sm = a[m];
        for (int h = 0; h < 24; ++h) {
            out << TCsvText::Field(sm.sID) << ',' << TStatFill::HourText(h);
            for (int d = 0; d < 7; ++d)
                out << ',' << Num(sm.aadCarpet[size_t(d)][size_t(h)]);
            out << '\n';
        }
    }
    out.flush();
    return bAny;
}
