#pragma once

#include <QString>

class TCfg;
class TExclusions;

// What the window does with the weather rules, at start and whenever the settings
// change: the periods of wind and rain the weather files of the settings give become
// the automatic exclusions of the window's list (none while the rules are off).
class TWeatherApply final
{
public:
    TWeatherApply() = delete;

    // Applies the rules of cfg to excl. The problems of the weather files, for the
    // status line, as one line of sentences; empty when every file could be read whole.
    static QString Apply(TExclusions& excl, const TCfg& cfg);
};
