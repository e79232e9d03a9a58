#include "analysis/qualityfill.h"

#include "analysis/exclusions.h"
#include "monitors/monitor.h"
#include "reports/csvtext.h"
#include "reports/stringgrid.h"

#include <QTextStream>

#include <cmath>

namespace {
const QLatin1String sLowTag("~low~");

QString Date(const QDate& dt)
{
    return dt.toString(QStringLiteral("yyyy-MM-dd"));
}

QString WallText(qint64 nWall)
{
    return TExclusion::WallText(nWall).left(16);
}

QString Percent(double dShare)
{
    return std::isnan(dShare) ? QString() : QString::number(dShare * 100.0, 'f', 1);
}

// A coverage under the threshold is grey, as in the summary.
QString MarkedPercent(double dShare, double dThreshold)
{
    const QString s = Percent(dShare);
    return !s.isEmpty() && dShare * 100.0 < dThreshold ? sLowTag + s : s;
}

// The grids show nothing for a text with a leading "-" (their mark of no value); a
// calibration's negative deviation is a value and keeps its sign behind a blank.
QString Shown(const QString& s)
{
    return s.startsWith(QLatin1Char('-')) ? QLatin1Char(' ') + s : s;
}

const char* PartName(int iPart)
{
    static const char* const aszNames[] = {"Day", "Evening", "Night", "Whole day"};
    return aszNames[iPart];
}

void Headings(TStringGrid& grid, int nRow, const std::vector<std::pair<int, const char*>>& aHeads)
{
    for (const auto& [nCol, sz] : aHeads)
        grid.SetCell(nCol, nRow, QStringLiteral("~h~") + QLatin1String(sz));
}

int Rows(const TQualityMonitor& qm)
{
    // title, blank; totals heading, unit, 4 parts, 4 day counts, blank; days heading,
    // days, blank; gaps heading, gaps or "None", blank; calibrations heading,
    // calibrations or "None"; two spacing rows.
    return 2 + 2 + rpPartCount + 1 + 4 + 1 + 1 + int(qm.aDays.size()) + 1 + 1 +
           std::max<int>(1, int(qm.aGaps.size())) + 1 + 1 + std::max<int>(1, int(qm.aCals.size())) + 2;
}
} // namespace

QString TQualityFill::ClassText(EQualityDay e, double dThreshold)
{
    const QString sThreshold = QString::number(dThreshold) + QLatin1Char('%');
    switch (e) {
    case EQualityDay::Full:
        return QStringLiteral("full");
    case EQualityDay::Good:
        return QStringLiteral("at or above ") + sThreshold;
    case EQualityDay::Low:
        return QStringLiteral("below ") + sThreshold;
    case EQualityDay::NoData:
        return QStringLiteral("no data");
    case EQualityDay::Excluded:
        return QStringLiteral("excluded");
    case EQualityDay::NotDue:
        break;
    }
    return QStringLiteral("not due");
}

QString TQualityFill::FileText(TDayRecords::EFile e)
{
    switch (e) {
    case TDayRecords::EFile::Read:
        return QStringLiteral("read");
    case TDayRecords::EFile::NotRead:
        return QStringLiteral("not read");
    case TDayRecords::EFile::Missing:
        break;
    }
    return QStringLiteral("missing");
}

QString TQualityFill::Duration(qint64 nSecs)
{
    const qint64 nMin = nSecs / 60;
    return QString::number(nMin / 60) + QLatin1Char(':') + QString::number(nMin % 60).rightJustified(2, u'0');
}

QString TQualityFill::PartHours(const TRatingSettings& set, int iPart)
{
    if (iPart < 0 || iPart >= rpPartCount)
        return QString();
    const int nFrom = set.anStartHour[size_t(iPart)];
    const int nTo = set.anStartHour[size_t((iPart + 1) % rpPartCount)];
    return QString::asprintf("%02d:00-%02d:00", nFrom, nTo);
}

QString TQualityFill::Note(const TQualitySettings& set)
{
    const QString sThreshold = QString::number(set.rating.dCoverage);
    return QStringLiteral("Coverage: the share of the periods not excluded that have a LAeq value (a plain "
                          "share, no average of levels); a period counts for the day and part in which it "
                          "starts. Full: every such period has a value; grey: under ") +
           sThreshold + QStringLiteral("%. Gaps: stretches without a value of more than ") +
           QString::number(set.nGapMinutes) +
           QStringLiteral(" minutes; excluded periods are no gaps. Periods still to come are not expected.");
}

