#include "reports/gridfill.h"

#include "datafiles/almfile.h"
#include "datafiles/calfile.h"
#include "datafiles/perfile.h"
#include "monitors/monitor.h"
#include "settings/cfg.h"
#include "reports/markup.h"
#include "reports/stringgrid.h"

#include <QTime>

#include <algorithm>

namespace {
constexpr int nMinutesPerDay = 1440;

QString TitleCell(const TTQMonitor& mon)
{
    return QStringLiteral("~name~") + mon.sName;
}

QString DayText(const QDate& dt)
{
    return dt.toString(QStringLiteral("yyyy-MM-dd"));
}

// Calls fn for every day from dtFrom to dtTo, both included; none when either date
// is invalid or the range runs backwards.
template <class TFn> void ForEachDay(const QDate& dtFrom, const QDate& dtTo, TFn fn)
{
    if (!dtFrom.isValid() || !dtTo.isValid())
        return;
    for (QDate dt = dtFrom; dt <= dtTo; dt = dt.addDays(1))
        fn(dt);
}

// The alarm and calibration lists differ only in their reader.
template <class TReader>
void FillEventList(TStringGrid& grid, const QString& sDataPath, const TMonitorSel& aMons, const QDate& dtFrom,
                   const QDate& dtTo)
{
    grid.Clear();
    TReader rdr(sDataPath);
    grid.SetDefaultColWidth(100);
    grid.SetColCount(3);
    grid.SetRowCount(1);
    int nRow = 0;
    for (const TTQMonitor* mon : aMons) {
        grid.SetRowCount(grid.RowCount() + 3);
        grid.SetCell(0, nRow, TitleCell(*mon));
        grid.SetCell(0, nRow + 2, QStringLiteral("~h~.Date"));
        grid.SetCell(1, nRow + 2, QStringLiteral("~h~.Time"));
        nRow += 3;
        ForEachDay(dtFrom, dtTo, [&](const QDate& dt) {
            if (!rdr.Load(mon->sID, dt))
                return;
            const QString sDay = DayText(dt);
            for (int iRec = 0; iRec < rdr.RecCount(); ++iRec) {
                grid.SetCell(0, nRow, sDay);
                grid.SetCell(1, nRow, rdr.FldStr(iRec, 0));
                ++nRow;
            }
        });
        nRow += 2;
    }
    // One more empty row follows the last block's spacing rows.
    grid.SetRowCount(nRow + 1);
}
} // namespace

int TGridFill::PeriodsPerDay(int nPeriod)
{
    return nPeriod > 0 ? nMinutesPerDay / nPeriod : 0;
}

std::vector<QString> TGridFill::PeriodTimes(int nPeriod)
{
    const int nPeriods = PeriodsPerDay(nPeriod);
    std::vector<QString> asTimes(static_cast<size_t>(nPeriods));
    for (int i = 0; i < nPeriods; ++i)
        asTimes[size_t(i)] = QTime(0, 0).addSecs(i * nPeriod * 60).toString(QStringLiteral("hh:mm:ss"));
    return asTimes;
}

void TGridFill::CountAlarms(TAlmFile& alm, const QString& sID, const QDate& dt, int nPeriod,
                            std::vector<int>& anCount)
{
    const int nPeriods = PeriodsPerDay(nPeriod);
    anCount.assign(size_t(nPeriods), 0);
    if (nPeriods == 0 || !alm.Load(sID, dt))
        return;
    for (int iRec = 0; iRec < alm.RecCount(); ++iRec) {
        // An unreadable time (-1) or a negative one belongs to no period of the day;
        // counting it at midnight would invent an alarm there.
        const int nSecs = alm.FldTimeSecs(iRec, 0);
        if (nSecs < 0)
            continue;
        const int iPeriod = nSecs / 60 / nPeriod;
        if (iPeriod < nPeriods)
            ++anCount[size_t(iPeriod)];
    }
}

QString TGridFill::PeriodReasons(const std::vector<TDayExclusion>& a, int nStart, int nSecs)
{
    QStringList sl;
    for (const TDayExclusion& ex : a) {
        if (ex.nFrom >= qint64(nStart) + nSecs)
            break;
        if (ex.nTo <= nStart)
            continue;
        for (const QString& sReason : ex.sReasons.split(QStringLiteral(", "), Qt::SkipEmptyParts))
            if (!sl.contains(sReason))
                sl.append(sReason);
    }
    return sl.join(QStringLiteral(", "));
}

