#pragma once

// Where things go on a printed page, in printer device pixels. Pure arithmetic, so
// the numbers can be checked without a printer.
struct TPrintLayout
{
    int xMarg = 0;       // left and right margin
    int yMarg = 0;       // top margin
    int yMargBottom = 0; // bottom edge of the body
    int cxClient = 0;    // body width
    int cyClient = 0;    // body height
    int cyGap = 0;       // gap below each chart

    // The layout of a printable page of nPageWidth x nPageHeight pixels.
    static TPrintLayout ForPage(int nPageWidth, int nPageHeight);

    // Height of each chart when three charts share the body with the title, the date
    // line and the gaps, nLine being the height of one line of text.
    int ChartHeight(int nLine) const;

    // Where a chart image of cxImage x cyImage pixels goes in its place at y, nSlot
    // high: as large as the body width and nSlot allow without changing its shape,
    // across the full width when the width binds (upright paper), else as high as
    // the place and centred (paper turned sideways).
    struct TBox
    {
        int x = 0, y = 0, cx = 0, cy = 0;
    };
    TBox ChartBox(int y, int nSlot, int cxImage, int cyImage) const;

    // True when something nStep high placed at y would pass the bottom of the body:
    // the next chart or row goes on a new page.
    bool PastBottom(int y, int nStep) const { return y + nStep > yMargBottom; }
};
