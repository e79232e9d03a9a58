#include "analysis/statfill.h"

#include "analysis/ratingfill.h"
#include "reports/stringgrid.h"

#include <cmath>

namespace {
// The title and the two spacing rows of a block around nBody rows.
int BlockRows(int nBody)
{
    return 2 + nBody + 2;
}

bool AnyValue(const TStatMonitor& sm)
{
    for (const TStatDistribution& dist : sm.aParts)
        if (dist.nValues > 0)
            return true;
    return false;
}

bool AnyHour(const TStatMonitor& sm)
{
    for (const auto& aHours : sm.aaTypical)
        for (const TStatHour& hour : aHours)
            if (!std::isnan(hour.dLevel))
                return true;
    return false;
}
} // namespace

QString TStatFill::ClassText(double dClass)
{
    if (std::isnan(dClass))
        return QString();
    return QString::number(dClass, 'g', 4) + QLatin1Char('-') +
           QString::number(dClass + TStatistics::dClassWidth, 'g', 4);
}

QString TStatFill::WeekdayName(int iDay)
{
    static const char* const apszDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    return iDay >= 0 && iDay < 7 ? QString::fromLatin1(apszDays[iDay]) : QString();
}

QString TStatFill::HourText(int nHour)
{
    return QString::asprintf("%02d:00", nHour);
}

QString TStatFill::PartName(int iPart)
{
    static const char* const apszParts[] = {"Day", "Evening", "Night"};
    return iPart >= 0 && iPart < rpPartCount ? QString::fromLatin1(apszParts[iPart]) : QString();
}

QString TStatFill::Note(const TRatingSettings& set, const QString& sParam)
{
    const auto& h = set.anStartHour;
    return sParam + QStringLiteral(" per part of the day (day ") + HourText(h[rpDay]) + QLatin1Char('-') +
           HourText(h[rpEvening]) + QStringLiteral(", evening ") + HourText(h[rpEvening]) + QLatin1Char('-') +
           HourText(h[rpNight]) + QStringLiteral(", night ") + HourText(h[rpNight]) + QLatin1Char('-') +
           HourText(h[rpDay]) +
           QStringLiteral(
               ") in 1 dB classes, each from its lower bound up to, not including, its upper bound. "
               "Median and percentiles are of the period values, by nearest rank (the value at rank "
               "ceil(p/100 x n) of the n values sorted upwards). LAeq per hour is an energy average "
               "of its periods weighted by their length; its spread is the 10th to 90th percentile "
               "of the days' own levels of that hour. The candidates are offered, not chosen: "
               "which value is the background is the consultant's decision.");
}

QString TStatFill::Lack(const TStatMonitor& sm, bool bBackground)
{
    const QString sParam = bBackground ? sm.sParam : QStringLiteral("LAeq");
    if (sm.nDaysRead == 0)
        return QStringLiteral("No periodic day file in the range");
    if (bBackground ? !sm.bParamColumn : !sm.bLAeqColumn)
        return QStringLiteral("The day files have no ") + sParam + QStringLiteral(" column");
    if (bBackground ? !AnyValue(sm) : !AnyHour(sm))
        return QStringLiteral("No ") + sParam + QStringLiteral(" value to count in the range");
    return QString();
}