void TQualityFill::FillQuality(TStringGrid& grid, const TQualitySettings& set, const TMonitorSel& aMons,
                               const std::vector<TQualityMonitor>& aResults)
{
    grid.Clear();
    int nCols = ColCount;
    for (const TQualityMonitor& qm : aResults)
        nCols = std::max(nCols, ColCalFirst + int(qm.slCalFields.size()));
    grid.SetColCount(nCols);
    grid.SetRowCount(1);
    grid.SetDefaultColWidth(70);
    grid.SetColWidth(ColDate, 120);
    grid.SetColWidth(ColFile, 120);
    grid.SetColWidth(ColCoverage, 84);
    grid.SetColWidth(ColClass, 120);
    grid.SetColWidth(ColCals, 80);

    const double dThreshold = set.rating.dCoverage;
    const QString sPeriods = QStringLiteral("^periods");
    int nRow = 0;
    for (size_t m = 0; m < aMons.size() && m < aResults.size(); ++m) {
        const TQualityMonitor& qm = aResults[m];
        const TQualityTotals& t = qm.totals;
        grid.SetRowCount(nRow + Rows(qm) + 1);
        grid.SetCell(0, nRow, QStringLiteral("~name~") + aMons[m]->sName);
        nRow += 2;

        // The range's totals.
        Headings(grid, nRow,
                 {{ColDate, "Part"},
                  {ColFile, "Hours"},
                  {ColExpected, "Expected"},
                  {ColPresent, "Present"},
                  {ColExcluded, "Excluded"},
                  {ColMissing, "Missing"},
                  {ColCoverage, "Coverage"}});
        for (int c : {ColExpected, ColPresent, ColExcluded, ColMissing})
            grid.SetCell(c, nRow + 1, sPeriods);
        grid.SetCell(ColCoverage, nRow + 1, QStringLiteral("^%"));
        nRow += 2;
        for (int p = 0; p <= rpPartCount; ++p) {
            const bool bAll = p == rpPartCount;
            const int nExp = bAll ? t.Expected() : t.anExpected[size_t(p)];
            const int nPres = bAll ? t.Present() : t.anPresent[size_t(p)];
            const int nExcl = bAll ? t.Excluded() : t.anExcluded[size_t(p)];
            grid.SetCell(ColDate, nRow, QLatin1String(PartName(p)));
            grid.SetCell(ColFile, nRow, bAll ? QStringLiteral("00:00-24:00") : PartHours(set.rating, p));
            grid.SetCell(ColExpected, nRow, QString::number(nExp));
            grid.SetCell(ColPresent, nRow, QString::number(nPres));
            grid.SetCell(ColExcluded, nRow, QString::number(nExcl));
            grid.SetCell(ColMissing, nRow, QString::number(nExp - nPres - nExcl));
            grid.SetCell(ColCoverage, nRow, MarkedPercent(t.Coverage(p), dThreshold));
            ++nRow;
        }
        const std::pair<const char*, int> aDayCounts[] = {{"Days", t.nDays},
                                                          {"with data", t.nDaysWithData},
                                                          {"without a file read", t.nDaysMissing},
                                                          {"with exclusions", t.nDaysExcluded}};
        for (const auto& [sz, n] : aDayCounts) {
            grid.SetCell(ColDate, nRow, QLatin1String(sz));
            grid.SetCell(ColFile, nRow, QString::number(n));
            ++nRow;
        }
        ++nRow;

        // One row per day.
        Headings(grid, nRow,
                 {{ColDate, "Date"},
                  {ColFile, "Periodic file"},
                  {ColExpected, "Expected"},
                  {ColPresent, "Present"},
                  {ColExcluded, "Excluded"},
                  {ColMissing, "Missing"},
                  {ColCoverage, "Coverage %"},
                  {ColClass, "Calendar"},
                  {ColAlarms, "Alarms"},
                  {ColCals, "Calibrations"}});
        ++nRow;
        for (const TQualityDay& day : qm.aDays) {
            const EQualityDay e = day.Class(dThreshold);
            grid.SetCell(ColDate, nRow, Date(day.dt));
            grid.SetCell(ColFile, nRow, FileText(day.eFile));
            grid.SetCell(ColExpected, nRow, QString::number(day.nExpected));
            grid.SetCell(ColPresent, nRow, QString::number(day.nPresent));
            grid.SetCell(ColExcluded, nRow, QString::number(day.nExcluded));
            grid.SetCell(ColMissing, nRow, QString::number(day.Missing()));
            grid.SetCell(ColCoverage, nRow, MarkedPercent(day.Coverage(), dThreshold));
            const QString sClass = ClassText(e, dThreshold);
            grid.SetCell(ColClass, nRow, e == EQualityDay::Full ? sClass : QLatin1Char('^') + sClass);
            grid.SetCell(ColAlarms, nRow, QString::number(day.nAlarms));
            grid.SetCell(ColCals, nRow, QString::number(day.nCalibrations));
            ++nRow;
        }
        ++nRow;

        Headings(grid, nRow, {{ColDate, "Gap from"}, {ColGapTo, "to"}, {ColGapLength, "Length"}, {ColGapCause, "Cause"}});
        grid.SetCell(ColGapLength, nRow + 1, QStringLiteral("^h:mm"));
        nRow += 2;
        if (qm.aGaps.empty())
            grid.SetCell(ColDate, nRow++, QStringLiteral("None"));
        for (const TQualityGap& gap : qm.aGaps) {
            grid.SetCell(ColDate, nRow, WallText(gap.nFrom));
            grid.SetCell(ColGapTo, nRow, WallText(gap.nTo));
            grid.SetCell(ColGapLength, nRow, Duration(gap.Seconds()));
            grid.SetCell(ColGapCause, nRow, TQuality::CauseText(gap.nCauses));
            ++nRow;
        }
        ++nRow;

        Headings(grid, nRow, {{ColDate, "Calibration"}, {ColCalTime, "Time"}});
        for (qsizetype f = 0; f < qm.slCalFields.size(); ++f)
            grid.SetCell(ColCalFirst + int(f), nRow, QStringLiteral("~h~") + Shown(qm.slCalFields[f]));
        ++nRow;
        if (qm.aCals.empty())
            grid.SetCell(ColDate, nRow++, QStringLiteral("None"));
        for (const TQualityCal& c : qm.aCals) {
            grid.SetCell(ColDate, nRow, Date(c.dt));
            grid.SetCell(ColCalTime, nRow, Shown(c.sTime));
            for (qsizetype f = 0; f < c.slTexts.size(); ++f)
                grid.SetCell(ColCalFirst + int(f), nRow, Shown(c.slTexts[f]));
            ++nRow;
        }
        nRow += 2;
    }
    // One more empty row follows the last block's spacing rows, as in the other tables.
    grid.SetRowCount(nRow + 1);
}

