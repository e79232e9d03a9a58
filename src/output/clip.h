#pragma once

#include <QImage>

class QWidget;
class TGridView;

// The clipboard copy of the report page in front: a grid as tab-separated text, or
// the stack of charts of a chart page as one picture.
class TClip final
{
public:
    TClip() = delete;

    // Replaces the clipboard with the grid's text (TGridText).
    static void CopyGrid(const TGridView& grid);

    // Replaces the clipboard with one picture of the charts a print of the page takes
    // (TformPrint::ChartsOf: the TChartBase children of scrollbox, in child order),
    // each rendered at its on-screen size and stacked top to bottom on white. Without
    // charts the clipboard is left alone.
    static void CopyCharts(const QWidget* scrollbox);

    // The stacked picture CopyCharts puts on the clipboard; a null image without charts.
    static QImage ChartStack(const QWidget* scrollbox);
};
