#include "reports/markup.h"

namespace {
const QLatin1String sNameTag("~name~");
const QLatin1String sLowTag("~low~");
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
        s = s.mid(s.lastIndexOf(u'~') + 1, MaxMarkedLen);
        mt.bBold = !mt.bDim;
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
