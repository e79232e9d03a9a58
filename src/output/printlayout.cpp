#include "output/printlayout.h"

#include <QtGlobal>

#include <cmath>

TPrintLayout TPrintLayout::ForPage(int nPageWidth, int nPageHeight)
{
    TPrintLayout lay;
    lay.xMarg = int(nPageWidth * 0.1);
    lay.yMarg = int(nPageHeight * 0.07);
    lay.yMargBottom = nPageHeight - lay.yMarg;
    lay.cxClient = nPageWidth - 2 * lay.xMarg;
    lay.cyClient = nPageHeight - 2 * lay.yMarg;
    lay.cyGap = nPageHeight / 40;
    return lay;
}

int TPrintLayout::ChartHeight(int nLine) const
{
    // The default rounding mode sends halves to the even neighbour.
    return int(std::nearbyint((cyClient - cyGap - 10.0 * nLine) / 3.0));
}

TPrintLayout::TBox TPrintLayout::ChartBox(int y, int nSlot, int cxImage, int cyImage) const
{
    TBox box;
    box.y = y;
    if (cxImage <= 0 || cyImage <= 0 || nSlot <= 0)
        return box;
    if (qint64(cxClient) * cyImage <= qint64(nSlot) * cxImage) {
        box.cx = cxClient;
        box.cy = int(std::lround(double(cxClient) * cyImage / cxImage));
    } else {
        box.cy = nSlot;
        box.cx = int(std::lround(double(nSlot) * cxImage / cyImage));
    }
    box.x = xMarg + (cxClient - box.cx) / 2;
    return box;
}
