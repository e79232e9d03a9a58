// Arbitrary text as the settings file, whose [events] values set up the event
// detection (a fixed threshold or one relative to the background), and arbitrary bytes
// as a day of one-second levels: the settings in force are always usable ones, and the
// events found keep the detection's rules.
#include "analysis/events.h"
#include "settings/cfg.h"

#include "fuzzutil.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QDir>

#include <cmath>
#include <cstdint>
#include <numeric>

namespace {

void CheckSettings(const TEventSettings& set)
{
    Require(set.nDayHour >= 0 && set.nDayHour <= 23 && set.nNightHour >= 0 && set.nNightHour <= 23);
    Require(set.nMinDuration >= 0 && set.nMaxDuration >= 0 && set.nHangTime >= 0);
    // A threshold that is no number would silently find no event at all.
    Require(std::isfinite(set.dDayThreshold) && std::isfinite(set.dNightThreshold));
    for (double d : set.adNLevels)
        Require(d >= 0 && d <= 180);
    // The N-above levels, written as the settings dialog stores them, read back the same.
    std::vector<double> adBack;
    Require(TEventSettings::ParseLevels(TEventSettings::LevelsText(set.adNLevels), adBack));
    Require(adBack == set.adNLevels);
}

void CheckDay(const TEventSettings& set, const std::vector<double>& adLevels, const TEventDay& day,
              const std::vector<double>& adThresholds)
{
    auto level = [&](int s) { return s < int(adLevels.size()) ? TEvents::Level(adLevels[size_t(s)]) : NAN; };
    int nNoValue = 0;
    for (int s = 0; s < 86400; ++s)
        nNoValue += std::isnan(level(s)) ? 1 : 0;
    Require(day.nNoValue == nNoValue);
    Require(day.nAboveSecs >= 0 && day.nAboveSecs <= 86400 - nNoValue);
    Require(std::accumulate(day.anPerHour.begin(), day.anPerHour.end(), 0) == int(day.aEvents.size()));
    Require(day.anNAbove.size() == set.adNLevels.size());
    Require(adThresholds.size() == 86400);
    int nPrevEnd = -1;
    for (const TNoiseEvent& ev : day.aEvents) {
        // One day alone: an event still running at midnight ends there.
        Require(ev.nStart > nPrevEnd && ev.nStart <= ev.nEnd && ev.nEnd < 86400);
        nPrevEnd = ev.nEnd;
        // A cut event counts whatever its length; a long one is kept and marked.
        Require(ev.Cut() || ev.Duration() >= set.nMinDuration);
        Require(ev.bLong == (set.nMaxDuration > 0 && ev.Duration() > set.nMaxDuration));
        Require(ev.dThreshold == adThresholds[size_t(ev.nStart)]);
        Require(level(ev.nStart) > ev.dThreshold && ev.dLMax >= level(ev.nStart));
        // No second of an event lacks a level.
        for (int s = ev.nStart; s <= ev.nEnd; ++s)
            Require(!std::isnan(level(s)) && level(s) <= ev.dLMax);
        switch (ev.eCut) {
        case TNoiseEvent::ECut::Midnight:
            Require(ev.nEnd == 86399);
            break;
        case TNoiseEvent::ECut::Threshold:
            // Cut where the fixed threshold in force changes, at a day or night hour.
            Require(ev.nEnd < 86399 && set.ThresholdAt(ev.nEnd) != set.ThresholdAt(ev.nEnd + 1));
            break;
        case TNoiseEvent::ECut::None:
            Require(level(ev.nEnd) > adThresholds[size_t(ev.nEnd)]);
            break;
        }
        Require(std::isfinite(ev.dLAE) && ev.dLAE >= ev.dLMax - 1e-9);
    }
    for (size_t i = 0; i < day.anNAbove.size(); ++i)
        Require(day.anNAbove[i] >= 0 && day.anNAbove[i] <= int(day.aEvents.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    static const QString sAppData = FuzzScratch().path() + QStringLiteral("/appdata");
    static const QString sIni = sAppData + QStringLiteral("/Kestrom/Tarvik-SV/rp_settings.ini");
    static const bool bMade = QDir().mkpath(sAppData + QStringLiteral("/Kestrom/Tarvik-SV"));
    Require(bMade);

    FuzzedDataProvider fdp(pData, nSize);
    // A pattern of levels repeated through the day: 0.75 dB steps, 255 for no value,
    // and the top values lie above 180 dB, which is no level either.
    const std::vector<std::uint8_t> aPattern = fdp.ConsumeBytes<std::uint8_t>(fdp.ConsumeIntegralInRange<size_t>(0, 600));
    const size_t nDay = aPattern.empty() ? 0 : fdp.ConsumeIntegralInRange<size_t>(0, 86401);
    std::vector<double> adLevels(nDay);
    for (size_t s = 0; s < nDay; ++s) {
        const std::uint8_t b = aPattern[s % aPattern.size()];
        adLevels[s] = b == 255 ? NAN : b * 0.75;
    }
    const std::vector<char> aIni = fdp.ConsumeRemainingBytes<char>();
    WriteBytes(sIni, QByteArray(aIni.data(), qsizetype(aIni.size())));

    const TCfg cfg(sAppData);
    const TEventSettings set = TEventSettings::FromCfg(cfg);
    CheckSettings(set);
    std::vector<double> adParsed;
    if (TEventSettings::ParseLevels(cfg.EvtNLevels(), adParsed))
        Require(adParsed == set.adNLevels);
    for (int s : {0, 3599, 3600 * set.nDayHour, 3600 * set.nNightHour, 86399}) {
        const double d = set.ThresholdAt(s);
        Require(d == set.dDayThreshold || d == set.dNightThreshold);
    }
    std::vector<double> adThresholds;
    const TEventDay day = TEvents::DetectDay(set, adLevels, &adThresholds);
    CheckDay(set, adLevels, day, adThresholds);
    return 0;
}
