#pragma once

#include "views/qcpinclude.h"

// A band over the whole height of the plot between two keys: the hatched grey of an
// excluded stretch, under the graphs and light enough to read them through, or the
// pale blue of a span being selected. However short the stretch, the band is at least
// a pixel wide, so that a single excluded period stays in sight on a chart of a year.
class TExclBand final : public QCPItemRect
{
public:
    enum class EStyle
    {
        Excluded,
        Selection
    };

    TExclBand(QCustomPlot* plot, double dFromKey, double dToKey, EStyle eStyle);

    double FromKey() const { return topLeft->coords().x(); }
    double ToKey() const { return bottomRight->coords().x(); }
    void SetKeys(double dFromKey, double dToKey);

    // The layer under the graphs the bands go on, made once per plot.
    static QCPLayer* Layer(QCustomPlot& plot);

protected:
    void draw(QCPPainter* painter) override;

private:
    EStyle eStyle;
};
