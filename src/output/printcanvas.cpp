#include "output/printcanvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPagedPaintDevice>

TPrintCanvas::TPrintCanvas(const QPaintDevice& dev) : device(dev) {}

void TPrintCanvas::SetFontSize(int nPoints, bool bBold)
{
    font.setPointSize(nPoints);
    font.setBold(bBold);
}

int TPrintCanvas::TextHeight() const
{
    return QFontMetrics(font, &device).height();
}

int TPrintCanvas::TextWidth(const QString& s) const
{
    return QFontMetrics(font, &device).horizontalAdvance(s);
}

void TPrintCanvas::TextOut(int x, int y, const QString& s)
{
    if (s.isEmpty())
        return;
    aPages.back().push_back(
        {font, color, QPoint(x, y + QFontMetrics(font, &device).ascent()), s, QRect(), QPixmap()});
}

void TPrintCanvas::StretchDraw(const QRect& rc, const QPixmap& bmp)
{
    aPages.back().push_back({font, color, QPoint(), QString(), rc, bmp});
}

void TPrintCanvas::NewPage()
{
    aPages.emplace_back();
}

bool TPrintCanvas::Print(QPagedPaintDevice& printer) const
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    bool bFirst = true;
    for (const std::vector<TItem>& aItems : aPages) {
        if (!bFirst)
            printer.newPage();
        bFirst = false;
        for (const TItem& item : aItems) {
            if (item.sText.isEmpty()) {
                painter.drawPixmap(item.rc, item.bmp);
            } else {
                painter.setFont(item.font);
                painter.setPen(item.color);
                painter.drawText(item.ptBaseline, item.sText);
            }
        }
    }
    return painter.end();
}
