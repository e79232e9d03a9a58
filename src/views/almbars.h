#pragma once

#include "views/qcpinclude.h"

// Bars of counts, one per slot of width 1 at keys 0, 1, 2, ..., drawn so that no
// count above 0 ever vanishes: a bar is at least one device pixel wide and high,
// whatever the number of slots per pixel. Where several slots share a pixel column,
// the column shows the highest of them. Drawn on whole pixels without antialiasing,
// so neighbouring bars neither blur nor leave seams.
class TAlmBars final : public QCPBars
{
public:
    TAlmBars(QCPAxis* keyAxis, QCPAxis* valueAxis);

    // The pixel rectangles the bars are drawn as, one per run of columns; empty
    // rectangles are never among them.
    QVector<QRect> BarRects() const;

protected:
    void draw(QCPPainter* painter) override;
};
