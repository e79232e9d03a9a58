#include "analysis/events.h"

#include "datafiles/thfile.h"
#include "monitors/monitor.h"
#include "settings/cfg.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr int nSecsPerDay = 86400;
constexpr double dNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double dLowestLevel = 0;
constexpr double dHighestLevel = 180;

bool HourValid(int n)
{
    return n >= 0 && n <= 23;
}

double Energy(double dLevel)
{
    return std::pow(10.0, dLevel / 10.0);
}

// The event being followed through the day.
struct TOpenEvent
{
    TNoiseEvent ev;
    double dEnergy = 0;        // up to the last second above the threshold
    double dEnergyPending = 0; // the seconds at or below it since then
    int nBelow = 0;
};

void Close(const TEventSettings& set, TEventDay& day, TOpenEvent& open, bool bCut)
{
    TNoiseEvent ev = open.ev;
    ev.bCut = bCut;
    double dEnergy = open.dEnergy;
    if (bCut) {
        // The day ended inside the hang time: the event runs to midnight.
        ev.nEnd = nSecsPerDay - 1;
        dEnergy += open.dEnergyPending;
    }
    ev.dLAE = TEvents::LAE(dEnergy);
    const int nDur = ev.Duration();
    if (nDur < set.nMinDuration || (set.nMaxDuration > 0 && nDur > set.nMaxDuration))
        return;
    ++day.anPerHour[size_t(ev.nStart / 3600)];
    for (size_t i = 0; i < set.adNLevels.size(); ++i)
        if (ev.dLAFmax > set.adNLevels[i])
            ++day.anNAbove[i];
    day.aEvents.push_back(ev);
}
} // namespace

TEventSettings TEventSettings::FromCfg(const TCfg& cfg)
{
    TEventSettings set;
    set.dDayThreshold = cfg.EvtDayThreshold();
    set.dNightThreshold = cfg.EvtNightThreshold();
    const int nDayDefault = HourValid(cfg.RatingDayHour()) ? cfg.RatingDayHour() : 7;
    const int nNightDefault = HourValid(cfg.RatingNightHour()) ? cfg.RatingNightHour() : 23;
    set.nDayHour = HourValid(cfg.EvtDayHour()) ? cfg.EvtDayHour() : nDayDefault;
    set.nNightHour = HourValid(cfg.EvtNightHour()) ? cfg.EvtNightHour() : nNightDefault;
    set.nMinDuration = std::max(0, cfg.EvtMinDuration());
    set.nMaxDuration = std::max(0, cfg.EvtMaxDuration());
    set.nHangTime = std::max(0, cfg.EvtHangTime());
    set.adNLevels.clear();
    // A hand-edited list keeps the levels it can read.
    for (const QString& s : cfg.EvtNLevels().split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool bOk = false;
        const double d = s.trimmed().toDouble(&bOk);
        if (bOk && d >= dLowestLevel && d <= dHighestLevel)
            set.adNLevels.push_back(d);
    }
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
        if (!bOk || !(d >= dLowestLevel && d <= dHighestLevel))
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
    return dRead >= dLowestLevel && dRead <= dHighestLevel ? dRead : dNaN;
}

double TEvents::LAE(double dEnergy)
{
    return dEnergy > 0 ? 10.0 * std::log10(dEnergy) : dNaN;
}

std::vector<double> TEvents::DayLevels(const TTHFile& file)
{
    std::vector<double> adLevels(size_t(nSecsPerDay), dNaN);
    // A file of a whole day is used as written, so it may hold more records than seconds.
    const int nRecs = std::min(file.RecCount(), nSecsPerDay);
    for (int i = 0; i < nRecs; ++i)
        adLevels[size_t(i)] = Level(file.FldVal(i, 1));
    return adLevels;
}

TEventDay TEvents::DetectDay(const TEventSettings& set, const std::vector<double>& adLevels)
{
    TEventDay day;
    day.bFile = true;
    day.nNoValue = 0;
    day.anNAbove.assign(set.adNLevels.size(), 0);
    const int nLevels = int(std::min(adLevels.size(), size_t(nSecsPerDay)));
    const int nHang = std::max(1, set.nHangTime);
    TOpenEvent open;
    bool bOpen = false;

    for (int s = 0; s < nSecsPerDay; ++s) {
        const double dLevel = s < nLevels ? Level(adLevels[size_t(s)]) : dNaN;
        if (std::isnan(dLevel)) {
            ++day.nNoValue;
            // A second without a level ends the event at its last second above.
            if (bOpen)
                Close(set, day, open, false);
            bOpen = false;
            continue;
        }
        const double dNow = set.ThresholdAt(s);
        if (dLevel > dNow)
            ++day.nAboveSecs;
        if (bOpen) {
            // An event keeps the threshold of its start, through a day/night change too.
            if (dLevel > open.ev.dThreshold) {
                open.dEnergy += open.dEnergyPending + Energy(dLevel);
                open.dEnergyPending = 0;
                open.nBelow = 0;
                open.ev.nEnd = s;
                open.ev.dLAFmax = std::max(open.ev.dLAFmax, dLevel);
            } else {
                open.dEnergyPending += Energy(dLevel);
                if (++open.nBelow >= nHang) {
                    Close(set, day, open, false);
                    bOpen = false;
                }
            }
        } else if (dLevel > dNow) {
            open = TOpenEvent();
            open.ev.nStart = s;
            open.ev.nEnd = s;
            open.ev.dLAFmax = dLevel;
            open.ev.dThreshold = dNow;
            open.dEnergy = Energy(dLevel);
            bOpen = true;
        }
    }
    if (bOpen)
        Close(set, day, open, true);
    return day;
}

std::vector<TEventMonitor> TEvents::Compute(const TEventSettings& set, const QString& sDataPath,
                                            const TMonitorSel& aMons, const QDate& dtFrom, const QDate& dtTo)
{
    std::vector<TEventMonitor> aResult;
    TTHFile file(sDataPath);
    for (const TTQMonitor* mon : aMons) {
        TEventMonitor em;
        em.sID = mon->sID;
        if (dtFrom.isValid() && dtTo.isValid()) {
            for (QDate dt = dtFrom; dt <= dtTo; dt = dt.addDays(1)) {
                TEventDay day;
                if (file.Load(mon->sID, dt)) {
                    day = DetectDay(set, DayLevels(file));
                } else {
                    day.anNAbove.assign(set.adNLevels.size(), 0);
                }
                day.dt = dt;
                em.aDays.push_back(std::move(day));
            }
        }
        aResult.push_back(std::move(em));
    }
    return aResult;
}
