#include "views/timeticker.h"

#include <QFontMetrics>

#include <algorithm>

TTimeTicker::TTimeTicker(QCPAxis* axisOwner) : axis(axisOwner)
{
    setDateTimeFormat(QStringLiteral("HH:mm:ss"));
    setDateTimeSpec(Qt::UTC);
}

int TTimeTicker::NiceStep(double dMinStep)
{
    for (int n : {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400})
        if (n >= dMinStep)
            return n;
    return 0;
}

double TTimeTicker::getTickStep(const QCPRange& range)
{
    const QFontMetrics fm(axis->tickLabelFont());
    // Labels of eight figures are long: half a figure's room between neighbours keeps
    // them apart and lets a day show a label every two hours on an 800-pixel image.
    const int nLabelWidth =
        fm.horizontalAdvance(QStringLiteral("00:00:00")) + fm.horizontalAdvance(QLatin1Char('0')) / 2 + 1;
    const int nAxisWidth = std::max(axis->axisRect()->width(), 1);
    const int nStep = NiceStep(range.size() * nLabelWidth / nAxisWidth);
    // Wider ranges than a day do not occur on a day's profile; the component's own
    // choice serves them.
    if (nStep == 0)
        return QCPAxisTickerDateTime::getTickStep(range);
    // Steps within a day are plain multiples of seconds from midnight.
    mDateStrategy = dsNone;
    return nStep;
}
