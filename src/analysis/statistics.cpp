#include "analysis/statistics.h"

#include "analysis/daywalk.h"
#include "analysis/level.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_set>

namespace {
constexpr int nSecsPerDay = 86400;
constexpr double dNaN = std::numeric_limits<double>::quiet_NaN();

// Energy and seconds, from which an energy average is made.
struct TEnergy
{
    double dEnergySecs = 0;
    double dSecs = 0;

    void Add(double dLevel, double dSecsOf)
    {
        dEnergySecs += std::pow(10.0, dLevel / 10.0) * dSecsOf;
        dSecs += dSecsOf;
    }
    double Level() const { return dSecs > 0 ? 10.0 * std::log10(dEnergySecs / dSecs) : dNaN; }
};

// What one monitor gathers over the walk.
struct TGather
{
    std::array<std::vector<double>, rpPartCount> aadValues;
    std::array<std::array<TEnergy, 24>, sdCount> aaTypical;
    std::array<std::array<std::vector<double>, 24>, sdCount> aaadDayLevels;
    std::array<std::array<TEnergy, 24>, 7> aaCarpet;
};

void AddDay(const TRatingSettings& set, const TDayRecords& rec, size_t iParam, int nPeriod, TGather& g)
{
    if (rec.eFile != TDayRecords::EFile::Read || rec.aadValues.empty())
        return;
    const int iWeekday = rec.dt.dayOfWeek() - 1;
    const size_t iDays = size_t(iWeekday >= 5 ? sdWeekends : sdWeekdays);
    const std::vector<double>& adLAeq = rec.aadValues[0];
    const std::vector<double>& adParam = rec.aadValues[iParam];
    std::array<TEnergy, 24> aDay;
    // A record repeated for the same start would otherwise count twice.
    std::unordered_set<int> seen;
    for (size_t i = 0; i < rec.anStartSecs.size(); ++i) {
        const int nStart = rec.anStartSecs[i];
        if (nStart < 0 || nStart >= nSecsPerDay || !seen.insert(nStart).second)
            continue;
        const double dParam = adParam[i];
        if (TLevel::Is(dParam) && !rec.Excluded(iParam, i))
            g.aadValues[size_t(set.PartOf(nStart))].push_back(dParam);
        const double dLAeq = adLAeq[i];
        if (!TLevel::Is(dLAeq) || rec.Excluded(0, i))
            continue;
        // The last period of a length that does not divide the day ends at midnight.
        const double dSecs = std::min(nPeriod * 60, nSecsPerDay - nStart);
        const size_t h = size_t(nStart / 3600);
        aDay[h].Add(dLAeq, dSecs);
        g.aaTypical[iDays][h].Add(dLAeq, dSecs);
        g.aaCarpet[size_t(iWeekday)][h].Add(dLAeq, dSecs);
    }
    for (size_t h = 0; h < 24; ++h)
        if (aDay[h].dSecs > 0)
            g.aaadDayLevels[iDays][h].push_back(aDay[h].Level());
}
} // namespace

int TStatDistribution::Count(int nClass) const
{
    const int i = nClass - nLowestClass;
    return i >= 0 && i < int(anCount.size()) ? anCount[size_t(i)] : 0;
}

double TStatDistribution::Cumulative(int nClass) const
{
    if (nValues == 0)
        return dNaN;
    int nUpTo = 0;
    for (int i = 0; i < int(anCount.size()) && nLowestClass + i <= nClass; ++i)
        nUpTo += anCount[size_t(i)];
    return double(nUpTo) / nValues;
}

double TStatistics::Percentile(std::vector<double>& adValues, int nPercent)
{
    const size_t n = adValues.size();
    if (n == 0)
        return dNaN;
    // ceil(nPercent * n / 100) in whole numbers: an exact rank, with no rounding to doubt.
    const size_t nRank = std::clamp<size_t>((size_t(std::clamp(nPercent, 1, 100)) * n + 99) / 100, 1, n);
    std::nth_element(adValues.begin(), adValues.begin() + std::ptrdiff_t(nRank - 1), adValues.end());
    return adValues[nRank - 1];
}

