#include "analysis/eventsfill.h"

#include "analysis/exclusions.h"
#include "analysis/ratingfill.h"

#include "monitors/monitor.h"
#include "reports/stringgrid.h"

#include <algorithm>
#include <cmath>

namespace {
QString Hour(int n)
{
    return QString::asprintf("%02d:00", n);
}

QString Emphasised(int n)
{
    return n > 0 ? QLatin1Char('^') + QString::number(n) : QString::number(n);
}

// Rows one day takes in the list.
int DayRows(const TEventSettings& set, const TEventDay& day)
{
    const int nEvents = std::max(1, int(day.aEvents.size()));
    return 3 + nEvents + 1 + 3 + int(day.Excluded() > 0) + int(day.nUnplaced > 0) + int(set.adNLevels.size()) + 8 + 1;
}

int FillDay(TStringGrid& grid, int nRow, const TEventSettings& set, const TEventDay& day)
{
    grid.SetCell(0, nRow, QStringLiteral("~h~") + day.dt.toString(QStringLiteral("yyyy-MM-dd")));
    ++nRow;
    grid.SetCell(TEventsFill::ColNumber, nRow, QStringLiteral("~h~No."));
    grid.SetCell(TEventsFill::ColStart, nRow, QStringLiteral("~h~Start"));
    grid.SetCell(TEventsFill::ColEnd, nRow, QStringLiteral("~h~End"));
    grid.SetCell(TEventsFill::ColDuration, nRow, QStringLiteral("~h~Duration"));
    grid.SetCell(TEventsFill::ColLMax, nRow, QStringLiteral("~h~") + TEventsFill::LMaxName());
    grid.SetCell(TEventsFill::ColLAE, nRow, QStringLiteral("~h~LAE"));
    grid.SetCell(TEventsFill::ColNote, nRow, QStringLiteral("~h~Note"));
    ++nRow;
    grid.SetCell(TEventsFill::ColDuration, nRow, QStringLiteral("^s"));
    grid.SetCell(TEventsFill::ColLMax, nRow, QStringLiteral("^dB(A)"));
    grid.SetCell(TEventsFill::ColLAE, nRow, QStringLiteral("^dB(A)"));
    ++nRow;

    if (day.aEvents.empty()) {
        grid.SetCell(TEventsFill::ColStart, nRow, TEventsFill::NoEventsText(day));
        ++nRow;
    }
    int nNumber = 0;
    for (const TNoiseEvent& ev : day.aEvents) {
        grid.SetCell(TEventsFill::ColNumber, nRow, QString::number(++nNumber));
        grid.SetCell(TEventsFill::ColStart, nRow, TEventsFill::Clock(ev.nStart));
        grid.SetCell(TEventsFill::ColEnd, nRow, TEventsFill::EndText(ev));
        grid.SetCell(TEventsFill::ColDuration, nRow, QString::number(ev.Duration()));
        grid.SetCell(TEventsFill::ColLMax, nRow, TRatingFill::Level(ev.dLMax));
        grid.SetCell(TEventsFill::ColLAE, nRow, TRatingFill::Level(ev.dLAE));
        grid.SetCell(TEventsFill::ColNote, nRow, TEventsFill::NoteText(ev));
        ++nRow;
    }
    ++nRow;

    grid.SetCell(0, nRow, QStringLiteral("~h~Events"));
    grid.SetCell(1, nRow, Emphasised(day.Counted()));
    ++nRow;
    if (day.Excluded() > 0) {
        // Listed above, counted nowhere.
        grid.SetCell(0, nRow, QStringLiteral("~h~Excluded"));
        grid.SetCell(1, nRow, QString::number(day.Excluded()));
        ++nRow;
    }
    for (size_t i = 0; i < set.adNLevels.size(); ++i) {
        grid.SetCell(0, nRow, QStringLiteral("~h~") + TEventsFill::NAboveName(set.adNLevels[i]));
        grid.SetCell(1, nRow, QString::number(i < day.anNAbove.size() ? day.anNAbove[i] : 0));
        ++nRow;
    }
    grid.SetCell(0, nRow, QStringLiteral("~h~Above (s)"));
    grid.SetCell(1, nRow, QString::number(day.nAboveSecs));
    grid.SetCell(2, nRow, TEventsFill::Clock(day.nAboveSecs));
    ++nRow;
    grid.SetCell(0, nRow, QStringLiteral("~h~No value (s)"));
    grid.SetCell(1, nRow, QString::number(day.nNoValue));
    grid.SetCell(2, nRow, TEventsFill::Clock(day.nNoValue));
    ++nRow;
    if (day.nUnplaced > 0) {
        // Records that repeat a second, or whose time is unreadable or past the day.
        grid.SetCell(0, nRow, QStringLiteral("~h~Not placed"));
        grid.SetCell(1, nRow, QString::number(day.nUnplaced));
        grid.SetCell(2, nRow, QStringLiteral("records"));
        ++nRow;
    }

    // Events per hour of their start, six hours to a pair of rows.
    for (int nFirst = 0; nFirst < 24; nFirst += 6) {
        grid.SetCell(0, nRow, QStringLiteral("~h~Hour"));
        grid.SetCell(0, nRow + 1, QStringLiteral("~h~Per hour"));
        for (int h = nFirst; h < nFirst + 6; ++h) {
            grid.SetCell(1 + h - nFirst, nRow, QStringLiteral("~h~") + Hour(h));
            grid.SetCell(1 + h - nFirst, nRow + 1, QString::number(day.anPerHour[size_t(h)]));
        }
        nRow += 2;
    }
    return nRow + 1;
}
} // namespace

