#pragma once

#include "analysis/exclusions.h"

#include <QString>
#include <QStringList>

#include <vector>

class TCfg;
struct TWeatherRow;

// The weather rules: periods with wind above X m/s or rain above Y mm/h are left out
// of the figures by themselves. "Above" is strictly greater, so rain above 0 is any
// rain at all. Readings in a row that both break a rule, one right after the other,
// make one exclusion; wind and rain make exclusions of their own.
class TWeatherRules final
{
public:
    bool bWindOn = true;
    double dWindAbove = 5;
    bool bRainOn = true;
    double dRainAbove = 0;

    // The rules of the settings.
    static TWeatherRules FromCfg(const TCfg& cfg);

    // The exclusions of one file's readings for monitor sMonitor ("*": the
    // installation's file), reason Wind or Rain, every level, no author, the comment
    // saying what was measured ("wind 7.2 m/s above 5 m/s", "wind up to 7.2 m/s above
    // 5 m/s" over several readings). Wind ones first, each kind in time order.
    std::vector<TExclusion> Exclusions(const std::vector<TWeatherRow>& aRows, const QString& sMonitor) const;

    // What the weather files of the settings gave.
    struct TOutcome
    {
        std::vector<TExclusion> aExclusions;
        int nWind = 0;
        int nRain = 0;
        // One line per file that failed or had rows that could not be read.
        QStringList slErrors;
    };
    // Reads the installation's weather file and the monitors' own files of cfg and
    // applies the rules to each; nothing when the weather rules are off. Each exclusion
    // is dated by the last change of its file.
    static TOutcome Run(const TCfg& cfg);

    // Makes the exclusions Run finds the automatic exclusions of excl (none when the
    // rules are off or no file is set). The lines of slErrors of the outcome are
    // returned, for the status bar or standard error.
    static QStringList Apply(TExclusions& excl, const TCfg& cfg);

    // "12 periods of wind and 4 of rain"
    static QString CountText(int nWind, int nRain);
};
