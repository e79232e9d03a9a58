#include "app/weatherapply.h"

#include "analysis/weatherrules.h"

QString TWeatherApply::Apply(TExclusions& excl, const TCfg& cfg)
{
    QStringList sl = TWeatherRules::Apply(excl, cfg);
    for (QString& s : sl)
        if (!s.isEmpty())
            s = s.front().toUpper() + s.mid(1) + u'.';
    return sl.join(u' ');
}