QString TEventsFill::Clock(int nSecs)
{
    if (nSecs < 0)
        return {};
    return QString::asprintf("%02d:%02d:%02d", nSecs / 3600, nSecs / 60 % 60, nSecs % 60);
}

QString TEventsFill::EndText(const TNoiseEvent& ev)
{
    const int nDays = ev.EndDay();
    const QString sClock = Clock(ev.nEnd % 86400);
    if (nDays == 0)
        return sClock;
    if (nDays == 1)
        return sClock + QStringLiteral(" next day");
    return sClock + QStringLiteral(" +") + QString::number(nDays) + QStringLiteral(" days");
}

QString TEventsFill::NoteText(const TNoiseEvent& ev)
{
    QStringList sl;
    if (ev.eCut == TNoiseEvent::ECut::Threshold)
        sl.append(QStringLiteral("cut at threshold change"));
    else if (ev.eCut == TNoiseEvent::ECut::Midnight)
        sl.append(QStringLiteral("cut at midnight"));
    if (ev.bLong)
        sl.append(QStringLiteral("long"));
    if (ev.nExcluded != 0)
        sl.append(QStringLiteral("excluded: ") + TExclusion::ReasonsText(ev.nExcluded));
    return sl.join(QStringLiteral(", "));
}

QString TEventsFill::NoEventsText(const TEventDay& day)
{
    if (day.eFile == TEventDay::EFile::NotRead)
        return QStringLiteral("Profile file not read: ") + day.sFileError;
    return day.bFile ? QStringLiteral("No events") : QStringLiteral("No profile file");
}

QString TEventsFill::NAboveName(double dLevel)
{
    return QLatin1Char('N') + QString::number(dLevel);
}

QString TEventsFill::Note(const TEventSettings& set)
{
    QString s;
    if (set.bBackground)
        s = QStringLiteral("Threshold: the LAeq,1s exceeded 90 % of the preceding ") +
            QString::number(set.nBgMinutes) + QStringLiteral(" min + ") + QString::number(set.dBgMargin) +
            QStringLiteral(" dB, never below ") + QString::number(set.dDayThreshold - set.dBgFloorBelow) +
            QStringLiteral(" dB from ") + Hour(set.nDayHour) + QStringLiteral(", ") +
            QString::number(set.dNightThreshold - set.dBgFloorBelow) + QStringLiteral(" dB from ") +
            Hour(set.nNightHour);
    else
        s = QStringLiteral("Threshold ") + QString::number(set.dDayThreshold) + QStringLiteral(" dB from ") +
            Hour(set.nDayHour) + QStringLiteral(", ") + QString::number(set.dNightThreshold) +
            QStringLiteral(" dB from ") + Hour(set.nNightHour);
    s += QStringLiteral("; an event ends after ") + QString::number(set.nHangTime) +
         QStringLiteral(" s at or below its threshold and counts from ") + QString::number(set.nMinDuration) +
         QStringLiteral(" s");
    if (set.nMaxDuration > 0)
        s += QStringLiteral(", marked long above ") + QString::number(set.nMaxDuration) + QStringLiteral(" s");
    return s + QStringLiteral(". Cut: ended where the threshold changed, or still running at midnight "
                              "with the next day not read.");
}

void TEventsFill::FillList(TStringGrid& grid, const TEventSettings& set, const TMonitorSel& aMons,
                           const std::vector<TEventMonitor>& aResults)
{
    grid.Clear();
    grid.SetColCount(ColCount);
    grid.SetRowCount(1);
    grid.SetDefaultColWidth(64);
    grid.SetColWidth(0, 84);
    grid.SetColWidth(ColEnd, 112);
    grid.SetColWidth(ColLMax, 80);
    grid.SetColWidth(ColNote, 150);

    int nRow = 0;
    for (size_t m = 0; m < aMons.size() && m < aResults.size(); ++m) {
        const TEventMonitor& em = aResults[m];
        int nRows = 2 + 2;
        for (const TEventDay& day : em.aDays)
            nRows += DayRows(set, day);
        grid.SetRowCount(nRow + nRows);
        grid.SetCell(0, nRow, QStringLiteral("~name~") + aMons[m]->sName);
        nRow += 2;
        for (const TEventDay& day : em.aDays)
            nRow = FillDay(grid, nRow, set, day);
        nRow += 2;
    }
    // One more empty row follows the last block's spacing rows, as in the other tables.
    grid.SetRowCount(nRow + 1);
}
