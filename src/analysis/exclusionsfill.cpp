#include "analysis/exclusionsfill.h"

#include "analysis/daywalk.h"
#include "reports/csvtext.h"
#include "reports/stringgrid.h"

#include <QStringList>

#include <algorithm>

namespace {

void SetHeadings(TStringGrid& grid, int nRow, const std::vector<std::pair<int, const char*>>& aHeads)
{
    for (const auto& [nCol, szHead] : aHeads)
        grid.SetCell(nCol, nRow, QStringLiteral("~h~") + QLatin1String(szHead));
}

bool Concerns(const TExclusion& ex, const QString& sID)
{
    return ex.AllMonitors() || ex.sMonitor.compare(sID, Qt::CaseInsensitive) == 0;
}

bool Overlaps(const TExclusion& ex, qint64 nFrom, qint64 nTo)
{
    return ex.nFrom < nTo && ex.nTo > nFrom;
}

QString WithdrawnText(const TExclusion& ex)
{
    if (!ex.IsWithdrawn())
        return QString();
    return TExclusion::WallText(ex.nWithdrawn) +
           (ex.sWithdrawnBy.isEmpty() ? QString() : QStringLiteral(" by ") + ex.sWithdrawnBy);
}

} // namespace

QString TExclusionsFill::StatusText(const TExclusion& ex)
{
    if (ex.nId < 0)
        return QStringLiteral("automatic");
    return ex.IsWithdrawn() ? QStringLiteral("withdrawn") : QStringLiteral("active");
}

QString TExclusionsFill::Duration(qint64 nSecs)
{
    return QString::asprintf("%lld:%02d:%02d", static_cast<long long>(nSecs / 3600), int(nSecs / 60 % 60),
                             int(nSecs % 60));
}

QString TExclusionsFill::CoversText(const TExclusion& ex)
{
    return ex.slParams.isEmpty() ? QStringLiteral("all") : ex.slParams.join(QStringLiteral("; "));
}

QString TExclusionsFill::IdText(int nId)
{
    return nId < 0 ? QLatin1Char('A') + QString::number(-nId) : QString::number(nId);
}

QString TExclusionsFill::CellText(const QString& s)
{
    QString t = s;
    t.replace(QLatin1String("\r\n"), QLatin1String(" "));
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    // The markup looks at the first character alone: "-5 dB" would show nothing and
    // "^" or "." would be dropped.
    if (!t.isEmpty() && QStringLiteral("~^.-").contains(t.front()))
        t.prepend(QLatin1Char(' '));
    return t;
}

QString TExclusionsFill::Note()
{
    return QStringLiteral(
        "Every exclusion of the monitors that overlaps the range, withdrawn ones too. A period is excluded "
        "when any of its seconds lies inside an exclusion in force; the effect counts the periods and "
        "seconds of LAeq, time covered by several exclusions once. Automatic exclusions come from the "
        "weather rules and are changed there.");
}

std::vector<TExclusion> TExclusionsFill::Listed(const TExclusions& excl, const QString& sID,
                                                const QDate& dtFrom, const QDate& dtTo)
{
    std::vector<TExclusion> a;
    if (!dtFrom.isValid() || !dtTo.isValid())
        return a;
    const qint64 nFrom = TExclusion::Wall(dtFrom, 0);
    const qint64 nTo = TExclusion::Wall(dtTo.addDays(1), 0);
    for (const TExclusion& ex : excl.Rows())
        if (Concerns(ex, sID) && Overlaps(ex, nFrom, nTo))
            a.push_back(ex);
    if (excl.AutomaticOn())
        for (const TExclusion& ex : excl.Automatic())
            if (Concerns(ex, sID) && Overlaps(ex, nFrom, nTo))
                a.push_back(ex);
    return a;
}

std::vector<TExclusionDay> TExclusionsFill::Effect(const TExclusions& excl, const QString& sDataPath,
                                                   const QString& sID, const QDate& dtFrom, const QDate& dtTo,
                                                   int nPeriod)
{
    std::vector<TExclusionDay> aDays;
    TDayWalk walk(sDataPath, dtFrom, dtTo);
    walk.SetExclusions(&excl);
    TDayWalk::TFiles files;
    files.bPeriodic = true;
    files.nPeriod = nPeriod;
    files.slParams = {EffectParam()};
    walk.Start(sID, files);
    while (walk.Step()) {
        TExclusionDay day;
        day.dt = walk.Date();
        const TDayRecords& rec = walk.Periodic();
        for (size_t i = 0; i < rec.anStartSecs.size(); ++i) {
            if (rec.anStartSecs[i] < 0)
                continue;
            ++day.nRecords;
            if (rec.Excluded(0, i))
                ++day.nPeriods;
        }
        for (const TExcludedSpan& span : excl.SpansOnDay(sID, EffectParam(), day.dt)) {
            day.nSecs += span.Length();
            day.nReasons |= span.nReasons;
        }
        aDays.push_back(day);
    }
    return aDays;
}

