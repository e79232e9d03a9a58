#include "analysis/quality.h"

#include "analysis/exclusions.h"
#include "datafiles/almfile.h"
#include "datafiles/calfile.h"
#include "settings/cfg.h"

#include <cmath>
#include <limits>

namespace {
constexpr double dNaN = std::numeric_limits<double>::quiet_NaN();

double Share(int nPresent, int nCounted)
{
    return nCounted > 0 ? double(nPresent) / nCounted : dNaN;
}

// What one period of a day held.
enum class ESlot
{
    NoRecord,
    NoValue,
    Value
};

// Collects the stretches without values as the days go by, across midnight too.
class TGapTrack
{
public:
    TGapTrack(std::vector<TQualityGap>& a, int nMinSecs) : aGaps(a), nMinSecs(nMinSecs) {}

    void Missing(qint64 nFrom, qint64 nTo, int nCause)
    {
        if (bOpen && gap.nTo != nFrom)
            Close();
        if (!bOpen) {
            gap = TQualityGap{nFrom, nTo, 0};
            bOpen = true;
        }
        gap.nTo = nTo;
        gap.nCauses |= nCause;
    }
    void Close()
    {
        if (bOpen && gap.Seconds() > nMinSecs)
            aGaps.push_back(gap);
        bOpen = false;
    }

private:
    std::vector<TQualityGap>& aGaps;
    qint64 nMinSecs;
    TQualityGap gap;
    bool bOpen = false;
};

// The calibrations of one day file, their fields found by name in the monitor's list.
void ReadCalibrations(TCalFile& cal, const QString& sID, const QDate& dt, TQualityMonitor& qm,
                      TQualityDay& day)
{
    if (!cal.Load(sID, dt))
        return;
    std::vector<int> aiCol; // per field of the file after the time, its place in slCalFields
    for (int f = 1; f < cal.FldCount(); ++f) {
        const QString sName = cal.FldName(f).trimmed();
        int i = qm.slCalFields.indexOf(sName);
        if (i < 0) {
            qm.slCalFields.append(sName);
            i = int(qm.slCalFields.size()) - 1;
        }
        aiCol.push_back(i);
    }
    for (int iRec = 0; iRec < cal.RecCount(); ++iRec) {
        TQualityCal c;
        c.dt = dt;
        c.sTime = cal.FldStr(iRec, 0).trimmed();
        c.nSecs = cal.FldTimeSecs(iRec, 0);
        for (size_t f = 0; f < aiCol.size(); ++f) {
            const size_t i = size_t(aiCol[f]);
            if (c.slTexts.size() <= qsizetype(i)) {
                while (c.slTexts.size() <= qsizetype(i))
                    c.slTexts.append(QString());
                c.adValues.resize(i + 1, dNaN);
            }
            c.slTexts[qsizetype(i)] = cal.FldStr(iRec, int(f) + 1).trimmed();
            double d = 0;
            c.adValues[i] = TQuality::Number(c.slTexts[qsizetype(i)], d) ? d : dNaN;
        }
        qm.aCals.push_back(std::move(c));
        ++day.nCalibrations;
    }
}
} // namespace

TQualitySettings TQualitySettings::FromCfg(const TCfg& cfg, const QDateTime& dtNow)
{
    TQualitySettings set;
    set.rating = TRatingSettings::FromCfg(cfg);
    set.dtNow = dtNow;
    return set;
}

double TQualityDay::Coverage() const
{
    return Share(nPresent, nExpected - nExcluded);
}

EQualityDay TQualityDay::Class(double dThresholdPercent) const
{
    if (nExpected == 0)
        return EQualityDay::NotDue;
    if (nExcluded == nExpected)
        return EQualityDay::Excluded;
    if (nPresent == 0)
        return EQualityDay::NoData;
    if (nPresent == nExpected - nExcluded)
        return EQualityDay::Full;
    return Coverage() * 100.0 >= dThresholdPercent ? EQualityDay::Good : EQualityDay::Low;
}

