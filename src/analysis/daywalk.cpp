#include "analysis/daywalk.h"

#include "analysis/level.h"

#include <QFileInfo>

#include <algorithm>
#include <limits>
#include <numeric>

namespace {
constexpr int nSecsPerDay = 86400;
constexpr double dNaN = std::numeric_limits<double>::quiet_NaN();

// Why a day file that is there was not read.
QString NotReadReason(const QString& sPath)
{
    const QFileInfo fi(sPath);
    QString sWhy;
    if (!fi.isFile())
        sWhy = QStringLiteral("not a plain file");
    else if (fi.size() > TDayFile::nMaxFileBytes)
        sWhy = QStringLiteral("larger than %1 MB").arg(TDayFile::nMaxFileBytes / (1024 * 1024));
    else if (fi.size() == 0)
        sWhy = QStringLiteral("empty");
    else
        sWhy = QStringLiteral("unreadable, or more than %1 lines").arg(TDayFile::nMaxLines);
    return fi.fileName() + QStringLiteral(" is ") + sWhy;
}
} // namespace

TDayWalk::TDayWalk(const QString& sDataPath, const QDate& dtFrom, const QDate& dtTo)
    : sDataPath(sDataPath), dtFrom(dtFrom), per(sDataPath), prf(sDataPath)
{
    if (dtFrom.isValid() && dtTo.isValid())
        nDays = int(std::max<qint64>(0, dtFrom.daysTo(dtTo) + 1));
}

void TDayWalk::Start(const QString& sMonID, const TFiles& f)
{
    sID = sMonID;
    files = f;
    iDay = -1;
    periodic = next = profile = TDayRecords();
}

bool TDayWalk::Step()
{
    if (iDay + 1 >= nDays)
        return false;
    ++iDay;
    const QDate dt = Date();
    if (files.bPeriodic) {
        // The day after was read with the day before: it moves on, unread again.
        periodic = iDay > 0 && files.bNext ? std::move(next) : Read(false, dt);
        if (files.bNext)
            next = Read(false, dt.addDays(1));
    }
    if (files.bProfile)
        profile = Read(true, dt);
    return true;
}

TDayRecords TDayWalk::Read(bool bProfile, const QDate& dt)
{
    TDayRecords rec;
    rec.dt = dt;
    rec.slParams = bProfile ? QStringList{QStringLiteral("LAeq")} : files.slParams;
    rec.aadValues.resize(size_t(rec.slParams.size()));
    if (!(bProfile ? prf.Load(sID, dt) : per.Load(sID, dt, files.nPeriod))) {
        const QString sPath = bProfile ? TTHFile::FileName(sDataPath, sID, dt)
                                       : TPerFile::FileName(sDataPath, sID, dt, files.nPeriod);
        if (QFileInfo::exists(sPath)) {
            rec.eFile = TDayRecords::EFile::NotRead;
            rec.sFileError = NotReadReason(sPath);
        }
        return rec;
    }
    rec.eFile = TDayRecords::EFile::Read;
    if (bProfile) {
        rec.nUnplaced = prf.Unplaced();
        rec.anStartSecs.resize(size_t(nSecsPerDay));
        std::iota(rec.anStartSecs.begin(), rec.anStartSecs.end(), 0);
        rec.aadValues[0] = SecondLevels(prf);
        rec.abColumn = {true};
    } else {
        std::vector<int> aiFld;
        for (const QString& sParam : rec.slParams) {
            aiFld.push_back(per.FindFld(sParam));
            rec.abColumn.push_back(aiFld.back() >= 0);
        }
        const int nRecs = per.RecCount();
        rec.anStartSecs.reserve(size_t(nRecs));
        for (auto& ad : rec.aadValues)
            ad.reserve(size_t(nRecs));
        for (int iRec = 0; iRec < nRecs; ++iRec) {
            rec.anStartSecs.push_back(per.FldTimeSecs(iRec, 0));
            for (size_t p = 0; p < aiFld.size(); ++p) {
                // "-" and anything else that is no number reads as -1, and 0 or 180 dB
                // and more is what a monitor writes for no measurement: none is a level.
                const double d = aiFld[p] < 0 ? -1 : per.FldVal(iRec, aiFld[p]);
                rec.aadValues[p].push_back(TLevel::Is(d) ? d : dNaN);
            }
        }
    }
    // Every analysis gets a day's records from here and from nowhere else, so the
    // periods a consultant marked as not to be counted are marked here, before the
    // levels, limits and events see them.
    MarkExcluded(rec, bProfile ? 1 : files.nPeriod * 60);
    return rec;
}

bool TDayRecords::AnyExcluded() const
{
    for (const auto& a : aaSpans)
        if (!a.empty())
            return true;
    return false;
}

void TDayWalk::MarkExcluded(TDayRecords& rec, int nRecSecs) const
{
    if (pExcl == nullptr || rec.eFile != TDayRecords::EFile::Read)
        return;
    const size_t nParams = size_t(rec.slParams.size());
    rec.aaSpans.resize(nParams);
    rec.aanExcluded.resize(nParams);
    for (size_t p = 0; p < nParams; ++p) {
        // A period that runs past midnight can be excluded from the day after.
        std::vector<TExcludedSpan> aSpans = pExcl->Spans(sID, rec.slParams[qsizetype(p)],
                                                         TExclusion::Wall(rec.dt, 0),
                                                         TExclusion::Wall(rec.dt, nSecsPerDay + nRecSecs));
        if (aSpans.empty())
            continue;
        const qint64 nDay = TExclusion::Wall(rec.dt, 0);
        for (TExcludedSpan& span : aSpans) {
            span.nFrom -= nDay;
            span.nTo -= nDay;
        }
        std::vector<int>& anEx = rec.aanExcluded[p];
        anEx.assign(rec.anStartSecs.size(), 0);
        // Records and spans both run forward in time (a periodic file's records out of
        // order are looked up from the start again).
        size_t iSpan = 0;
        int nLast = -1;
        for (size_t iRec = 0; iRec < rec.anStartSecs.size(); ++iRec) {
            const int nStart = rec.anStartSecs[iRec];
            if (nStart < 0)
                continue;
            if (nStart < nLast)
                iSpan = 0;
            nLast = nStart;
            const qint64 nEnd = qint64(nStart) + nRecSecs;
            while (iSpan < aSpans.size() && aSpans[iSpan].nTo <= nStart)
                ++iSpan;
            // A period is excluded when any of its seconds is.
            for (size_t j = iSpan; j < aSpans.size() && aSpans[j].nFrom < nEnd; ++j)
                anEx[iRec] |= aSpans[j].nReasons;
        }
        // The day's own stretches, for the charts and the event list.
        std::vector<TExcludedSpan>& aDay = rec.aaSpans[p];
        for (const TExcludedSpan& span : aSpans)
            if (span.nFrom < nSecsPerDay)
                aDay.push_back({span.nFrom, std::min<qint64>(span.nTo, nSecsPerDay), span.nReasons});
    }
}

std::vector<double> TDayWalk::SecondLevels(const TTHFile& file)
{
    std::vector<double> adLevels(size_t(nSecsPerDay), dNaN);
    // A loaded day holds one record per second, record k at second k.
    const int nRecs = std::min(file.RecCount(), nSecsPerDay);
    for (int i = 0; i < nRecs; ++i) {
        const double d = file.FldVal(i, 1);
        adLevels[size_t(i)] = TLevel::Is(d) ? d : dNaN;
    }
    return adLevels;
}