int TExclusionsFill::ExcludedPeriods(const TExclusions& excl, const QString& sDataPath, const QString& sID,
                                     const QDate& dtFrom, const QDate& dtTo, int nPeriod)
{
    int n = 0;
    for (const TExclusionDay& day : Effect(excl, sDataPath, sID, dtFrom, dtTo, nPeriod))
        n += day.nPeriods;
    return n;
}

std::vector<TExclusionMonitor> TExclusionsFill::Compute(const TExclusions* pExcl, const QString& sDataPath,
                                                        const TMonitorSel& aMons, const QDate& dtFrom,
                                                        const QDate& dtTo, int nPeriod)
{
    std::vector<TExclusionMonitor> aRes;
    if (pExcl == nullptr)
        return aRes;
    for (const TTQMonitor* mon : aMons) {
        TExclusionMonitor em;
        em.sID = mon->sID;
        em.aRows = Listed(*pExcl, mon->sID, dtFrom, dtTo);
        em.aDays = Effect(*pExcl, sDataPath, mon->sID, dtFrom, dtTo, nPeriod);
        for (const TExclusionDay& day : em.aDays) {
            em.nPeriods += day.nPeriods;
            em.nRecords += day.nRecords;
            em.nSecs += day.nSecs;
            em.nReasons |= day.nReasons;
        }
        aRes.push_back(std::move(em));
    }
    return aRes;
}

void TExclusionsFill::FillList(TStringGrid& grid, const TMonitorSel& aMons,
                               const std::vector<TExclusionMonitor>& aRes, std::vector<int>* paiIds)
{
    grid.Clear();
    grid.SetColCount(ColCount);
    grid.SetRowCount(1);
    grid.SetDefaultColWidth(64);
    grid.SetColWidth(ColId, 84); // the monitor title stands in it
    grid.SetColWidth(ColStatus, 70);
    grid.SetColWidth(ColFrom, 124);
    grid.SetColWidth(ColTo, 124);
    grid.SetColWidth(ColCovers, 80);
    grid.SetColWidth(ColComment, 220);
    grid.SetColWidth(ColAuthor, 80);
    grid.SetColWidth(ColCreated, 124);
    grid.SetColWidth(ColWithdrawn, 190);
    if (paiIds)
        paiIds->clear();

    int nRow = 0;
    for (size_t m = 0; m < aMons.size() && m < aRes.size(); ++m) {
        const TExclusionMonitor& em = aRes[m];
        const int nRows = int(em.aRows.size());
        grid.SetRowCount(nRow + 2 + 1 + std::max(nRows, 1) + 2 + 1);
        grid.SetCell(0, nRow, QStringLiteral("~name~") + aMons[m]->sName);
        nRow += 2;
        SetHeadings(grid, nRow,
                    {{ColId, "Id"},
                     {ColStatus, "Status"},
                     {ColMonitor, "Monitor"},
                     {ColFrom, "From"},
                     {ColTo, "To"},
                     {ColDuration, "Duration"},
                     {ColCovers, "Covers"},
                     {ColReason, "Reason"},
                     {ColComment, "Comment"},
                     {ColAuthor, "Author"},
                     {ColCreated, "Created"},
                     {ColWithdrawn, "Withdrawn"}});
        ++nRow;
        if (nRows == 0)
            grid.SetCell(ColId, nRow++, QStringLiteral("None"));
        for (const TExclusion& ex : em.aRows) {
            grid.SetCell(ColId, nRow, IdText(ex.nId));
            grid.SetCell(ColStatus, nRow, StatusText(ex));
            grid.SetCell(ColMonitor, nRow, CellText(ex.sMonitor));
            grid.SetCell(ColFrom, nRow, TExclusion::WallText(ex.nFrom));
            grid.SetCell(ColTo, nRow, TExclusion::WallText(ex.nTo));
            grid.SetCell(ColDuration, nRow, Duration(ex.nTo - ex.nFrom));
            grid.SetCell(ColCovers, nRow, CellText(CoversText(ex)));
            grid.SetCell(ColReason, nRow, TExclusion::ReasonText(ex.eReason));
            grid.SetCell(ColComment, nRow, CellText(ex.sComment));
            grid.SetCell(ColAuthor, nRow, CellText(ex.sAuthor));
            if (ex.nId > 0)
                grid.SetCell(ColCreated, nRow, TExclusion::WallText(ex.nCreated));
            grid.SetCell(ColWithdrawn, nRow, CellText(WithdrawnText(ex)));
            if (paiIds) {
                paiIds->resize(size_t(nRow) + 1, 0);
                (*paiIds)[size_t(nRow)] = ex.nId;
            }
            ++nRow;
        }
        nRow += 2;
    }
    grid.SetRowCount(nRow + 1);
    if (paiIds)
        paiIds->resize(size_t(grid.RowCount()), 0);
}

