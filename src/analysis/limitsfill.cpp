#include "analysis/limitsfill.h"

#include "monitors/monitor.h"
#include "reports/stringgrid.h"

#include <cmath>

namespace {
const QLatin1String sLowTag("~low~");

QString Date(const QDate& dt)
{
    return dt.toString(QStringLiteral("yyyy-MM-dd"));
}

QString Bold(const QString& s, bool bBold)
{
    return bBold ? QLatin1Char('^') + s : s;
}

void SetHeadings(TStringGrid& grid, int nRow, const std::vector<std::pair<int, const char*>>& aHeads)
{
    for (const auto& [nCol, szHead] : aHeads)
        grid.SetCell(nCol, nRow, QStringLiteral("~h~") + QLatin1String(szHead));
}

// The figures of one rule over a day or the range. The margin is shown only above
// the limit: the grids show no negative numbers.
void FillCount(TStringGrid& grid, int nRow, const TLimitRule& rule, const TLimitCount& count,
               double dCoverage, bool bExcluded)
{
    if (bExcluded)
        grid.SetCell(TLimitsFill::ColExcluded, nRow, QString::number(count.nExcluded));
    grid.SetCell(TLimitsFill::ColTime, nRow, rule.BandText());
    grid.SetCell(TLimitsFill::ColParam, nRow, rule.sParam);
    grid.SetCell(TLimitsFill::ColLimit, nRow, rule.LimitText());
    grid.SetCell(TLimitsFill::ColRule, nRow, rule.Name());
    grid.SetCell(TLimitsFill::ColPeriods, nRow, QString::number(count.nAssessed));
    const double dCov = count.Coverage();
    if (!std::isnan(dCov)) {
        const QString sCov = QString::number(dCov * 100.0, 'f', 1);
        grid.SetCell(TLimitsFill::ColCoverage, nRow, dCov * 100.0 < dCoverage ? sLowTag + sCov : sCov);
    }
    grid.SetCell(TLimitsFill::ColExceeded, nRow, Bold(QString::number(count.nExceeded), count.nExceeded > 0));
    if (!count.HasWorst())
        return;
    grid.SetCell(TLimitsFill::ColValue, nRow,
                 TLimitsFill::Tenths(count.nWorstTenths + int(std::lround(rule.dLimit * 10.0))));
    if (count.nWorstTenths > 0)
        grid.SetCell(TLimitsFill::ColMargin, nRow,
                     QLatin1Char('^') + TLimitsFill::Tenths(count.nWorstTenths));
    grid.SetCell(TLimitsFill::ColHighestAt, nRow, TLimitsFill::DateTime(count.dtWorst, count.nWorstSecs));
}
} // namespace

bool TLimitsFill::AnyExcluded(const std::vector<TLimitMonitor>& aResults)
{
    for (const TLimitMonitor& lm : aResults)
        for (const TLimitCount& count : lm.aRange)
            if (count.nExcluded > 0)
                return true;
    return false;
}

QString TLimitsFill::StartTime(int nSecs)
{
    return QString::asprintf("%02d:%02d", nSecs / 3600, nSecs / 60 % 60);
}

QString TLimitsFill::DateTime(const QDate& dt, int nSecs)
{
    return Date(dt) + QLatin1Char(' ') + StartTime(nSecs);
}

QString TLimitsFill::Tenths(int nTenths)
{
    return QString::number(nTenths / 10.0, 'f', 1);
}

QString TLimitsFill::Note()
{
    return QStringLiteral(
        "A period is judged by every rule whose days and hours hold its start; the hours of a band after "
        "midnight belong to the day it began on. A value equal to its limit is within it. Highest: the "
        "highest value of the rule's periods, at the date and time of its period; grey coverage: fewer "
        "periods with a value than the rating coverage threshold.");
}

