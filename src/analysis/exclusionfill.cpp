#include "analysis/exclusionfill.h"

#include "analysis/exclusions.h"

TExcludedOn TExclusionFill::Of(const TExclusions* p)
{
    if (p == nullptr)
        return {};
    return [p](const QString& sID, const QString& sParam, const QDate& dt) {
        // A period that starts before midnight may run into the next day: the
        // stretches go on a day past it.
        const qint64 nDay = TExclusion::Wall(dt, 0);
        std::vector<TDayExclusion> a;
        for (const TExcludedSpan& span : p->Spans(sID, sParam, nDay, nDay + 2 * 86400))
            a.push_back({span.nFrom - nDay, span.nTo - nDay, TExclusion::ReasonsText(span.nReasons)});
        return a;
    };
}
