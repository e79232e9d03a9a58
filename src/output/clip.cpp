#include "output/clip.h"

#include "output/gridtext.h"
#include "views/chartbase.h"
#include "views/grid.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>

#include <vector>

void TClip::CopyGrid(const TGridView& grid)
{
    const QString s = TGridText::FromCells(grid.RowCount(), grid.ColCount(),
                                           [&grid](int nCol, int nRow) { return grid.Cells(nCol, nRow); });
    QGuiApplication::clipboard()->setText(s);
}

QImage TClip::ChartStack(const QWidget* scrollbox)
{
    std::vector<TChartBase*> aCharts;
    if (scrollbox)
        for (QObject* child : scrollbox->children())
            if (auto* chart = qobject_cast<TChartBase*>(child))
                aCharts.push_back(chart);
    if (aCharts.empty())
        return QImage();

    // The main window gives every chart of a page the same size; the first one sets
    // the band of each.
    const int w = aCharts.front()->width();
    const int h = aCharts.front()->height();
    QImage img(w, h * int(aCharts.size()), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    for (size_t i = 0; i < aCharts.size(); ++i) {
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