void TStatFill::FillBackground(TStringGrid& grid, const TMonitorSel& aMons, const std::vector<TStatMonitor>& aResults)
{
    grid.Clear();
    grid.SetColCount(BackgroundCols);
    grid.SetRowCount(1);
    grid.SetDefaultColWidth(64);
    grid.SetColWidth(ColClass, 110);
    int nRow = 0;
    for (size_t m = 0; m < aMons.size() && m < aResults.size(); ++m) {
        const TStatMonitor& sm = aResults[m];
        const QString sLack = Lack(sm, true);
        int nLow = 0;
        int nHigh = -1;
        if (sLack.isEmpty()) {
            bool bFirst = true;
            for (const TStatDistribution& dist : sm.aParts) {
                if (dist.anCount.empty())
                    continue;
                const int nTop = dist.nLowestClass + int(dist.anCount.size()) - 1;
                nLow = bFirst ? dist.nLowestClass : std::min(nLow, dist.nLowestClass);
                nHigh = bFirst ? nTop : std::max(nHigh, nTop);
                bFirst = false;
            }
        }
        const int nBody = sLack.isEmpty() ? 2 + (nHigh - nLow + 1) + 4 : 1;
        grid.SetRowCount(nRow + BlockRows(nBody) + 1);
        grid.SetCell(0, nRow, QStringLiteral("~name~") + aMons[m]->sName);
        nRow += 2;
        if (!sLack.isEmpty()) {
            grid.SetCell(0, nRow++, sLack);
            nRow += 2;
            continue;
        }
        grid.SetCell(ColClass, nRow, QStringLiteral("~h~") + sm.sParam);
        grid.SetCell(ColClass, nRow + 1, QStringLiteral("^dB"));
        for (int p = 0; p < rpPartCount; ++p) {
            grid.SetCell(ColPart + 2 * p, nRow, QStringLiteral("~h~") + PartName(p));
            grid.SetCell(ColPart + 2 * p + 1, nRow, QStringLiteral("~h~cum."));
            grid.SetCell(ColPart + 2 * p, nRow + 1, QStringLiteral("^periods"));
            grid.SetCell(ColPart + 2 * p + 1, nRow + 1, QStringLiteral("^%"));
        }
        nRow += 2;
        for (int k = nLow; k <= nHigh; ++k, ++nRow) {
            grid.SetCell(ColClass, nRow, ClassText(k * TStatistics::dClassWidth));
            for (int p = 0; p < rpPartCount; ++p) {
                const TStatDistribution& dist = sm.aParts[size_t(p)];
                if (dist.nValues == 0)
                    continue;
                grid.SetCell(ColPart + 2 * p, nRow, QString::number(dist.Count(k)));
                grid.SetCell(ColPart + 2 * p + 1, nRow, TRatingFill::Percent(dist.Cumulative(k)));
            }
        }
        // The candidates stand under each part's periods column.
        grid.SetCell(ColClass, nRow, QStringLiteral("~h~Periods"));
        grid.SetCell(ColClass, nRow + 1, QStringLiteral("~h~Most frequent"));
        grid.SetCell(ColClass, nRow + 2, QStringLiteral("~h~Median"));
        grid.SetCell(ColClass, nRow + 3, QStringLiteral("~h~10th percentile"));
        for (int p = 0; p < rpPartCount; ++p) {
            const TStatDistribution& dist = sm.aParts[size_t(p)];
            const int c = ColPart + 2 * p;
            grid.SetCell(c, nRow, QString::number(dist.nValues));
            grid.SetCell(c, nRow + 1, ClassText(dist.dModeClass));
            grid.SetCell(c, nRow + 2, TRatingFill::Level(dist.dMedian));
            grid.SetCell(c, nRow + 3, TRatingFill::Level(dist.dP10));
        }
        nRow += 4 + 2;
    }
    grid.SetRowCount(nRow + 1);
}

void TStatFill::FillHours(TStringGrid& grid, const TMonitorSel& aMons, const std::vector<TStatMonitor>& aResults)
{
    grid.Clear();
    grid.SetColCount(HourCols);
    grid.SetRowCount(1);
    grid.SetDefaultColWidth(58);
    grid.SetColWidth(ColHour, 64);
    int nRow = 0;
    for (size_t m = 0; m < aMons.size() && m < aResults.size(); ++m) {
        const TStatMonitor& sm = aResults[m];
        const QString sLack = Lack(sm, false);
        grid.SetRowCount(nRow + BlockRows(sLack.isEmpty() ? 2 + 24 : 1) + 1);
        grid.SetCell(0, nRow, QStringLiteral("~name~") + aMons[m]->sName);
        nRow += 2;
        if (!sLack.isEmpty()) {
            grid.SetCell(0, nRow++, sLack);
            nRow += 2;
            continue;
        }
        grid.SetCell(ColHour, nRow, QStringLiteral("~h~Hour"));
        const QString asDays[] = {QStringLiteral("Weekdays"), QStringLiteral("Weekends")};
        for (int k = 0; k < sdCount; ++k) {
            const int c = ColTypical + 3 * k;
            grid.SetCell(c, nRow, QStringLiteral("~h~") + asDays[k]);
            grid.SetCell(c + 1, nRow, QStringLiteral("~h~P10"));
            grid.SetCell(c + 2, nRow, QStringLiteral("~h~P90"));
            grid.SetCell(c, nRow + 1, QStringLiteral("^LAeq dB"));
            grid.SetCell(c + 1, nRow + 1, QStringLiteral("^dB"));
            grid.SetCell(c + 2, nRow + 1, QStringLiteral("^dB"));
        }
        for (int d = 0; d < 7; ++d) {
            grid.SetCell(ColCarpet + d, nRow, QStringLiteral("~h~") + WeekdayName(d));
            grid.SetCell(ColCarpet + d, nRow + 1, QStringLiteral("^LAeq dB"));
        }
        nRow += 2;
        for (int h = 0; h < 24; ++h, ++nRow) {
            grid.SetCell(ColHour, nRow, HourText(h));
            for (int k = 0; k < sdCount; ++k) {
                const TStatHour& hour = sm.aaTypical[size_t(k)][size_t(h)];
                const int c = ColTypical + 3 * k;
                grid.SetCell(c, nRow, TRatingFill::Level(hour.dLevel));
                grid.SetCell(c + 1, nRow, TRatingFill::Level(hour.dP10));
                grid.SetCell(c + 2, nRow, TRatingFill::Level(hour.dP90));
            }
            for (int d = 0; d < 7; ++d)
                grid.SetCell(ColCarpet + d, nRow, TRatingFill::Level(sm.aadCarpet[size_t(d)][size_t(h)]));
        }
        nRow += 2;
    }
    grid.SetRowCount(nRow + 1);
}
