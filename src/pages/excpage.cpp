#include "pages/excpage.h"

#include "analysis/limits.h"
#include "analysis/limitsfill.h"
#include "analysis/rating.h"
#include "datafiles/perfile.h"
#include "monitors/monitor.h"
#include "output/htmlpage.h"
#include "pages/kindexport.h"
#include "pages/perpage.h"
#include "platform/platform.h"
#include "reports/csvtext.h"
#include "reports/stringgrid.h"
#include "views/fillgrid.h"
#include "views/perchart.h"

#include <QTextStream>

#include <algorithm>

const TKindInfo& TExcPage::Info()
{
    static const TKindInfo info{QStringLiteral("exc"),
                                QStringLiteral("exceedances"),
                                QStringLiteral("Exceedances"),
                                QStringLiteral("tabExceed"),
                                5,
                                QStringLiteral("reptypes/exceedances.html"),
                                QStringLiteral("&Exceedances"),
                                QStringLiteral("menuHelpExceed"),
                                true,
                                QStringLiteral("Exceedance Report"),
                                QStringLiteral("Exceedance Reports"),
                                QStringLiteral("Exceedance reports: "),
                                {QStringLiteral("exc")},
                                {TKindPage{QString(),
                                           false,
                                           QStringLiteral("exceedances"),
                                           QStringLiteral("Noise Limit Exceedances"),
                                           true,
                                           QString(),
                                           {}}}};
    return info;
}

TExcPage::TExcPage(const TPageEnv& env, QWidget* parent) : TReportPage(Info(), env, parent)
{
    MakeLayout(QStringLiteral("lblExcNote"), QString(), {QStringLiteral("panelExcTbl")}, QString(), false);
    excTable = new TFillGrid(env.cfg, env.mons, PageWidget(0));
    excTable->setObjectName(QStringLiteral("excTable"));
    SetGrid(0, excTable);
}

void TExcPage::Build(const TPageChoice& c)
{
    SetNote(Note());
    // As in the summary, days still to come would only add unassessed periods.
    excTable->LoadTicked(
        env.chklstMon, [&](TStringGrid& grid, const QString& sDataPath, const TMonitorSel& aMons) {
            TLimitsFill::FillExceedances(grid, aMons,
                                         TLimitCheck::Compute(TLimits::FromCfg(env.cfg), sDataPath, aMons,
                                                              c.dtStart.date(), c.dtEndCut, c.nPeriod, Applied()),
                                         TRatingSettings::FromCfg(env.cfg).dCoverage);
        });
}

QString TExcPage::DataFile(const QString& sDataPath, const QString& sID, const QDate& d, int nPeriod) const
{
    return TPerFile::FileName(sDataPath, sID, d, nPeriod);
}

QDate TExcPage::PrintTo(const QDate& dtFrom, const QDate&, const QDate& dtCut) const
{
    return std::max(dtFrom, dtCut);
}

QString TExcPage::Note() const
{
    return TLimitsFill::Note();
}

QString TExcPage::ErrorSource() const
{
    // The same limit rules as the limit marks of the periodic chart.
    return TPerPage::Info().sKey;
}

QString TExcPage::SettingsErrors() const
{
    return TPerPage::LimitErrors(env);
}

