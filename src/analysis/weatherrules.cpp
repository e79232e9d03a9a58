#include "analysis/weatherrules.h"

#include "datafiles/weatherfile.h"
#include "settings/cfg.h"

#include <QFileInfo>

#include <algorithm>

namespace {

struct TRule
{
    TExclusion::EReason eReason;
    double TWeatherRow::*pValue;
    double dAbove;
    const char* szWord;
    const char* szUnit;
};

void AddExclusions(const TRule& rule, const std::vector<TWeatherRow>& aRows, const QString& sMonitor,
                   std::vector<TExclusion>& aOut)
{
    const QString sUnit = QLatin1String(rule.szUnit);
    size_t i = 0;
    while (i < aRows.size()) {
        // NaN, no reading, is above nothing.
        if (!(aRows[i].*rule.pValue > rule.dAbove)) {
            ++i;
            continue;
        }
        TExclusion ex;
        ex.sMonitor = sMonitor;
        ex.eReason = rule.eReason;
        ex.nFrom = aRows[i].nFrom;
        ex.nTo = aRows[i].nTo;
        double dMax = aRows[i].*rule.pValue;
        size_t n = 1;
        for (++i; i < aRows.size() && aRows[i].nFrom == ex.nTo && aRows[i].*rule.pValue > rule.dAbove; ++i, ++n) {
            ex.nTo = aRows[i].nTo;
            dMax = std::max(dMax, aRows[i].*rule.pValue);
        }
        ex.sComment = QLatin1String(rule.szWord) + (n > 1 ? QStringLiteral(" up to ") : QStringLiteral(" ")) +
                      QString::number(dMax) + sUnit + QStringLiteral(" above ") + QString::number(rule.dAbove) +
                      sUnit;
        aOut.push_back(std::move(ex));
    }
}

} // namespace

TWeatherRules TWeatherRules::FromCfg(const TCfg& cfg)
{
    TWeatherRules rules;
    rules.bWindOn = cfg.WeatherWindOn();
    rules.dWindAbove = cfg.WeatherWindAbove();
    rules.bRainOn = cfg.WeatherRainOn();
    rules.dRainAbove = cfg.WeatherRainAbove();
    return rules;
}

std::vector<TExclusion> TWeatherRules::Exclusions(const std::vector<TWeatherRow>& aRows,
                                                  const QString& sMonitor) const
{
    std::vector<TExclusion> a;
    if (bWindOn)
        AddExclusions({TExclusion::EReason::Wind, &TWeatherRow::dWind, dWindAbove, "wind", " m/s"}, aRows,
                      sMonitor, a);
    if (bRainOn)
        AddExclusions({TExclusion::EReason::Rain, &TWeatherRow::dRain, dRainAbove, "rain", " mm/h"}, aRows,
                      sMonitor, a);
    return a;
}

TWeatherRules::TOutcome TWeatherRules::Run(const TCfg& cfg)
{
    TOutcome out;
    if (!cfg.WeatherOn())
        return out;
    const TWeatherRules rules = FromCfg(cfg);
    TCfg::TMonitorFiles aFiles;
    if (!cfg.WeatherFile().trimmed().isEmpty())
        aFiles.emplace_back(QStringLiteral("*"), cfg.WeatherFile().trimmed());
    for (const auto& [sID, sFile] : cfg.WeatherMonitorFiles())
        aFiles.emplace_back(sID.trimmed(), sFile.trimmed());
    for (const auto& [sMonitor, sFile] : aFiles) {
        TWeatherFile file;
        if (!file.Load(sFile)) {
            out.slErrors.append(file.Error());
            continue;
        }
        if (!file.BadRowSummary().isEmpty())
            out.slErrors.append(file.BadRowSummary());
        // They are as new as the readings they come from.
        const qint64 nWritten = TExclusion::Wall(QFileInfo(sFile).lastModified());
        for (TExclusion& ex : rules.Exclusions(file.Rows(), sMonitor)) {
            ex.nCreated = nWritten;
            (ex.eReason == TExclusion::EReason::Wind ? out.nWind : out.nRain)++;
            out.aExclusions.push_back(std::move(ex));
        }
    }
    return out;
}

QStringList TWeatherRules::Apply(TExclusions& excl, const TCfg& cfg)
{
    TOutcome out = Run(cfg);
    excl.SetAutomatic(std::move(out.aExclusions));
    return out.slErrors;
}

QString TWeatherRules::CountText(int nWind, int nRain)
{
    return QString::number(nWind) + (nWind == 1 ? QStringLiteral(" period of wind and ") : QStringLiteral(" periods of wind and ")) +
           QString::number(nRain) + QStringLiteral(" of rain");
}
