#include "analysis/events.h"

#include "analysis/daywalk.h"
#include "analysis/level.h"
#include "analysis/runningl90.h"
#include "monitors/monitor.h"
#include "settings/cfg.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr int nSecsPerDay = 86400;
constexpr double dNaN = std::numeric_limits<double>::quiet_NaN();
// The background needs a minute of levels before it sets the threshold.
constexpr int nBgLeast = 60;

bool HourValid(int n)
{
    return n >= 0 && n <= 23;
}

double Energy(double dLevel)
{
    return std::pow(10.0, dLevel / 10.0);
}

// The event being followed, across midnight too.
struct TOpenEvent
{
    TNoiseEvent ev;
    size_t iDay = 0;           // its start day in the list of days
    double dEnergy = 0;        // up to the last second above the threshold
    double dEnergyPending = 0; // the seconds at or below it since then
    int nBelow = 0;
};

// Runs the seconds of consecutive days through the event rule; an event is added to
// its start day when it ends.
class TDetector
{
public:
    explicit TDetector(const TEventSettings& set) : set(set), l90(std::max(1, set.nBgMinutes) * 60) {}

    void RunDay(std::vector<TEventDay>& aDays, size_t iDay, const std::vector<double>& adLevels,
                std::vector<double>* padThresholds);
    // The day after the last one run was not read: a running event ends at midnight,
    // cut, and the background starts afresh.
    void Break(std::vector<TEventDay>& aDays);
    // The excluded stretches of day iDay, seconds after its midnight; given before the
    // day runs.
    void SetExcluded(size_t iDay, std::vector<TExcludedSpan> aSpans);

private:
    // Ends the open event; a cut one ends at nCutEnd (seconds of the current day).
    void Close(std::vector<TEventDay>& aDays, TNoiseEvent::ECut eCut, int nCutEnd = 0);
    int Offset() const { return nSecsPerDay * int(iCurrent - open.iDay); }
    double BackgroundThreshold(double dFixed);
    int ExcludedReasons(const TNoiseEvent& ev, size_t iDay) const;

    const TEventSettings& set;
    TRunningL90 l90;
    TOpenEvent open;
    bool bOpen = false;
    size_t iCurrent = 0;  // the day being run
    double dPrevFixed = dNaN; // the fixed threshold of the second before
    std::vector<std::vector<TExcludedSpan>> aaExcluded; // per day of the list
};

void TDetector::SetExcluded(size_t iDay, std::vector<TExcludedSpan> aSpans)
{
    if (aaExcluded.size() <= iDay)
        aaExcluded.resize(iDay + 1);
    aaExcluded[iDay] = std::move(aSpans);
}

// An event overlaps an excluded stretch when one of its seconds, nStart to nEnd, lies
// inside; the stretches of the days it runs into count too.
int TDetector::ExcludedReasons(const TNoiseEvent& ev, size_t iDay) const
{
    int nReasons = 0;
    for (size_t d = iDay; d <= iDay + size_t(ev.EndDay()) && d < aaExcluded.size(); ++d) {
        const qint64 nShift = qint64(nSecsPerDay) * qint64(d - iDay);
        for (const TExcludedSpan& span : aaExcluded[d])
            if (span.nFrom + nShift <= ev.nEnd && span.nTo + nShift > ev.nStart)
                nReasons |= span.nReasons;
    }
    return nReasons;
}

