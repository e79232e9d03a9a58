#pragma once

#include "views/qcpinclude.h"

// The shaded span of a noise event on the profile chart, from the key of its first
// second to the key after its last, over the whole height of the plot. A day is far
// more seconds than the plot has pixel columns: the span takes the columns whose
// centre it covers, and at least the one under its middle, so that an event of a few
// seconds still shows on a whole day. Drawn on whole pixels, so neighbouring spans
// neither blur nor darken each other's edges.
class TPrfSpan final : public QCPItemRect
{
public:
    explicit TPrfSpan(QCustomPlot* plot);

    // The pixel rectangle the span is drawn as; empty when it lies outside the plot.
    QRect PixelRect() const;

protected:
    void draw(QCPPainter* painter) override;
};
