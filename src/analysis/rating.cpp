#include "analysis/rating.h"

#include "analysis/daywalk.h"
#include "analysis/level.h"

#include "monitors/monitor.h"
#include "settings/cfg.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_set>

namespace {
constexpr int nSecsPerDay = 86400;
constexpr double dNaN = std::numeric_limits<double>::quiet_NaN();

int Mod(int n, int nBy)
{
    return ((n % nBy) + nBy) % nBy;
}

// Sums of one day, or of many days added together.
struct TRatingSums
{
    std::array<double, rpPartCount> adEnergySecs{}; // sum of 10^(L/10) times the period's seconds
    std::array<double, rpPartCount> adSecs{};
    std::array<int, rpPartCount> anValues{};
    std::array<double, rpPartCount> adExpected{};
    std::array<double, rpPartCount> adExcludedSecs{};

    void Add(const TRatingSums& o)
    {
        for (int p = 0; p < rpPartCount; ++p) {
            adExcludedSecs[size_t(p)] += o.adExcludedSecs[size_t(p)];
            adEnergySecs[size_t(p)] += o.adEnergySecs[size_t(p)];
            adSecs[size_t(p)] += o.adSecs[size_t(p)];
            anValues[size_t(p)] += o.anValues[size_t(p)];
            adExpected[size_t(p)] += o.adExpected[size_t(p)];
        }
    }
};

// A value that is no level counts as a missing period, not as a quiet period that
// lowers the level and raises the coverage.
bool HasLevel(double dLAeq)
{
    return TLevel::Is(dLAeq);
}

// Hand-edited hours that cannot split a day fall back to the defaults, so that every
// period lands in exactly one part.
TRatingSettings Usable(const TRatingSettings& set)
{
    TRatingSettings s = set;
    if (!s.HoursValid())
        s.anStartHour = TRatingSettings().anStartHour;
    return s;
}

TRatingSums DaySums(const TRatingSettings& set, const std::vector<TRatingPeriod>& aPeriods, int nPeriod)
{
    TRatingSums sums;
    if (nPeriod <= 0)
        return sums;
    for (int p = 0; p < rpPartCount; ++p)
        sums.adExpected[size_t(p)] = double(set.PartMinutes(ERatingPart(p))) / nPeriod;
    // A record repeated for the same start would otherwise count twice.
    std::unordered_set<int> seen;
    for (const TRatingPeriod& per : aPeriods) {
        if (per.nStartSecs < 0 || per.nStartSecs >= nSecsPerDay || (!per.bExcluded && !HasLevel(per.dLAeq)))
            continue;
        if (!seen.insert(per.nStartSecs).second)
            continue;
        // The last period of a length that does not divide the day ends at midnight.
        const double dSecs = std::min(nPeriod * 60, nSecsPerDay - per.nStartSecs);
        const size_t p = size_t(set.PartOf(per.nStartSecs));
        if (per.bExcluded) {
            sums.adExcludedSecs[p] += dSecs;
            continue;
        }
        sums.adEnergySecs[p] += std::pow(10.0, per.dLAeq / 10.0) * dSecs;
        sums.adSecs[p] += dSecs;
        ++sums.anValues[p];
    }
    return sums;
}

TRatingLevels Levels(const TRatingSettings& set, const TRatingSums& sums)
{
    TRatingLevels lv;
    for (size_t p = 0; p < size_t(rpPartCount); ++p) {
        lv.adLevel[p] = sums.adSecs[p] > 0 ? 10.0 * std::log10(sums.adEnergySecs[p] / sums.adSecs[p]) : dNaN;
        lv.adCoverage[p] =
            sums.adExpected[p] > 0 ? std::min(1.0, sums.anValues[p] / sums.adExpected[p]) : dNaN;
        lv.abLow[p] = !std::isnan(lv.adCoverage[p]) && lv.adCoverage[p] * 100.0 < set.dCoverage;
        lv.bLdenLow = lv.bLdenLow || lv.abLow[p];
        lv.adExcludedSecs[p] = sums.adExcludedSecs[p];
    }
    lv.dLden = TRating::Lden(set, lv.Ld(), lv.Le(), lv.Ln());
    return lv;
}

// A limit is judged on the value as shown, so a day shown as 55.0 is not above 55.
bool Above(double dLevel, double dLimit)
{
    return !std::isnan(dLevel) && std::round(dLevel * 10.0) / 10.0 > dLimit;
}

// The periods of a day's LAeq that have a level, and those excluded, with a level or
// without: an exclusion says why a period is missing.
std::vector<TRatingPeriod> Periods(const TDayRecords& rec)
{
    std::vector<TRatingPeriod> aPeriods;
    if (rec.aadValues.empty())
        return aPeriods;
    const std::vector<double>& adLAeq = rec.aadValues[0];
    for (size_t iRec = 0; iRec < rec.anStartSecs.size() && iRec < adLAeq.size(); ++iRec) {
        const bool bExcluded = rec.Excluded(0, iRec);
        if (rec.anStartSecs[iRec] >= 0 && (bExcluded || HasLevel(adLAeq[iRec])))
            aPeriods.push_back({rec.anStartSecs[iRec], adLAeq[iRec], bExcluded});
    }
    return aPeriods;
}
} // namespace