void TDetector::Close(std::vector<TEventDay>& aDays, TNoiseEvent::ECut eCut, int nCutEnd)
{
    bOpen = false;
    TNoiseEvent ev = open.ev;
    ev.eCut = eCut;
    double dEnergy = open.dEnergy;
    if (eCut != TNoiseEvent::ECut::None) {
        // Cut inside the hang time too: the event runs to the cut.
        ev.nEnd = nCutEnd + Offset();
        dEnergy += open.dEnergyPending;
    }
    ev.dLAE = TEvents::LAE(dEnergy);
    const int nDur = ev.Duration();
    // A cut event's length is not its own, so it is never dropped for it.
    if (eCut == TNoiseEvent::ECut::None && nDur < set.nMinDuration)
        return;
    ev.bLong = set.nMaxDuration > 0 && nDur > set.nMaxDuration;
    TEventDay& day = aDays[open.iDay];
    ev.nExcluded = ExcludedReasons(ev, open.iDay);
    if (ev.nExcluded != 0) {
        day.aEvents.push_back(ev);
        return;
    }
    ++day.anPerHour[size_t(ev.nStart / 3600)];
    for (size_t i = 0; i < set.adNLevels.size() && i < day.anNAbove.size(); ++i)
        if (ev.dLMax > set.adNLevels[i])
            ++day.anNAbove[i];
    day.aEvents.push_back(ev);
}

double TDetector::BackgroundThreshold(double dFixed)
{
    if (l90.Count() < nBgLeast)
        return dFixed;
    return std::max(dFixed - set.dBgFloorBelow, l90.Level() + set.dBgMargin);
}

void TDetector::RunDay(std::vector<TEventDay>& aDays, size_t iDay, const std::vector<double>& adLevels,
                       std::vector<double>* padThresholds)
{
    iCurrent = iDay;
    TEventDay& day = aDays[iDay];
    day.bFile = true;
    day.eFile = TEventDay::EFile::Read;
    day.nNoValue = 0;
    day.nAboveSecs = 0;
    day.anNAbove.assign(set.adNLevels.size(), 0);
    if (padThresholds)
        padThresholds->assign(size_t(nSecsPerDay), dNaN);
    const int nLevels = int(std::min(adLevels.size(), size_t(nSecsPerDay)));
    const int nHang = std::max(1, set.nHangTime);

    for (int s = 0; s < nSecsPerDay; ++s) {
        const double dLevel = s < nLevels ? TEvents::Level(adLevels[size_t(s)]) : dNaN;
        const double dFixed = set.ThresholdAt(s);
        // Where the threshold in force changes, a running event ends; it had been judged
        // by a threshold that no longer holds.
        if (bOpen && !std::isnan(dPrevFixed) && dFixed != dPrevFixed)
            Close(aDays, TNoiseEvent::ECut::Threshold, s - 1);
        dPrevFixed = dFixed;
        double dNow = dFixed;
        if (set.bBackground) {
            dNow = BackgroundThreshold(dFixed);
            l90.Push(dLevel);
        }

        if (std::isnan(dLevel)) {
            ++day.nNoValue;
            // A second without a level ends the event at its last second above.
            if (bOpen)
                Close(aDays, TNoiseEvent::ECut::None);
        } else if (bOpen) {
            // By a fixed threshold an event ends where that changes, so the threshold of
            // its start holds to its end; by the background the threshold follows the
            // window, which keeps a change of the background itself from being one event
            // to the next day or night hour.
            if (dLevel > dNow) {
                ++day.nAboveSecs;
                open.dEnergy += open.dEnergyPending + Energy(dLevel);
                open.dEnergyPending = 0;
                open.nBelow = 0;
                open.ev.nEnd = s + Offset();
                open.ev.dLMax = std::max(open.ev.dLMax, dLevel);
            } else {
                open.dEnergyPending += Energy(dLevel);
                if (++open.nBelow >= nHang)
                    Close(aDays, TNoiseEvent::ECut::None);
            }
        } else if (dLevel > dNow) {
            ++day.nAboveSecs;
            open = TOpenEvent();
            open.iDay = iDay;
            open.ev.nStart = s;
            open.ev.nEnd = s;
            open.ev.dLMax = dLevel;
            open.ev.dThreshold = dNow;
            open.dEnergy = Energy(dLevel);
            bOpen = true;
        }
        if (padThresholds)
            (*padThresholds)[size_t(s)] = dNow;
    }
}

