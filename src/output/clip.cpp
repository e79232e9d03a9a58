#include "output/clip.h"

#include "output/gridtext.h"
#include "output/print.h"
#include "views/chartbase.h"
#include "views/grid.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>

void TClip::CopyGrid(const TGridView& grid)
{
    const QString s = TGridText::FromCells(grid.RowCount(), grid.ColCount(),
                                           [&grid](int nCol, int nRow) { return grid.Cells(nCol, nRow); });
    QGuiApplication::clipboard()->setText(s);
}

QImage TClip::ChartStack(const QWidget* scrollbox)
{
    // The same charts, in the same order, as a print of the page.
    const QList<TChartBase*> aCharts = TformPrint::ChartsOf(scrollbox);
    if (aCharts.empty())
        return QImage();

    // The main window gives every chart of a page the same size; the first one sets
    // the band of each.
    const int w = aCharts.front()->width();
    const int h = aCharts.front()->height();
    QImage img(w, h * int(aCharts.size()), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    for (qsizetype i = 0; i < aCharts.size(); ++i) {
        const QPixmap pm = aCharts[i]->toPixmap(w, h);
        painter.drawPixmap(QRect(0, int(i) * h, w, h), pm);
    }
    painter.end();
    return img;
}

void TClip::CopyCharts(const QWidget* scrollbox)
{
    const QImage img = ChartStack(scrollbox);
    if (!img.isNull())
        QGuiApplication::clipboard()->setImage(img);
}
