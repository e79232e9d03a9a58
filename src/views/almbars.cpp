#include "views/almbars.h"

#include <algorithm>
#include <cmath>

TAlmBars::TAlmBars(QCPAxis* keyAxis, QCPAxis* valueAxis) : QCPBars(keyAxis, valueAxis)
{
    setWidth(1);
    setPen(Qt::NoPen);
    setAntialiased(false);
}

QVector<QRect> TAlmBars::BarRects() const
{
    QVector<QRect> aRects;
    const QCPAxis* axisKey = keyAxis();
    const QCPAxis* axisValue = valueAxis();
    if (!axisKey || !axisValue || mDataContainer->isEmpty())
        return aRects;

    // Pixel column c covers [c, c + 1); a bar takes the columns whose centre it covers,
    // or the one under its middle when it covers none. Rows likewise from the base up.
    const auto firstCentre = [](double d) { return int(std::ceil(d - 0.5)); };
    const double yBase = axisValue->coordToPixel(0);
    const int yBottom = firstCentre(yBase); // one below the lowest row
    const QCPRange range = axisKey->range();
    auto itEnd = mDataContainer->findEnd(range.upper + 0.5);
    for (auto it = mDataContainer->findBegin(range.lower - 0.5); it != itEnd; ++it) {
        if (!(it->value > 0))
            continue;
        const double x0 = axisKey->coordToPixel(it->key - 0.5);
        const double x1 = axisKey->coordToPixel(it->key + 0.5);
        int xLeft = firstCentre(std::min(x0, x1));
        int xRight = firstCentre(std::max(x0, x1));
        if (xRight <= xLeft) {
            xLeft = int(std::floor((x0 + x1) / 2));
            xRight = xLeft + 1;
        }
        const int yTop = std::min(firstCentre(axisValue->coordToPixel(it->value)), yBottom - 1);
        // Slots that share a column become one bar, as high as the highest of them.
        if (!aRects.isEmpty() && aRects.last().left() == xLeft && aRects.last().right() == xRight - 1) {
            QRect& rcLast = aRects.last();
            rcLast.setTop(std::min(rcLast.top(), yTop));
            continue;
        }
        aRects.append(QRect(QPoint(xLeft, yTop), QPoint(xRight - 1, yBottom - 1)));
    }
    return aRects;
}

void TAlmBars::draw(QCPPainter* painter)
{
    const QVector<QRect> aRects = BarRects();
    if (aRects.isEmpty())
        return;
    applyDefaultAntialiasingHint(painter);
    painter->setPen(Qt::NoPen);
    painter->setBrush(mBrush);
    painter->drawRects(aRects);
}