void TDetector::Break(std::vector<TEventDay>& aDays)
{
    if (bOpen)
        Close(aDays, TNoiseEvent::ECut::Midnight, nSecsPerDay - 1);
    l90.Clear();
    dPrevFixed = dNaN;
}

} // namespace

TEventSettings TEventSettings::FromCfg(const TCfg& cfg, QStringList* pslErrors)
{
    TEventSettings set;
    auto complain = [&](const char* szKey, const QString& sValue, const QString& sRule, const QString& sDefault) {
        if (pslErrors)
            pslErrors->append(QStringLiteral("[events] ") + QLatin1String(szKey) + QLatin1Char('=') + sValue +
                              QStringLiteral(" is not ") + sRule + QStringLiteral("; the default ") + sDefault +
                              QStringLiteral(" is used."));
    };
    auto defaultOf = [](const char* szKey) { return TCfg::KeyDefault("events", szKey); };
    auto threshold = [&](const char* szKey, double d) {
        if (std::isfinite(d) && d >= 0 && d <= 180)
            return d;
        complain(szKey, QString::number(d), QStringLiteral("a level from 0 to 180 dB"), defaultOf(szKey));
        return defaultOf(szKey).toDouble();
    };
    auto whole = [&](const char* szKey, int n, int nMin, int nMax, const QString& sRule) {
        if (n >= nMin && n <= nMax)
            return n;
        complain(szKey, QString::number(n), sRule, defaultOf(szKey));
        return defaultOf(szKey).toInt();
    };
    const QString sSecs = QStringLiteral("a number of seconds from 0 to 86400");
    const QString sHour = QStringLiteral("an hour from 0 to 23, or -1 for the rating hours");

    set.dDayThreshold = threshold("daythreshold", cfg.EvtDayThreshold());
    set.dNightThreshold = threshold("nightthreshold", cfg.EvtNightThreshold());
    const int nDayDefault = HourValid(cfg.RatingDayHour()) ? cfg.RatingDayHour() : 7;
    const int nNightDefault = HourValid(cfg.RatingNightHour()) ? cfg.RatingNightHour() : 23;
    const int nDayHour = whole("dayhour", cfg.EvtDayHour(), -1, 23, sHour);
    const int nNightHour = whole("nighthour", cfg.EvtNightHour(), -1, 23, sHour);
    set.nDayHour = HourValid(nDayHour) ? nDayHour : nDayDefault;
    set.nNightHour = HourValid(nNightHour) ? nNightHour : nNightDefault;
    set.nMinDuration = whole("minduration", cfg.EvtMinDuration(), 0, 86400, sSecs);
    set.nMaxDuration = whole("maxduration", cfg.EvtMaxDuration(), 0, 86400, sSecs);
    set.nHangTime = whole("hangtime", cfg.EvtHangTime(), 0, 86400, sSecs);
    set.adNLevels.clear();
    // A hand-edited list keeps the levels it can read.
    for (const QString& s : cfg.EvtNLevels().split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (s.trimmed().isEmpty())
            continue;
        bool bOk = false;
        const double d = s.trimmed().toDouble(&bOk);
        if (bOk && d >= 0 && d <= 180)
            set.adNLevels.push_back(d);
        else if (pslErrors)
            pslErrors->append(QStringLiteral("[events] nlevels: ") + s.trimmed() +
                              QStringLiteral(" is not a level from 0 to 180 dB and is left out."));
    }
    set.bBackground = cfg.EvtBackground();
    set.nBgMinutes = whole("bgminutes", cfg.EvtBgMinutes(), 1, 120, QStringLiteral("a number of minutes from 1 to 120"));
    auto decibels = [&](const char* szKey, double d) {
        if (std::isfinite(d) && d >= 0 && d <= 60)
            return d;
        complain(szKey, QString::number(d), QStringLiteral("a number of decibels from 0 to 60"), defaultOf(szKey));
        return defaultOf(szKey).toDouble();
    };
    set.dBgMargin = decibels("bgmargin", cfg.EvtBgMargin());
    set.dBgFloorBelow = decibels("bgfloorbelow", cfg.EvtBgFloorBelow());
    return set;
}

