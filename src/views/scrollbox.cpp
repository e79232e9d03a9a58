#include "views/scrollbox.h"

#include <QResizeEvent>
#include <QScrollBar>

TScrollBox::TScrollBox(QWidget* parent) : QScrollArea(parent), client(new QWidget)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(false);
    setBackgroundRole(QPalette::Base);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    client->setAutoFillBackground(true);
    client->setPalette(pal);
    setWidget(client); // the scroll area takes ownership
}

int TScrollBox::ClientWidth() const
{
    return contentsRect().width();
}

int TScrollBox::ClientHeight() const
{
    return contentsRect().height();
}

void TScrollBox::LayoutCharts(const QList<QWidget*>& charts)
{
    const int nCharts = int(charts.size());
    if (nCharts == 0) {
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        client->resize(ClientWidth(), ClientHeight());
        return;
    }
    const int cxBox = ClientWidth();
    const int cyBox = ClientHeight();
    if (nCharts == 1) {
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        client->resize(cxBox, cyBox);
        charts.first()->setGeometry(0, 0, cxBox, cyBox);
        return;
    }
    const int h = qMax(cyBox / nCharts, 120);
    const bool bScroll = cyBox < nCharts * h;
    setVerticalScrollBarPolicy(bScroll ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    // With the scroll bar shown, the charts keep clear of it.
    const int cxAvail = bScroll ? cxBox - verticalScrollBar()->sizeHint().width() : cxBox;
    const int w = qMax(cxAvail, 300);
    client->resize(w, nCharts * h);
    for (int k = 0; k < nCharts; ++k)
        charts.at(k)->setGeometry(0, k * h, w, h);
}

void TScrollBox::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    Q_EMIT Resized();
}
