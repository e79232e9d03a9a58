#include "analysis/ratingfill.h"

#include "monitors/monitor.h"
#include "reports/stringgrid.h"

#include <cmath>

namespace {
const QLatin1String sLowTag("~low~");

QString Marked(const QString& s, bool bLow, bool bEmphasis = false)
{
    if (s.isEmpty())
        return s;
    if (bLow)
        return sLowTag + s;
    return bEmphasis ? QLatin1Char('^') + s : s;
}

QString Hour(int n)
{
    return QString::asprintf("%02d:00", n);
}

// The figures of one row: the three part levels, Lden and the three coverages, and
// the hours excluded where the grid shows them.
void FillLevels(TStringGrid& grid, int nRow, const TRatingLevels& lv, bool bEmphasis, bool bExcluded)
{
    if (bExcluded)
        for (int p = 0; p < rpPartCount; ++p)
            grid.SetCell(TRatingFill::ColExcluded + p, nRow, TRatingFill::Hours(lv.adExcludedSecs[size_t(p)]));
    for (int p = 0; p < rpPartCount; ++p) {
        const bool bLow = lv.abLow[size_t(p)];
        grid.SetCell(TRatingFill::ColLevel + p, nRow,
                     Marked(TRatingFill::Level(lv.adLevel[size_t(p)]), bLow, bEmphasis));
        grid.SetCell(TRatingFill::ColCoverage + p, nRow,
                     Marked(TRatingFill::Percent(lv.adCoverage[size_t(p)]), bLow));
    }
    grid.SetCell(TRatingFill::ColLden, nRow, Marked(TRatingFill::Level(lv.dLden), lv.bLdenLow, bEmphasis));
}
} // namespace

QString TRatingFill::Level(double d)
{
    return std::isnan(d) ? QString() : QString::number(d, 'f', 1);
}

bool TRatingFill::AnyExcluded(const std::vector<TRatingMonitor>& aResults)
{
    for (const TRatingMonitor& rm : aResults)
        if (rm.range.ExcludedSecs() > 0)
            return true;
    return false;
}

QString TRatingFill::Hours(double dSecs)
{
    return dSecs > 0 ? QString::number(dSecs / 3600.0, 'f', 1) : QString();
}

QString TRatingFill::Percent(double dShare)
{
    return std::isnan(dShare) ? QString() : QString::number(dShare * 100.0, 'f', 1);
}

QString TRatingFill::Note(const TRatingSettings& set)
{
    const auto& h = set.anStartHour;
    return QStringLiteral("A day is the calendar day of the day file. Day ") + Hour(h[rpDay]) +
           QLatin1Char('-') + Hour(h[rpEvening]) + QStringLiteral(", evening ") + Hour(h[rpEvening]) +
           QLatin1Char('-') + Hour(h[rpNight]) + QStringLiteral(", night ") + Hour(h[rpNight]) +
           QLatin1Char('-') + Hour(h[rpDay]) + QStringLiteral("; Lden with +") +
           QString::number(set.dEveningPenalty) + QStringLiteral(" dB evening and +") +
           QString::number(set.dNightPenalty) + QStringLiteral(" dB night. Grey: under ") +
           QString::number(set.dCoverage) + QStringLiteral(" % of the periods have a LAeq value.");
}

void TRatingFill::FillSummary(TStringGrid& grid, const TRatingSettings& set, const TMonitorSel& aMons,
                              const std::vector<TRatingMonitor>& aResults)
{
    grid.Clear();
    const bool bExcluded = AnyExcluded(aResults);
    grid.SetColCount(bExcluded ? ColCountExcluded : ColCount);
    grid.SetRowCount(1);
    grid.SetDefaultColWidth(64);
    grid.SetColWidth(ColDate, 84);

    const QString sUnit = QStringLiteral("^dB(A)");
    const QString sPercent = QStringLiteral("^% cov.");
    const bool bLimits = set.bLdenLimitOn || set.bNightLimitOn;
    int nRow = 0;
    for (size_t m = 0; m < aMons.size() && m < aResults.size(); ++m) {
        const TRatingMonitor& rm = aResults[m];
        grid.SetRowCount(nRow + 4 + int(rm.aDays.size()) + 1 + (bLimits ? 2 : 0));
        grid.SetCell(0, nRow, QStringLiteral("~name~") + aMons[m]->sName);
        nRow += 2;
        grid.SetCell(ColDate, nRow, QStringLiteral("~h~Date"));
        grid.SetCell(ColLevel + rpDay, nRow, QStringLiteral("~h~Lday"));
        grid.SetCell(ColLevel + rpEvening, nRow, QStringLiteral("~h~Levening"));
        grid.SetCell(ColLevel + rpNight, nRow, QStringLiteral("~h~Lnight"));
        grid.SetCell(ColLden, nRow, QStringLiteral("~h~Lden"));
        // The coverage columns are named after their part; the unit row says what they hold.
        grid.SetCell(ColCoverage + rpDay, nRow, QStringLiteral("~h~Day"));
        grid.SetCell(ColCoverage + rpEvening, nRow, QStringLiteral("~h~Evening"));
        grid.SetCell(ColCoverage + rpNight, nRow, QStringLiteral("~h~Night"));
        for (int c = ColLevel; c <= ColLden; ++c)
            grid.SetCell(c, nRow + 1, sUnit);
        for (int p = 0; p < rpPartCount; ++p)
            grid.SetCell(ColCoverage + p, nRow + 1, sPercent);
        if (bExcluded) {
            // Excluded time counts against the coverage, as missing values do, and is
            // told apart here.
            grid.SetCell(ColExcluded + rpDay, nRow, QStringLiteral("~h~Day"));
            grid.SetCell(ColExcluded + rpEvening, nRow, QStringLiteral("~h~Evening"));
            grid.SetCell(ColExcluded + rpNight, nRow, QStringLiteral("~h~Night"));
            for (int p = 0; p < rpPartCount; ++p)
                grid.SetCell(ColExcluded + p, nRow + 1, QStringLiteral("^h excl."));
        }
        nRow += 2;

        for (const TRatingLevels& lv : rm.aDays) {
            grid.SetCell(ColDate, nRow, lv.dt.toString(QStringLiteral("yyyy-MM-dd")));
            FillLevels(grid, nRow, lv, false, bExcluded);
            ++nRow;
        }
        // The range row is averaged from the periods themselves, not from the days above.
        grid.SetCell(ColDate, nRow, QStringLiteral("~h~Range"));
        FillLevels(grid, nRow, rm.range, true, bExcluded);
        ++nRow;

        if (bLimits) {
            grid.SetCell(ColDate, nRow, QStringLiteral("~h~Limit"));
            grid.SetCell(ColDate, nRow + 1, QStringLiteral("~h~Days above"));
            if (set.bLdenLimitOn) {
                grid.SetCell(ColLden, nRow, Level(set.dLdenLimit));
                grid.SetCell(ColLden, nRow + 1,
                             Marked(QString::number(rm.nLdenAbove), false, rm.nLdenAbove > 0));
            }
            if (set.bNightLimitOn) {
                grid.SetCell(ColLevel + rpNight, nRow, Level(set.dNightLimit));
                grid.SetCell(ColLevel + rpNight, nRow + 1,
                             Marked(QString::number(rm.nNightAbove), false, rm.nNightAbove > 0));
            }
            nRow += 2;
        }
        nRow += 2;
    }
    // One more empty row follows the last block's spacing rows, as in the other tables.
    grid.SetRowCount(nRow + 1);
}