void TQualityFill::WriteCsv(const TQualitySettings& set, const std::vector<TQualityMonitor>& aResults,
                            QTextStream& out)
{
    const double dThreshold = set.rating.dCoverage;
    out << "Monitor,From,To,Minutes,Cause\n";
    for (const TQualityMonitor& qm : aResults)
        for (const TQualityGap& gap : qm.aGaps)
            out << QStringList{TCsvText::Field(qm.sID), WallText(gap.nFrom), WallText(gap.nTo),
                               QString::number(gap.Seconds() / 60), TCsvText::Field(TQuality::CauseText(gap.nCauses))}
                       .join(QLatin1Char(','))
                << '\n';

    out << "\nMonitor,Date,File,Expected,Present,Excluded,Missing,Coverage %,Calendar,Alarms,Calibrations\n";
    for (const TQualityMonitor& qm : aResults) {
        for (const TQualityDay& day : qm.aDays)
            out << QStringList{TCsvText::Field(qm.sID),
                               Date(day.dt),
                               FileText(day.eFile),
                               QString::number(day.nExpected),
                               QString::number(day.nPresent),
                               QString::number(day.nExcluded),
                               QString::number(day.Missing()),
                               Percent(day.Coverage()),
                               ClassText(day.Class(dThreshold), dThreshold),
                               QString::number(day.nAlarms),
                               QString::number(day.nCalibrations)}
                       .join(QLatin1Char(','))
                << '\n';
        const TQualityTotals& t = qm.totals;
        int nAlarms = 0;
        for (const TQualityDay& day : qm.aDays)
            nAlarms += day.nAlarms;
        out << QStringList{TCsvText::Field(qm.sID),
                           QStringLiteral("Range"),
                           QString(),
                           QString::number(t.Expected()),
                           QString::number(t.Present()),
                           QString::number(t.Excluded()),
                           QString::number(t.Expected() - t.Present() - t.Excluded()),
                           Percent(t.Coverage(rpPartCount)),
                           QString(),
                           QString::number(nAlarms),
                           QString::number(qm.aCals.size())}
                   .join(QLatin1Char(','))
            << '\n';
    }

    out << "\nMonitor,Part,Hours,Expected,Present,Excluded,Missing,Coverage %\n";
    for (const TQualityMonitor& qm : aResults) {
        const TQualityTotals& t = qm.totals;
        for (int p = 0; p < rpPartCount; ++p) {
            const size_t i = size_t(p);
            out << QStringList{TCsvText::Field(qm.sID),
                               QLatin1String(PartName(p)),
                               PartHours(set.rating, p),
                               QString::number(t.anExpected[i]),
                               QString::number(t.anPresent[i]),
                               QString::number(t.anExcluded[i]),
                               QString::number(t.anExpected[i] - t.anPresent[i] - t.anExcluded[i]),
                               Percent(t.Coverage(p))}
                       .join(QLatin1Char(','))
                << '\n';
        }
    }
    out.flush();
}
