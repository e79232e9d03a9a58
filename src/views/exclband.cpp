#include "views/exclband.h"

#include <algorithm>

namespace {
const QString sLayer = QStringLiteral("exclusions");
constexpr double nHatchMinWidth = 4;
}

TExclBand::TExclBand(QCustomPlot* plot, double dFromKey, double dToKey, EStyle eStyleBand)
    : QCPItemRect(plot), eStyle(eStyleBand)
{
    setLayer(Layer(*plot));
    setSelectable(false);
    for (QCPItemPosition* pos : {topLeft, bottomRight}) {
        pos->setTypeX(QCPItemPosition::ptPlotCoords);
        pos->setTypeY(QCPItemPosition::ptAxisRectRatio);
    }
    SetKeys(dFromKey, dToKey);
}

void TExclBand::SetKeys(double dFromKey, double dToKey)
{
    topLeft->setCoords(std::min(dFromKey, dToKey), 0);
    bottomRight->setCoords(std::max(dFromKey, dToKey), 1);
}

QCPLayer* TExclBand::Layer(QCustomPlot& plot)
{
    if (QCPLayer* layer = plot.layer(sLayer))
        return layer;
    plot.addLayer(sLayer, plot.layer(QStringLiteral("main")), QCustomPlot::limBelow);
    return plot.layer(sLayer);
}

void TExclBand::draw(QCPPainter* painter)
{
    QRectF rc = QRectF(topLeft->pixelPosition(), bottomRight->pixelPosition()).normalized();
    if (rc.width() < 1)
        rc.adjust(-(1 - rc.width()) / 2, 0, (1 - rc.width()) / 2, 0);
    rc = rc.intersected(clipRect());
    if (rc.isEmpty())
        return;
    painter->setPen(Qt::NoPen);
    if (eStyle == EStyle::Selection) {
        painter->setBrush(QColor(0x33, 0x66, 0xCC, 0x40));
        painter->drawRect(rc);
        painter->setPen(QPen(QColor(0x33, 0x66, 0xCC), 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rc);
        return;
    }
    // A light grey ground and a grey diagonal hatch over it: the graphs on top stay
    // readable, and the band reads as excluded also in a black-and-white printout.
    painter->setBrush(QColor(0xB0, 0xB0, 0xB0, 0x38));
    painter->drawRect(rc);
    // A band a few pixels wide would show its hatch as a dotted line, and the hatch is
    // what costs: a year's chart with a thousand exclusions painted in 77 ms with it on
    // every band, 20 ms without bands.
    if (rc.width() < nHatchMinWidth)
        return;
    painter->setBrush(QBrush(QColor(0x80, 0x80, 0x80, 0x90), Qt::BDiagPattern));
    painter->drawRect(rc);
}