void TLimitsFill::FillExceedances(TStringGrid& grid, const TMonitorSel& aMons,
                                  const std::vector<TLimitMonitor>& aResults, double dCoverage)
{
    grid.Clear();
    const bool bExcluded = AnyExcluded(aResults);
    grid.SetColCount(bExcluded ? ColCountExcluded : ColCount);
    grid.SetRowCount(1);
    grid.SetDefaultColWidth(64);
    grid.SetColWidth(ColDate, 84);
    grid.SetColWidth(ColTime, 84);
    grid.SetColWidth(ColParam, 70);
    grid.SetColWidth(ColRule, 150);
    grid.SetColWidth(ColHighestAt, 120);

    const QString sUnit = QStringLiteral("^dB(A)");
    int nRow = 0;
    for (size_t m = 0; m < aMons.size() && m < aResults.size(); ++m) {
        const TLimitMonitor& lm = aResults[m];
        const size_t nRules = lm.aRules.size();
        const int nExc = int(lm.aExceedances.size());
        const int nCounts = int(lm.aDays.size() * nRules + nRules);
        grid.SetRowCount(nRow + 2 + 2 + std::max(nExc, 1) + 1 + 2 + nCounts + 2 + 1);
        grid.SetCell(0, nRow, QStringLiteral("~name~") + aMons[m]->sName);
        nRow += 2;
        if (nRules == 0) {
            grid.SetCell(ColDate, nRow, QStringLiteral("~h~No limits"));
            nRow += 3;
            continue;
        }

        SetHeadings(grid, nRow,
                    {{ColDate, "Date"},
                     {ColTime, "Time"},
                     {ColParam, "Parameter"},
                     {ColValue, "Value"},
                     {ColLimit, "Limit"},
                     {ColMargin, "Margin"},
                     {ColRule, "Rule"}});
        for (int c : {ColValue, ColLimit, ColMargin})
            grid.SetCell(c, nRow + 1, sUnit);
        nRow += 2;
        if (nExc == 0)
            grid.SetCell(ColDate, nRow++, QStringLiteral("None"));
        for (const TLimitExceedance& e : lm.aExceedances) {
            const TLimitRule& rule = lm.aRules[size_t(e.iRule)];
            grid.SetCell(ColDate, nRow, Date(e.dt));
            grid.SetCell(ColTime, nRow, StartTime(e.nStartSecs));
            grid.SetCell(ColParam, nRow, rule.sParam);
            grid.SetCell(ColValue, nRow, Tenths(e.nValueTenths));
            grid.SetCell(ColLimit, nRow, rule.LimitText());
            grid.SetCell(ColMargin, nRow, QLatin1Char('^') + Tenths(e.nMarginTenths));
            grid.SetCell(ColRule, nRow, rule.Name());
            ++nRow;
        }
        ++nRow;

        SetHeadings(grid, nRow,
                    {{ColDate, "Date"},
                     {ColTime, "Band"},
                     {ColParam, "Parameter"},
                     {ColValue, "Highest"},
                     {ColLimit, "Limit"},
                     {ColMargin, "Margin"},
                     {ColRule, "Rule"},
                     {ColPeriods, "Periods"},
                     {ColCoverage, "Coverage"},
                     {ColExceeded, "Exceeded"},
                     {ColHighestAt, "Highest at"}});
        for (int c : {ColValue, ColLimit, ColMargin})
            grid.SetCell(c, nRow + 1, sUnit);
        grid.SetCell(ColPeriods, nRow + 1, QStringLiteral("^assessed"));
        grid.SetCell(ColCoverage, nRow + 1, QStringLiteral("^%"));
        if (bExcluded) {
            grid.SetCell(ColExcluded, nRow, QStringLiteral("~h~Excluded"));
            grid.SetCell(ColExcluded, nRow + 1, QStringLiteral("^periods"));
        }
        nRow += 2;
        for (const TLimitDay& day : lm.aDays) {
            for (size_t r = 0; r < nRules; ++r) {
                grid.SetCell(ColDate, nRow, Date(day.dt));
                FillCount(grid, nRow, lm.aRules[r], day.aCounts[r], dCoverage, bExcluded);
                ++nRow;
            }
        }
        for (size_t r = 0; r < nRules; ++r) {
            grid.SetCell(ColDate, nRow, QStringLiteral("~h~Range"));
            FillCount(grid, nRow, lm.aRules[r], lm.aRange[r], dCoverage, bExcluded);
            ++nRow;
        }
        nRow += 2;
    }
    // One more empty row follows the last block's spacing rows, as in the other tables.
    grid.SetRowCount(nRow + 1);
}
