#include "app/logopanel.h"

#include "platform/product.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

TLogoPanel::TLogoPanel(QWidget* parent) : QLabel(QStringLiteral("Kestrom Tarvik"), parent)
{
    setObjectName(QStringLiteral("panelLogo"));
    setFixedSize(186, 18);
    setAlignment(Qt::AlignCenter);
    QFont fnt(QStringLiteral("Arial Black"));
    fnt.setPixelSize(13);
    fnt.setWeight(QFont::Black);
    setFont(fnt);
    setCursor(Qt::PointingHandCursor);
    SetColour(Qt::black);
}

void TLogoPanel::SetColour(const QColor& clr)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, clr);
    setPalette(pal);
}

void TLogoPanel::enterEvent(QEnterEvent* event)
{
    SetColour(QColor(0, 0, 136));
    QLabel::enterEvent(event);
}

void TLogoPanel::leaveEvent(QEvent* event)
{
    SetColour(Qt::black);
    QLabel::leaveEvent(event);
}

void TLogoPanel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        QDesktopServices::openUrl(QUrl(TProduct::WebUrl())); // the result is of no interest here
    QLabel::mouseReleaseEvent(event);
}
