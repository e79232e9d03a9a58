#include "output/printlayout.h"

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
