#include "views/prfspan.h"

#include <algorithm>
#include <cmath>

TPrfSpan::TPrfSpan(QCustomPlot* plot) : QCPItemRect(plot)
{
    setPen(Qt::NoPen);
    topLeft->setTypeY(QCPItemPosition::ptAxisRectRatio);
    bottomRight->setTypeY(QCPItemPosition::ptAxisRectRatio);
}

QRect TPrfSpan::PixelRect() const
{
    const QRect rcClip = clipRect();
    const double x0 = topLeft->pixelPosition().x();
    const double x1 = bottomRight->pixelPosition().x();
    if (!std::isfinite(x0) || !std::isfinite(x1))
        return {};
    // Pixel column c covers [c, c + 1), as for the alarm bars.
    const auto firstCentre = [](double d) { return int(std::ceil(d - 0.5)); };
    int xLeft = firstCentre(std::min(x0, x1));
    int xRight = firstCentre(std::max(x0, x1));
    if (xRight <= xLeft) {
        xLeft = int(std::floor((x0 + x1) / 2));
        xRight = xLeft + 1;
    }
    const double y0 = topLeft->pixelPosition().y();
    const double y1 = bottomRight->pixelPosition().y();
    const QRect rc(QPoint(xLeft, firstCentre(std::min(y0, y1))),
                   QPoint(xRight - 1, firstCentre(std::max(y0, y1)) - 1));
    return rc & rcClip;
}

void TPrfSpan::draw(QCPPainter* painter)
{
    const QRect rc = PixelRect();
    if (rc.isEmpty())
        return;
    painter->setAntialiasing(false);
    painter->setPen(Qt::NoPen);
    painter->setBrush(mainBrush());
    painter->drawRect(rc);
}