void TGridFill::FillPerTable(TStringGrid& grid, const TCfg& cfg, const QString& sDataPath,
                             const TMonitorSel& aMons, const QDate& dtFrom, const QDate& dtTo, int nPeriod,
                             const TExcludedOn& fnExcluded, std::vector<TRowPeriod>* pRows)
{
    if (pRows)
        pRows->clear();
    grid.Clear();
    grid.SetColCount(cfg.PerParamCount() + 2);
    grid.SetRowCount(1);
    grid.SetDefaultColWidth(60);
    grid.SetColWidth(0, 80);
    grid.SetColWidth(1, 80);

    const QString sUnit = QStringLiteral("^dB(A)");
    const QString sNoValue = QStringLiteral("-");
    TPerFile per(sDataPath);
    std::vector<int> aiShown;
    std::vector<std::vector<TDayExclusion>> aaExcluded; // per shown field
    int nRow = 0;
    for (const TTQMonitor* mon : aMons) {
        bool bTitle = false;
        ForEachDay(dtFrom, dtTo, [&](const QDate& dt) {
            if (!per.Load(mon->sID, dt, nPeriod))
                return;
            // Each day's file is read in its own field order, even when it differs
            // from the file the headings came from.
            aiShown.clear();
            for (int iFld = 0; iFld < per.FldCount(); ++iFld)
                if (cfg.IncludeParam(per.FldName(iFld)))
                    aiShown.push_back(iFld);

            if (!bTitle) {
                grid.SetCell(0, nRow, TitleCell(*mon));
                nRow += 2;
                grid.SetCell(0, nRow, QStringLiteral("~h~Date"));
                int nCol = 1;
                for (int iFld : aiShown) {
                    const QString sFld = per.FldName(iFld);
                    grid.SetCell(nCol, nRow, QStringLiteral("~h~") + sFld);
                    if (sFld.startsWith(QLatin1String("LA")))
                        grid.SetCell(nCol, nRow + 1, sUnit);
                    ++nCol;
                }
                nRow += 2;
                bTitle = true;
            }

            // The measured fields' excluded stretches of the day; the time column
            // (".Time") is no level and stays as it is.
            aaExcluded.assign(aiShown.size(), {});
            bool bAnyExcluded = false;
            if (fnExcluded) {
                for (size_t k = 0; k < aiShown.size(); ++k) {
                    const QString sFld = per.FldName(aiShown[k]);
                    if (!sFld.startsWith(u'.'))
                        aaExcluded[k] = fnExcluded(mon->sID, sFld, dt);
                    bAnyExcluded = bAnyExcluded || !aaExcluded[k].empty();
                }
            }

            const QString sDay = DayText(dt);
            for (int iRec = 0; iRec < per.RecCount(); ++iRec) {
                grid.SetRowCount(nRow + 1);
                grid.SetCell(0, nRow, sDay);
                const int nStart = bAnyExcluded || pRows ? per.FldTimeSecs(iRec, 0) : -1;
                if (pRows && nStart >= 0) {
                    pRows->resize(size_t(nRow) + 1);
                    (*pRows)[size_t(nRow)] = TRowPeriod{mon->sID, dt.toJulianDay() * 86400 + nStart};
                }
                int nCol = 1;
                for (size_t k = 0; k < aiShown.size(); ++k) {
                    const QString s = per.FldStr(iRec, aiShown[k]);
                    if (s != sNoValue) {
                        const QString sReasons = bAnyExcluded && nStart >= 0
                                                     ? PeriodReasons(aaExcluded[k], nStart, nPeriod * 60)
                                                     : QString();
                        grid.SetCell(nCol, nRow, TMarkup::Excluded(s, sReasons));
                    }
                    ++nCol;
                }
                ++nRow;
            }
        });
        nRow += 2;
    }
}

void TGridFill::FillAlmTable(TStringGrid& grid, const QString& sDataPath, const TMonitorSel& aMons,
                             const QDate& dtFrom, const QDate& dtTo, int nPeriod)
{
    grid.Clear();
    TAlmFile alm(sDataPath);
    const int nPeriods = PeriodsPerDay(nPeriod);
    std::vector<int> anCount;
    grid.SetDefaultColWidth(100);
    grid.SetColCount(3);
    grid.SetRowCount(1);

    // Every day has the same period times and most counts are 0: shared texts keep a
    // month of 5-minute periods for many monitors to one allocation per odd cell.
    const std::vector<QString> asTimes = PeriodTimes(nPeriod);
    const QString sZero = QStringLiteral("0");

    int nRow = 0;
    for (const TTQMonitor* mon : aMons) {
        grid.SetCell(0, nRow, TitleCell(*mon));
        grid.SetCell(0, nRow + 2, QStringLiteral("~h~Date"));
        grid.SetCell(1, nRow + 2, QStringLiteral("~h~Time"));
        grid.SetCell(2, nRow + 2, QStringLiteral("~h~Alarms"));
        nRow += 3;
        ForEachDay(dtFrom, dtTo, [&](const QDate& dt) {
            CountAlarms(alm, mon->sID, dt, nPeriod, anCount);
            const QString sDay = DayText(dt);
            for (int i = 0; i < nPeriods; ++i) {
                const int nCount = anCount[size_t(i)];
                grid.SetCell(0, nRow, sDay);
                grid.SetCell(1, nRow, asTimes[size_t(i)]);
                grid.SetCell(2, nRow, nCount > 0 ? QStringLiteral("^") + QString::number(nCount) : sZero);
                ++nRow;
            }
        });
        nRow += 2;
    }
    grid.SetRowCount(std::max(nRow, 1));
}

void TGridFill::FillAlmList(TStringGrid& grid, const QString& sDataPath, const TMonitorSel& aMons,
                            const QDate& dtFrom, const QDate& dtTo)
{
    FillEventList<TAlmFile>(grid, sDataPath, aMons, dtFrom, dtTo);
}

void TGridFill::FillCalList(TStringGrid& grid, const QString& sDataPath, const TMonitorSel& aMons,
                            const QDate& dtFrom, const QDate& dtTo)
{
    FillEventList<TCalFile>(grid, sDataPath, aMons, dtFrom, dtTo);
}
