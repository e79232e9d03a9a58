#include "reports/csvtext.h"

QString TCsvText::Field(const QString& s)
{
    if (!s.contains(u',') && !s.contains(u'"') && !s.contains(u'\n') && !s.contains(u'\r'))
        return s;
    return u'"' + QString(s).replace(QLatin1String("\""), QLatin1String("\"\"")) + u'"';
}