void TExclusionsFill::FillEffect(TStringGrid& grid, const TMonitorSel& aMons,
                                 const std::vector<TExclusionMonitor>& aRes)
{
    grid.Clear();
    grid.SetColCount(ColEffectCount);
    grid.SetRowCount(1);
    grid.SetDefaultColWidth(80);
    grid.SetColWidth(ColDate, 84);
    grid.SetColWidth(ColReasons, 200);

    auto row = [&grid](int nRow, const QString& sDate, int nPeriods, int nRecords, qint64 nSecs, int nReasons) {
        grid.SetCell(ColDate, nRow, sDate);
        grid.SetCell(ColPeriods, nRow, nPeriods > 0 ? QLatin1Char('^') + QString::number(nPeriods)
                                                    : QString::number(nPeriods));
        grid.SetCell(ColRecords, nRow, QString::number(nRecords));
        grid.SetCell(ColSecs, nRow, QString::number(nSecs));
        grid.SetCell(ColTime, nRow, Duration(nSecs));
        grid.SetCell(ColReasons, nRow, TExclusion::ReasonsText(nReasons));
    };
    int nRow = 0;
    for (size_t m = 0; m < aMons.size() && m < aRes.size(); ++m) {
        const TExclusionMonitor& em = aRes[m];
        grid.SetRowCount(nRow + 2 + 2 + int(em.aDays.size()) + 1 + 2 + 1);
        grid.SetCell(0, nRow, QStringLiteral("~name~") + aMons[m]->sName);
        nRow += 2;
        SetHeadings(grid, nRow,
                    {{ColDate, "Date"},
                     {ColPeriods, "Excluded"},
                     {ColRecords, "Periods"},
                     {ColSecs, "Excluded"},
                     {ColTime, "Excluded"},
                     {ColReasons, "Reasons"}});
        grid.SetCell(ColPeriods, nRow + 1, QStringLiteral("^periods"));
        grid.SetCell(ColRecords, nRow + 1, QStringLiteral("^in the file"));
        grid.SetCell(ColSecs, nRow + 1, QStringLiteral("^s"));
        grid.SetCell(ColTime, nRow + 1, QStringLiteral("^h:mm:ss"));
        nRow += 2;
        for (const TExclusionDay& day : em.aDays)
            row(nRow++, day.dt.toString(QStringLiteral("yyyy-MM-dd")), day.nPeriods, day.nRecords, day.nSecs,
                day.nReasons);
        row(nRow, QString(), em.nPeriods, em.nRecords, em.nSecs, em.nReasons);
        grid.SetCell(ColDate, nRow++, QStringLiteral("~h~Range"));
        nRow += 2;
    }
    grid.SetRowCount(nRow + 1);
}

QString TExclusionsFill::Csv(const TExclusions& excl, const TMonitorSel& aMons, const QDate& dtFrom,
                             const QDate& dtTo)
{
    QString s = QStringLiteral("id,status,monitor,from,to,seconds,covers,reason,comment,author,created,"
                               "withdrawn,withdrawn by\n");
    if (!dtFrom.isValid() || !dtTo.isValid())
        return s;
    const qint64 nFrom = TExclusion::Wall(dtFrom, 0);
    const qint64 nTo = TExclusion::Wall(dtTo.addDays(1), 0);
    auto chosen = [&](const TExclusion& ex) {
        if (!Overlaps(ex, nFrom, nTo))
            return false;
        for (const TTQMonitor* mon : aMons)
            if (Concerns(ex, mon->sID))
                return true;
        return false;
    };
    auto add = [&](const TExclusion& ex) {
        s += QStringList{IdText(ex.nId),
                         StatusText(ex),
                         TCsvText::Field(ex.sMonitor),
                         TExclusion::WallText(ex.nFrom),
                         TExclusion::WallText(ex.nTo),
                         QString::number(ex.nTo - ex.nFrom),
                         TCsvText::Field(CoversText(ex)),
                         TExclusion::ReasonText(ex.eReason),
                         TCsvText::Field(ex.sComment),
                         TCsvText::Field(ex.sAuthor),
                         ex.nId > 0 ? TExclusion::WallText(ex.nCreated) : QString(),
                         ex.IsWithdrawn() ? TExclusion::WallText(ex.nWithdrawn) : QString(),
                         TCsvText::Field(ex.sWithdrawnBy)}
                 .join(QLatin1Char(','));
        s += QLatin1Char('\n');
    };
    for (const TExclusion& ex : excl.Rows())
        if (chosen(ex))
            add(ex);
    if (excl.AutomaticOn())
        for (const TExclusion& ex : excl.Automatic())
            if (chosen(ex))
                add(ex);
    return s;
}