bool TExcPage::Export(TKindExport& ex, THtmlPage& page, const TTQMonitor& mon)
{
    ex.AddExcludedLine(page, mon);
    const std::shared_ptr<const TLimits> pLimits = ex.Limits();
    const TLimits limits = pLimits ? *pLimits : TLimits::FromCfg(ex.Cfg());
    const TMonitorSel aOne{&mon};
    // As on screen, days still to come are not rows: they would only add unassessed periods.
    const QDate dtLast = std::min(ex.To(), QDate::currentDate());
    const std::vector<TLimitMonitor> aResults =
        TLimitCheck::Compute(limits, ex.DataPath(), aOne, ex.From(), dtLast, ex.Period(), ex.Exclusions());
    if (aResults.empty())
        return true;

    const QString sChartDir = ex.ChartDir(Info());
    if (TPlatform::ForceDirectories(sChartDir) && !ex.Hooks().Cancelled()) {
        TPerChart chart(ex.Cfg());
        chart.SetExclusions(ex.Exclusions());
        chart.SetTitle(QStringLiteral("Limits - Period: ") + QString::number(ex.Period()) +
                       QStringLiteral(" minutes"));
        chart.SetMonitorID(mon.sID);
        chart.SetLimitRules(aResults.front().aRules);
        chart.SetLimitKeyShown(true);
        chart.PlotPeriod(ex.From(), ex.To(), ex.Period());
        if (!ex.SaveChartImages(page, Info(), mon.sID, chart))
            return false;
    }

    TStringGrid grid;
    TLimitsFill::FillExceedances(grid, aOne, aResults, TRatingSettings::FromCfg(ex.Cfg()).dCoverage);
    page.AddExcTable(grid);
    return true;
}

void TExcPage::WriteCsv(const TLimits& limits, const QString& sDataPath, const TMonitorSel& aSel,
                        const QDate& dtFrom, const QDate& dtTo, int nPeriod, QTextStream& out,
                        const TExclusions* pExcl)
{
    const QDate dtLast = std::min(dtTo, QDate::currentDate());
    const std::vector<TLimitMonitor> aMons =
        TLimitCheck::Compute(limits, sDataPath, aSel, dtFrom, dtLast, nPeriod, pExcl);
    auto date = [](const QDate& dt) { return dt.toString(QStringLiteral("yyyy-MM-dd")); };
    const auto time = &TLimitsFill::StartTime;
    const auto tenths = &TLimitsFill::Tenths;
    out << "Monitor,Date,Time,Parameter,Value,Limit,Margin,Label\n";
    for (const TLimitMonitor& lm : aMons)
        for (const TLimitExceedance& e : lm.aExceedances) {
            const TLimitRule& rule = lm.aRules[size_t(e.iRule)];
            out << QStringList{TCsvText::Field(lm.sID), date(e.dt),
                               time(e.nStartSecs),      TCsvText::Field(rule.sParam),
                               tenths(e.nValueTenths),  rule.LimitText(),
                               tenths(e.nMarginTenths), TCsvText::Field(rule.Name())}
                       .join(QLatin1Char(','))
                << '\n';
        }
    // Periods excluded come as one more column, only when there are any.
    const bool bExcluded = TLimitsFill::AnyExcluded(aMons);
    out << "\nMonitor,Date,Parameter,Days,Band,Limit,Periods,Assessed,Exceedances,Worst margin,Worst "
           "at,Label"
        << (bExcluded ? ",Excluded\n" : "\n");
    auto countRow = [&](const QString& sID, const QString& sDate, const TLimitRule& rule,
                        const TLimitCount& c) {
        // A date always: a night's worst may lie on the day after its row's.
        out << QStringList{TCsvText::Field(sID),
                           sDate,
                           TCsvText::Field(rule.sParam),
                           TCsvText::Field(rule.DaysText()),
                           rule.BandText(),
                           rule.LimitText(),
                           QString::number(c.nExpected),
                           QString::number(c.nAssessed),
                           QString::number(c.nExceeded),
                           c.HasWorst() ? tenths(c.nWorstTenths) : QString(),
                           c.HasWorst() ? TLimitsFill::DateTime(c.dtWorst, c.nWorstSecs) : QString(),
                           TCsvText::Field(rule.Name())}
                   .join(QLatin1Char(','))
            << (bExcluded ? QLatin1Char(',') + QString::number(c.nExcluded) : QString()) << '\n';
    };
    for (const TLimitMonitor& lm : aMons) {
        for (const TLimitDay& day : lm.aDays)
            for (size_t r = 0; r < lm.aRules.size(); ++r)
                countRow(lm.sID, date(day.dt), lm.aRules[r], day.aCounts[r]);
        for (size_t r = 0; r < lm.aRules.size(); ++r)
            countRow(lm.sID, QStringLiteral("Range"), lm.aRules[r], lm.aRange[r]);
    }
    out.flush();
}