TStatDistribution TStatistics::Distribution(std::vector<double> adValues)
{
    adValues.erase(std::remove_if(adValues.begin(), adValues.end(), [](double d) { return !TLevel::Is(d); }),
                   adValues.end());
    TStatDistribution dist;
    dist.nValues = int(adValues.size());
    if (adValues.empty())
        return dist;
    const auto [itLow, itHigh] = std::minmax_element(adValues.begin(), adValues.end());
    dist.nLowestClass = int(std::floor(*itLow / dClassWidth));
    const int nHighest = int(std::floor(*itHigh / dClassWidth));
    dist.anCount.assign(size_t(nHighest - dist.nLowestClass + 1), 0);
    for (double d : adValues)
        ++dist.anCount[size_t(int(std::floor(d / dClassWidth)) - dist.nLowestClass)];
    const auto itMode = std::max_element(dist.anCount.begin(), dist.anCount.end());
    dist.dModeClass = (dist.nLowestClass + int(itMode - dist.anCount.begin())) * dClassWidth;
    dist.dMedian = Percentile(adValues, 50);
    dist.dP10 = Percentile(adValues, 10);
    return dist;
}

std::vector<TStatMonitor> TStatistics::Compute(const TRatingSettings& set, const QString& sParam,
                                               const QString& sDataPath, const TMonitorSel& aMons,
                                               const QDate& dtFrom, const QDate& dtTo, int nPeriod,
                                               const TExclusions* pExcl)
{
    // Hours that cannot split a day fall back to the defaults, as in the rating levels.
    TRatingSettings s = set;
    if (!s.HoursValid())
        s.anStartHour = TRatingSettings().anStartHour;
    const QString sLAeq = QStringLiteral("LAeq");
    TDayWalk::TFiles files;
    files.bPeriodic = true;
    files.nPeriod = nPeriod;
    files.slParams = {sLAeq};
    if (sParam != sLAeq)
        files.slParams.append(sParam);
    const size_t iParam = size_t(files.slParams.size() - 1);

    std::vector<TStatMonitor> aResult;
    TDayWalk walk(sDataPath, dtFrom, dtTo);
    walk.SetExclusions(pExcl);
    for (const TTQMonitor* mon : aMons) {
        TStatMonitor sm;
        sm.sID = mon->sID;
        sm.sParam = sParam;
        TGather g;
        walk.Start(mon->sID, files);
        while (nPeriod > 0 && walk.Step()) {
            const TDayRecords& rec = walk.Periodic();
            if (rec.eFile != TDayRecords::EFile::Read)
                continue;
            ++sm.nDaysRead;
            sm.bLAeqColumn = sm.bLAeqColumn || (!rec.abColumn.empty() && rec.abColumn[0]);
            sm.bParamColumn = sm.bParamColumn || (iParam < rec.abColumn.size() && rec.abColumn[iParam]);
            AddDay(s, rec, iParam, nPeriod, g);
        }
        for (size_t p = 0; p < size_t(rpPartCount); ++p)
            sm.aParts[p] = Distribution(std::move(g.aadValues[p]));
        for (size_t k = 0; k < size_t(sdCount); ++k)
            for (size_t h = 0; h < 24; ++h) {
                TStatHour& hour = sm.aaTypical[k][h];
                std::vector<double>& adDays = g.aaadDayLevels[k][h];
                hour.dLevel = g.aaTypical[k][h].Level();
                hour.nDays = int(adDays.size());
                hour.dP10 = Percentile(adDays, 10);
                hour.dP90 = Percentile(adDays, 90);
            }
        for (size_t d = 0; d < 7; ++d)
            for (size_t h = 0; h < 24; ++h)
                sm.aadCarpet[d][h] = g.aaCarpet[d][h].Level();
        aResult.push_back(std::move(sm));
    }
    return aResult;
}