double TQualityTotals::Coverage(int iPart) const
{
    if (iPart >= 0 && iPart < rpPartCount)
        return Share(anPresent[size_t(iPart)], anExpected[size_t(iPart)] - anExcluded[size_t(iPart)]);
    return Share(Present(), Expected() - Excluded());
}

QString TQuality::CauseText(int nCauses)
{
    static const std::array<std::pair<int, const char*>, 5> aTexts{{{gcFileMissing, "file missing"},
                                                                    {gcNotRead, "file not read"},
                                                                    {gcNoField, "no LAeq column"},
                                                                    {gcNoValue, "no value"},
                                                                    {gcNoRecord, "no record"}}};
    QStringList sl;
    for (const auto& [nBit, sz] : aTexts)
        if ((nCauses & nBit) != 0)
            sl.append(QLatin1String(sz));
    return sl.join(QStringLiteral("; "));
}

bool TQuality::Number(const QString& s, double& d)
{
    // QString::toDouble reads "." whatever the locale; it also takes "inf" and "nan",
    // which no calibration holds.
    bool bOk = false;
    const double dRead = s.trimmed().toDouble(&bOk);
    if (!bOk || !std::isfinite(dRead))
        return false;
    d = dRead;
    return true;
}

std::vector<TQualityMonitor> TQuality::Compute(const TQualitySettings& setIn, const QString& sDataPath,
                                               const TMonitorSel& aMons, const QDate& dtFrom, const QDate& dtTo,
                                               int nPeriod, const TExclusions* pExcl)
{
    std::vector<TQualityMonitor> aResult;
    if (nPeriod <= 0 || nPeriod > 1440)
        return aResult;
    const TRatingSettings& rating = setIn.rating;
    const int nSlots = 1440 / nPeriod;
    const int nSlotSecs = nPeriod * 60;
    const int nMinGapSecs = std::max(0, setIn.nGapMinutes) * 60;
    const QDate dtToday = setIn.dtNow.isValid() ? setIn.dtNow.date() : QDate();
    const int nNowSecs = setIn.dtNow.isValid() ? setIn.dtNow.time().msecsSinceStartOfDay() / 1000 : 0;
    const QString sLAeq = QStringLiteral("LAeq");

    std::vector<ESlot> aeSlot(static_cast<size_t>(nSlots));
    std::vector<char> abExcl(static_cast<size_t>(nSlots));
    std::vector<ERatingPart> aePart(static_cast<size_t>(nSlots));
    for (int s = 0; s < nSlots; ++s)
        aePart[size_t(s)] = rating.PartOf(s * nSlotSecs);

    TDayWalk walk(sDataPath, dtFrom, dtTo);
    walk.SetExclusions(pExcl);
    TDayWalk::TFiles files;
    files.bPeriodic = true;
    files.nPeriod = nPeriod;
    files.slParams = {sLAeq};
    TAlmFile alm(sDataPath);
    TCalFile cal(sDataPath);
    TPerFile head(sDataPath);
    for (const TTQMonitor* mon : aMons) {
        TQualityMonitor qm;
        qm.sID = mon->sID;
        TGapTrack gaps(qm.aGaps, nMinGapSecs);
        walk.Start(mon->sID, files);
        while (walk.Step()) {
            const TDayRecords& rec = walk.Periodic();
            TQualityDay day;
            day.dt = walk.Date();
            day.eFile = rec.eFile;
            day.sFileError = rec.sFileError;

            int nDue = nSlots;
            if (dtToday.isValid() && day.dt > dtToday)
                nDue = 0;
            else if (day.dt == dtToday)
                nDue = std::min(nSlots, nNowSecs / nSlotSecs);

            std::fill(aeSlot.begin(), aeSlot.end(), ESlot::NoRecord);
            std::fill(abExcl.begin(), abExcl.end(), char(0));
            bool bNoField = false;
            if (rec.eFile == TDayRecords::EFile::Read) {
                bool bAnyValue = false;
                const std::vector<double>& ad = rec.aadValues[0];
                for (size_t i = 0; i < rec.anStartSecs.size() && i < ad.size(); ++i) {
                    const int nStart = rec.anStartSecs[i];
                    if (nStart < 0 || nStart >= nSlots * nSlotSecs)
                        continue;
                    ESlot& e = aeSlot[size_t(nStart / nSlotSecs)];
                    if (!std::isnan(ad[i])) {
                        e = ESlot::Value;
                        bAnyValue = true;
                    } else if (e == ESlot::NoRecord) {
                        e = ESlot::NoValue;
                    }
                }
                // The walk gives a column the file lacks as no values; only a day
                // without any value can lack it, and its header tells.
                if (!bAnyValue)
                    bNoField = head.Load(mon->sID, day.dt, nPeriod) && head.FindFld(sLAeq) < 0;
            }
            // The walk marks the excluded stretches of a day it read; a day without its
            // file has its exclusions too, and a period without a record as well.
            std::vector<TExcludedSpan> aSpans;
            if (!rec.aaSpans.empty())
                aSpans = rec.aaSpans[0];
            else if (pExcl != nullptr && rec.eFile != TDayRecords::EFile::Read)
                aSpans = pExcl->SpansOnDay(mon->sID, sLAeq, day.dt);
            day.bExclusions = !aSpans.empty();
            for (const TExcludedSpan& span : aSpans) {
                // A period is excluded when any of its seconds is.
                const qint64 nFirst = std::max<qint64>(0, span.nFrom / nSlotSecs);
                const qint64 nLast = std::min<qint64>(nSlots - 1, (span.nTo - 1) / nSlotSecs);
                for (qint64 s = nFirst; s <= nLast; ++s)
                    abExcl[size_t(s)] = 1;
            }

            int nCause = gcNoRecord;
            if (rec.eFile == TDayRecords::EFile::Missing)
                nCause = gcFileMissing;
            else if (rec.eFile == TDayRecords::EFile::NotRead)
                nCause = gcNotRead;
            else if (bNoField)
                nCause = gcNoField;
            for (int s = 0; s < nDue; ++s) {
                const size_t p = size_t(aePart[size_t(s)]);
                const qint64 nFrom = TExclusion::Wall(day.dt, s * nSlotSecs);
                ++day.nExpected;
                ++qm.totals.anExpected[p];
                if (abExcl[size_t(s)] != 0) {
                    ++day.nExcluded;
                    ++qm.totals.anExcluded[p];
                    gaps.Close();
                } else if (aeSlot[size_t(s)] == ESlot::Value) {
                    ++day.nPresent;
                    ++qm.totals.anPresent[p];
                    gaps.Close();
                } else {
                    const int nWhy =
                        nCause == gcNoRecord && aeSlot[size_t(s)] == ESlot::NoValue ? gcNoValue : nCause;
                    gaps.Missing(nFrom, nFrom + nSlotSecs, nWhy);
                }
            }
            if (nDue < nSlots)
                gaps.Close();

            if (alm.Load(mon->sID, day.dt))
                day.nAlarms = std::max(0, alm.RecCount());
            ReadCalibrations(cal, mon->sID, day.dt, qm, day);

            ++qm.totals.nDays;
            if (day.nPresent > 0)
                ++qm.totals.nDaysWithData;
            if (day.eFile != TDayRecords::EFile::Read)
                ++qm.totals.nDaysMissing;
            if (day.bExclusions)
                ++qm.totals.nDaysExcluded;
            qm.aDays.push_back(std::move(day));
        }
        gaps.Close();
        // Every calibration has a text per field, also one from a file that lacked some.
        for (TQualityCal& c : qm.aCals) {
            while (c.slTexts.size() < qm.slCalFields.size())
                c.slTexts.append(QString());
            c.adValues.resize(size_t(qm.slCalFields.size()), dNaN);
        }
        aResult.push_back(std::move(qm));
    }
    return aResult;
}