double TEventSettings::ThresholdAt(int nSec) const
{
    const int nHour = nSec / 3600;
    // Equal hours leave no night.
    if (nDayHour == nNightHour)
        return dDayThreshold;
    const bool bDay = nDayHour < nNightHour ? nHour >= nDayHour && nHour < nNightHour
                                            : nHour >= nDayHour || nHour < nNightHour;
    return bDay ? dDayThreshold : dNightThreshold;
}

bool TEventSettings::ParseLevels(const QString& s, std::vector<double>& adLevels)
{
    adLevels.clear();
    for (const QString& sItem : s.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (sItem.trimmed().isEmpty())
            continue;
        bool bOk = false;
        const double d = sItem.trimmed().toDouble(&bOk);
        if (!bOk || !(d >= 0 && d <= 180))
            return false;
        adLevels.push_back(d);
    }
    return true;
}

QString TEventSettings::LevelsText(const std::vector<double>& adLevels)
{
    QStringList sl;
    for (double d : adLevels)
        sl.append(QString::number(d, 'g', QLocale::FloatingPointShortest));
    return sl.join(QLatin1Char(','));
}

double TEvents::Level(double dRead)
{
    return TLevel::Is(dRead) ? dRead : dNaN;
}

double TEvents::LAE(double dEnergy)
{
    return dEnergy > 0 ? 10.0 * std::log10(dEnergy) : dNaN;
}

int TEventDay::Counted() const
{
    return int(std::count_if(aEvents.begin(), aEvents.end(), [](const TNoiseEvent& ev) { return ev.nExcluded == 0; }));
}

std::vector<double> TEvents::DayLevels(const TTHFile& file)
{
    return TDayWalk::SecondLevels(file);
}

TEventDay TEvents::DetectDay(const TEventSettings& set, const std::vector<double>& adLevels,
                             std::vector<double>* padThresholds)
{
    std::vector<TEventDay> aDays(1);
    TDetector det(set);
    det.RunDay(aDays, 0, adLevels, padThresholds);
    det.Break(aDays);
    return aDays.front();
}

std::vector<TEventMonitor> TEvents::Compute(const TEventSettings& set, const QString& sDataPath,
                                            const TMonitorSel& aMons, const QDate& dtFrom, const QDate& dtTo,
                                            const TExclusions* pExcl)
{
    std::vector<TEventMonitor> aResult;
    TDayWalk walk(sDataPath, dtFrom, dtTo);
    walk.SetExclusions(pExcl);
    TDayWalk::TFiles files;
    files.bProfile = true;
    for (const TTQMonitor* mon : aMons) {
        TEventMonitor em;
        em.sID = mon->sID;
        em.aDays.resize(size_t(walk.Days()));
        TDetector det(set);
        walk.Start(mon->sID, files);
        while (walk.Step()) {
            const TDayRecords& rec = walk.Profile();
            TEventDay& day = em.aDays[size_t(walk.Index())];
            day.dt = rec.dt;
            day.anNAbove.assign(set.adNLevels.size(), 0);
            if (rec.eFile == TDayRecords::EFile::Read) {
                if (!rec.aaSpans.empty())
                    det.SetExcluded(size_t(walk.Index()), rec.aaSpans[0]);
                det.RunDay(em.aDays, size_t(walk.Index()), rec.aadValues[0], nullptr);
                day.nUnplaced = rec.nUnplaced;
            } else {
                det.Break(em.aDays);
                day.eFile = rec.eFile;
                day.sFileError = rec.sFileError;
            }
        }
        det.Break(em.aDays);
        aResult.push_back(std::move(em));
    }
    return aResult;
}
