#include "reports/markup.h"

namespace {
const QLatin1String sNameTag("~name~");
const QLatin1String sLowTag("~low~");
const QLatin1String sExclTag("~x=");
} // namespace

TMarkedText TMarkup::Shown(const QString& sStored, bool bCaret)
{
    TMarkedText mt;
    QString s = sStored;
    // Each step looks only at the first character as the text then stands, and an
    // empty text ends the processing.
    if (s.startsWith(u'~')) {
        mt.bName = s.startsWith(sNameTag);
        mt.bDim = s.startsWith(sLowTag);
        mt.bExcluded = s.startsWith(sExclTag);
        const qsizetype iLast = s.lastIndexOf(u'~');
        if (mt.bExcluded)
            mt.sReasons = s.mid(sExclTag.size(), iLast - sExclTag.size());
        s = s.mid(iLast + 1, MaxMarkedLen);
        mt.bBold = !mt.bDim && !mt.bExcluded;
    }
    if (bCaret && s.startsWith(u'^'))
        mt.bBold = true;
    if (s.startsWith(u'.') || (bCaret && s.startsWith(u'^')))
        s = s.mid(1, MaxMarkedLen);
    if (s.startsWith(u'-'))
        s.clear();
    mt.sText = s;
    return mt;
}

QString TMarkup::Excluded(const QString& sValue, const QString& sReasons)
{
    if (sReasons.isEmpty() || sValue.isEmpty())
        return sValue;
    // A "~" in the reasons would end the tag early and show part of them as the value.
    QString sTag = sReasons;
    sTag.replace(u'~', u' ');
    return sExclTag + sTag + QLatin1Char('~') + sValue;
}