TRatingSettings TRatingSettings::FromCfg(const TCfg& cfg)
{
    TRatingSettings set;
    set.anStartHour = {cfg.RatingDayHour(), cfg.RatingEveningHour(), cfg.RatingNightHour()};
    set.dEveningPenalty = cfg.RatingEveningPenalty();
    set.dNightPenalty = cfg.RatingNightPenalty();
    set.dCoverage = cfg.RatingCoverage();
    set.bLdenLimitOn = cfg.RatingLdenLimitOn();
    set.dLdenLimit = cfg.RatingLdenLimit();
    set.bNightLimitOn = cfg.RatingNightLimitOn();
    set.dNightLimit = cfg.RatingNightLimit();
    return Usable(set);
}

bool TRatingSettings::HoursValid() const
{
    int nTotal = 0;
    for (int p = 0; p < rpPartCount; ++p) {
        if (anStartHour[size_t(p)] < 0 || anStartHour[size_t(p)] > 23)
            return false;
        nTotal += PartMinutes(ERatingPart(p));
    }
    // Hours out of turn go round the clock twice; three equal hours not at all.
    return nTotal == 1440;
}

int TRatingSettings::PartMinutes(ERatingPart part) const
{
    const size_t p = size_t(part);
    return Mod(anStartHour[(p + 1) % size_t(rpPartCount)] - anStartHour[p], 24) * 60;
}

ERatingPart TRatingSettings::PartOf(int nSecs) const
{
    for (int p = 0; p < rpPartCount; ++p)
        if (Mod(nSecs - anStartHour[size_t(p)] * 3600, nSecsPerDay) < PartMinutes(ERatingPart(p)) * 60)
            return ERatingPart(p);
    return rpNight;
}

double TRating::Lden(const TRatingSettings& set, double dLd, double dLe, double dLn)
{
    const std::array<double, rpPartCount> adLevel{dLd, dLe + set.dEveningPenalty, dLn + set.dNightPenalty};
    double dSum = 0;
    int nMinutes = 0;
    for (int p = 0; p < rpPartCount; ++p) {
        const int nPart = set.PartMinutes(ERatingPart(p));
        if (nPart == 0)
            continue;
        if (std::isnan(adLevel[size_t(p)]))
            return dNaN;
        dSum += nPart * std::pow(10.0, adLevel[size_t(p)] / 10.0);
        nMinutes += nPart;
    }
    return nMinutes > 0 ? 10.0 * std::log10(dSum / nMinutes) : dNaN;
}

TRatingLevels TRating::ComputeDay(const TRatingSettings& set, const std::vector<TRatingPeriod>& aPeriods,
                                  int nPeriod)
{
    const TRatingSettings s = Usable(set);
    return Levels(s, DaySums(s, aPeriods, nPeriod));
}

std::vector<TRatingMonitor> TRating::Compute(const TRatingSettings& set, const QString& sDataPath,
                                             const TMonitorSel& aMons, const QDate& dtFrom, const QDate& dtTo,
                                             int nPeriod, const TExclusions* pExcl)
{
    const TRatingSettings s = Usable(set);
    std::vector<TRatingMonitor> aResult;
    TDayWalk walk(sDataPath, dtFrom, dtTo);
    walk.SetExclusions(pExcl);
    TDayWalk::TFiles files;
    files.bPeriodic = true;
    files.nPeriod = nPeriod;
    files.slParams = {QStringLiteral("LAeq")};
    for (const TTQMonitor* mon : aMons) {
        TRatingMonitor rm;
        rm.sID = mon->sID;
        TRatingSums range;
        walk.Start(mon->sID, files);
        while (walk.Step()) {
            const TRatingSums day = DaySums(s, Periods(walk.Periodic()), nPeriod);
            range.Add(day);
            TRatingLevels lv = Levels(s, day);
            lv.dt = walk.Date();
            if (s.bLdenLimitOn && Above(lv.dLden, s.dLdenLimit))
                ++rm.nLdenAbove;
            if (s.bNightLimitOn && Above(lv.Ln(), s.dNightLimit))
                ++rm.nNightAbove;
            rm.aDays.push_back(lv);
        }
        rm.range = Levels(s, range);
        aResult.push_back(std::move(rm));
    }
    return aResult;
}
